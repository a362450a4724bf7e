#include "browse/runningcopy.h"

#include "ui/skin.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <QWidget>

namespace runningcopy {
namespace {

const QByteArray ShowRequest = "show\n";

void bringWindowsToFront() {
    QWidget *active = QApplication::activeModalWidget();
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (!window->isVisible())
            continue;
        window->showNormal();
        window->raise();
        if (!active)
            active = window;
    }
    if (active)
        skin::bringToFront(active);
}

} // namespace

QString serverNameFor(const QString &bookDir) {
    const QString canonical = QFileInfo(bookDir).canonicalFilePath();
    const QString folder = QDir::cleanPath(canonical.isEmpty() ? bookDir : canonical);
    const QByteArray key = QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    // The runtime folder is the user's alone (0700); the temporary folder is shared.
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        runtime = QDir(bookDir).path();
    return QDir(runtime).filePath(QStringLiteral("telbora-%1.sock").arg(QString::fromLatin1(key)));
}

bool askToShow(const QString &bookDir, bool holderMayBeStarting) {
    QLocalSocket socket;
    // A copy that has only just taken the book listens a moment later, once
    // it has read the book.
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        socket.connectToServer(serverNameFor(bookDir));
        if (socket.waitForConnected(2000))
            break;
        const QLocalSocket::LocalSocketError why = socket.error();
        socket.abort();
        if (!holderMayBeStarting ||
            (why != QLocalSocket::ServerNotFoundError && why != QLocalSocket::ConnectionRefusedError) ||
            waited.elapsed() > 5000)
            return false;
        QThread::msleep(100);
    }
    socket.write(ShowRequest);
    const bool sent = socket.waitForBytesWritten(2000);
    socket.disconnectFromServer();
    return sent;
}

void listenForShowRequests(const QString &bookDir, QObject *parent) {
    auto *server = new QLocalServer(parent);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    const QString name = serverNameFor(bookDir);
    QLocalServer::removeServer(name);
    if (!server->listen(name)) {
        qWarning("telbora: cannot listen on %s: %s", qPrintable(name), qPrintable(server->errorString()));
        return;
    }
    QObject::connect(server, &QLocalServer::newConnection, server, [server] {
        while (QLocalSocket *client = server->nextPendingConnection()) {
            QObject::connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            QObject::connect(client, &QLocalSocket::readyRead, client, [client] {
                if (client->readAll().startsWith(ShowRequest.trimmed()))
                    bringWindowsToFront();
            });
        }
    });
}

} // namespace runningcopy
