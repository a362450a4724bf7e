#include "store/book.h"

#include "store/bookencoding.h"
#include "store/cp932.h"
#include "store/entryrules.h"
#include "store/lineedit.h"
#include "store/linefile.h"
#include "store/loader.h"
#include "store/mdlDim.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>

#include <cerrno>
#include <sys/stat.h>

using EntryWriter::Result;

namespace {

Result failed(const Failure &failure) {
    Result result;
    result.ok = false;
    result.failure = failure;
    result.message = describe(failure);
    return result;
}

Result failed(Failure::Kind kind, const QString &path, const QString &detail = {}) {
    return failed(Failure{kind, path, 0, detail});
}

Result notEncodable(const QString &path) {
    return failed(Failure::Kind::Unencodable, path);
}

// The index in `lines` of the loaded line: its own place while it still holds
// the loaded bytes, else the one line that does; -1 when none or several do.
qsizetype find(const LineEdit &lines, const mdlDim::LoadedLine &loaded) {
    if (loaded.bytes.isEmpty()) // only non-empty lines are loaded; a blank line is never an entry
        return -1;
    const qsizetype at = loaded.number - 1;
    if (at >= 0 && at < lines.size() && lines.at(at) == loaded.bytes)
        return at;
    qsizetype found = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines.at(i) != loaded.bytes)
            continue;
        if (found >= 0)
            return -1;
        found = i;
    }
    return found;
}

// A line a writer may write: text the code page holds, without line ends or
// other control characters.
std::optional<QByteArray> encodeLine(const QString &line) {
    for (QChar c : line)
        if (entryrules::isControl(c))
            return std::nullopt;
    return cp932::encode(line);
}

} // namespace

Book::Book(const QString &dir) : dir_(dir.endsWith(u'/') ? dir : dir + u'/'), readFrom_(dir_) {}

Book::~Book() = default;

Failure Book::readThroughConvertedCopy(QStringList *unheld) {
    auto copy = std::make_unique<QTemporaryDir>(); // 0700, a random name: nobody else's
    if (!copy->isValid())
        return {Failure::Kind::CannotMakeScratch, copy->path(), 0, copy->errorString()};
    const QString folder = copy->path() + u'/';
    for (const QString &name : {QStringLiteral("VexaTel.txt"), QStringLiteral("VexaType.txt"), people::FileName}) {
        if (!QFileInfo::exists(dir_ + name))
            continue;
        QByteArray bytes;
        if (Failure failure = linefile::readAll(dir_ + name, bytes); failure.failed())
            return failure;
        if (Failure failure = linefile::writeBytes(folder + name, bytes, 0600, false); failure.failed())
            return failure;
        if (name == people::FileName || bookencoding::check(bytes).kind != bookencoding::Kind::Utf8)
            continue;
        const bookencoding::Conversion done = bookencoding::convertToCp932(folder + name);
        if (done.failure.failed())
            return done.failure;
        if (unheld)
            for (const bookencoding::Unheld &character : done.unheld)
                unheld->append(unheldCharacter(name, character.line, character.character));
    }
    readFrom_ = folder;
    convertedCopy_ = std::move(copy);
    return {};
}

SingleInstance::State Book::takeLock(const QString &program) {
    lock_ = std::make_unique<SingleInstance>(dir_, program);
    const SingleInstance::State state = lock_->acquire();
    if (state == SingleInstance::State::ReadOnly)
        readOnlyReason_ = describe(lock_->readOnlyReason());
    else if (state == SingleInstance::State::Acquired)
        readOnlyReason_.clear();
    return state;
}

QString Book::entryPath() const {
    return readFrom_ + QStringLiteral("VexaTel.txt");
}

QString Book::categoryPath() const {
    return readFrom_ + QStringLiteral("VexaType.txt");
}

QString Book::peoplePath() const {
    return readFrom_ + people::FileName;
}

bool Book::load(QString *error) {
    Failure failure;
    const bool loaded = load(&failure);
    if (!loaded && error)
        *error = describe(failure);
    return loaded;
}

bool Book::load(Failure *failure) {
    mdlDim::LoadedTables tables;
    if (Failure failed = mdlDim::loadTables(entryPath(), categoryPath(), categories_, tables); failed.failed()) {
        if (failure)
            *failure = failed;
        return false;
    }
    entries_ = std::move(tables.entries);
    printTable_.clear();
    setCategories(tables.categories, std::move(tables.categoryLines));
    return true;
}

