#include "printing/entryitem.h"

#include "store/mdlDim.h"

namespace entryitem {

QString fromElement(const QString &element) {
    const QString bar = QStringLiteral("|");
    // Only "T" exactly counts as printed.
    const QString mark =
        mdlDim::GetField(element, bar, 11) == QLatin1String("T") ? QStringLiteral("T") : QStringLiteral("F");
    return mdlDim::GetField(element, bar, 3) + QString(45, QLatin1Char(' ')) + QLatin1Char('\'') +
           mdlDim::GetField(element, bar, 1) + QLatin1Char('\'') + mark;
}

QString lineNumber(const QString &item) {
    return mdlDim::GetField(item, QStringLiteral("'"), 2);
}

bool isPrinted(const QString &item) {
    return mdlDim::GetField(item, QStringLiteral("'"), 3) == QLatin1String("T");
}

} // namespace entryitem
