#pragma once

#include "store/categorytable.h"
#include "store/shownentries.h"

#include <QString>

// The small helpers every window uses, and where the book's folder is. The
// tables themselves belong to the Book.
namespace mdlDim {

// The N-th field of Text (counting from 1) between Delim characters.
QString GetField(const QString &text, const QString &delim, int n);

// The program's directory with a trailing separator.
QString AppDir();
// Where the data files are when not beside the program: tests, and
// telbora-contacts --dir, point elsewhere; the phone book itself never does.
void setDataDirectory(const QString &dir);

// The category name a category file line holds (its field 2); empty when unnamed.
inline QString categoryNameIn(const QString &categoryLine) {
    return GetField(categoryLine, QStringLiteral("|"), 2);
}

} // namespace mdlDim
