#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// The order of the entry list: by reading, compared code unit by code unit.
// Entries with equal readings end up exactly where the list's traditional
// exchange sort (for i, for j > i: swap when element i > element j) puts
// them, but in O(n log n) instead of n(n - 1) / 2 comparisons.
namespace ordering {

// The new order as indices into `readings`.
QList<int> exchangeSortOrder(const QList<QStringView> &readings);
QList<int> exchangeSortOrder(const QList<QString> &readings);

} // namespace ordering
