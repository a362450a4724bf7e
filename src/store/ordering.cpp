#include "store/ordering.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace ordering {
namespace {

// Set bits of a word, inline: without a CPU target that has the instruction,
// std::popcount is a call into the compiler's support library.
inline int bitCount(uint64_t x) {
    x = x - ((x >> 1) & 0x5555555555555555ULL);
    x = (x & 0x3333333333333333ULL) + ((x >> 2) & 0x3333333333333333ULL);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
    return static_cast<int>((x * 0x0101010101010101ULL) >> 56);
}

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
            count += bitCount(bits_[e / 64] & ((uint64_t(1) << (e % 64)) - 1));
        return count;
    }

private:
    std::vector<uint64_t> bits_;
    std::vector<int> tree_;
};

// Within one group of equal readings, walking the entries in their original
// order: a member joins the end of the group's run; an entry with a smaller
// reading met after the first member moves the run's first member to its end.
// Kept as a circle with the index of its first member, that is: member m is
// inserted at index `first` of the circle, then `first` moves on by the
// smaller entries after it, modulo the circle's size. Only the insertion
// indices are worked out in that walk; the circle is then filled backwards,
// the last member inserted taking the free slot its index names, found in a
// Fenwick tree of free slots: O(g log g) for a group of g, never O(g²).
class GroupOrder {
public:
    void order(const std::vector<int> &members, const std::vector<int> &smallerBetween, QList<int> &out) {
        const size_t n = members.size();
        if (n == 1) {
            out.append(members[0]);
            return;
        }
        insertedAt_.resize(n);
        size_t first = 0;
        for (size_t m = 0; m < n; ++m) {
            insertedAt_[m] = static_cast<int>(first);
            if (m > 0)
                ++first;
            // first + r modulo m + 1, dividing only when r is not already below it.
            const auto r = static_cast<size_t>(smallerBetween[m]);
            first += r <= m ? r : r % (m + 1);
            if (first > m)
                first -= m + 1;
        }
        if (n <= DirectInsertLimit)
            fillByInserting(members, n);
        else
            fillBackwards(members, n);
        for (size_t m = first; m < n; ++m)
            out.append(circle_[m]);
        for (size_t m = 0; m < first; ++m)
            out.append(circle_[m]);
    }

private:
    // Up to this size a group's circle is built by inserting into an array:
    // moving a few hundred indices is cheaper than the tree's search.
    static constexpr size_t DirectInsertLimit = 64;

    void fillByInserting(const std::vector<int> &members, size_t n) {
        circle_.clear();
        for (size_t m = 0; m < n; ++m)
            circle_.insert(circle_.begin() + insertedAt_[m], members[m]);
    }

    void fillBackwards(const std::vector<int> &members, size_t n) {
        // Slots padded to a power of two, the padding never free, so that the
        // search below needs no bounds test and takes no branch.
        size_t size = 1;
        while (size < n)
            size *= 2;
        // Every real slot free: tree_[i] counts the free slots of its range.
        tree_.assign(size + 1, 0);
        for (size_t i = 1; i <= size; ++i) {
            tree_[i] += i <= n ? 1 : 0;
            if (const size_t parent = i + (i & (~i + 1)); parent <= size)
                tree_[parent] += tree_[i];
        }
        circle_.resize(n);
        for (size_t m = n; m-- > 0;) {
            // The free slot with insertedAt_[m] free slots before it.
            size_t at = 0;
            int rest = insertedAt_[m];
            for (size_t step = size / 2; step > 0; step /= 2) {
                const int free = tree_[at + step];
                const bool past = free <= rest;
                at = past ? at + step : at;
                rest -= past ? free : 0;
            }
            circle_[at] = members[m];
            for (size_t i = at + 1; i <= size; i += i & (~i + 1))
                --tree_[i];
        }
    }

    std::vector<int> insertedAt_;
    std::vector<int> tree_;
    std::vector<int> circle_;
};

// The byte `digit` (0 = least significant) of a key's sort value: the length
// class first, then the 16 bytes of low and high.
inline unsigned sortByte(const ReadingKey &k, int digit) {
    if (digit == 0)
        return k.length > 8 ? 9u : k.length;
    const int byte = digit - 1;
    return static_cast<unsigned>((byte < 8 ? k.low >> (8 * byte) : k.high >> (8 * (byte - 8))) & 0xFF);
}

bool radixSortRanked(std::vector<ReadingKey> &keys, std::vector<ReadingKey> &spare);

// A stable LSD radix sort, a byte a pass, byteOf(key, 0) the least
// significant. All counts are made in one walk; a pass in which every key has
// the same byte (the high byte of kana, the zeros after short readings) is
// skipped.
template <int Digits, typename Key, typename ByteOf>
void radixPasses(std::vector<Key> &keys, std::vector<Key> &spare, ByteOf byteOf) {
    const size_t n = keys.size();
    std::vector<std::array<uint32_t, 256>> counts(Digits);
    for (auto &count : counts)
        count.fill(0);
    for (const Key &k : keys)
        for (int d = 0; d < Digits; ++d)
            ++counts[static_cast<size_t>(d)][byteOf(k, d)];
    spare.resize(n);
    for (int d = 0; d < Digits; ++d) {
        std::array<uint32_t, 256> &count = counts[static_cast<size_t>(d)];
        if (count[byteOf(keys[0], d)] == n)
            continue;
        uint32_t at = 0;
        for (uint32_t &c : count) {
            const uint32_t here = c;
            c = at;
            at += here;
        }
        for (const Key &k : keys)
            spare[count[byteOf(k, d)]++] = k;
        keys.swap(spare);
    }
}