QString Book::categoryName(int slot) const {
    return mdlDim::categoryNameIn(categories_[static_cast<size_t>(slot)]);
}

void Book::setCategories(const mdlDim::CategoryLines &categories, QList<QByteArray> lines) {
    categories_ = categories;
    categoryFileLines_ = std::move(lines);
}

Failure Book::readOnlyRefusal() const {
    return {Failure::Kind::BookReadOnly, entryPath(), 0, readOnlyReason_};
}

Failure Book::readSideFile(people::SideFile &side, QString *notice) {
    QByteArray bytes;
    if (!QFileInfo::exists(peoplePath()) && !QFileInfo(peoplePath()).isSymLink())
        return {}; // a book from before identities, or from an older copy: every entry gets one now
    // Stamped before it is read: a file put in its place meanwhile is never appended to.
    const linefile::FileStamp asRead = linefile::stampOf(peoplePath());
    if (Failure failure = linefile::readAll(peoplePath(), bytes); failure.failed())
        return failure;
    Failure damage = people::SideFile::parse(bytes, side);
    if (!damage.failed()) {
        sideStamp_ = asRead;
        journalLines_ = side.journalLines;
        return {};
    }
    // Every entry whose line can still be read keeps its UID and data.
    side = people::SideFile::salvage(bytes);
    QString kept;
    if (readOnlyReason_.isEmpty()) {
        const QString stamp = peoplePath() + QStringLiteral(".broken-") +
                              QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        kept = stamp;
        for (int n = 2; QFileInfo::exists(kept) || QFileInfo(kept).isSymLink(); ++n) {
            if (n > 99)
                return {Failure::Kind::SideCannotKeep, peoplePath()};
            kept = stamp + QStringLiteral("-%1").arg(n);
        }
        if (!QFile::rename(peoplePath(), kept))
            return {Failure::Kind::SideCannotKeep, peoplePath()};
    }
    if (notice) {
        damage.file = peoplePath();
        *notice = sideFileRebuilt(damage, kept);
    }
    return {};
}

namespace {

// Makes the records of new entries: each gets the UID an earlier export gave
// its line, unless an entry of the book holds that one already. The book's
// UIDs are looked at only when the first record is made.
template <typename Slots> class NewRecords {
public:
    explicit NewRecords(const Slots &book) : book_(book) {}
    people::Record make(const people::Anchor &anchor, quint64 lineHash, const people::PersonData &data,
                        const QString &given = {}) {
        if (!looked_) {
            looked_ = true;
            for (const auto &slot : book_)
                if (!slot.record.isNull()) {
                    taken_.insert(QByteArrayView(slot.record.line()).first(36));
                    ++occurrences_[slot.record.lineHash()];
                }
        }
        QString uid = people::seededUid(anchor, occurrences_[lineHash]++);
        if (!given.isEmpty() && !isTaken(given))
            uid = given;
        else if (isTaken(uid))
            uid = people::randomUid();
        made_.insert(uid);
        return people::Record(uid, lineHash, anchor, data);
    }

private:
    bool isTaken(const QString &uid) const { return made_.contains(uid) || taken_.contains(uid.toLatin1()); }
    const Slots &book_;
    bool looked_ = false;
    QSet<QByteArrayView> taken_; // into the book's records, which outlive this
    QSet<QString> made_;
    QHash<quint64, int> occurrences_;
};

} // namespace

