#include "sync/syncrun.h"

#include "contacts/exporter.h"
#include "contacts/importer.h"
#include "store/book.h"
#include "sync/carddav.h"
#include "sync/cardedit.h"
#include "sync/syncstate.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <optional>

namespace cardsync {
namespace {

constexpr int FieldsSynced = 9; // the printed flag stays on this PC
constexpr int MaxPasses = 4;

// A name as the user may write it, without the spaces between its parts.
QString plainName(QString name) {
    return name.remove(u' ').remove(u'\u3000');
}

QStringList tenFields(const QString &line) {
    QStringList fields = line.split(u'|');
    while (fields.size() < 10)
        fields.append(QString());
    return fields;
}

// An entry of the book as the sync sees it.
struct Mine {
    QString uid;
    QStringList fields; // all ten
    people::PersonData data;
    int index = 0; // among the book's entries
    QStringList synced() const { return fields.mid(0, FieldsSynced); }
    const QString &name() const { return fields.at(1); }
};

// A card of the server to link to an entry once the book is written.
struct NewLink {
    carddav::Resource card;
    QString uid;    // the book's entry it matched
    int added = -1; // else the new line it became
    QStringList base;
    QStringList details; // the details agreed, as the link's base
};

// A card to send: an edit of the kept card, a new card, or one sent again.
struct Push {
    enum class Kind { Edit, Upload, Again } kind;
    QString uid;
    QStringList base;    // what the card holds now, for an edit
    QStringList details; // the details it holds now; empty: none written
};

class Run {
public:
    Run(Book &book, const Account &account, const Options &options)
        : book_(book), account_(account), options_(options), client_(account.url, account.user, account.password),
          folder_(syncstate::folderOf(book.dir(), account.url, account.user)) {}

    Report go() {
        if (!options_.dryRun && !book_.readOnlyReason().isEmpty())
            return failed(describe(book_.readOnlyRefusal()));
        if (QString broken = syncstate::load(folder_, state_); !broken.isEmpty())
            return failed(broken);
        say(QStringLiteral("サーバーに接続しています"));
        if (const carddav::Failure f = client_.check())
            return failed(carddav::describe(f));
        if (state_.isFirstSync())
            carryOnFromAnotherUrl();
        for (int pass = 0; pass < MaxPasses; ++pass) {
            again_ = false;
            wroteServer_ = false;
            raced_ = 0;
            if (!onePass() || options_.dryRun)
                break;
            if (again_)
                say(QStringLiteral("サーバー側でも変わっていた連絡先を合わせ直しています"));
            else if (!wroteServer_)
                break;
            // A pass that wrote kept the token from before its writes. Asked
            // again, a server that lists only the net change since a token
            // still shows a card this pass made and a phone deleted meanwhile.
        }
        if (again_ && report_.error.isEmpty() && !options_.dryRun) {
            // Still changing on the phone as we sent, pass after pass.
            report_.unsent += raced_;
            note(QStringLiteral("%1 件はスマホ側でも変わり続けたため送れませんでした。次の同期でもう一度合わせます")
                     .arg(raced_));
        }
        return report_;
    }

private:
    Report failed(const QString &why) {
        report_.error = why;
        return report_;
    }
    void say(const QString &step) {
        if (options_.progress)
            options_.progress(step);
    }
    void note(const QString &line) { report_.lines.append(line); }

    // The same address book by another spelling of its URL (localhost for
    // 127.0.0.1, another port or scheme in front of it): a state of this user
    // whose cards live under the same path, and whose sync token this server
    // accepts, is this collection's. It carries on here instead of a first
    // sync that would bring back what was deleted.
    void carryOnFromAnotherUrl() {
        const QDir syncDir(QDir(book_.dir()).filePath(QStringLiteral("sync")));
        const QString mine = QFileInfo(folder_).fileName();
        const QString userPrefix = syncstate::userPrefixOf(account_.user);
        const QString path = account_.url.path();
        for (const QString &other : syncDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            if (other == mine || !other.startsWith(userPrefix))
                continue;
            syncstate::State found;
            if (!syncstate::load(syncDir.filePath(other), found).isEmpty() || found.token.isEmpty() ||
                found.links.isEmpty() ||
                !std::all_of(found.links.cbegin(), found.links.cend(),
                             [&](const syncstate::Link &l) { return l.href.startsWith(path); }))
                continue;
            carddav::Changes changes;
            if (client_.changesSince(found.token, changes))
                continue; // another collection's token, or one this server has forgotten
            if (!QDir().rename(syncDir.filePath(other), folder_))
                continue;
            state_ = std::move(found);
            note(QStringLiteral("同じアドレス帳を前と違う URL で開いたため、前回までの同期の記録を引き継ぎました"));
            return;
        }
    }