// Sorts on (high, low, length class): on ranked units when they are few,
// else on the 16 bytes of the units themselves.
void radixSortInto(std::vector<ReadingKey> &keys, std::vector<ReadingKey> &spare) {
    if (keys.size() < 2 || radixSortRanked(keys, spare))
        return;
    radixPasses<17>(keys, spare, [](const ReadingKey &k, int d) { return sortByte(k, d); });
}

// A key with each of its eight units replaced by the unit's rank among the
// units all keys hold (0 for a missing unit), when there are few enough
// distinct units for a byte each, as in a book of kana and Latin readings:
// half the passes of the full key, on keys two thirds its size.
struct RankedKey {
    uint64_t ranks; // unit 0's rank in the highest byte
    uint32_t at;    // the key's place in the unsorted keys
    uint32_t lengthClass;
};

inline unsigned unitOf(const ReadingKey &k, int unit) {
    const uint64_t word = unit < 4 ? k.high : k.low;
    return static_cast<unsigned>(word >> (48 - 16 * (unit % 4))) & 0xFFFFu;
}

bool rankUnits(const std::vector<ReadingKey> &keys, std::vector<RankedKey> &ranked) {
    // A byte a unit rather than a bit: plain stores, no read-modify-write
    // chain through the few words that kana share.
    thread_local std::vector<uint8_t> rank(65536);
    std::fill(rank.begin(), rank.end(), 0);
    for (const ReadingKey &k : keys)
        for (int u = 0; u < 8; ++u)
            rank[unitOf(k, u)] = 1;
    rank[0] = 0; // a missing unit ranks below every unit
    unsigned next = 1;
    for (uint8_t &r : rank) {
        if (!r)
            continue;
        if (next > 255)
            return false;
        r = static_cast<uint8_t>(next++);
    }
    ranked.resize(keys.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        const ReadingKey &k = keys[i];
        uint64_t ranks = 0;
        for (int u = 0; u < 8; ++u)
            ranks = ranks << 8 | rank[unitOf(k, u)];
        ranked[i] = {ranks, static_cast<uint32_t>(i), k.length > 8 ? 9u : k.length};
    }
    return true;
}

inline unsigned rankedByte(const RankedKey &k, int digit) {
    return digit == 0 ? k.lengthClass : static_cast<unsigned>(k.ranks >> (8 * (digit - 1))) & 0xFFu;
}

// The radix sort on ranked keys; false when the keys hold too many distinct units.
bool radixSortRanked(std::vector<ReadingKey> &keys, std::vector<ReadingKey> &spare) {
    thread_local std::vector<RankedKey> ranked, rankedSpare;
    if (!rankUnits(keys, ranked))
        return false;
    radixPasses<9>(ranked, rankedSpare, [](const RankedKey &k, int d) { return rankedByte(k, d); });
    const size_t n = keys.size();
    spare.resize(n);
    for (size_t i = 0; i < n; ++i)
        spare[i] = keys[ranked[i].at];
    keys.swap(spare);
    return true;
}

// Sorts the keys by reading, equal readings by index: a radix sort on the
// keys, then the few runs of equal keys of readings longer than eight units
// put in order by comparing the readings themselves.
template <typename Compare> void sortKeys(std::vector<ReadingKey> &keys, Compare compare) {
    thread_local std::vector<ReadingKey> spare;
    // Stable: keys are made in index order, so equal readings stay in it.
    radixSortInto(keys, spare);
    const size_t n = keys.size();
    for (size_t start = 0; start < n;) {
        size_t end = start + 1;
        if (keys[start].length > 8)
            while (end < n && keys[end].high == keys[start].high && keys[end].low == keys[start].low &&
                   keys[end].length > 8)
                ++end;
        if (end - start > 1)
            std::stable_sort(keys.begin() + static_cast<std::ptrdiff_t>(start),
                             keys.begin() + static_cast<std::ptrdiff_t>(end),
                             [&](const ReadingKey &a, const ReadingKey &b) { return compare(a, b) < 0; });
        start = end;
    }
}

} // namespace

ReadingKey readingKey(QStringView reading, int index) {
    // The first eight units, missing ones 0, as two big-endian numbers.
    char16_t units[8] = {};
    std::memcpy(units, reading.utf16(), static_cast<size_t>(std::min<qsizetype>(reading.size(), 8)) * 2);
    const auto word = [&](int from) {
        return uint64_t(units[from]) << 48 | uint64_t(units[from + 1]) << 32 | uint64_t(units[from + 2]) << 16 |
               uint64_t(units[from + 3]);
    };
    return {word(0), word(4), static_cast<uint32_t>(reading.size()), index};
}

QList<int> exchangeSortOrder(std::vector<ReadingKey> &keyed, const std::function<QStringView(int)> &reading) {
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
    GroupOrder group;
    std::vector<int> members;
    std::vector<int> smallerBetween;
    for (size_t start = 0; start < keyed.size();) {
        size_t end = start + 1;
        // Equal readings have equal keys and lengths; only long ones are compared themselves.
        const auto same = [&](const ReadingKey &a, const ReadingKey &b) {
            return a.high == b.high && a.low == b.low && a.length == b.length &&
                   (a.length <= 8 || reading(a.index) == reading(b.index));
        };
        while (end < keyed.size() && same(keyed[end], keyed[start]))
            ++end;
        if (end == start + 1) {
            // A reading of its own stays where the sort put it; only later groups count it.
            order.append(keyed[start].index);
            smaller.insert(keyed[start].index);
            start = end;
            continue;
        }
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
        group.order(members, smallerBetween, order);
        for (int position : members)
            smaller.insert(position);
        start = end;
    }
    return order;
}

} // namespace ordering
