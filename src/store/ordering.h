#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <functional>
#include <vector>

// The order of the entry list: by reading, compared code unit by code unit.
// Entries with equal readings end up exactly where the list's traditional
// exchange sort (for i, for j > i: swap when element i > element j) puts
// them, but in O(n log n) instead of n(n - 1) / 2 comparisons.
namespace ordering {

// A reading prepared for sorting: its first eight units as two numbers (a
// missing unit counts as 0, so they order as the readings do), its length and
// its index. Made while the reading is at hand, it saves going back to it.
struct ReadingKey {
    uint64_t high;
    uint64_t low;
    uint32_t length;
    int index;
};
ReadingKey readingKey(QStringView reading, int index);

// The new order, as indices, of the readings the keys were made from by
// readingKey (keys[i].index == i); `reading`
// gives reading i, asked only for readings longer than their keys, and must
// stay valid until the order is made. The keys are sorted in place.
QList<int> exchangeSortOrder(std::vector<ReadingKey> &keys, const std::function<QStringView(int)> &reading);

} // namespace ordering
