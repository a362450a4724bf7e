#include "store/singleinstance.h"

#include "store/bookfolder.h"
#include "store/linefile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The lock file's text: the holder's name on the first line, then a line
// "copy <device> <inode> <path in hex>" for a working copy being written.
QByteArray readLockText(int fd) {
    QByteArray text(4096, '\0');
    const ssize_t got = ::pread(fd, text.data(), static_cast<size_t>(text.size()), 0);
    text.resize(got > 0 ? got : 0);
    return text;
}

QString holderIn(const QByteArray &text) {
    const QByteArray first = text.left(text.indexOf('\n'));
    return first == "telbora" || first == "telbora-contacts" ? QString::fromLatin1(first) : QString();
}

bool isRegularFile(int fd) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

SingleInstance::SingleInstance(const QString &bookDir, const QString &program)
    : dir_(bookDir), path_(lockPathFor(bookDir)), program_(program) {}

SingleInstance::~SingleInstance() {
    if (fd_ < 0)
        return;
    if (exclusive_) {
        linefile::setWorkingCopyWatcher({});
        // Nobody holds the book now; nothing was being written.
        [[maybe_unused]] const int cleared = ::ftruncate(fd_, 0);
    }
    ::close(fd_); // the kernel lock goes with the descriptor; the file stays
}

SingleInstance::State SingleInstance::acquire() {
    if (fd_ >= 0)
        return exclusive_ ? State::Acquired : State::ReadOnly;
    const QByteArray name = QFile::encodeName(path_);
    // Never through a link: one planted there could point anywhere.
    int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    const int err = errno;
    if (fd < 0 && err == ELOOP) {
        error_ = {Failure::Kind::LockIsLink, path_};
        return State::Unavailable;
    }
    if (fd < 0 && (err == EROFS || err == EACCES || err == EPERM)) {
        // A place the user cannot write is read: under a lock file already there, or none.
        struct stat lock {};
        readOnlyReason_ =
            ::lstat(name.constData(), &lock) == 0
                ? Failure{Failure::Kind::FileNotWritable, path_, err}
                : Failure{Failure::Kind::FolderNotWritable, QDir::cleanPath(QDir(dir_).absolutePath()), err};
        return lockShared(::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    }
    if (fd < 0) {
        error_ = {Failure::Kind::CannotLock, path_, err};
        return State::Unavailable;
    }
    if (!isRegularFile(fd)) {
        ::close(fd);
        error_ = {Failure::Kind::LockNotRegular, path_};
        return State::Unavailable;
    }
    readOnlyReason_ = bookfolder::writeProblem(dir_);
    if (readOnlyReason_.failed())
        return lockShared(fd);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int lockErr = errno;
        holder_ = holderIn(readLockText(fd));
        // The holder names itself just after it takes the lock: a moment's
        // wait hears the name of one that has only just started.
        for (int tries = 0; lockErr == EWOULDBLOCK && holder_.isEmpty() && tries < 30; ++tries) {
            ::usleep(10000);
            holder_ = holderIn(readLockText(fd));
        }
        ::close(fd);
        if (lockErr == EWOULDBLOCK)
            return State::HeldElsewhere;
        error_ = {Failure::Kind::CannotLock, path_, lockErr};
        return State::Unavailable;
    }
    fd_ = fd;
    exclusive_ = true;
    removeLeftCopies(); // before anything is read
    record();
    linefile::setWorkingCopyWatcher([this](const QByteArray &copy, const struct stat *created) {
        copyInProgress_ = created ? QByteArray("copy ") + QByteArray::number(quint64(created->st_dev)) + ' ' +
                                        QByteArray::number(quint64(created->st_ino)) + ' ' + copy.toHex() + '\n'
                                  : QByteArray();
        record();
    });
    return State::Acquired;
}

SingleInstance::State SingleInstance::lockShared(int fd) {
    if (fd < 0)
        return State::ReadOnly; // not even a lock file can be made here: reading needs none
    if (!isRegularFile(fd)) {
        ::close(fd);
        error_ = {Failure::Kind::LockNotRegular, path_};
        return State::Unavailable;
    }
    if (::flock(fd, LOCK_SH | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK;
        holder_ = holderIn(readLockText(fd));
        ::close(fd);
        if (held)
            return State::HeldElsewhere;
        return State::ReadOnly; // a lock the place does not offer: reading needs none
    }
    fd_ = fd;
    return State::ReadOnly;
}

// A working copy the last holder noted and never finished is its own, left by
// a kill: removed, when it is still that very file. Anything else is kept.
void SingleInstance::removeLeftCopies() {
    static const QRegularExpression copyLine(QStringLiteral("^copy (\\d+) (\\d+) ([0-9a-f]+)$"));
    static const QRegularExpression copyName(QStringLiteral("\\$\\d*$")); // "VexaTel.txt$", "out.vcf$1"
    for (const QByteArray &line : readLockText(fd_).split('\n')) {
        const QRegularExpressionMatch match = copyLine.match(QString::fromLatin1(line));
        if (!match.hasMatch())
            continue;
        const QByteArray copy = QByteArray::fromHex(match.captured(3).toLatin1());
        if (!copyName.match(QFile::decodeName(copy)).hasMatch())
            continue;
        struct stat info {};
        if (::lstat(copy.constData(), &info) == 0 && S_ISREG(info.st_mode) &&
            quint64(info.st_dev) == match.captured(1).toULongLong() &&
            quint64(info.st_ino) == match.captured(2).toULongLong())
            ::unlink(copy.constData());
    }
    // The copy of a book file that a conversion or a damaged side file keeps
    // (VexaTel.txt.utf8-20261208-093006) is written through a "$" copy of its
    // own; one left unfinished by a kill before it was noted is ours by its
    // name alone, and its original is still where it was.
    static const QRegularExpression unfinishedKeep(QStringLiteral(
        "^(VexaTel\\.txt|VexaType\\.txt|telbora-people\\.tsv)\\.(utf8|broken)-\\d{8}-\\d{6}(-\\d+)?\\$\\d*$"));
    const QDir folder(dir_);
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!unfinishedKeep.match(name).hasMatch())
            continue;
        const QByteArray path = QFile::encodeName(folder.filePath(name));
        struct stat info {};
        if (::lstat(path.constData(), &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid())
            ::unlink(path.constData());
    }
}

void SingleInstance::record() {
    const QByteArray text = program_.toLatin1() + '\n' + copyInProgress_;
    if (::pwrite(fd_, text.constData(), static_cast<size_t>(text.size()), 0) == text.size() &&
        ::ftruncate(fd_, text.size()) == 0)
        return;
    // Only who holds the book and what it was writing is lost; the lock itself holds.
}

Failure SingleInstance::held() const {
    const QString book = QDir::cleanPath(QDir(dir_).absolutePath());
    if (holder_ == QLatin1String("telbora"))
        return {Failure::Kind::HeldByTelbora, book};
    if (holder_ == QLatin1String("telbora-contacts"))
        return {Failure::Kind::HeldByContacts, book};
    return {Failure::Kind::HeldByOther, book};
}

QString SingleInstance::lockPathFor(const QString &bookDir) {
    return QDir(bookDir).filePath(QStringLiteral(".telbora.lock"));
}
