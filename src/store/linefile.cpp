#include "store/linefile.h"

#include "store/log.h"

#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio> // renameat2
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace linefile {
namespace {

ssize_t systemWrite(int fd, const void *data, size_t size) {
    return ::write(fd, data, size);
}

bool writeFully(int fd, const char *data, size_t size) {
    while (size > 0) {
        const ssize_t written = systemCalls().write(fd, data, size);
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

void syncDirectoryOf(const QByteArray &path) {
    const QByteArray dir = QFile::encodeName(QFileInfo(QFile::decodeName(path)).absolutePath());
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The file a rewrite replaces: a symbolic link's target, so that the link stays.
QByteArray rewriteTarget(const QByteArray &path) {
    char resolved[PATH_MAX];
    struct stat info {};
    if (::lstat(path.constData(), &info) == 0 && S_ISLNK(info.st_mode) && ::realpath(path.constData(), resolved))
        return QByteArray(resolved);
    return path;
}

} // namespace

SystemCalls &systemCalls() {
    static SystemCalls calls{&systemWrite, &::fsync, &::rename};
    return calls;
}

int writeDenial(const QByteArray &path) {
    if (::faccessat(AT_FDCWD, path.constData(), W_OK, AT_EACCESS) != 0)
        return errno;
    struct stat info {};
    if (::geteuid() == 0 && ::stat(path.constData(), &info) == 0 && (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return EACCES;
    return 0;
}

namespace {
WorkingCopyWatcher &watcher() {
    static WorkingCopyWatcher watching;
    return watching;
}

// Tells the watcher of a working copy for as long as it exists.
class WatchedCopy {
public:
    WatchedCopy(const QByteArray &copy, int fd) : copy_(copy) {
        struct stat info {};
        if (watcher() && ::fstat(fd, &info) == 0)
            watcher()(copy_, &info);
    }
    ~WatchedCopy() {
        if (watcher())
            watcher()(copy_, nullptr);
    }
    WatchedCopy(const WatchedCopy &) = delete;
    WatchedCopy &operator=(const WatchedCopy &) = delete;

private:
    QByteArray copy_;
};
} // namespace

void setWorkingCopyWatcher(WorkingCopyWatcher watching) {
    watcher() = std::move(watching);
}

QList<QByteArray> splitLines(const QByteArray &data) {
    QList<QByteArray> lines;
    forEachLine(data, true, [&](qsizetype start, qsizetype length) { lines.append(data.mid(start, length)); });
    return lines;
}

namespace {

// Opens a regular file for reading. Non-blocking, so that a FIFO in the file's
// place cannot hang the open. -1 and `error` set on failure.
int openRegularFile(const QString &path, qint64 &size, Failure &error) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = Failure{Failure::Kind::CannotOpen, path, errno};
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        error = Failure{Failure::Kind::CannotOpen, path, errno};
    } else if (S_ISDIR(info.st_mode)) {
        error = Failure{Failure::Kind::CannotOpen, path, EISDIR};
    } else if (!S_ISREG(info.st_mode)) {
        error = Failure{Failure::Kind::NotRegularFile, path, 0};
    } else if (info.st_size > MaxFileSize) {
        error = Failure{Failure::Kind::CannotRead, path, EFBIG};
    } else {
        size = info.st_size;
        return fd;
    }
    ::close(fd);
    return -1;
}

// Reads up to `room` bytes; -1 with errno on failure, 0 at the end.
ssize_t readSome(int fd, char *into, size_t room) {
    for (;;) {
        const ssize_t got = ::read(fd, into, room);
        if (got >= 0 || errno != EINTR)
            return got;
    }
}

} // namespace

namespace {

// Reads the rest of the open file `fd` into `data` from `filled` on, growing
// it when the file grew while being read, and closes `fd`.
Failure readRest(int fd, const QString &path, QByteArray &data, qsizetype filled) {
    for (;;) {
        if (filled == data.size()) { // grew while being read
            if (data.size() > MaxFileSize) {
                ::close(fd);
                return Failure{Failure::Kind::CannotRead, path, EFBIG};
            }
            data.resize(data.size() * 2);
        }
        const ssize_t got = readSome(fd, data.data() + filled, static_cast<size_t>(data.size() - filled));
        if (got == 0)
            break;
        if (got < 0) {
            const int err = errno;
            ::close(fd);
            data.resize(0);
            return Failure{Failure::Kind::CannotRead, path, err};
        }
        filled += got;
    }
    ::close(fd);
    if (filled > MaxFileSize) {
        data.resize(0);
        return Failure{Failure::Kind::CannotRead, path, EFBIG};
    }
    data.resize(filled);
    return {};
}

} // namespace

Failure readAll(const QString &path, QByteArray &data) {
    Failure error;
    qint64 size = 0;
    const int fd = openRegularFile(path, size, error);
    if (fd < 0)
        return error;
    // Read straight into `data`, whose memory from an earlier read is reused;
    // one byte more than the file's size shows its end in the same read.
    data.resize(static_cast<qsizetype>(size) + 1);
    return readRest(fd, path, data, 0);
}

Failure readIfChanged(const QString &path, QByteArray &data, bool &changed) {
    Failure error;
    qint64 size = 0;
    const int fd = openRegularFile(path, size, error);
    if (fd < 0)
        return error;
    changed = size != data.size();
    if (changed) {
        data.resize(static_cast<qsizetype>(size) + 1);
        return readRest(fd, path, data, 0);
    }
    // Small enough to stay in the cache between the copy and the compare.
    static thread_local std::vector<char> chunk(64 * 1024);
    for (qsizetype at = 0;;) {
        // One byte more than what is left shows a file that grew.
        const size_t want =
            static_cast<size_t>(std::min<qsizetype>(static_cast<qsizetype>(chunk.size()), data.size() - at + 1));
        const ssize_t got = readSome(fd, chunk.data(), want);
        if (got < 0) {
            const int err = errno;
            ::close(fd);
            return Failure{Failure::Kind::CannotRead, path, err};
        }
        if (got == 0) { // the end: the same bytes, or fewer
            ::close(fd);
            changed = at != data.size();
            data.resize(at);
            return {};
        }
        if (at + got > data.size() || std::memcmp(chunk.data(), data.constData() + at, static_cast<size_t>(got)) != 0) {
            // From here on the file is read into `data` itself; what came before is the same.
            changed = true;
            data.resize(std::max<qsizetype>(data.size(), at + got) + 1);
            std::memcpy(data.data() + at, chunk.data(), static_cast<size_t>(got));
            return readRest(fd, path, data, at + got);
        }
        at += got;
    }
}

namespace {

QByteArray withLineEnds(const QList<QByteArray> &lines) {
    QByteArray content;
    qsizetype size = 0;
    for (const QByteArray &line : lines)
        size += line.size() + 2;
    content.reserve(size);
    for (const QByteArray &line : lines) {
        content.append(line);
        content.append("\r\n", 2);
    }
    return content;
}

enum class Placing { Replace, OnlyIfAbsent };

// Errors of a file system without permission bits or owners (FAT, exFAT),
// and of an owner a user may not give away.
bool keepsNoModes(int err) {
    return err == EPERM || err == ENOSYS || err == EOPNOTSUPP;
}

// `content` in a new file at `target`, made only if nothing is there.
int createExclusively(const QByteArray &target, const Pieces &content, mode_t mode) {
    const int fd = ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd < 0)
        return -1;
    bool written = true;
    for (const QByteArrayView piece : content)
        written = written && writeFully(fd, piece.data(), static_cast<size_t>(piece.size()));
    written = written && systemCalls().fsync(fd) == 0;
    int err = written ? 0 : errno;
    if (::close(fd) != 0 && written) {
        written = false;
        err = errno;
    }
    if (!written) {
        ::unlink(target.constData()); // ours: it was made just now
        errno = err;
        return -1;
    }
    return 0;
}

// Puts the finished `copy` at `target` only where nothing is, never
// replacing a file that appeared meanwhile: a hard link where the file system
// has them; else a rename that refuses to replace; else (FAT through FUSE,
// some network shares) a new file made exclusively with the same content.
int placeIfAbsent(const QByteArray &copy, const QByteArray &target, const Pieces &content, mode_t mode) {
    if (::link(copy.constData(), target.constData()) == 0)
        return 0;
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS && errno != EMLINK)
        return -1;
    if (::renameat2(AT_FDCWD, copy.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return -1;
    return createExclusively(target, content, mode);
}
// The book's own "$" copies are ours: one left by a crash is removed. Beside
// any other file a "$" file may be the user's, so another name is taken.
enum class StaleCopy { Remove, Keep };

// Writes `content` to a "$" copy beside `target` with `mode`, flushes it to the
// disk and puts it in the target's place: over it, or only where nothing is.
// On failure the copy is removed and whatever was at `target` stays.
Failure placeThroughCopy(const QString &path, const QByteArray &target, const Pieces &content, mode_t mode,
                         const struct stat *owner, Placing placing, StaleCopy stale) {
    QByteArray copy = target + '$';
    // A copy left by an earlier crash is stale; whatever sits there (even a
    // planted link) is removed, never written through.
    if (stale == StaleCopy::Remove)
        ::unlink(copy.constData());
    int fd = ::open(copy.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    for (int n = 1; fd < 0 && errno == EEXIST && stale == StaleCopy::Keep && n < 100; ++n) {
        copy = target + '$' + QByteArray::number(n);
        fd = ::open(copy.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    }
    if (fd < 0)
        return Failure{Failure::Kind::CannotSave, path, errno};
    const WatchedCopy watched(copy, fd);
    const auto giveUp = [&](int err) {
        ::close(fd);
        ::unlink(copy.constData());
        return Failure{Failure::Kind::CannotSave, path, err};
    };
    // The umask may have taken bits away; the owner can only be kept where
    // allowed. A FAT or exFAT stick keeps neither and may refuse to be asked.
    if (::fchmod(fd, mode) != 0 && !keepsNoModes(errno))
        return giveUp(errno);
    if (owner && ::fchown(fd, owner->st_uid, owner->st_gid) != 0 && !keepsNoModes(errno))
        return giveUp(errno);
    for (const QByteArrayView piece : content)
        if (!writeFully(fd, piece.data(), static_cast<size_t>(piece.size())))
            return giveUp(errno);
    if (systemCalls().fsync(fd) != 0)
        return giveUp(errno);
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(copy.constData());
        return Failure{Failure::Kind::CannotSave, path, err};
    }
    const int placed = placing == Placing::Replace ? systemCalls().rename(copy.constData(), target.constData())
                                                   : placeIfAbsent(copy, target, content, mode);
    if (placed != 0) {
        const int err = errno;
        ::unlink(copy.constData());
        return Failure{Failure::Kind::CannotSave, path, err};
    }
    ::unlink(copy.constData()); // nothing there when it was renamed into place
    syncDirectoryOf(target);
    return {};
}

} // namespace

namespace {
FileStamp stampOfInfo(const struct stat &info) {
    return {info.st_dev, info.st_ino, info.st_size, info.st_mtim};
}
bool sameFile(const FileStamp &a, const FileStamp &b) {
    return a.device == b.device && a.inode == b.inode && a.size == b.size && a.modified.tv_sec == b.modified.tv_sec &&
           a.modified.tv_nsec == b.modified.tv_nsec;
}
} // namespace

FileStamp stampOf(const QString &path) {
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return {};
    return stampOfInfo(info);
}

bool appendIfStill(const QString &path, FileStamp &stamp, const QByteArray &bytes, Failure &error) {
    error = {};
    if (!stamp.known())
        return false;
    // A link is never written through here: the whole rewrite keeps it.
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || !sameFile(stampOfInfo(info), stamp)) {
        ::close(fd);
        return false;
    }
    if (!writeFully(fd, bytes.constData(), static_cast<size_t>(bytes.size())) || systemCalls().fsync(fd) != 0) {
        const int err = errno;
        // Cut back, so that no half line stays for the next reader.
        if (::ftruncate(fd, info.st_size) == 0)
            ::fsync(fd);
        ::close(fd);
        error = Failure{Failure::Kind::CannotSave, path, err};
        stamp = {};
        return false;
    }
    const bool stamped = ::fstat(fd, &info) == 0;
    ::close(fd);
    stamp = stamped ? stampOfInfo(info) : FileStamp{};
    return true;
}

// placeThroughCopy, each write said for whoever asks.
Failure writeThroughCopy(const QString &path, const QByteArray &target, const Pieces &content, mode_t mode,
                         const struct stat *owner, Placing placing, StaleCopy stale = StaleCopy::Remove) {
    const Failure failed = placeThroughCopy(path, target, content, mode, owner, placing, stale);
    if (!failed.failed())
        qCDebug(lcStore).noquote() << "written" << path;
    else
        qCInfo(lcStore).noquote() << "not written" << path << describe(failed);
    return failed;
}

Failure replaceWith(const QString &path, const QList<QByteArray> &lines) {
    return replaceWithContent(path, withLineEnds(lines));
}

Failure replaceWithContent(const QString &path, const QByteArray &content) {
    return replaceWithPieces(path, {content});
}

Failure replaceWithPieces(const QString &path, const Pieces &content) {
    const QByteArray target = rewriteTarget(QFile::encodeName(path));
    struct stat original {};
    if (::stat(target.constData(), &original) != 0)
        return Failure{Failure::Kind::CannotSave, path, errno};
    if (!S_ISREG(original.st_mode))
        return Failure{Failure::Kind::NotRegularFile, path, 0};
    if (writeDenial(target) != 0)
        return Failure{Failure::Kind::ReadOnly, path, 0};
    return writeThroughCopy(path, target, content, original.st_mode & 07777, &original, Placing::Replace);
}

Failure createWith(const QString &path, const QList<QByteArray> &lines, mode_t mode) {
    const QByteArray content = withLineEnds(lines);
    return writeThroughCopy(path, QFile::encodeName(path), {content}, mode, nullptr, Placing::OnlyIfAbsent);
}

Failure writeBytes(const QString &path, const QByteArray &content, mode_t mode, bool replaceExisting) {
    return writeThroughCopy(path, QFile::encodeName(path), {content}, mode, nullptr,
                            replaceExisting ? Placing::Replace : Placing::OnlyIfAbsent, StaleCopy::Keep);
}

} // namespace linefile
