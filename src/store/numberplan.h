#pragma once

#include <QList>
#include <QString>

// Japan's numbering plan, from Google's libphonenumber: where a national
// number's digit groups fall, by its area code.
namespace numberplan {

// The lengths of the groups the plan writes for `digits` (the national
// digits, 0 first): "0312345678" gives 2,4,4 and "0451234567" 3,3,4. Empty
// when the plan writes no groups that give back exactly these digits.
QList<int> groupLengths(const QString &digits);

// The groups of a number typed in full: 10 digits, or 11 for the numbers
// that have 11 (090, 050, 0800 …), split as the plan writes them, each group
// no longer than `limits` allows. Empty when the number is not complete yet.
QStringList completeGroups(const QString &digits, const int limits[3]);

} // namespace numberplan