Failure Book::follow(const QByteArray &entryBytes, QString *notice) {
    struct Line {
        qsizetype start;
        qsizetype length;
    };
    std::vector<Line> lines;
    std::vector<quint64> hashes;
    qsizetype nonEmpty = 0;
    linefile::forEachLine(entryBytes, true, [&](qsizetype start, qsizetype length) {
        lines.push_back({start, length});
        hashes.push_back(length > 0 ? people::lineHash(QByteArrayView(entryBytes).sliced(start, length)) : 0);
        nonEmpty += length > 0;
    });
    const quint64 hash = people::foldedHash(hashes);
    if (attached_ && hash == seenHash_)
        return {};
    std::vector<people::Record> before;
    quint64 sideHash = 0;
    if (attached_) {
        for (Slot &slot : byLine_)
            if (!slot.record.isNull())
                before.push_back(std::move(slot.record));
        sideHash = seenHash_;
    } else {
        people::SideFile side;
        if (Failure failure = readSideFile(side, notice); failure.failed())
            return failure;
        before = std::move(side.records);
        sideHash = side.bookHash;
    }
    byLine_.assign(lines.size(), Slot());
    for (size_t i = 0; i < lines.size(); ++i)
        byLine_[i].hash = hashes[i];
    attached_ = true;
    seenHash_ = hash;
    if (sideHash == hash && static_cast<qsizetype>(before.size()) == nonEmpty) {
        // The book is as the side file was written for: entry for entry, in order.
        size_t next = 0;
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i].length > 0)
                byLine_[i].record = std::move(before[next++]);
        return {};
    }
    // Lines found once before and once now by their hash are the same
    // entries; only the others are decoded and compared.
    QHash<quint64, int> hashBefore; // hash → index in before, -1 when found twice
    for (size_t i = 0; i < before.size(); ++i) {
        const quint64 h = before[i].lineHash();
        hashBefore.insert(h, hashBefore.contains(h) ? -1 : static_cast<int>(i));
    }
    QHash<quint64, int> timesNow;
    for (quint64 h : hashes)
        if (h != 0)
            ++timesNow[h];
    std::vector<bool> paired(before.size(), false);
    std::vector<size_t> lineOf; // the lines left, in order
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].length == 0)
            continue;
        const int found = timesNow.value(hashes[i]) == 1 ? hashBefore.value(hashes[i], -1) : -1;
        if (found >= 0) {
            byLine_[i].record = std::move(before[static_cast<size_t>(found)]);
            paired[static_cast<size_t>(found)] = true;
        } else {
            lineOf.push_back(i);
        }
    }
    std::vector<size_t> left; // the records left, in order
    std::vector<people::Anchor> was;
    for (size_t i = 0; i < before.size(); ++i)
        if (!paired[i]) {
            left.push_back(i);
            was.push_back(before[i].anchor());
        }
    std::vector<people::Anchor> now;
    for (size_t i : lineOf)
        now.push_back(
            people::anchorOf(cp932::decode(QByteArrayView(entryBytes).sliced(lines[i].start, lines[i].length))));
    const std::vector<int> match = people::attach(was, now);
    for (size_t j = 0; j < now.size(); ++j)
        if (match[j] >= 0)
            byLine_[lineOf[j]].record = before[left[static_cast<size_t>(match[j])]].withLine(hashes[lineOf[j]], now[j]);
    NewRecords made(byLine_);
    for (size_t j = 0; j < now.size(); ++j)
        if (match[j] < 0)
            byLine_[lineOf[j]].record = made.make(now[j], hashes[lineOf[j]], {});
    // Most of the people gone at once (an emptied or cut VexaTel.txt, an
    // editor's crash, a sync folder's conflict) is no one's deletion: the side
    // file stays as it was, so that the file put back finds them all again.
    const qsizetype newLines = std::count(match.cbegin(), match.cend(), -1);
    const qsizetype vanished = static_cast<qsizetype>(left.size()) - (static_cast<qsizetype>(now.size()) - newLines);
    const qsizetype fewer = static_cast<qsizetype>(before.size()) - nonEmpty;
    if (vanished >= 2 && (nonEmpty == 0 || 2 * fewer > static_cast<qsizetype>(before.size()))) {
        if (notice)
            *notice = sideFileKeptForVanished(static_cast<qsizetype>(before.size()), vanished);
        return {};
    }
    // Written down, so that the next change elsewhere starts from this one.
    stale_ = true;
    return {};
}

Failure Book::attachPeople(QString *notice) {
    QByteArray bytes;
    if (Failure failure = linefile::readAll(entryPath(), bytes); failure.failed())
        return failure;
    return followAndCatchUp(bytes, notice);
}

Failure Book::followAndCatchUp(const QByteArray &entryBytes, QString *notice) {
    if (Failure failure = follow(entryBytes, notice); failure.failed())
        return failure;
    if (!QFileInfo::exists(peoplePath()))
        stale_ = true;
    // Never beside a book that is not code page 932: its lines were not read as they are.
    if (!stale_ || !readOnlyReason_.isEmpty() || bookencoding::readRefusal(entryPath(), entryBytes).failed())
        return {};
    return writeSideFile();
}

people::Record Book::personOf(const mdlDim::LoadedLine &line) {
    QByteArray bytes;
    // A side file that cannot be written now is tried again by the next write or load.
    if (linefile::readAll(entryPath(), bytes).failed() || followAndCatchUp(bytes, nullptr).failed())
        return {};
    const LineEdit lines(bytes);
    const qsizetype at = find(lines, line);
    return at < 0 ? people::Record() : byLine_[static_cast<size_t>(at)].record;
}

