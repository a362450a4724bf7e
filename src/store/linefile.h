#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Whole-file reading and the safe rewrite shared by the loader and the writers.
// Lines are handled as bytes, so that a line nobody changes is written back
// exactly as it was read.
namespace linefile {

// Calls visit(start, length) for each line of `text` (bytes or characters): a
// line ends at LF and a CR right before it is dropped; a last line without a
// line end is still a line.
template <typename Text, typename Visit> void forEachLine(const Text &text, Visit visit) {
    for (qsizetype start = 0; start < text.size();) {
        qsizetype end = text.indexOf('\n', start);
        const bool terminated = end >= 0;
        if (!terminated)
            end = text.size();
        qsizetype length = end - start;
        if (terminated && length > 0 && text.at(end - 1) == '\r')
            --length;
        visit(start, length);
        start = end + 1;
    }
}

QList<QByteArray> splitLines(const QByteArray &data);

// Empty on success, otherwise a clear description naming the file.
QString readAll(const QString &path, QByteArray &data);

// Writes every line followed by CR LF to path + "$", flushes it to the disk and
// renames it over path. The original is never deleted first: on any failure it
// stays as it was and the partial copy is removed. Empty on success.
QString replaceWith(const QString &path, const QList<QByteArray> &lines);

} // namespace linefile
