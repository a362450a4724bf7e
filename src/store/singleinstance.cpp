#include "store/singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

SingleInstance::SingleInstance(const QString &appDir) : lock_(lockPathFor(appDir)) {
    // Only a dead holder makes the lock stale, never its age.
    lock_.setStaleLockTime(0);
}

bool SingleInstance::acquire() {
    return lock_.tryLock(0);
}

QString SingleInstance::lockPathFor(const QString &appDir) {
    // Kept in the temporary directory: the program's own directory may be read-only.
    // The same folder reached another way (a link, "..") is the same phone book.
    const QString canonical = QFileInfo(appDir).canonicalFilePath();
    const QString folder = QDir::cleanPath(canonical.isEmpty() ? appDir : canonical);
    const QByteArray key = QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha1).toHex();
    return QDir::temp().filePath(QStringLiteral("telbora-%1.lock").arg(QString::fromLatin1(key.left(16))));
}
