#pragma once

#include <QStringList>

namespace search {
class Query;
}

namespace selection {

// The category number 1 to 10 of an entry element, or 0 when its category
// field is not such a number (a hand-edited line).
int categoryOf(const QString &element);
// The reading of an entry element.
QString readingOf(const QString &element);

// A selection from disk: both data files read anew, and EntryTable made of
// the entries of `category` (0: all) whose reading begins in kana row `row`
// (0: all) in LoadData's table, ordered by reading:
// the entry file's bytes in EntryTable's buffer (its memory reused from click
// to click), the kept lines' places and their readings' keys, and nothing
// decoded but the readings.
// CategoryTable, EntryCount and PrintTable as LoadData leaves them. False when a
// file could not be read, `error` saying why: EntryTable is then empty, and the
// caller ends the program as for any load failure.
bool loadSelection(int category, int row, QString *error);
// The same for a search: every entry of the book that `query` matches,
// whatever its category and row, in the order of their readings.
bool loadSearch(const search::Query &query, QString *error);

} // namespace selection
