#include "printing/entryitem.h"

#include "store/entryrecord.h"
#include "store/mdlDim.h"

namespace entryitem {

QString fromElement(const QString &element) {
    const EntryRecord entry = EntryRecord::ofElement(element);
    // Only "T" exactly counts as printed.
    const QString mark = entry[EntryField::Printed] == QLatin1String("T") ? QStringLiteral("T") : QStringLiteral("F");
    return entry[EntryField::Name] + QString(45, QLatin1Char(' ')) + QLatin1Char('\'') + entry.lineNumber() +
           QLatin1Char('\'') + mark;
}

QString spokenName(const QString &item) {
    const QString name = item.section(QLatin1Char('\''), 0, 0).chopped(45);
    return isPrinted(item) ? name + QStringLiteral(" 印刷済み") : name;
}

QString lineNumber(const QString &item) {
    return mdlDim::GetField(item, QStringLiteral("'"), 2);
}

bool isPrinted(const QString &item) {
    return mdlDim::GetField(item, QStringLiteral("'"), 3) == QLatin1String("T");
}

} // namespace entryitem
