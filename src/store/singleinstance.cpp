#include "store/singleinstance.h"

#include "store/linefile.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

SingleInstance::SingleInstance(const QString &bookDir) : path_(lockPathFor(bookDir)) {}

SingleInstance::~SingleInstance() {
    if (fd_ >= 0)
        ::close(fd_); // the kernel lock goes with the descriptor; the file stays, empty
}

SingleInstance::State SingleInstance::acquire() {
    if (fd_ >= 0)
        return State::Acquired;
    const QByteArray name = QFile::encodeName(path_);
    const QString cannotLock = QStringLiteral("を作れません。電話帳を開けません。");
    // Never through a link: one planted there could point anywhere.
    int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    int err = errno;
    if (fd < 0 && (err == EROFS || err == EACCES)) // a lock file already there still locks, read only
        fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error_ = err == ELOOP ? QStringLiteral("「%1」がリンクになっています。電話帳を開けません。")
                                    .arg(QDir::toNativeSeparators(path_))
                              : linefile::failure(cannotLock, path_, err);
        return State::Unavailable;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        error_ = QStringLiteral("「%1」は通常のファイルではありません。電話帳を開けません。")
                     .arg(QDir::toNativeSeparators(path_));
        return State::Unavailable;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        if (err == EWOULDBLOCK)
            return State::HeldElsewhere;
        error_ = linefile::failure(cannotLock, path_, err);
        return State::Unavailable;
    }
    fd_ = fd;
    return State::Acquired;
}

QString SingleInstance::lockPathFor(const QString &bookDir) {
    return QDir(bookDir).filePath(QStringLiteral(".telbora.lock"));
}
