#pragma once

#include <QStringList>

class Book;

namespace search {
class Query;
}

namespace selection {

// The category number 1 to 10 of an entry element, or 0 when its category
// field is not such a number (a hand-edited line).
int categoryOf(const QString &element);
// The reading of an entry element.
QString readingOf(const QString &element);

// A selection from disk: both data files read anew, and the book's shown
// entries made of the entries of `category` (0: all) whose reading begins in
// kana row `row` (0: all), ordered by reading: the entry file's bytes in the
// table's buffer (its memory reused from click to click), the kept lines'
// places and their readings' keys, and nothing decoded but the readings.
// The categories and the print table as Book::load leaves them. False when a
// file could not be read, `error` saying why: the shown entries are then
// empty, and the caller ends the program as for any load failure.
bool loadSelection(Book &book, int category, int row, QString *error);
// The same for a search: every entry of the book that `query` matches,
// whatever its category and row, in the order of their readings.
bool loadSearch(Book &book, const search::Query &query, QString *error);

} // namespace selection
