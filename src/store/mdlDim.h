#pragma once

#include "store/categorytable.h"
#include "store/shownentries.h"

#include <QString>
#include <QStringList>
#include <array>

// Program-wide shared values, the tables loaded from the data files and the
// small helpers every window uses.
namespace mdlDim {

// Each element: the entry's physical line number in the entry file, "|", and
// the line as read. After a selection: the selected entries in display order.
// A writer acting on an entry is given EntryTable.loadedLine(i).
inline ShownEntries EntryTable;
inline int EntryCount = 0;
// Working table of the selection; the entries to print during printing.
inline QStringList PrintTable;
// Slot k holds the category file's line for category k + 1.
inline CategoryLines CategoryTable;

// The category file's lines as last read, the bytes a category writer must
// still find there.
inline QList<QByteArray> CategoryFileLines;

// Browsing state.
inline int CurrentCategory = 0;
inline bool EditingExisting = false;
inline int SelectedEntry = 0;

// Printing.
inline int CardFormat = 0;
inline bool WithLines = true;
inline bool WithInfo = true;
inline int StartLine = 1;

// The N-th field of Text (counting from 1) between Delim characters.
QString GetField(const QString &text, const QString &delim, int n);
// Text with its N-th "|" field set to `value`; missing fields up to N are
// added empty, later fields are kept.
QString SetField(const QString &text, int n, const QString &value);

// The program's directory with a trailing separator.
QString AppDir();
// Where the data files are when not beside the program: tests, and
// telbora-contacts --dir, point elsewhere; the phone book itself never does.
void setDataDirectory(const QString &dir);

// The category name a category file line holds (its field 2); empty when unnamed.
inline QString categoryNameIn(const QString &categoryLine) {
    return GetField(categoryLine, QStringLiteral("|"), 2);
}
// The name in CategoryTable slot `slot` (category slot + 1); empty when unnamed.
inline QString categoryNameOfSlot(int slot) {
    return categoryNameIn(CategoryTable[static_cast<size_t>(slot)]);
}

inline QString entryFilePath() {
    return AppDir() + QStringLiteral("VexaTel.txt");
}
inline QString categoryFilePath() {
    return AppDir() + QStringLiteral("VexaType.txt");
}

// Rebuilds the tables from both files. On failure the tables stay as they
// were and `error`, when given, says what failed; they are never left
// half-loaded. The windows show the failure and end (LoadDataOrEnd).
bool LoadData(QString *error = nullptr);

} // namespace mdlDim