QList<people::PersonData> Book::peopleDataOf(const QList<mdlDim::LoadedLine> &lines) {
    QList<people::PersonData> data;
    data.reserve(lines.size());
    for (const people::Record &record : recordsOf(lines))
        data.append(record.isNull() ? people::PersonData() : record.data());
    return data;
}

QList<people::Record> Book::recordsOf(const QList<mdlDim::LoadedLine> &lines) {
    QList<people::Record> records(lines.size());
    QByteArray bytes;
    if (lines.isEmpty() || linefile::readAll(entryPath(), bytes).failed() || followAndCatchUp(bytes, nullptr).failed())
        return records;
    const LineEdit file(bytes);
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (const qsizetype at = find(file, lines.at(i)); at >= 0)
            records[i] = byLine_[static_cast<size_t>(at)].record;
    return records;
}

std::vector<people::Record> Book::records() {
    std::vector<people::Record> out;
    for (const Slot &slot : byLine_)
        if (!slot.record.isNull())
            out.push_back(slot.record);
    return out;
}

Failure Book::writeSideFile() {
    people::SideFile side;
    side.bookHash = seenHash_;
    // Kept from one write to the next, as the entry file's buffer is.
    thread_local QByteArray bytes;
    const QByteArray header = side.header();
    qsizetype size = header.size();
    for (const Slot &slot : byLine_)
        size += slot.record.line().size() + 2;
    bytes.reserve(size);
    bytes.resize(0);
    bytes += header;
    for (const Slot &slot : byLine_)
        if (!slot.record.isNull())
            bytes.append(slot.record.line()).append("\r\n", 2);
    const QString path = peoplePath();
    Failure failure;
    if (QFileInfo(path).exists()) {
        failure = linefile::replaceWithContent(path, bytes);
    } else {
        struct stat book {};
        const bool known = ::stat(QFile::encodeName(entryPath()).constData(), &book) == 0;
        failure = linefile::writeBytes(path, bytes, known ? book.st_mode & 0666 : 0600, false);
    }
    stale_ = failure.failed();
    sideStamp_ = failure.failed() ? linefile::FileStamp{} : linefile::stampOf(path);
    journalLines_ = 0;
    return failure;
}

Failure Book::saveSideFile() {
    // Read through at every start: kept short beside the records.
    const int journalLimit = std::max(64, static_cast<int>(byLine_.size() / 16));
    if (stale_ || journal_.isEmpty() || journalLines_ >= journalLimit)
        return writeSideFile();
    Failure error;
    if (linefile::appendIfStill(peoplePath(), sideStamp_, people::SideFile::journalLine(seenHash_, journal_), error)) {
        ++journalLines_;
        return {};
    }
    if (error.failed()) {
        stale_ = true;
        return error;
    }
    return writeSideFile(); // another file is there now: written whole
}

Result Book::rewriteEntries(const Change &change, bool changesRecords, bool writesEntries) {
    if (!readOnlyReason_.isEmpty())
        return failed(readOnlyRefusal());
    const QString path = entryPath();
    // Kept from one write to the next: a book's worth of fresh memory costs a page fault every 4 KiB.
    thread_local QByteArray data;
    if (const Failure failure = linefile::readAll(path, data); failure.failed())
        return failed(failure);
    LineEdit lines(data);
    // Code page 932 lines added to a file in another encoding could never be told apart again.
    if (Failure refused = bookencoding::writeRefusal(path, lines); refused.failed())
        return failed(refused);
    QString notice;
    if (Failure failure = follow(data, &notice); failure.failed())
        return failed(failure);
    journal_.clear();
    std::function<void()> undo;
    bool untouched = false;
    Result changed = change(lines, byLine_, undo, untouched);
    if (!changed || untouched) {
        if (undo)
            undo();
        return changed;
    }
    if (const Failure failure = writesEntries ? linefile::replaceWithPieces(path, lines.content()) : Failure();
        failure.failed()) {
        if (undo)
            undo();
        return failed(failure);
    }
    if (changesRecords) {
        std::vector<quint64> hashes;
        hashes.reserve(byLine_.size());
        for (const Slot &slot : byLine_)
            hashes.push_back(slot.hash);
        seenHash_ = people::foldedHash(hashes);
    } else if (!stale_) {
        // A printed mark leaves every anchor and the hash as they were: nothing to write.
        changed.peopleNotice = notice;
        return changed;
    }
    if (Failure failure = saveSideFile(); failure.failed())
        changed.peopleError = describe({Failure::Kind::SideNotSaved, peoplePath(), 0, describe(failure)});
    changed.peopleNotice = notice;
    return changed;
}

