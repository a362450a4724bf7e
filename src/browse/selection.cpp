#include "browse/selection.h"

#include "browse/kanarow.h"
#include "browse/ordering.h"
#include "store/cp932.h"
#include "store/loader.h"
#include "store/mdlDim.h"

namespace selection {

int categoryOf(const QString &element) {
    bool isNumber = false;
    const int category = mdlDim::GetField(element, QStringLiteral("|"), 10).toInt(&isNumber);
    return isNumber && category >= 1 && category <= 10 ? category : 0;
}

QString readingOf(const QString &element) {
    return mdlDim::GetField(element, QStringLiteral("|"), 2);
}

QStringList select(const QStringList &elements, int category, int row) {
    QStringList kept;
    QList<QString> readings;
    for (const QString &element : elements) {
        if (category != 0 && categoryOf(element) != category)
            continue;
        QString reading = readingOf(element);
        if (row != 0 && !kanarow::matches(reading, row))
            continue;
        kept.append(element);
        readings.append(std::move(reading));
    }
    QStringList ordered;
    ordered.reserve(kept.size());
    for (int index : ordering::exchangeSortOrder(readings))
        ordered.append(kept.at(index));
    return ordered;
}

namespace {

// An element's reading: its text between its first two separators.
QStringView readingIn(QStringView element) {
    const qsizetype start = element.indexOf(u'|') + 1;
    const qsizetype end = element.indexOf(u'|', start);
    return element.sliced(start, (end < 0 ? element.size() : end) - start);
}

// As categoryOf() on the element: 1 to 10, or 0.
int categoryOfField(std::optional<QByteArrayView> field) {
    if (!field)
        return 0;
    const QByteArrayView c = *field;
    const auto digit = [](char ch) { return ch >= '0' && ch <= '9'; };
    if (c.size() == 1 && digit(c[0]))
        return c[0] == '0' ? 0 : c[0] - '0';
    if (c.size() == 2 && c[0] == '1' && c[1] == '0')
        return 10;
    // Anything else is rare: read as categoryOf() reads it.
    bool isNumber = false;
    const int category = cp932::decode(c).toInt(&isNumber);
    return isNumber && category >= 1 && category <= 10 ? category : 0;
}

} // namespace

namespace {

// Puts `table` into display order in place: position i takes the element at order[i].
template <typename Table> void reorder(Table &table, const QList<int> &order, std::vector<bool> &placed) {
    placed.assign(static_cast<size_t>(order.size()), false);
    for (qsizetype i = 0; i < order.size(); ++i) {
        if (placed[static_cast<size_t>(i)])
            continue;
        auto held = std::move(table[i]);
        qsizetype at = i;
        while (order[at] != i) {
            table[at] = std::move(table[order[at]]);
            placed[static_cast<size_t>(at)] = true;
            at = order[at];
        }
        table[at] = std::move(held);
        placed[static_cast<size_t>(at)] = true;
    }
}

} // namespace

bool loadSelection(int category, int row, QString *error) {
    // The old table goes before the new one is built, so the two are never
    // held at once; a failure from here on ends the program anyway.
    mdlDim::EntryTable.clear();
    mdlDim::EntryBytes.clear();
    mdlDim::EntryCount = 0;
    mdlDim::PrintTable.clear();
    // The kept elements in file order, with their readings' sort keys, made
    // while each element is at hand.
    QStringList &table = mdlDim::EntryTable;
    QList<QByteArray> &bytes = mdlDim::EntryBytes;
    std::vector<ordering::ReadingKey> keys;
    // The entry file first: when both files are missing, it is the one named.
    QString failure = mdlDim::forEachEntryLine(mdlDim::entryFilePath(), [&](const mdlDim::EntryLine &line) {
        if (category != 0 && categoryOfField(line.category()) != category)
            return;
        QString element = line.element();
        const QStringView reading = readingIn(element);
        if (row != 0 && !kanarow::matches(reading, row))
            return;
        keys.push_back(ordering::readingKey(reading, static_cast<int>(keys.size())));
        table.append(std::move(element));
        bytes.append(line.text.toByteArray());
    });
    std::array<QString, mdlDim::CategorySlots> categories;
    if (failure.isEmpty())
        failure = mdlDim::readCategories(mdlDim::categoryFilePath(), mdlDim::CategoryTable, categories);
    if (!failure.isEmpty()) {
        table.clear();
        bytes.clear();
        if (error)
            *error = failure;
        return false;
    }

    const QList<int> order =
        ordering::exchangeSortOrder(std::move(keys), [&](int i) { return readingIn(table.at(i)); });
    std::vector<bool> placed;
    reorder(table, order, placed);
    reorder(bytes, order, placed);
    mdlDim::EntryCount = static_cast<int>(table.size());
    mdlDim::CategoryTable = categories;
    return true;
}

} // namespace selection
