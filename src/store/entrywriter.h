#pragma once

#include "store/mdlDim.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// The only code that writes the data files. Every write is all or nothing:
// on failure the file is left byte for byte as it was and the result says why.
namespace EntryWriter {

struct Result {
    bool ok = true;
    QString message;  // what failed, for the message box
    int unmarked = 0; // markPrinted: lines that could not be marked safely and were left as they were
    int vanished = 0; // markPrinted: lines another program changed or removed
    bool changedElsewhere = false; // the line acted on is no longer in the file as loaded
    mdlDim::LoadedLine written;    // replaceEntry: the line as it now stands in the file
    QList<QByteArray> lines;       // writeCategory: the category file's lines as they now stand
    explicit operator bool() const { return ok; }
};

// The line (bytes in code page 932) with field `n` (counting from 1) set to
// `value`. Separators are found by walking code page 932 characters as the
// loader decodes them, so the "|" inside a two-byte character is no
// separator and the loader sees the same fields; missing fields up to `n`
// are added empty, later fields and every other byte stay. nullopt when the
// line ends in a lone lead byte, which would swallow an added separator.
std::optional<QByteArray> withField(const QByteArray &line, int n, QByteArrayView value);

// Appends one entry line (without line end) as the file's new last line.
Result appendEntry(const QString &line);
// Appends these lines, in order, in one rewrite: all of them or none.
Result appendEntries(const QStringList &lines);
// Another program (an editor, a sync folder, a restore) may have changed the
// entry file since it was loaded. A writer that acts on a loaded line acts on
// line `number` only while it still holds the loaded bytes; otherwise on the
// one line that holds them, if exactly one does; otherwise it changes nothing
// and says ChangedElsewhere.
inline QString changedElsewhereIn(const QString &fileName) {
    return QStringLiteral("「%1」がほかのプログラムで変更されました。一覧を読み直してから、もう一度操作して下さい。")
        .arg(fileName);
}
inline const QString ChangedElsewhere = changedElsewhereIn(QStringLiteral("VexaTel.txt"));

// Why nothing can be written while the book is open read-only.
QString readOnlyRefusal();

// Replaces the loaded line with `line`.
Result replaceEntry(const mdlDim::LoadedLine &loaded, const QString &line);
Result deleteEntry(const mdlDim::LoadedLine &loaded);
// Sets field 10, the printed flag, to "T" on each of these lines, whatever it
// held; other lines are copied through untouched. A line no longer found is
// left alone and counted in `vanished`.
Result markPrinted(const QList<mdlDim::LoadedLine> &lines);
// Sets line `slot` (0 to 9) of the category file to `line`. `loaded` is the
// file's lines as last read: while the file still holds them, or another
// program changed only other lines, the one line is set and the rest kept as
// they are now; when that same line changed elsewhere too, nothing is written
// and the result says changedElsewhere.
Result writeCategory(const QList<QByteArray> &loaded, int slot, const QString &line);

} // namespace EntryWriter