    bool loadBook() {
        QString error;
        if (!book_.load(&error)) {
            report_.error = error;
            return false;
        }
        QString damaged;
        const QString readOnly = book_.readOnlyReason();
        if (options_.dryRun)
            book_.setReadOnlyReason(QStringLiteral("試し"));
        error = describe(book_.attachPeople(&damaged));
        book_.setReadOnlyReason(readOnly);
        if (!damaged.isEmpty() && !report_.lines.contains(damaged))
            note(damaged);
        const std::vector<people::Record> records = book_.records();
        if (!error.isEmpty() || records.size() != static_cast<size_t>(book_.entries().size())) {
            report_.error = error.isEmpty() ? EntryWriter::ChangedElsewhere : error;
            return false;
        }
        mine_.clear();
        byUid_.clear();
        for (qsizetype i = 0; i < book_.entries().size(); ++i) {
            const QString element = book_.entries().at(i);
            const people::Record &r = records[static_cast<size_t>(i)];
            mine_.append({r.uid(), tenFields(element.mid(element.indexOf(u'|') + 1)), r.data(), static_cast<int>(i)});
            byUid_.insert(r.uid(), i);
        }
        return true;
    }
    const Mine *mineOf(const QString &uid) const {
        const auto found = byUid_.constFind(uid);
        return found == byUid_.constEnd() ? nullptr : &mine_.at(*found);
    }
    int categoryOf(const Mine &m) const {
        const int category = m.fields.at(8).toInt();
        return category >= 1 && category <= 10 ? category : 1;
    }
    cardedit::Read readCard(const QByteArray &card, int category, const QString &source) const {
        return cardedit::fieldsOfCard(card, book_.categories(), category, source);
    }
    QString nameOfCard(const QByteArray &card) const {
        const cardedit::Read read = readCard(card, 1, {});
        return read.fields.value(1);
    }

    // What the server lists: changed cards (fetched) and removed hrefs.
    bool listServer(QList<carddav::Resource> &fetched, QStringList &removed, QString &token) {
        say(QStringLiteral("サーバーの変更を調べています"));
        const bool first = state_.isFirstSync();
        carddav::Changes changes;
        carddav::Failure f = client_.changesSince(first ? QString() : state_.token, changes);
        bool whole = first;
        if (f.kind == carddav::Failure::Kind::TokenExpired) {
            note(carddav::describe(f));
            f = client_.changesSince(QString(), changes);
            whole = true;
        }
        if (f.kind == carddav::Failure::Kind::Refused || f.kind == carddav::Failure::Kind::TokenExpired) {
            // A server without sync-collection: every card's ETag instead.
            QList<carddav::Resource> all;
            f = client_.listAll(all);
            changes = carddav::Changes{QString(), all, {}};
            whole = true;
        }
        if (f) {
            report_.error = carddav::describe(f);
            return false;
        }
        token = changes.token;
        removed = first ? QStringList() : changes.removed;
        if (whole && !first) {
            QSet<QString> listed;
            for (const carddav::Resource &r : changes.changed)
                listed.insert(r.href);
            removed.clear();
            for (const syncstate::Link &l : state_.links)
                if (!listed.contains(l.href))
                    removed.append(l.href);
        }
        QStringList wanted;
        for (const carddav::Resource &r : changes.changed) {
            const syncstate::Link *link = state_.byHref(r.href);
            if (!link || link->etag != r.etag || link->pending)
                wanted.append(r.href);
        }
        for (const syncstate::Link &l : state_.links)
            if (l.pending && !wanted.contains(l.href) && !removed.contains(l.href))
                wanted.append(l.href);
        if (!wanted.isEmpty())
            say(QStringLiteral("サーバーから %1 件受け取っています").arg(wanted.size()));
        if (const carddav::Failure fetchFailed = client_.fetch(wanted, fetched)) {
            report_.error = carddav::describe(fetchFailed);
            return false;
        }
        return true;
    }

    const Choice *choiceFor(const QString &uid, int field) const {
        for (const Choice &c : options_.choices)
            if (c.uid == uid && c.field == field)
                return &c;
        return nullptr;
    }

