#pragma once

#include "store/categorytable.h"
#include "store/linefile.h"
#include "store/shownentries.h"

#include <QByteArray>
#include <QString>
#include <array>
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
};

// Reads the entry file into `table`'s buffer and empties its lines; nothing
// is decoded. None on success, otherwise what failed.
Failure readEntryFile(const QString &path, ShownEntries &table);

// Calls visit(line) for each non-empty line of `bytes`, in file order.
template <typename Visit> void forEachEntryLine(const QByteArray &bytes, Visit visit) {
    int number = 0;
    const char *data = bytes.constData();
    linefile::forEachLine(bytes, true, [&](qsizetype start, qsizetype length) {
        ++number;
        if (length > 0)
            visit(EntryLine{number, QByteArrayView(data + start, length)});
    });
}

// Reads and checks the category file. The slots start from `previous`, so a
// slot the file no longer reaches keeps its last value; `lines` are the
// file's lines as read, for the writer's changed-elsewhere check.
Failure readCategories(const QString &path, const mdlDim::CategoryLines &previous, mdlDim::CategoryLines &categories,
                       QList<QByteArray> &lines);

struct LoadedTables {
    ShownEntries entries;
    mdlDim::CategoryLines categories;
    QList<QByteArray> categoryLines;
};

// Both files as tables: every non-empty line of the entry file as an entry.
// None on success, otherwise what failed.
Failure loadTables(const QString &entryPath, const QString &categoryPath, const mdlDim::CategoryLines &previous,
                   LoadedTables &out);

} // namespace mdlDim
