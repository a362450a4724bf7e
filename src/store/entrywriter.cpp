#include "store/entrywriter.h"

#include "store/cp932.h"

#include <vector>

namespace EntryWriter {

std::optional<QByteArray> withField(const QByteArray &line, int n, QByteArrayView value) {
    std::vector<qsizetype> separators(static_cast<size_t>(n));
    bool loneLead = false;
    const int found = cp932::separatorPositions(line, '|', separators.data(), n, &loneLead);
    if (found + 1 < n) {
        if (loneLead)
            return std::nullopt;
        return line + QByteArray(n - 1 - found, '|') + value.toByteArray();
    }
    const qsizetype start = n == 1 ? 0 : separators[static_cast<size_t>(n - 2)] + 1;
    const qsizetype end = found >= n ? separators[static_cast<size_t>(n - 1)] : line.size();
    QByteArray marked = line;
    marked.replace(start, end - start, value.toByteArray());
    return marked;
}

} // namespace EntryWriter
