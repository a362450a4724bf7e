#include "browse/selection.h"

#include "browse/kanarow.h"
#include "browse/ordering.h"
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

} // namespace selection
