#include "contacts/phonenumbers.h"

#include <QSet>

namespace phonenumbers {
namespace {

// Three-digit area codes of the larger cities (Sapporo 011, Sendai 022,
// Yokohama 045, Nagoya 052, Kyoto 075, Kobe 078, Hiroshima 082, Fukuoka 092,
// ...); a fixed number with another prefix is taken to have a four-digit code.
const QSet<QString> &threeDigitAreaCodes() {
    static const QSet<QString> codes = {
        QStringLiteral("011"), QStringLiteral("017"), QStringLiteral("018"), QStringLiteral("019"),
        QStringLiteral("022"), QStringLiteral("023"), QStringLiteral("024"), QStringLiteral("025"),
        QStringLiteral("026"), QStringLiteral("027"), QStringLiteral("028"), QStringLiteral("029"),
        QStringLiteral("042"), QStringLiteral("043"), QStringLiteral("044"), QStringLiteral("045"),
        QStringLiteral("046"), QStringLiteral("047"), QStringLiteral("048"), QStringLiteral("049"),
        QStringLiteral("052"), QStringLiteral("053"), QStringLiteral("054"), QStringLiteral("055"),
        QStringLiteral("058"), QStringLiteral("059"), QStringLiteral("072"), QStringLiteral("073"),
        QStringLiteral("075"), QStringLiteral("076"), QStringLiteral("077"), QStringLiteral("078"),
        QStringLiteral("079"), QStringLiteral("082"), QStringLiteral("083"), QStringLiteral("084"),
        QStringLiteral("086"), QStringLiteral("087"), QStringLiteral("088"), QStringLiteral("089"),
        QStringLiteral("092"), QStringLiteral("093"), QStringLiteral("095"), QStringLiteral("096"),
        QStringLiteral("097"), QStringLiteral("098"), QStringLiteral("099")};
    return codes;
}

QStringList cut(const QString &digits, std::initializer_list<int> lengths) {
    QStringList groups;
    qsizetype at = 0;
    for (int length : lengths) {
        groups.append(digits.mid(at, length));
        at += length;
    }
    return groups;
}

} // namespace

Digits digitsOf(const QString &text) {
    QString s = text.normalized(QString::NormalizationForm_KC).trimmed();
    if (s.startsWith(QLatin1String("+81"))) {
        s = s.mid(3);
        while (!s.isEmpty() && !s.front().isDigit() && s.front() != u'(')
            s.remove(0, 1);
        if (s.startsWith(QLatin1String("(0)")))
            s = s.mid(3);
        while (!s.isEmpty() && !s.front().isDigit())
            s.remove(0, 1);
        if (!s.startsWith(u'0'))
            s.prepend(u'0');
    }
    Digits result;
    QString group;
    for (QChar c : s) {
        if (c >= u'0' && c <= u'9') {
            group += c;
            result.digits += c;
        } else if (!group.isEmpty()) {
            result.groups.append(group);
            group.clear();
        }
    }
    if (!group.isEmpty())
        result.groups.append(group);
    return result;
}

bool isMobile(const QString &digits) {
    return digits.size() == 11 && (digits.startsWith(QLatin1String("070")) || digits.startsWith(QLatin1String("080")) ||
                                   digits.startsWith(QLatin1String("090")) || digits.startsWith(QLatin1String("050")));
}

QStringList splitByPlan(const QString &digits) {
    if (isMobile(digits))
        return cut(digits, {3, 4, 4});
    if (digits.size() == 11 && digits.startsWith(QLatin1String("0800")))
        return cut(digits, {4, 3, 4});
    if (digits.size() != 10 || !digits.startsWith(u'0'))
        return {};
    if (digits.startsWith(QLatin1String("0120")) || digits.startsWith(QLatin1String("0570")))
        return cut(digits, {4, 3, 3});
    if (digits.startsWith(QLatin1String("03")) || digits.startsWith(QLatin1String("06")))
        return cut(digits, {2, 4, 4});
    if (threeDigitAreaCodes().contains(digits.left(3)))
        return cut(digits, {3, 3, 4});
    return cut(digits, {4, 2, 4});
}

QString formatted(const QString &text, int requiredDigits) {
    const Digits d = digitsOf(text);
    if (d.digits.size() != requiredDigits)
        return {};
    if (d.groups.size() == 3)
        return d.groups.join(u'-');
    const QStringList plan = splitByPlan(d.digits);
    return plan.isEmpty() ? QString() : plan.join(u'-');
}

} // namespace phonenumbers
