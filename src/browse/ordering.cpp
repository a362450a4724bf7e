#include "browse/ordering.h"

#include <algorithm>
#include <vector>

namespace ordering {
namespace {

// Counts, by position, the entries already inserted.
class FenwickTree {
public:
    explicit FenwickTree(int size) : tree_(static_cast<size_t>(size) + 1, 0) {}
    void insert(int position) {
        for (size_t i = static_cast<size_t>(position) + 1; i < tree_.size(); i += i & (~i + 1))
            ++tree_[i];
    }
    // Entries inserted at positions below `end`.
    int countBefore(int end) const {
        int count = 0;
        for (size_t i = static_cast<size_t>(end); i > 0; i -= i & (~i + 1))
            count += tree_[i];
        return count;
    }

private:
    std::vector<int> tree_;
};

// Within one group of equal readings, walking the entries in their original
// order: a member joins the end of the group's run; an entry with a smaller
// reading met after the first member moves the run's first member to its end.
// The run is a circular list with a marker at its first member, so a rotation
// by k steps costs k mod (run length) and joining costs nothing.
void orderGroup(const std::vector<int> &members, const std::vector<int> &smallerBetween, QList<int> &out) {
    const size_t n = members.size();
    std::vector<size_t> next(n);
    std::vector<size_t> prev(n);
    size_t first = 0;
    next[0] = prev[0] = 0;
    for (size_t m = 0; m < n; ++m) {
        if (m > 0) {
            // Join before the first member, which is the run's end in the circle.
            const size_t last = prev[first];
            next[last] = m;
            prev[m] = last;
            next[m] = first;
            prev[first] = m;
        }
        for (int step = smallerBetween[m] % static_cast<int>(m + 1); step > 0; --step)
            first = next[first];
    }
    size_t at = first;
    for (size_t m = 0; m < n; ++m, at = next[at])
        out.append(members[at]);
}

} // namespace

QList<int> exchangeSortOrder(const QList<QString> &readings) {
    const int count = static_cast<int>(readings.size());
    std::vector<int> byReading(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        byReading[static_cast<size_t>(i)] = i;
    std::stable_sort(byReading.begin(), byReading.end(), [&](int a, int b) { return readings.at(a) < readings.at(b); });

    QList<int> order;
    order.reserve(count);
    FenwickTree smaller(count);
    std::vector<int> members;
    std::vector<int> smallerBetween;
    for (size_t start = 0; start < byReading.size();) {
        size_t end = start + 1;
        while (end < byReading.size() && readings.at(byReading[end]) == readings.at(byReading[start]))
            ++end;
        // Members in their original order (the stable sort kept it).
        members.assign(byReading.begin() + static_cast<std::ptrdiff_t>(start),
                       byReading.begin() + static_cast<std::ptrdiff_t>(end));
        smallerBetween.assign(members.size(), 0);
        for (size_t m = 0; m < members.size(); ++m) {
            const int until = m + 1 < members.size() ? members[m + 1] : count;
            smallerBetween[m] = smaller.countBefore(until) - smaller.countBefore(members[m] + 1);
        }
        orderGroup(members, smallerBetween, order);
        for (int position : members)
            smaller.insert(position);
        start = end;
    }
    return order;
}

} // namespace ordering
