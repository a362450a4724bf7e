#include "browse/ordering.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <utility>
#include <vector>

namespace ordering {
namespace {

// Counts, by position, the entries already inserted: a bit a position, and a
// Fenwick tree over the counts of 64-position blocks, small enough to stay in
// the first-level cache.
class InsertedPositions {
public:
    explicit InsertedPositions(int size)
        : bits_(static_cast<size_t>(size) / 64 + 1, 0), tree_(static_cast<size_t>(size) / 64 + 2, 0) {}
    void insert(int position) {
        const auto p = static_cast<size_t>(position);
        bits_[p / 64] |= uint64_t(1) << (p % 64);
        for (size_t i = p / 64 + 1; i < tree_.size(); i += i & (~i + 1))
            ++tree_[i];
    }
    // Entries inserted at positions below `end`.
    int countBefore(int end) const {
        const auto e = static_cast<size_t>(end);
        int count = 0;
        for (size_t i = e / 64; i > 0; i -= i & (~i + 1))
            count += tree_[i];
        if (e % 64 != 0)
            count += std::popcount(bits_[e / 64] & ((uint64_t(1) << (e % 64)) - 1));
        return count;
    }

private:
    std::vector<uint64_t> bits_;
    std::vector<int> tree_;
};

// Within one group of equal readings, walking the entries in their original
// order: a member joins the end of the group's run; an entry with a smaller
// reading met after the first member moves the run's first member to its end.
// The run is kept as a circle in an array with the index of its first member:
// a rotation by k steps is one addition, and joining the end (just before the
// first member) moves the members after it by one, a short memmove.
void orderGroup(const std::vector<int> &members, const std::vector<int> &smallerBetween, QList<int> &out) {
    const size_t n = members.size();
    std::vector<int> circle;
    circle.reserve(n);
    size_t first = 0;
    for (size_t m = 0; m < n; ++m) {
        if (m > 0) {
            circle.insert(circle.begin() + static_cast<std::ptrdiff_t>(first), members[m]);
            ++first;
        } else {
            circle.push_back(members[0]);
        }
        first = (first + static_cast<size_t>(smallerBetween[m]) % (m + 1)) % (m + 1);
    }
    for (size_t m = 0; m < n; ++m)
        out.append(circle[(first + m) % n]);
}

// Sorts the keys by reading, equal readings by index: a stable radix sort
// on the keys' bytes (passes where every key has the same byte are skipped),
// then the few runs of equal keys of readings longer than eight units put in
// order by comparing the readings themselves.
template <typename Compare> void sortKeys(std::vector<ReadingKey> &keys, Compare compare) {
    const size_t n = keys.size();
    if (n < 2)
        return;
    std::vector<ReadingKey> other(n);
    // Least significant first: the length (up to 9, "longer"), then low, then high.
    const auto byteOf = [](const ReadingKey &k, int pass) -> unsigned {
        if (pass == 0)
            return k.length > 9 ? 9 : k.length;
        const uint64_t word = pass <= 8 ? k.low : k.high;
        return static_cast<unsigned>(word >> (8 * ((pass - 1) % 8))) & 0xFF;
    };
    for (int pass = 0; pass < 17; ++pass) {
        size_t counts[256] = {};
        for (const ReadingKey &k : keys)
            ++counts[byteOf(k, pass)];
        if (counts[byteOf(keys.front(), pass)] == n)
            continue; // every key has the same byte here
        size_t at = 0;
        for (size_t &c : counts)
            at += std::exchange(c, at);
        for (const ReadingKey &k : keys)
            other[counts[byteOf(k, pass)]++] = k;
        keys.swap(other);
    }
    for (size_t start = 0; start < n;) {
        size_t end = start + 1;
        while (end < n && keys[end].high == keys[start].high && keys[end].low == keys[start].low &&
               (keys[end].length > 8) == (keys[start].length > 8) && keys[start].length > 8)
            ++end;
        if (end - start > 1)
            std::stable_sort(keys.begin() + static_cast<std::ptrdiff_t>(start),
                             keys.begin() + static_cast<std::ptrdiff_t>(end),
                             [&](const ReadingKey &a, const ReadingKey &b) { return compare(a, b) < 0; });
        start = end;
    }
}

} // namespace

QList<int> exchangeSortOrder(const QList<QString> &readings) {
    QList<QStringView> views;
    views.reserve(readings.size());
    for (const QString &reading : readings)
        views.append(reading);
    return exchangeSortOrder(views);
}

ReadingKey readingKey(QStringView reading, int index) {
    uint64_t key[2] = {0, 0};
    for (qsizetype u = 0; u < 8; ++u)
        key[u / 4] = key[u / 4] << 16 | (u < reading.size() ? reading[u].unicode() : 0);
    return {key[0], key[1], static_cast<uint32_t>(reading.size()), index};
}

QList<int> exchangeSortOrder(const QList<QStringView> &readings) {
    std::vector<ReadingKey> keys;
    keys.reserve(static_cast<size_t>(readings.size()));
    for (qsizetype i = 0; i < readings.size(); ++i)
        keys.push_back(readingKey(readings.at(i), static_cast<int>(i)));
    return exchangeSortOrder(std::move(keys), [&](int i) { return readings.at(i); });
}

QList<int> exchangeSortOrder(std::vector<ReadingKey> keyed, const std::function<QStringView(int)> &reading) {
    const int count = static_cast<int>(keyed.size());
    // The keys decide most comparisons without touching the text. Readings of
    // at most eight units are wholly in their keys, so with equal keys the
    // shorter one is smaller; longer readings are compared themselves, unit by
    // unit as QString's < compares. Equal readings keep their order.
    const auto compare = [&](const ReadingKey &a, const ReadingKey &b) {
        if (a.high != b.high)
            return a.high < b.high ? -1 : 1;
        if (a.low != b.low)
            return a.low < b.low ? -1 : 1;
        if (a.length <= 8 && b.length <= 8)
            return a.length == b.length ? 0 : a.length < b.length ? -1 : 1;
        const int c = reading(a.index).compare(reading(b.index));
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    };
    sortKeys(keyed, compare);

    QList<int> order;
    order.reserve(count);
    InsertedPositions smaller(count);
    std::vector<int> members;
    std::vector<int> smallerBetween;
    for (size_t start = 0; start < keyed.size();) {
        size_t end = start + 1;
        while (end < keyed.size() && compare(keyed[end], keyed[start]) == 0)
            ++end;
        // Members in their original order (equal readings were sorted by index).
        members.clear();
        for (size_t k = start; k < end; ++k)
            members.push_back(keyed[k].index);
        // Smaller entries between a member and the next one (or the end). No
        // member is inserted yet, so counting below a member's position or
        // below the position after it gives the same.
        smallerBetween.assign(members.size(), 0);
        int below = smaller.countBefore(members[0]);
        for (size_t m = 0; m < members.size(); ++m) {
            const int belowNext = smaller.countBefore(m + 1 < members.size() ? members[m + 1] : count);
            smallerBetween[m] = belowNext - below;
            below = belowNext;
        }
        orderGroup(members, smallerBetween, order);
        for (int position : members)
            smaller.insert(position);
        start = end;
    }
    return order;
}

} // namespace ordering
