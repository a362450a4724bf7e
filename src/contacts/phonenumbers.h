#pragma once

#include <QString>
#include <QStringList>

// Japanese telephone numbers as the phone book stores them: three digit
// groups joined by "-".
namespace phonenumbers {

// The number's digits with +81 turned into a leading 0, and the digit groups
// the text itself separates (with "-", spaces, dots or brackets).
struct Digits {
    QString digits;
    QStringList groups;
};
Digits digitsOf(const QString &text);

// The digits split by the numbering plan: 070/080/090 and 050 as 3-4-4,
// 0120 and 0570 as 4-3-3, 0800 as 4-3-4, fixed lines by their area code
// (Tokyo 03 and Osaka 06 as 2-4-4, the larger cities' three-digit codes as
// 3-3-4, the rest as 4-2-4). Empty when the digits are not such a number.
QStringList splitByPlan(const QString &digits);

// The number written as the store keeps it, when it has `requiredDigits`
// digits: the text's own three groups if it has them, else the plan's.
// Empty when it cannot be made so.
QString formatted(const QString &text, int requiredDigits);

// Whether the digits are of a mobile or IP phone (070, 080, 090, 050, 11 digits).
bool isMobile(const QString &digits);

} // namespace phonenumbers
