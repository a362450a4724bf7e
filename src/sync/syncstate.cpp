#include "sync/syncstate.h"

#include "sync/cardedit.h"

#include "store/linefile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace syncstate {
namespace {

const QByteArray Header = "telbora-sync\t1";
const QString StateName = QStringLiteral("state.tsv");
const QString DetailsName = QStringLiteral("details.tsv");

// A UID as a file name: anything but letters, digits, "-", "_" and "." in hex.
QString fileNameOf(const QString &uid) {
    QString name;
    for (const QChar c : uid) {
        if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'-' ||
            c == u'_' || (c == u'.' && !name.isEmpty()))
            name += c;
        else
            name += QStringLiteral("%%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return name + QStringLiteral(".vcf");
}

QString makeFolder(const QString &folder) {
    if (!QDir().mkpath(folder))
        return QStringLiteral("同期の記録のフォルダーを作れません：%1").arg(QDir::toNativeSeparators(folder));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return {};
}

} // namespace

void State::reindex() {
    byUid_.clear();
    byHref_.clear();
    for (qsizetype i = 0; i < links.size(); ++i) {
        byUid_.insert(links.at(i).uid, i);
        byHref_.insert(links.at(i).href, i);
    }
}

Link *State::byUid(const QString &uid) {
    if (byUid_.size() != links.size())
        reindex();
    const auto found = byUid_.constFind(uid);
    return found == byUid_.constEnd() ? nullptr : &links[*found];
}

Link *State::byHref(const QString &href) {
    if (byHref_.size() != links.size())
        reindex();
    const auto found = byHref_.constFind(href);
    return found == byHref_.constEnd() ? nullptr : &links[*found];
}

void State::put(const Link &link) {
    if (Link *known = byUid(link.uid)) {
        const bool moved = known->href != link.href;
        *known = link;
        if (moved)
            reindex();
        return;
    }
    links.append(link);
    byUid_.insert(link.uid, links.size() - 1);
    byHref_.insert(link.href, links.size() - 1);
}

void State::removeUid(const QString &uid) {
    links.removeIf([&](const Link &l) { return l.uid == uid; });
    reindex();
}

namespace {
QString safeName(QString text) {
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9._-]"));
    return text.replace(unsafe, QStringLiteral("_"));
}
} // namespace

QString userPrefixOf(const QString &user) {
    return safeName(user + u'@');
}

QString folderOf(const QString &bookDir, const QUrl &url, const QString &user) {
    const QString who = safeName(user + u'@' + url.host());
    // Two address books of one user on one host stay apart.
    const QByteArray which =
        QCryptographicHash::hash(url.adjusted(QUrl::StripTrailingSlash).toString().toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(8);
    return QDir(bookDir).filePath(QStringLiteral("sync/") + who + u'-' + QString::fromLatin1(which));
}

QString load(const QString &folder, State &out) {
    out = State();
    const QString path = QDir(folder).filePath(StateName);
    if (!QFile::exists(path))
        return {};
    QByteArray bytes;
    if (QString failed = describe(linefile::readAll(path, bytes)); !failed.isEmpty())
        return failed;
    const QList<QByteArray> lines = linefile::splitLines(bytes);
    if (lines.isEmpty() || lines.first() != Header)
        return QStringLiteral("同期の記録が読めません（このプログラムのものではありません）：%1")
            .arg(QDir::toNativeSeparators(path));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> cells = lines.at(i).split('\t');
        if (cells.value(0) == "token") {
            out.token = QString::fromUtf8(cells.value(1));
        } else if (cells.value(0) == "link" && cells.size() == 6) {
            Link link{QString::fromUtf8(cells.at(1)),
                      QString::fromUtf8(cells.at(2)),
                      cells.at(3),
                      QString::fromUtf8(cells.at(5)).split(u'|'),
                      cells.at(4) == "pending",
                      {}};
            while (link.base.size() < 9)
                link.base.append(QString());
            out.put(link);
        } else if (!lines.at(i).isEmpty()) {
            return QStringLiteral("同期の記録の %1 行目が読めません：%2")
                .arg(i + 1)
                .arg(QDir::toNativeSeparators(path));
        }
    }
    // The details beside it: a file of their own, which an older copy leaves alone.
    QByteArray details;
    const QString detailsPath = QDir(folder).filePath(DetailsName);
    if (QFile::exists(detailsPath) && describe(linefile::readAll(detailsPath, details)).isEmpty())
        for (const QByteArray &line : linefile::splitLines(details)) {
            const QList<QByteArray> cells = line.split('\t');
            if (Link *link = cells.size() == 2 ? out.byUid(QString::fromUtf8(cells.at(0))) : nullptr) {
                for (const QByteArray &value : cells.at(1).split('|'))
                    link->details.append(QString::fromUtf8(QByteArray::fromPercentEncoding(value)));
                if (link->details.size() != cardedit::DetailCount)
                    link->details.clear(); // not known, rather than half known
            }
        }
    return {};
}

QString save(const QString &folder, const State &state) {
    if (QString failed = makeFolder(folder); !failed.isEmpty())
        return failed;
    QByteArray bytes = Header + "\r\n";
    bytes += "token\t" + state.token.toUtf8() + "\r\n";
    QByteArray details;
    for (const Link &l : state.links) {
        bytes += "link\t" + l.uid.toUtf8() + '\t' + l.href.toUtf8() + '\t' + l.etag + '\t' +
                 (l.pending ? "pending" : "synced") + '\t' + l.base.mid(0, 9).join(u'|').toUtf8() + "\r\n";
        if (l.details.size() != cardedit::DetailCount)
            continue;
        QByteArrayList values;
        for (const QString &value : l.details)
            values.append(value.toUtf8().toPercentEncoding());
        details += l.uid.toUtf8() + '\t' + values.join('|') + "\r\n";
    }
    if (QString failed = describe(linefile::writeBytes(QDir(folder).filePath(DetailsName), details, 0600, true));
        !failed.isEmpty())
        return failed;
    return describe(linefile::writeBytes(QDir(folder).filePath(StateName), bytes, 0600, true));
}

QByteArray keptCard(const QString &folder, const QString &uid) {
    QByteArray bytes;
    if (!describe(linefile::readAll(QDir(folder).filePath(fileNameOf(uid)), bytes)).isEmpty())
        return {};
    return bytes;
}

QString keepCard(const QString &folder, const QString &uid, const QByteArray &card) {
    if (QString failed = makeFolder(folder); !failed.isEmpty())
        return failed;
    return describe(linefile::writeBytes(QDir(folder).filePath(fileNameOf(uid)), card, 0600, true));
}

void forgetCard(const QString &folder, const QString &uid) {
    QFile::remove(QDir(folder).filePath(fileNameOf(uid)));
}

} // namespace syncstate