    // The user's answer to a conflict of the entry's field: a choice made in
    // the window, else one side taken for every conflict or for those named.
    std::optional<bool> takesPhone(const Mine &m, int field) const {
        if (const Choice *c = choiceFor(m.uid, field))
            return c->takePhone;
        if (options_.take == Side::Neither)
            return std::nullopt;
        if (!options_.takeNames.isEmpty() &&
            std::none_of(options_.takeNames.cbegin(), options_.takeNames.cend(),
                         [&](const QString &n) { return plainName(n) == plainName(m.name()); }))
            return std::nullopt;
        return options_.take == Side::Phone;
    }

    // A card of a linked entry that changed on the server, merged field by field against the base.
    void mergeChanged(const carddav::Resource &card, syncstate::Link &link, const Mine &m) {
        const int category = categoryOf(m);
        const cardedit::Read now = readCard(card.card, category, m.name());
        if (!now.skipReason.isEmpty()) {
            note(QStringLiteral("%1：サーバーのカードが読めないため、この連絡先は合わせません：%2")
                     .arg(m.name(), now.skipReason));
            return;
        }
        const QByteArray kept = syncstate::keptCard(folder_, link.uid);
        const QStringList before = kept.isEmpty() ? link.base : readCard(kept, category, m.name()).fields;
        const QStringList ours = m.synced();
        QStringList result = ours, cardHolds = ours;
        QList<Conflict> conflicts;
        bool push = false;
        for (int f = 0; f < FieldsSynced; ++f) {
            const bool theirsChanged = now.fields.at(f) != before.value(f);
            const bool oursChanged = ours.at(f) != link.base.value(f);
            if (theirsChanged && oursChanged && now.fields.at(f) != ours.at(f)) {
                const std::optional<bool> takePhone = takesPhone(m, f);
                if (!takePhone) {
                    conflicts.append({m.uid, m.name(), f, ours.at(f), now.fields.at(f)});
                    continue;
                }
                if (*takePhone) {
                    result[f] = cardHolds[f] = now.fields.at(f);
                    continue;
                }
            } else if (theirsChanged && !oursChanged) {
                result[f] = cardHolds[f] = now.fields.at(f);
                continue;
            }
            if (oursChanged && ours.at(f) != now.fields.at(f)) {
                cardHolds[f] = now.fields.at(f);
                push = true;
            }
        }
        // The details, field by field too: against the link's record of them,
        // else (a link from before details travelled) only filling what is empty.
        const QStringList oursD = cardedit::detailsOf(m.data);
        const QStringList beforeD = !kept.isEmpty() ? readCard(kept, category, m.name()).details
                                    : link.details.size() == cardedit::DetailCount ? link.details
                                                                                   : now.details;
        QStringList resultD = oursD, cardD = oursD;
        bool pushD = false;
        for (int d = 0; d < cardedit::DetailCount; ++d) {
            const QString &theirs = now.details.value(d);
            const bool theirsChanged = theirs != beforeD.value(d);
            const bool known = link.details.size() == cardedit::DetailCount;
            const bool oursChanged =
                known ? oursD.at(d) != link.details.at(d) : !oursD.at(d).isEmpty() && theirs.isEmpty();
            const bool theirsFills = !known && oursD.at(d).isEmpty();
            if (!known && !oursD.at(d).isEmpty() && theirs != oursD.at(d) && !theirs.isEmpty()) {
                cardD[d] = theirs; // two values never compared before: each side keeps its own
                continue;
            }
            if (theirsChanged && oursChanged && theirs != oursD.at(d)) {
                const std::optional<bool> takePhone = takesPhone(m, FieldsSynced + d);
                if (!takePhone) {
                    conflicts.append({m.uid, m.name(), FieldsSynced + d, oursD.at(d), theirs});
                    continue;
                }
                if (*takePhone) {
                    resultD[d] = cardD[d] = theirs;
                    continue;
                }
            } else if ((theirsChanged && !oursChanged) || (theirsFills && !theirs.isEmpty())) {
                resultD[d] = cardD[d] = theirs;
                continue;
            }
            cardD[d] = theirs;
            if (oursChanged && oursD.at(d) != theirs)
                pushD = true;
        }
        if (!conflicts.isEmpty()) {
            link.pending = true;
            for (const Conflict &c : conflicts) {
                note(QStringLiteral(
                         "競合：%1 の%2 はパソコンとスマホの両方で変わりました（パソコン「%3」、スマホ「%4」）。"
                         "どちらにするか選ぶまで、この連絡先は送りも受けもしません")
                         .arg(c.name, fieldName(c.field), c.pc, c.phone));
                report_.conflicts.append(c);
            }
            return;
        }
        if (result != ours || resultD != oursD) {
            updates_.insert(m.uid, result);
            if (resultD != oursD) {
                people::PersonData data = m.data;
                cardedit::setDetails(data, resultD);
                dataUpdates_.insert(m.uid, data);
            }
            note(received() + result.at(1));
        }
        // The base is what the server holds until it accepts our part: a PUT
        // refused or lost leaves our changes to be sent by the next sync.
        linkUpdates_.insert(m.uid, {card, m.uid, -1, push ? cardHolds : result, pushD ? cardD : resultD});
        if (push || pushD)
            pushes_.append({Push::Kind::Edit, m.uid, cardHolds, cardD});
    }

