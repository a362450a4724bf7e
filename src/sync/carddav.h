#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <memory>

class QNetworkAccessManager;

// A CardDAV address book (RFC 6352) over HTTP, request by request: each call
// waits for its answer, so that a sync reads as the steps it takes. Use one
// client on one thread.
namespace carddav {

// Why a request did not do what was asked.
struct Failure {
    enum class Kind {
        None,
        WrongPassword,    // 401
        NotAnAddressBook, // the URL is no CardDAV address book
        NoConnection,     // no answer: the host, the network, a timeout
        TokenExpired,     // sync-collection refused the token
        Refused,          // the server refused this request (4xx)
        ServerFault,      // 5xx, or an answer that cannot be read
    };
    Kind kind = Kind::None;
    int status = 0;
    QString detail; // what the server or the network said
    explicit operator bool() const { return kind != Kind::None; }
};

// The failure in the user's words.
QString describe(const Failure &failure);

struct Resource {
    QString href;    // the path as the server names it
    QByteArray etag; // with its quotes, as the server sent it
    QByteArray card; // the vCard, when it was asked for
};

struct Changes {
    QString token;
    QList<Resource> changed; // new or changed since the token, without their cards
    QStringList removed;
};

struct Answer {
    int status = 0;
    QByteArray etag;
    Failure failure;
};

class Client {
public:
    Client(const QUrl &addressBook, const QString &user, const QString &password);
    ~Client();

    // Whether the URL is an address book this user may read.
    Failure check();
    // What changed since `token` (everything when it is empty), through
    // sync-collection, following a truncated answer's pages. A token the
    // server no longer knows fails as TokenExpired.
    Failure changesSince(const QString &token, Changes &out);
    // Every card's href and ETag, for a server without a usable token.
    Failure listAll(QList<Resource> &out);
    // The cards at these hrefs, with their ETags (addressbook-multiget).
    Failure fetch(const QStringList &hrefs, QList<Resource> &out);
    // Writes a card: only over `etag` when given (If-Match), else only where
    // none is (If-None-Match: *). Status 412 means it changed meanwhile.
    Answer put(const QString &href, const QByteArray &card, const QByteArray &etag);
    // Removes a card, only while it is still `etag`.
    Answer remove(const QString &href, const QByteArray &etag);
    // The href a new card of this UID gets.
    QString hrefFor(const QString &uid) const;

private:
    struct Reply {
        int status = 0;
        QByteArray body;
        QByteArray etag;
        Failure failure;
    };
    Reply send(const QByteArray &method, const QString &href, const QByteArray &body,
               const QList<std::pair<QByteArray, QByteArray>> &headers);

    QUrl url_;
    QByteArray authorization_;
    std::unique_ptr<QNetworkAccessManager> network_;
};

} // namespace carddav
