#pragma once

#include <QStringList>

namespace selection {

// The category number 1 to 10 of an entry element, or 0 when its category
// field is not such a number (a hand-edited line).
int categoryOf(const QString &element);
// The reading of an entry element.
QString readingOf(const QString &element);

// Keeps the elements of `category` (0 keeps all) whose reading begins in kana
// row `row` (0 keeps all), ordered by reading.
QStringList select(const QStringList &elements, int category, int row);

} // namespace selection