    bool plan(const QList<carddav::Resource> &fetched, const QStringList &removed) {
        QSet<QString> handled; // UIDs the server's side already decided
        QList<carddav::Resource> unknown;
        for (const carddav::Resource &card : fetched) {
            syncstate::Link *link = state_.byHref(card.href);
            if (!link) {
                unknown.append(card);
                continue;
            }
            handled.insert(link->uid);
            if (const Mine *m = mineOf(link->uid)) {
                mergeChanged(card, *link, *m);
            } else {
                // Deleted here, changed there: the card comes back.
                note(QStringLiteral("%1：パソコンで削除しましたが、スマホで変わっていたため電話帳に戻します")
                         .arg(nameOfCard(card.card)));
                dropped_.insert(link->uid);
                unknown.append(card);
            }
        }
        if (state_.isFirstSync()) {
            // Cards at the hrefs this book's entries are uploaded to are its own,
            // left by an upload that was cut off: it carries on.
            const qsizetype others = std::count_if(unknown.cbegin(), unknown.cend(), [&](const carddav::Resource &r) {
                const QString uid = QUrl::fromPercentEncoding(r.href.section(u'/', -1).chopped(4).toUtf8());
                return !r.href.endsWith(QLatin1String(".vcf")) || !byUid_.contains(uid) ||
                       client_.hrefFor(uid) != r.href;
            });
            if (options_.first == First::Upload && others > 0) {
                report_.error =
                    QStringLiteral("サーバーのアドレス帳は空ではありません（%1 件）。両方を合わせるなら「突き合わせ」"
                                   "（--first match）を選んで下さい。")
                        .arg(others);
                return false;
            }
            if (!options_.firstChosen && !unknown.isEmpty() && !mine_.isEmpty()) {
                report_.error =
                    QStringLiteral("初めての同期で、電話帳（%1 件）とサーバーのアドレス帳（%2 件）の両方に連絡先が"
                                   "あります。どうするか --first で選んで下さい：match（同じ人を突き合わせて一つに）、"
                                   "upload（電話帳をサーバーへ）、download（サーバーを電話帳へ）。")
                        .arg(mine_.size())
                        .arg(unknown.size());
                return false;
            }
            if (options_.first == First::Download && !mine_.isEmpty()) {
                report_.error = QStringLiteral("電話帳は空ではありません（%1 件）。両方を合わせるなら「突き合わせ」"
                                               "（--first match）を選んで下さい。")
                                    .arg(mine_.size());
                return false;
            }
        }
        if (!unknown.isEmpty())
            importCards(unknown);
        for (const QString &href : removed) {
            const syncstate::Link *link = state_.byHref(href);
            if (!link)
                continue;
            handled.insert(link->uid);
            const Mine *m = mineOf(link->uid);
            if (!m) {
                dropped_.insert(link->uid);
            } else if (m->synced() == link->base) {
                deletes_.append(m->uid);
                note((options_.dryRun ? QStringLiteral("電話帳から削除する予定（スマホで削除）：")
                                      : QStringLiteral("削除（スマホで削除）：")) +
                     m->name());
            } else {
                pushes_.append({Push::Kind::Again, m->uid, link->base, link->details});
                note(QStringLiteral("%1：スマホで削除されましたが、パソコンで変えていたため送り直します")
                         .arg(m->name()));
            }
        }
        relinkRewrittenEntries(handled);
        for (syncstate::Link &l : state_.links) {
            if (handled.contains(l.uid) || l.pending)
                continue;
            const Mine *m = mineOf(l.uid);
            if (!m) {
                remoteDeletes_.append(l.uid);
                continue;
            }
            const QStringList detailsNow = cardedit::detailsOf(m->data);
            // Not known for a link from before details travelled: the card's
            // details are the base, and only an empty one is filled.
            QStringList detailsBase = l.details;
            bool detailsChanged = detailsBase.size() == cardedit::DetailCount && detailsNow != detailsBase;
            if (detailsBase.size() != cardedit::DetailCount) {
                const QByteArray kept = syncstate::keptCard(folder_, l.uid);
                const QStringList card =
                    kept.isEmpty() ? detailsNow : readCard(kept, categoryOf(*m), m->name()).details;
                // The card fills what the book lacks; the book fills what the card lacks.
                QStringList filled = detailsNow;
                for (int d = 0; d < cardedit::DetailCount; ++d)
                    if (filled.at(d).isEmpty())
                        filled[d] = card.value(d);
                if (filled != detailsNow) {
                    people::PersonData data = m->data;
                    cardedit::setDetails(data, filled);
                    updates_.insert(m->uid, m->synced());
                    dataUpdates_.insert(m->uid, data);
                    note(received() + m->name());
                }
                detailsBase = card;
                for (int d = 0; d < cardedit::DetailCount; ++d) {
                    detailsChanged |= card.value(d).isEmpty() && !detailsNow.at(d).isEmpty();
                    if (!card.value(d).isEmpty()) // the card's value stays, the book's is not sent over it
                        detailsBase[d] = filled.at(d);
                }
                // Both sides hold the same: that is known from now on, and the
                // kept card is not read again at every sync.
                if (card == detailsNow)
                    l.details = detailsNow;
            }
            if (m->synced() != l.base || detailsChanged)
                pushes_.append({Push::Kind::Edit, l.uid, l.base, detailsBase});
        }
        for (const Mine &m : mine_)
            if (!state_.byUid(m.uid) && !linkedUids_.contains(m.uid))
                pushes_.append({Push::Kind::Upload, m.uid, {}, {}});
        return !refusesMassDelete();
    }