Result Book::appendEntry(const QString &line, const people::PersonData &data) {
    return appendEntries({line}, data.isEmpty() ? people::DataOfNew() : people::DataOfNew{{0, data}});
}

Result Book::appendEntries(const QStringList &newLines, const people::DataOfNew &data, const QStringList &uids) {
    return updateAndAppend({}, newLines, data, uids);
}

Result Book::updateAndAppend(const QList<EntryUpdate> &updates, QStringList newLines, const people::DataOfNew &data,
                             const QStringList &uids) {
    QList<QByteArray> encoded;
    for (const QString &line : newLines) {
        const std::optional<QByteArray> bytes = encodeLine(line);
        if (!bytes)
            return notEncodable(entryPath());
        encoded.append(*bytes);
    }
    // The text is not needed again (a record's anchor is read back from the
    // bytes, as a load would): a caller that moved it in frees it here.
    newLines = QStringList();
    QList<QByteArray> updated;
    for (const EntryUpdate &update : updates) {
        const std::optional<QByteArray> bytes = encodeLine(update.line);
        if (!bytes || bytes->isEmpty())
            return notEncodable(entryPath());
        updated.append(*bytes);
    }
    // Rewritten rather than opened for appending, so that a full disk can never
    // leave half a line at the end of the file.
    return rewriteEntries([&](LineEdit &lines, Records &records, std::function<void()> &undo, bool &) {
        std::vector<qsizetype> places;
        for (const EntryUpdate &update : updates) {
            const qsizetype at = find(lines, update.loaded);
            if (at < 0)
                return failed(Failure::Kind::ChangedElsewhere, entryPath());
            places.push_back(at);
        }
        std::vector<std::pair<size_t, Slot>> was;
        for (qsizetype at : places)
            was.emplace_back(static_cast<size_t>(at), records[static_cast<size_t>(at)]);
        undo = [&records, was, size = records.size()] {
            records.resize(size);
            for (const auto &[at, slot] : was)
                records[at] = slot;
        };
        for (qsizetype i = 0; i < updates.size(); ++i) {
            lines.replace(places[static_cast<size_t>(i)], updated.at(i));
            Slot &slot = records[static_cast<size_t>(places[static_cast<size_t>(i)])];
            slot.hash = people::lineHash(updated.at(i));
            slot.record =
                people::Record(slot.record.uid(), slot.hash, people::anchorOf(updates.at(i).line), updates.at(i).data);
        }
        NewRecords made(records);
        for (qsizetype i = 0; i < encoded.size(); ++i) {
            lines.append(encoded.at(i));
            if (encoded.at(i).isEmpty())
                records.push_back(Slot());
            else
                records.push_back({made.make(people::anchorOf(cp932::decode(encoded.at(i))),
                                             people::lineHash(encoded.at(i)), data.value(i), uids.value(i)),
                                   people::lineHash(encoded.at(i))});
        }
        if (updates.isEmpty() && encoded.size() == 1 && !encoded.first().isEmpty())
            journal_ = records.back().record.line();
        return Result{};
    });
}

Result Book::replaceEntry(const mdlDim::LoadedLine &loaded, const QString &line, const people::PersonData *data) {
    const std::optional<QByteArray> encoded = encodeLine(line);
    if (!encoded)
        return notEncodable(entryPath());
    mdlDim::LoadedLine written;
    Result result = rewriteEntries([&](LineEdit &lines, Records &records, std::function<void()> &undo, bool &) {
        const qsizetype at = find(lines, loaded);
        if (at < 0)
            return failed(Failure::Kind::ChangedElsewhere, entryPath());
        lines.replace(at, *encoded);
        Slot &slot = records[static_cast<size_t>(at)];
        undo = [&slot, was = slot] { slot = was; };
        slot.hash = people::lineHash(*encoded);
        slot.record =
            people::Record(slot.record.uid(), slot.hash, people::anchorOf(line), data ? *data : slot.record.data());
        journal_ = slot.record.line();
        written = {static_cast<int>(at + 1), *encoded};
        return Result{};
    });
    if (result)
        result.written = written;
    return result;
}

