#pragma once

#include <QString>

// The least a selection of all entries must do, for comparison: read the
// entry file (from the page cache), walk its lines, decode only the
// readings, and sort prepared keys. Nothing else: no category or row filter,
// no order of equal readings, no list. Returns the number of lines.
int floorSelection(const QString &entryPath);