    // Entries another program rewrote so much that the book could not tell
    // them again and gave them new UIDs (every line edited at once): an
    // unlinked entry is the link whose entry is gone when it is the only one
    // of that name on both sides and shares its reading or a value of its
    // own with what was synced. Its card is edited, not deleted and sent anew;
    // its details count as not known, so the card's fill the book's empty ones.
    void relinkRewrittenEntries(const QSet<QString> &handled) {
        QMultiHash<QString, QString> gone; // name → UID of a link whose entry is gone
        for (const syncstate::Link &l : std::as_const(state_.links))
            if (!handled.contains(l.uid) && !l.pending && !mineOf(l.uid) && !l.base.value(1).isEmpty())
                gone.insert(plainName(l.base.value(1)), l.uid);
        QMultiHash<QString, qsizetype> unlinked; // name → index among the book's entries
        for (qsizetype i = 0; i < mine_.size(); ++i)
            if (!state_.byUid(mine_.at(i).uid) && !linkedUids_.contains(mine_.at(i).uid))
                unlinked.insert(plainName(mine_.at(i).name()), i);
        for (auto it = gone.constBegin(); it != gone.constEnd(); ++it) {
            if (gone.count(it.key()) != 1 || unlinked.count(it.key()) != 1)
                continue;
            const Mine &m = mine_.at(unlinked.value(it.key()));
            syncstate::Link link = *state_.byUid(it.value());
            const QStringList now = m.synced();
            bool shares = !now.value(0).isEmpty() && now.value(0) == link.base.value(0);
            for (int f = 2; f <= 7 && !shares; ++f)
                shares = !now.value(f).isEmpty() && now.value(f) == link.base.value(f);
            if (!shares)
                continue;
            const QByteArray kept = syncstate::keptCard(folder_, link.uid);
            state_.removeUid(link.uid);
            syncstate::forgetCard(folder_, link.uid);
            link.uid = m.uid;
            link.details.clear();
            state_.put(link);
            if (!kept.isEmpty())
                if (const QString failed = syncstate::keepCard(folder_, m.uid, kept); !failed.isEmpty())
                    note(failed);
            note(QStringLiteral("%1：ほかのプログラムで書き換えられていましたが、同じ人のカードとして合わせます")
                     .arg(m.name()));
        }
    }

