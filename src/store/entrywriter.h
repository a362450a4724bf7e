#pragma once

#include <QString>
#include <QStringList>
#include <array>

// The only code that writes the data files. Every write is all or nothing:
// on failure the file is left byte for byte as it was and the result says why.
namespace EntryWriter {

struct Result {
    bool ok = true;
    QString message; // what failed, for the message box
    explicit operator bool() const { return ok; }
};

// Appends one entry line (without line end) as the file's new last line.
Result appendEntry(const QString &line);
// Replaces the entry file's line `lineNumber` (counting from 1, blank lines too).
Result replaceEntry(int lineNumber, const QString &line);
Result deleteEntry(int lineNumber);
// Sets the printed flag "T" on the line of every element of `printTable` whose
// text ends in "|T"; other lines are copied through untouched.
Result markPrinted(const QStringList &printTable);
// Writes slots 0 to 9 as the category file's ten lines.
Result writeCategories(const std::array<QString, 11> &categoryTable);

} // namespace EntryWriter
