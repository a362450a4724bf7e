#include "store/linefile.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace linefile {
namespace {

QString fileLabel(const QString &path) {
    return QStringLiteral("「%1」").arg(QFileInfo(path).fileName());
}

QString reason(int err) {
    switch (err) {
    case ENOENT:
        return QStringLiteral("ファイルが見つかりません。");
    case EACCES:
    case EPERM:
        return QStringLiteral("アクセスが許可されていません。");
    case EROFS:
        return QStringLiteral("読み取り専用の場所です。");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("ディスクの空きが足りません。");
    case EISDIR:
        return QStringLiteral("フォルダーです。");
    default:
        return QString::fromLocal8Bit(std::strerror(err));
    }
}

QString failure(const QString &what, const QString &path, int err) {
    return fileLabel(path) + what + QLatin1Char('\r') + reason(err);
}

bool writeFully(int fd, const char *data, size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

void syncDirectoryOf(const QString &path) {
    const QByteArray dir = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

QList<QByteArray> splitLines(const QByteArray &data) {
    QList<QByteArray> lines;
    forEachLine(data, [&](qsizetype start, qsizetype length) { lines.append(data.mid(start, length)); });
    return lines;
}

QString readAll(const QString &path, QByteArray &data) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return failure(QStringLiteral("を開けません。"), path, errno);
    data.clear();
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            ::close(fd);
            return failure(QStringLiteral("を読み込めません。"), path, err);
        }
        data.append(buffer, got);
    }
    ::close(fd);
    return {};
}

QString replaceWith(const QString &path, const QList<QByteArray> &lines) {
    QByteArray content;
    qsizetype size = 0;
    for (const QByteArray &line : lines)
        size += line.size() + 2;
    content.reserve(size);
    for (const QByteArray &line : lines) {
        content.append(line);
        content.append("\r\n", 2);
    }

    const QString copyPath = path + QLatin1Char('$');
    const QByteArray copyName = QFile::encodeName(copyPath);
    const int fd = ::open(copyName.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return failure(QStringLiteral("を保存できません。"), path, errno);
    if (!writeFully(fd, content.constData(), static_cast<size_t>(content.size())) || ::fsync(fd) != 0) {
        const int err = errno;
        ::close(fd);
        ::unlink(copyName.constData());
        return failure(QStringLiteral("を保存できません。"), path, err);
    }
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(copyName.constData());
        return failure(QStringLiteral("を保存できません。"), path, err);
    }
    if (::rename(copyName.constData(), QFile::encodeName(path).constData()) != 0) {
        const int err = errno;
        ::unlink(copyName.constData());
        return failure(QStringLiteral("を保存できません。"), path, err);
    }
    syncDirectoryOf(path);
    return {};
}

} // namespace linefile
