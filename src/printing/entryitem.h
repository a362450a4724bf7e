#pragma once

#include <QString>

// An item of the print set-up's lists: the entry's name, 45 spaces, "'", its
// line number, "'" and the mark letter "T" (printed) or "F".
namespace entryitem {

QString fromElement(const QString &element);
QString lineNumber(const QString &item);
bool isPrinted(const QString &item);
// What a screen reader says of the item: the name, and 印刷済み when printed.
QString spokenName(const QString &item);

} // namespace entryitem
