#include "sync/carddav.h"

#include "sync/log.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QXmlStreamReader>

#include <algorithm>

namespace carddav {
namespace {

constexpr int TransferTimeoutMs = 30000;
constexpr qsizetype CardsPerFetch = 100;

// One <response> of a multistatus answer.
struct Entry {
    QString href;
    int status = 0; // the response's own status, else its first propstat's
    QByteArray etag;
    QByteArray card;
    bool addressBook = false;
};

struct Multistatus {
    QList<Entry> entries;
    QString token;
    bool read = false;
};

bool hasControl(const QString &text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
}

int statusOfLine(const QString &line) {
    // "HTTP/1.1 404 Not Found"
    return line.section(u' ', 1, 1).toInt();
}

Multistatus parseMultistatus(const QByteArray &body) {
    Multistatus out;
    QXmlStreamReader xml(body);
    Entry entry;
    bool inResponse = false, inPropstat = false;
    int propstatStatus = 0;
    bool sawMultistatus = false;
    while (!xml.atEnd()) {
        xml.readNext();
        const QStringView name = xml.name();
        if (xml.isStartElement()) {
            if (name == u"multistatus") {
                sawMultistatus = true;
            } else if (name == u"response") {
                entry = Entry();
                inResponse = true;
            } else if (name == u"propstat") {
                inPropstat = true;
                propstatStatus = 0;
            } else if (inResponse && name == u"href" && !inPropstat) {
                // A path, or a whole URL on some servers: kept as its decoded path.
                entry.href = QUrl(xml.readElementText().trimmed()).path(QUrl::FullyDecoded);
            } else if (name == u"status" && inResponse) {
                const int status = statusOfLine(xml.readElementText().trimmed());
                if (inPropstat)
                    propstatStatus = status;
                else
                    entry.status = status;
            } else if (name == u"getetag" && inPropstat) {
                entry.etag = xml.readElementText().trimmed().toUtf8();
            } else if (name == u"address-data" && inPropstat) {
                entry.card = xml.readElementText().toUtf8();
            } else if (name == u"addressbook" && inPropstat) {
                entry.addressBook = true;
            } else if (name == u"sync-token" && !inResponse) {
                out.token = xml.readElementText().trimmed();
            }
        } else if (xml.isEndElement()) {
            if (name == u"propstat") {
                inPropstat = false;
                if (entry.status == 0 && propstatStatus == 200)
                    entry.status = 200;
                else if (propstatStatus != 200 && propstatStatus != 0 && entry.status == 0 && entry.etag.isEmpty())
                    entry.status = propstatStatus;
            } else if (name == u"response") {
                inResponse = false;
                // What the state file keeps one to a line never holds a line break or a tab.
                if (!hasControl(entry.href) && !hasControl(QString::fromLatin1(entry.etag)))
                    out.entries.append(entry);
            }
        }
    }
    if (hasControl(out.token))
        out.token.clear();
    out.read = sawMultistatus && !xml.hasError();
    return out;
}

// The answer to a PROPFIND or REPORT: the request's failure, or its multistatus read into `out`.
Failure multistatusOf(int status, const QByteArray &body, const Failure &failure, const QString &what,
                      Multistatus &out) {
    if (failure)
        return failure;
    out = parseMultistatus(body);
    if (!out.read || status != 207)
        return {Failure::Kind::ServerFault, status, what};
    return {};
}

QList<std::pair<QByteArray, QByteArray>> xmlHeaders(const QByteArray &depth) {
    return {{"Depth", depth}, {"Content-Type", "application/xml; charset=utf-8"}};
}

QByteArray xmlEscaped(const QString &text) {
    return text.toHtmlEscaped().toUtf8();
}

} // namespace

QString describe(const Failure &f) {
    const QString said = f.detail.isEmpty() ? QString() : QStringLiteral("（%1）").arg(f.detail);
    switch (f.kind) {
    case Failure::Kind::None:
        return {};
    case Failure::Kind::WrongPassword:
        return QStringLiteral("サーバーにログインできません。ユーザー名かパスワードが違います。");
    case Failure::Kind::NotAnAddressBook:
        return QStringLiteral("この URL は CardDAV のアドレス帳ではありません。アドレス帳の URL を確かめて下さい。") +
               said;
    case Failure::Kind::NoConnection:
        return QStringLiteral("サーバーにつながりません。ネットワークと URL を確かめて下さい。") + said;
    case Failure::Kind::TokenExpired:
        return QStringLiteral("前回の同期の印をサーバーが忘れていました。全部の連絡先を比べ直します。");
    case Failure::Kind::Refused:
        if (f.status == 403)
            return QStringLiteral("このアカウントでは書き込めません（403）。サーバーでの権限を確かめて下さい。") + said;
        if (f.status == 404)
            return QStringLiteral("アドレス帳が見つかりません（404）。URL を確かめて下さい。") + said;
        return QStringLiteral("サーバーが受け付けませんでした（%1）。").arg(f.status) + said;
    case Failure::Kind::ServerFault:
        return QStringLiteral("サーバーの応答が正しくありません（%1）。").arg(f.status) + said;
    }
    return {};
}

Client::Client(const QUrl &addressBook, const QString &user, const QString &password)
    : url_(addressBook), network_(std::make_unique<QNetworkAccessManager>()) {
    if (!url_.path().endsWith(u'/'))
        url_.setPath(url_.path() + u'/');
    authorization_ = "Basic " + (user + u':' + password).toUtf8().toBase64();
}

Client::~Client() = default;

QString Client::hrefFor(const QString &uid) const {
    return url_.path() + QString::fromLatin1(QUrl::toPercentEncoding(uid)) + QStringLiteral(".vcf");
}

Client::Reply Client::send(const QByteArray &method, const QString &href, const QByteArray &body,
                           const QList<std::pair<QByteArray, QByteArray>> &headers) {
    QUrl target = url_;
    if (!href.isEmpty())
        target.setPath(href);
    QNetworkRequest request(target);
    request.setTransferTimeout(TransferTimeoutMs);
    request.setRawHeader("Authorization", authorization_);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    for (const auto &[name, value] : headers)
        request.setRawHeader(name, value);
    QNetworkReply *reply = network_->sendCustomRequest(request, method, body);
    QEventLoop wait;
    QObject::connect(reply, &QNetworkReply::finished, &wait, &QEventLoop::quit);
    if (!reply->isFinished())
        wait.exec(QEventLoop::ExcludeUserInputEvents);
    Reply out;
    out.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    out.body = reply->readAll();
    out.etag = reply->rawHeader("ETag");
    if (out.status == 0) {
        out.failure = {Failure::Kind::NoConnection, 0, reply->errorString()};
    } else if (out.status == 401) {
        out.failure = {Failure::Kind::WrongPassword, 401, {}};
    } else if (out.status >= 500) {
        out.failure = {Failure::Kind::ServerFault, out.status, QString::fromUtf8(out.body.left(200)).simplified()};
    } else if (out.status >= 400) {
        out.failure = {Failure::Kind::Refused, out.status, QString::fromUtf8(out.body.left(200)).simplified()};
    }
    qCDebug(lcSync).noquote() << method << target.path() << out.status << out.failure.detail;
    reply->deleteLater();
    return out;
}

Failure Client::check() {
    const Reply reply =
        send("PROPFIND", {},
             "<?xml version=\"1.0\" encoding=\"utf-8\"?><D:propfind xmlns:D=\"DAV:\"><D:prop><D:resourcetype/>"
             "</D:prop></D:propfind>",
             xmlHeaders("0"));
    if (reply.status == 404)
        return {Failure::Kind::Refused, 404, url_.toString(QUrl::RemoveUserInfo)};
    if (reply.failure.kind == Failure::Kind::Refused || (reply.status != 207 && !reply.failure))
        return {Failure::Kind::NotAnAddressBook, reply.status, url_.toString(QUrl::RemoveUserInfo)};
    Multistatus answer;
    if (Failure f = multistatusOf(reply.status, reply.body, reply.failure, QStringLiteral("PROPFIND"), answer))
        return f;
    for (const Entry &e : answer.entries)
        if (e.addressBook)
            return {};
    // Xandikos says 404 inside its 207.
    if (!answer.entries.isEmpty() &&
        std::all_of(answer.entries.cbegin(), answer.entries.cend(), [](const Entry &e) { return e.status == 404; }))
        return {Failure::Kind::Refused, 404, url_.toString(QUrl::RemoveUserInfo)};
    return {Failure::Kind::NotAnAddressBook, reply.status, url_.toString(QUrl::RemoveUserInfo)};
}

Failure Client::changesSince(const QString &token, Changes &out) {
    out = Changes();
    QString from = token;
    // A server may answer in pages: a 507 for the collection itself says more follow from the new token.
    for (int page = 0; page < 10000; ++page) {
        const QByteArray body = "<?xml version=\"1.0\" encoding=\"utf-8\"?><D:sync-collection xmlns:D=\"DAV:\">"
                                "<D:sync-token>" +
                                xmlEscaped(from) +
                                "</D:sync-token><D:sync-level>1</D:sync-level><D:prop><D:getetag/></D:prop>"
                                "</D:sync-collection>";
        const Reply reply = send("REPORT", {}, body, xmlHeaders("1"));
        if ((reply.status == 403 || reply.status == 409) && reply.body.contains("valid-sync-token"))
            return {Failure::Kind::TokenExpired, reply.status, {}};
        // Xandikos answers a token it does not know with 500: the whole list is asked for instead.
        if (reply.status == 500 && !from.isEmpty())
            return {Failure::Kind::TokenExpired, reply.status, {}};
        Multistatus answer;
        if (Failure f =
                multistatusOf(reply.status, reply.body, reply.failure, QStringLiteral("sync-collection"), answer))
            return f;
        bool truncated = false;
        for (const Entry &e : answer.entries) {
            if (e.href.endsWith(u'/')) {
                truncated |= e.status == 507;
                continue; // the collection itself
            }
            if (e.status == 404) {
                out.removed.append(e.href);
                out.changed.removeIf([&](const Resource &r) { return r.href == e.href; });
            } else if (!e.etag.isEmpty()) {
                out.removed.removeAll(e.href);
                out.changed.removeIf([&](const Resource &r) { return r.href == e.href; });
                out.changed.append({e.href, e.etag, {}});
            }
        }
        out.token = answer.token;
        if (!truncated || answer.token.isEmpty() || answer.token == from)
            return {};
        from = answer.token;
    }
    return {Failure::Kind::ServerFault, 507, QStringLiteral("sync-collection")};
}

Failure Client::listAll(QList<Resource> &out) {
    out.clear();
    const Reply reply =
        send("PROPFIND", {},
             "<?xml version=\"1.0\" encoding=\"utf-8\"?><D:propfind xmlns:D=\"DAV:\"><D:prop><D:getetag/>"
             "<D:resourcetype/></D:prop></D:propfind>",
             xmlHeaders("1"));
    Multistatus answer;
    if (Failure f = multistatusOf(reply.status, reply.body, reply.failure, QStringLiteral("PROPFIND"), answer))
        return f;
    for (const Entry &e : answer.entries)
        if (!e.href.endsWith(u'/') && !e.etag.isEmpty())
            out.append({e.href, e.etag, {}});
    return {};
}

Failure Client::fetch(const QStringList &hrefs, QList<Resource> &out) {
    out.clear();
    for (qsizetype from = 0; from < hrefs.size(); from += CardsPerFetch) {
        QByteArray body = "<?xml version=\"1.0\" encoding=\"utf-8\"?><C:addressbook-multiget xmlns:D=\"DAV:\" "
                          "xmlns:C=\"urn:ietf:params:xml:ns:carddav\"><D:prop><D:getetag/><C:address-data/></D:prop>";
        for (const QString &href : hrefs.mid(from, CardsPerFetch))
            body += "<D:href>" + xmlEscaped(QString::fromLatin1(QUrl::toPercentEncoding(href, "/"))) + "</D:href>";
        body += "</C:addressbook-multiget>";
        const Reply reply = send("REPORT", {}, body, xmlHeaders("1"));
        Multistatus answer;
        if (Failure f =
                multistatusOf(reply.status, reply.body, reply.failure, QStringLiteral("addressbook-multiget"), answer))
            return f;
        for (const Entry &e : answer.entries)
            if (e.status == 200 && !e.card.isEmpty())
                out.append({e.href, e.etag, e.card});
    }
    return {};
}

Answer Client::put(const QString &href, const QByteArray &card, const QByteArray &etag) {
    const Reply reply = send("PUT", href, card,
                             {{"Content-Type", "text/vcard; charset=utf-8"},
                              etag.isEmpty() ? std::pair<QByteArray, QByteArray>{"If-None-Match", "*"}
                                             : std::pair<QByteArray, QByteArray>{"If-Match", etag}});
    return {reply.status, reply.etag, reply.failure};
}

Answer Client::remove(const QString &href, const QByteArray &etag) {
    const Reply reply = send("DELETE", href, {}, {{"If-Match", etag}});
    return {reply.status, {}, reply.failure};
}

} // namespace carddav
