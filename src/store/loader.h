#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

namespace mdlDim {

// A non-empty line of the entry file as read.
struct EntryLine {
    int number; // the physical line number, from 1, blank lines counted
    QByteArrayView text;

    // The line's field 9, the category, found by walking its code page 932
    // characters (so a "|" inside a two-byte character is no separator);
    // nullopt when the line has fewer fields. Found only when asked: a
    // selection of all entries never needs it.
    std::optional<QByteArrayView> category() const;
    // The line's element: its number, "|", and the line decoded.
    QString element() const;
};

// Reads the entry file piece by piece and calls visit(line) for each
// non-empty line in file order. Empty on success, otherwise what failed.
QString forEachEntryLine(const QString &path, const std::function<void(const EntryLine &)> &visit);

// Reads and checks the category file. The slots start from `previous`, so a
// slot the file no longer reaches keeps its last value.
QString readCategories(const QString &path, const std::array<QString, 11> &previous,
                       std::array<QString, 11> &categories);

struct LoadedTables {
    QStringList entries;
    QList<QByteArray> bytes; // each entry's line as read
    std::array<QString, 11> categories;
};

// Both files as tables: every non-empty line of the entry file as an element.
// Empty on success, otherwise a description of what failed.
QString loadTables(const QString &entryPath, const QString &categoryPath, const std::array<QString, 11> &previous,
                   LoadedTables &out);

} // namespace mdlDim
