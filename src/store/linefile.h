#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "store/failure.h"

#include <cstring>
#include <functional>
#include <vector>

#include <sys/stat.h>
#include <sys/types.h>

// Whole-file reading and the safe rewrite shared by the loader and the writers.
// Lines are handled as bytes, so that a line nobody changes is written back
// exactly as it was read.
namespace linefile {

// Larger data files are refused: no phone book comes near it, and a runaway
// file must not eat the memory.
inline constexpr qint64 MaxFileSize = 256LL * 1024 * 1024;

// Calls visit(start, length) for each line of `bytes` whose end is certain, and
// returns where the rest begins. CR LF, LF alone and CR alone each end a line.
// Unless `atEnd`, a CR as the last byte may still be followed by its LF and an
// unended last line may go on, so both are left for the next piece; at the
// end of the input a last line without a line end is still a line. The loader
// and every writer count lines through this one function.
template <typename Visit> qsizetype forEachLine(QByteArrayView bytes, bool atEnd, Visit visit) {
    const char *data = bytes.data();
    const qsizetype size = bytes.size();
    qsizetype start = 0;
    // The next LF at or after i, kept between lines: searched again only once
    // passed, so that lines ended by CR alone do not each scan to the end.
    qsizetype lfAt = -1;
    for (qsizetype i = 0; i < size; ++i) {
        // The next LF or CR, found by memchr's wide scans rather than byte by byte.
        if (lfAt < i) {
            const void *lf = std::memchr(data + i, '\n', static_cast<size_t>(size - i));
            lfAt = lf ? static_cast<const char *>(lf) - data : size;
        }
        const void *cr = std::memchr(data + i, '\r', static_cast<size_t>(lfAt - i));
        i = cr ? static_cast<const char *>(cr) - data : lfAt;
        if (i == size || (data[i] == '\r' && i + 1 == size && !atEnd))
            break;
        visit(start, i - start);
        if (data[i] == '\r' && i + 1 < size && data[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (atEnd && start < size) {
        visit(start, size - start);
        start = size;
    }
    return start;
}

QList<QByteArray> splitLines(const QByteArray &data);

// Reads a regular file of at most MaxFileSize bytes into `data`, reusing its
// memory. No failure on success, otherwise what failed, naming the file.
Failure readAll(const QString &path, QByteArray &data);
// As readAll, into `data` that holds the file as last read: compared through
// a small buffer while it is the same (an unchanged file is never held
// twice), read on into `data` itself from the first difference.
// `changed` tells which. On failure `data` is no longer what was read.
Failure readIfChanged(const QString &path, QByteArray &data, bool &changed);

// Writes every line followed by CR LF to a "$" copy beside the file, flushes it
// to the disk and renames it over the file. The original is never deleted
// first: on any failure it stays as it was and the partial copy is removed.
// The copy takes the original's permission bits (and owner where allowed); a
// file without write permission is refused; a symbolic link is kept and its
// target rewritten. No failure on success.
Failure replaceWith(const QString &path, const QList<QByteArray> &lines);
// The same with the file's whole new content, its lines already ended.
Failure replaceWithContent(const QString &path, const QByteArray &content);
// The same with the content as pieces written one after the other: runs of
// the old bytes need not be copied into one new buffer first.
using Pieces = std::vector<QByteArrayView>;
Failure replaceWithPieces(const QString &path, const Pieces &content);
// Writes a new file the same safe way, with `mode`; a file already at `path`
// is never replaced (the failure names it). No failure on success.
Failure createWith(const QString &path, const QList<QByteArray> &lines, mode_t mode);
// Writes `content` as the file at `path` the same safe way, with `mode`,
// replacing a file there only when `replaceExisting`. The path itself is
// written, never followed: callers refuse links first.
Failure writeBytes(const QString &path, const QByteArray &content, mode_t mode, bool replaceExisting);

// The error that writing the file or folder `path` would meet, or 0. Root may
// write anything, so for root one with no write bit at all counts as one the
// user made read-only.
int writeDenial(const QByteArray &path);

// A file as this program last wrote or read it: an append goes on only while
// it is still that very file, the same size and time, so that it never adds
// to a copy another program put in its place.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1; // -1: nothing known
    struct timespec modified {};
    bool known() const { return size >= 0; }
};
// The stamp of the regular file at `path` as it now is; unknown when there is none.
FileStamp stampOf(const QString &path);
// Appends `bytes` to the file at `path` and flushes them to the disk, while
// the file is still `stamp`: then `stamp` is the file as it now is. False with
// an empty `error` when it is another file now (nothing written); on a failed
// write the file is cut back to what it was and `error` says why.
bool appendIfStill(const QString &path, FileStamp &stamp, const QByteArray &bytes, Failure &error);

// Told of each "$" working copy: with its stat once it is created, with null
// once it is gone again (put in place or removed). The book's lock holder
// notes it, so that a copy a kill leaves behind is known to be the program's own.
using WorkingCopyWatcher = std::function<void(const QByteArray &copyPath, const struct stat *created)>;
void setWorkingCopyWatcher(WorkingCopyWatcher watcher);

// The system calls of the rewrite, replaceable so that tests can make one of
// them fail on real files.
struct SystemCalls {
    ssize_t (*write)(int fd, const void *data, size_t size);
    int (*fsync)(int fd);
    int (*rename)(const char *from, const char *to);
};
SystemCalls &systemCalls();

} // namespace linefile