    // An emptied or cut VexaTel.txt (an editor's crash, a sync folder's
    // conflict) looks like everyone deleted: the server keeps its cards.
    bool refusesMassDelete() {
        const qsizetype linked = state_.links.size();
        const qsizetype gone = remoteDeletes_.size();
        if (options_.allowMassDelete || gone == 0 || (gone < linked && 2 * gone <= linked))
            return false;
        report_.refusedMassDelete = true;
        report_.error =
            QStringLiteral("同期していた %1 件のうち %2 件が電話帳（%3）にありません。ほかのプログラムが電話帳を"
                           "空にしたか壊したおそれがあるため、サーバーからは何も削除せず、何も送らずに止めました。"
                           "本当に削除したのなら --allow-mass-delete を付けて同期して下さい。")
                .arg(linked)
                .arg(gone)
                .arg(QDir::toNativeSeparators(book_.entryPath()));
        return true;
    }

    // Cards the book has no link for, through the importer: one person stays one entry.
    void importCards(const QList<carddav::Resource> &cards) {
        QList<contactimport::BookEntry> entries;
        for (const Mine &m : mine_)
            entries.append({m.fields.join(u'|'), m.uid, m.data});
        contactimport::Importer importer(entries, book_.categories(), 1);
        for (const carddav::Resource &card : cards) {
            contactimport::Importer::Placed placed;
            bool read = false;
            vcard::forEachCard(card.card, [&](const vcard::Card &c) {
                if (read)
                    return;
                read = true;
                const QString name = c.first(QStringLiteral("FN")) ? c.first(QStringLiteral("FN"))->text() : card.href;
                placed = importer.add(contactimport::contactOfCard(c, QStringLiteral("サーバーの「%1」").arg(name)));
            });
            if (placed.book >= 0) {
                const QString uid = mine_.at(placed.book).uid;
                const syncstate::Link *other = state_.byUid(uid);
                if ((other && !dropped_.contains(uid)) || linkedUids_.contains(uid)) {
                    note(QStringLiteral("サーバーの %1 は %2 と同じ人の別のカードです。電話帳では一つのままにします")
                             .arg(card.href, mine_.at(placed.book).name()));
                    continue;
                }
                newLinks_.append({card, uid, -1, {}, {}});
                linkedUids_.insert(uid);
            } else if (placed.added >= 0) {
                newLinks_.append({card, {}, placed.added, {}, {}});
            }
        }
        imported_ = importer.takeResult();
        for (const QString &line : imported_.report)
            note(line);
        for (const contactimport::Update &u : imported_.updates)
            note(received() + tenFields(u.line).at(1));
        for (const QString &line : imported_.lines)
            note(received() + tenFields(line).at(1) + QStringLiteral("（新規）"));
    }

    QString received() const { return options_.dryRun ? QStringLiteral("受信する予定：") : QStringLiteral("受信："); }

    // A dry run's plan: what each side would get, counted as the sync would count it.
    void listPlan() {
        for (const Push &p : pushes_)
            if (const Mine *m = mineOf(p.uid))
                note(QStringLiteral("送信する予定：%1").arg(m->name()));
        for (const QString &uid : remoteDeletes_)
            note(QStringLiteral("サーバーから削除する予定：%1").arg(state_.byUid(uid)->base.value(1)));
        report_.sent = static_cast<int>(pushes_.size());
        report_.received = static_cast<int>(updates_.size() + imported_.lines.size() + imported_.updates.size());
        report_.deleted = static_cast<int>(deletes_.size() + remoteDeletes_.size());
        note(QStringLiteral("（試しのため、電話帳にもサーバーにも何も書いていません）"));
    }

