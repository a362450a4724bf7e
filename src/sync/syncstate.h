#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

// What the book and one CardDAV address book agreed on at the last sync, kept
// in the book's folder under "sync/ACCOUNT/": a state file ("state.tsv",
// UTF-8) with the server's sync token and one line per linked entry (its UID,
// the card's href, the server's ETag, whether a conflict waits, and the
// entry's fields 1 to 9 as last synced: the base), and beside it the card as
// the server last returned it, "UID.vcf".
namespace syncstate {

struct Link {
    QString uid;
    QString href;
    QByteArray etag;
    QStringList base;     // fields 1 to 9 as last synced
    bool pending = false; // a conflict waits for the user's choice
    // The details (cardedit::detailsOf) as last synced, kept in "details.tsv";
    // empty for a link made before details travelled: then not known.
    QStringList details;
};

class State {
public:
    QString token;
    QList<Link> links;

    bool isFirstSync() const { return links.isEmpty() && token.isEmpty(); }
    Link *byUid(const QString &uid);
    Link *byHref(const QString &href);
    void put(const Link &link);
    void removeUid(const QString &uid);

private:
    void reindex();
    QHash<QString, qsizetype> byUid_, byHref_;
};

// The account's folder: sync/ then the user and the host, made safe as a file name.
QString folderOf(const QString &bookDir, const QUrl &url, const QString &user);
// How the names of that user's account folders begin, whatever the host.
QString userPrefixOf(const QString &user);
// Reads the state; a folder without one is a first sync. Empty on success.
QString load(const QString &folder, State &out);
// Writes the state file whole, after the cards it names.
QString save(const QString &folder, const State &state);
// The kept card of an entry, empty when there is none.
QByteArray keptCard(const QString &folder, const QString &uid);
QString keepCard(const QString &folder, const QString &uid, const QByteArray &card);
void forgetCard(const QString &folder, const QString &uid);

} // namespace syncstate
