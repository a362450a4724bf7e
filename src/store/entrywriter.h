#pragma once

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
// Replaces the entry file's line `lineNumber` (counting from 1, blank lines too).
Result replaceEntry(int lineNumber, const QString &line);
Result deleteEntry(int lineNumber);
// Sets field 10, the printed flag, to "T" on each of these lines (counting
// from 1), whatever it held; other lines are copied through untouched.
Result markPrinted(const QList<int> &lineNumbers);
// Writes slots 0 to 9 as the category file's ten lines.
Result writeCategories(const std::array<QString, 11> &categoryTable);

} // namespace EntryWriter