    // The book written: the server's changes, new entries, deletions.
    bool writeBook() {
        const int received = static_cast<int>(updates_.size() + imported_.lines.size() + imported_.updates.size());
        for (const auto &[slot, line] : imported_.categories)
            if (const EntryWriter::Result named = book_.writeCategory(slot, line); !named) {
                report_.error = named.message;
                return false;
            }
        QList<Book::EntryUpdate> updates;
        for (const contactimport::Update &u : imported_.updates)
            updates.append({book_.entries().loadedLine(u.entry), u.line, u.data});
        for (auto it = updates_.constBegin(); it != updates_.constEnd(); ++it) {
            const Mine &m = *mineOf(it.key());
            updates.append({book_.entries().loadedLine(m.index), (it.value() + m.fields.mid(9)).join(u'|'),
                            dataUpdates_.value(it.key(), m.data)});
        }
        const qsizetype added = imported_.lines.size();
        if (!updates.isEmpty() || added > 0) {
            say(QStringLiteral("電話帳に書いています"));
            const EntryWriter::Result written =
                book_.updateAndAppend(updates, imported_.lines, imported_.people, imported_.uids);
            if (!written) {
                report_.error = written.message;
                return false;
            }
            for (const QString &said : written.peopleMessages())
                note(said);
        }
        if (!loadBook())
            return false;
        // The new lines are the file's last, in order.
        for (NewLink &l : newLinks_)
            if (l.added >= 0)
                l.uid = mine_.at(mine_.size() - added + l.added).uid;
        for (const QString &uid : deletes_) {
            const Mine *m = mineOf(uid);
            if (!m)
                continue;
            const EntryWriter::Result gone = book_.deleteEntry(book_.entries().loadedLine(m->index));
            if (!gone) {
                report_.error = gone.message;
                return false;
            }
            ++report_.deleted;
            dropped_.insert(uid);
            if (!loadBook())
                return false;
        }
        report_.received += received;
        return true;
    }

    // The new links and the merged ones, each with the card as the server holds it.
    void linkCards() {
        for (const QString &uid : std::as_const(dropped_)) {
            state_.removeUid(uid);
            syncstate::forgetCard(folder_, uid);
        }
        for (const NewLink &l : newLinks_) {
            const Mine *m = mineOf(l.uid);
            if (!m)
                continue;
            // A card matched to an entry: what the book has that the card lacks goes out.
            const cardedit::Read read = readCard(l.card.card, categoryOf(*m), m->name());
            const QStringList base = l.added >= 0 ? m->synced() : read.fields;
            const QStringList details = l.added >= 0 ? cardedit::detailsOf(m->data) : read.details;
            keep(m->uid, l.card.href, l.card.etag, base, details, l.card.card);
            if (base != m->synced() || details != cardedit::detailsOf(m->data))
                pushes_.append({Push::Kind::Edit, m->uid, base, details});
        }
        for (const NewLink &l : std::as_const(linkUpdates_))
            if (mineOf(l.uid))
                keep(l.uid, l.card.href, l.card.etag, l.base, l.details, l.card.card);
    }

    void keep(const QString &uid, const QString &href, const QByteArray &etag, const QStringList &base,
              const QStringList &details, const QByteArray &card) {
        if (const QString failed = syncstate::keepCard(folder_, uid, card); !failed.isEmpty())
            note(failed);
        state_.put({uid, href, etag, base, false, details});
    }

    void sendCards() {
        QHash<QString, QString> sentHref; // UID → href, to fetch back
        int done = 0;
        for (const Push &p : pushes_) {
            if (++done % 50 == 1)
                say(QStringLiteral("サーバーへ送っています（%1 / %2）").arg(done).arg(pushes_.size()));
            const Mine *m = mineOf(p.uid);
            if (!m)
                continue;
            syncstate::Link *link = state_.byUid(p.uid);
            QByteArray body;
            QString href;
            QByteArray etag;
            if (p.kind == Push::Kind::Upload || !link) {
                body = contactexport::vcardOf({m->fields.join(u'|'), m->uid, m->data}, book_.categories());
                href = client_.hrefFor(m->uid);
            } else {
                body =
                    cardedit::withChanges(syncstate::keptCard(folder_, p.uid), p.base, m->synced(), book_.categories());
                if (p.details.size() == cardedit::DetailCount)
                    body = cardedit::withDetails(body, p.details, cardedit::detailsOf(m->data));
                href = link->href;
                etag = p.kind == Push::Kind::Again ? QByteArray() : link->etag;
            }
            const carddav::Answer answer = client_.put(href, body, etag);
            if (answer.status == 412) {
                again_ = true; // changed there meanwhile: pulled and merged in the next pass
                ++raced_;
                continue;
            }
            if (answer.failure) {
                ++report_.unsent;
                note(QStringLiteral("%1 を送れません：%2。次の同期でもう一度送ります")
                         .arg(m->name(), carddav::describe(answer.failure)));
                continue;
            }
            state_.put({m->uid, href, answer.etag, m->synced(), false, cardedit::detailsOf(m->data)});
            sentHref.insert(m->uid, href);
            ++report_.sent;
            wroteServer_ = true;
            note(QStringLiteral("送信：%1").arg(m->name()));
        }
        for (const QString &uid : std::as_const(remoteDeletes_)) {
            const syncstate::Link *link = state_.byUid(uid);
            if (!link)
                continue;
            const QString name = link->base.value(1);
            const carddav::Answer answer = client_.remove(link->href, link->etag);
            if (answer.status == 412) {
                again_ = true;
                ++raced_;
                continue;
            }
            if (answer.failure && answer.status != 404) {
                ++report_.unsent;
                note(QStringLiteral("%1 をサーバーから削除できません：%2。次の同期でもう一度削除します")
                         .arg(name, carddav::describe(answer.failure)));
                continue;
            }
            state_.removeUid(uid);
            syncstate::forgetCard(folder_, uid);
            ++report_.deleted;
            wroteServer_ = true;
            note(QStringLiteral("削除（パソコンで削除）：%1").arg(name));
        }
        // The cards as the server keeps them: it may have rewritten what it took.
        QStringList hrefs = sentHref.values();
        QList<carddav::Resource> back;
        if (const carddav::Failure f = client_.fetch(hrefs, back)) {
            note(carddav::describe(f));
            return;
        }
        for (const carddav::Resource &r : back)
            if (syncstate::Link *link = state_.byHref(r.href)) {
                link->etag = r.etag;
                if (const QString failed = syncstate::keepCard(folder_, link->uid, r.card); !failed.isEmpty())
                    note(failed);
            }
    }

