#include "store/birthday.h"

#include "store/textforms.h"

#include <QDate>
#include <QRegularExpression>

namespace birthday {
namespace {

struct Era {
    const char16_t *name;
    char16_t letter; // as forms abbreviate it: S50.5.3
    int firstYear;
};
constexpr Era Eras[] = {
    {u"明治", u'M', 1868}, {u"大正", u'T', 1912}, {u"昭和", u'S', 1926}, {u"平成", u'H', 1989}, {u"令和", u'R', 2019},
};

Read dated(int year, int month, int day) {
    const QDate date(year, month, day);
    if (!date.isValid())
        return {Reading::Impossible, {}};
    return {Reading::Date, date.toString(Qt::ISODate)};
}

Read withoutYear(int month, int day) {
    // 2000 is a leap year, so 2月29日 is a day too.
    if (!QDate(2000, month, day).isValid())
        return {Reading::Impossible, {}};
    return {Reading::Date, QStringLiteral("--%1-%2").arg(month, 2, 10, QChar(u'0')).arg(day, 2, 10, QChar(u'0'))};
}

} // namespace

Read read(const QString &text) {
    QString s;
    for (QChar c : text.trimmed())
        s += QChar(textforms::asciiDigit(c.unicode()));
    s.remove(QRegularExpression(QStringLiteral("\\s")));
    if (s.isEmpty())
        return {};
    s = s.toUpper();
    // 19750503
    static const QRegularExpression compact(QStringLiteral("^(\\d{4})(\\d{2})(\\d{2})$"));
    // 1975-05-03, 1975/5/3, 1975.5.3, 1975年5月3日
    static const QRegularExpression western(
        QStringLiteral("^(\\d{4})(?:[-/.](\\d{1,2})[-/.](\\d{1,2})|年(\\d{1,2})月(\\d{1,2})日?)$"));
    // 昭和50年5月3日, 平成元年1月8日, S50.5.3
    static const QRegularExpression era(QStringLiteral("^(明治|大正|昭和|平成|令和|[MTSHR])(\\d{1,2}|元)(?:年(\\d{1,2})"
                                                       "月(\\d{1,2})日?|[-/.](\\d{1,2})[-/.](\\d{1,2}))$"));
    // 5月3日, --05-03, --0503
    static const QRegularExpression dayOnly(QStringLiteral("^(?:(\\d{1,2})月(\\d{1,2})日?|--(\\d{2})-?(\\d{2}))$"));
    if (const auto m = compact.match(s); m.hasMatch())
        return dated(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (const auto m = western.match(s); m.hasMatch()) {
        const bool kanji = m.captured(2).isEmpty();
        return dated(m.captured(1).toInt(), m.captured(kanji ? 4 : 2).toInt(), m.captured(kanji ? 5 : 3).toInt());
    }
    if (const auto m = era.match(s); m.hasMatch()) {
        const QString name = m.captured(1);
        const int inEra = m.captured(2) == QStringLiteral("元") ? 1 : m.captured(2).toInt();
        const bool kanji = !m.captured(3).isEmpty();
        for (const Era &e : Eras)
            if (name == QString::fromUtf16(e.name) || name == QChar(e.letter))
                return inEra < 1 ? Read{Reading::Impossible, {}}
                                 : dated(e.firstYear + inEra - 1, m.captured(kanji ? 3 : 5).toInt(),
                                         m.captured(kanji ? 4 : 6).toInt());
    }
    if (const auto m = dayOnly.match(s); m.hasMatch()) {
        const bool kanji = !m.captured(1).isEmpty();
        return withoutYear(m.captured(kanji ? 1 : 3).toInt(), m.captured(kanji ? 2 : 4).toInt());
    }
    return {Reading::NotADate, {}};
}

} // namespace birthday
