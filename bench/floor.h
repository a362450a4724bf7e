#pragma once

#include <QByteArray>
#include <QString>

// The least a click must do, for comparison.

// A changed book: read the entry file (from the page cache), walk its lines
// by their LFs, decode only the readings, and order them as the list does:
// the radix sort on their keys and the pass that puts equal readings in the
// exchange sort's order. No encoding check, no category or row, no index
// kept, no list. Returns the lines.
int floorSelection(const QString &entryPath);

// An unchanged book: read the entry file again and compare it with the last read.
bool floorUnchanged(const QString &entryPath);

// A store: the file's bytes written back the safe way (a copy, its fsync,
// the rename and the folder's fsync), nothing decoded or looked for.
void floorRewrite(const QString &entryPath);