    bool onePass() {
        updates_.clear();
        dataUpdates_.clear();
        newLinks_.clear();
        linkUpdates_.clear();
        pushes_.clear();
        deletes_.clear();
        remoteDeletes_.clear();
        dropped_.clear();
        linkedUids_.clear();
        imported_ = {};
        // A pass after a 412 looks at every conflict again.
        report_.conflicts.clear();
        report_.lines.removeIf([](const QString &l) { return l.startsWith(QStringLiteral("競合：")); });
        if (!loadBook())
            return false;
        QList<carddav::Resource> fetched;
        QStringList removed;
        QString token;
        if (!listServer(fetched, removed, token) || !plan(fetched, removed))
            return false;
        if (options_.dryRun) {
            listPlan();
            return true;
        }
        if (!writeBook())
            return finish(token, false);
        linkCards();
        sendCards();
        return finish(token, true);
    }

    // The state saved, whatever finished; `ok` passed on.
    bool finish(const QString &token, bool ok) {
        if (ok)
            state_.token = token;
        if (const QString failed = syncstate::save(folder_, state_); !failed.isEmpty()) {
            report_.error = failed;
            return false;
        }
        return ok;
    }

    Book &book_;
    Account account_;
    Options options_;
    carddav::Client client_;
    QString folder_;
    syncstate::State state_;
    Report report_;
    QList<Mine> mine_;
    QHash<QString, qsizetype> byUid_;
    bool again_ = false;
    bool wroteServer_ = false; // this pass changed the server
    int raced_ = 0;            // this pass's writes the server refused as changed meanwhile (412)
    // One pass's plan.
    QHash<QString, QStringList> updates_;            // UID → fields 1 to 9 as merged
    QHash<QString, people::PersonData> dataUpdates_; // UID → the data with the details merged
    QList<NewLink> newLinks_;
    QHash<QString, NewLink> linkUpdates_;
    QList<Push> pushes_;
    QStringList deletes_;       // entries the phone deleted
    QStringList remoteDeletes_; // cards of entries deleted here
    QSet<QString> dropped_;     // links gone on both sides
    QSet<QString> linkedUids_;  // the book's entries a card of this pass links to
    contactimport::Result imported_;
};

} // namespace

QString fieldName(int field) {
    static const char16_t *const names[] = {u"ふりがな", u"氏名",     u"郵便番号",       u"住所", u"電話番号",
                                            u"FAX",      u"携帯電話", u"メールアドレス", u"分類"};
    return field >= 0 && field < FieldsSynced ? QString::fromUtf16(names[field])
                                              : cardedit::detailName(field - FieldsSynced);
}

QString Report::summary() const {
    return QStringLiteral("送信 %1 件、受信 %2 件、削除 %3 件、競合 %4 件")
        .arg(sent)
        .arg(received)
        .arg(deleted)
        .arg(conflicts.size());
}

Report run(Book &book, const Account &account, const Options &options) {
    return Run(book, account, options).go();
}

} // namespace cardsync
