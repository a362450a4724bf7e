#pragma once

#include "store/kanarow.h"
#include "store/ordering.h"
#include "store/selection.h"

#include <QList>
#include <QString>
#include <QStringList>

// The list's traditional exchange sort, kept literally as the reference the
// fast ordering is compared with: for i, for j > i, swap when i's reading is greater.
inline QList<int> literalExchangeSort(const QList<QString> &readings) {
    QList<int> order;
    for (int i = 0; i < readings.size(); ++i)
        order.append(i);
    for (int i = 0; i < order.size(); ++i)
        for (int j = i + 1; j < order.size(); ++j)
            if (readings.at(order.at(i)) > readings.at(order.at(j)))
                order.swapItemsAt(i, j);
    return order;
}

// The fast ordering of `readings` as indices into it, as the list orders them.
inline QList<int> fastOrder(const QList<QString> &readings) {
    std::vector<ordering::ReadingKey> keys;
    for (qsizetype i = 0; i < readings.size(); ++i)
        keys.push_back(ordering::readingKey(readings.at(i), static_cast<int>(i)));
    return ordering::exchangeSortOrder(keys, [&](int i) { return QStringView(readings.at(i)); });
}

// The elements of `category` (0 keeps all) whose reading begins in kana row
// `row` (0 keeps all), ordered by reading: the selection made from decoded
// elements, as the reference the selection from disk is compared with.
inline QStringList referenceSelect(const QStringList &elements, int category, int row) {
    QStringList kept;
    QList<QString> readings;
    for (const QString &element : elements) {
        if (category != 0 && selection::categoryOf(element) != category)
            continue;
        QString reading = selection::readingOf(element);
        if (row != 0 && !kanarow::matches(reading, row))
            continue;
        kept.append(element);
        readings.append(std::move(reading));
    }
    QStringList ordered;
    ordered.reserve(kept.size());
    for (int index : fastOrder(readings))
        ordered.append(kept.at(index));
    return ordered;
}