Result Book::deleteEntry(const mdlDim::LoadedLine &loaded) {
    return rewriteEntries([&](LineEdit &lines, Records &records, std::function<void()> &undo, bool &) {
        const qsizetype at = find(lines, loaded);
        if (at < 0)
            return failed(Failure::Kind::ChangedElsewhere, entryPath());
        lines.removeAt(at);
        if (const QByteArray &gone = records[static_cast<size_t>(at)].record.line(); gone.size() >= 36)
            journal_ = gone.first(36);
        undo = [&records, at, was = records[static_cast<size_t>(at)]] { records.insert(records.begin() + at, was); };
        records.erase(records.begin() + at);
        return Result{};
    });
}

Result Book::markPrinted(const QList<mdlDim::LoadedLine> &loadedLines) {
    int unmarked = 0;
    int vanished = 0;
    // The printed mark is no part of an anchor: the records stay as they are.
    Result result = rewriteEntries(
        [&](LineEdit &lines, Records &, std::function<void()> &, bool &untouched) {
            // Found against the file as read, before any line is marked.
            std::vector<qsizetype> found;
            for (const mdlDim::LoadedLine &loaded : loadedLines)
                found.push_back(find(lines, loaded));
            for (qsizetype at : found) {
                if (at < 0)
                    ++vanished;
                else if (std::optional<QByteArray> marked = EntryWriter::withField(lines.at(at).toByteArray(), 10, "T"))
                    lines.replace(at, *marked);
                else
                    ++unmarked;
            }
            untouched = vanished + unmarked == static_cast<int>(found.size());
            return Result{};
        },
        false);
    result.unmarked = unmarked;
    result.vanished = vanished;
    return result;
}

Result Book::changePeopleData(const QList<mdlDim::LoadedLine> &loadedLines,
                              const std::function<void(people::PersonData &)> &change) {
    int vanished = 0;
    Result result = rewriteEntries(
        [&](LineEdit &lines, Records &records, std::function<void()> &undo, bool &untouched) {
            std::vector<std::pair<size_t, Slot>> was;
            for (const mdlDim::LoadedLine &loaded : loadedLines) {
                const qsizetype at = find(lines, loaded);
                if (at < 0) {
                    ++vanished;
                    continue;
                }
                Slot &slot = records[static_cast<size_t>(at)];
                people::PersonData data = slot.record.data();
                change(data);
                was.emplace_back(static_cast<size_t>(at), slot);
                slot.record = people::Record(slot.record.uid(), slot.hash, slot.record.anchor(), data);
            }
            undo = [&records, was] {
                for (const auto &[at, slot] : was)
                    records[at] = slot;
            };
            untouched = was.empty();
            return Result{};
        },
        true, false); // the lines stay as they are: only the side file is written
    result.vanished = vanished;
    return result;
}

Result Book::writeCategory(int slot, const QString &line) {
    Result written = writeCategory(categoryFileLines_, slot, line);
    if (!written)
        return written;
    // What another program set in the other lines is now the table's too.
    categoryFileLines_ = written.lines;
    for (qsizetype at = 0; at < written.lines.size() && at < 10; ++at)
        categories_[static_cast<size_t>(at)] = cp932::decode(written.lines.at(at));
    return written;
}

Result Book::writeCategory(const QList<QByteArray> &loaded, int slot, const QString &line) {
    if (!readOnlyReason_.isEmpty())
        return failed({Failure::Kind::BookReadOnly, categoryPath(), 0, readOnlyReason_});
    const QString path = categoryPath();
    const std::optional<QByteArray> encoded = encodeLine(line);
    if (!encoded)
        return notEncodable(path);
    QByteArray data;
    if (const Failure failure = linefile::readAll(path, data); failure.failed())
        return failed(failure);
    LineEdit lines(data);
    if (Failure refused = bookencoding::writeRefusal(path, lines); refused.failed())
        return failed(refused);
    const QList<QByteArray> asFound = lines.toList();
    if (asFound != loaded && asFound.value(slot) != loaded.value(slot))
        return failed(Failure::Kind::ChangedElsewhere, path);
    while (lines.size() <= slot)
        lines.append(*cp932::encode(QString::number(lines.size() + 1) + u'|'));
    const bool untouched = lines.at(slot) == *encoded;
    lines.replace(slot, *encoded);
    Result result;
    result.lines = lines.toList();
    if (untouched)
        return result;
    if (const Failure failure = linefile::replaceWithPieces(path, lines.content()); failure.failed())
        return failed(failure);
    return result;
}
