#include "contacts/postalcheck.h"

#include "store/entryrecord.h"

namespace postalcheck {
QString problemOf(const QString &line, const postalcodes::Table &table) {
    const EntryRecord entry = EntryRecord::ofLine(line);
    const QString postal = entry[EntryField::PostalCode];
    const QString address = postalcodes::comparedAddress(entry[EntryField::Address]);
    if (postal.isEmpty() && address.isEmpty())
        return QStringLiteral("郵便番号も住所もありません");
    if (postal.isEmpty()) {
        const QList<postalcodes::Area> found = table.forAddress(address);
        return found.size() == 1 ? QStringLiteral("郵便番号がありません（住所からは %1）")
                                       .arg(postalcodes::withHyphen(found.first().code))
                                 : QStringLiteral("郵便番号がありません");
    }
    const QList<postalcodes::Area> areas = table.lookUp(postalcodes::digitsOf(postal));
    if (areas.isEmpty())
        return QStringLiteral("郵便番号 %1 は日本郵便の表にありません").arg(postal);
    if (address.isEmpty())
        return QStringLiteral("住所がありません（%1 は%2）").arg(postal, areas.first().address());
    for (const postalcodes::Area &a : areas)
        if (table.fits(address, a))
            return {};
    return QStringLiteral("郵便番号 %1 は%2の番号で、住所と合いません").arg(postal, areas.first().address());
}

} // namespace postalcheck
