#pragma once

#include <QList>
#include <QString>

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
