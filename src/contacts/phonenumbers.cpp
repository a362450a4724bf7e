#include "contacts/phonenumbers.h"

#include "store/entryrules.h"
#include "store/numberplan.h"

#include <QRegularExpression>

#include <phonenumbers/phonenumberutil.h>

namespace phonenumbers {
namespace {

using i18n::phonenumbers::PhoneNumberUtil;

int digitsFor(Slot slot) {
    return slot == Slot::Mobile ? 11 : 10;
}

// Whether the groups fit the editor's three boxes for the slot.
bool fitsBoxes(const QStringList &groups, Slot slot) {
    if (groups.size() != 3)
        return false;
    const int *limits = slot == Slot::Mobile ? entryrules::MobilePartDigits : entryrules::NumberPartDigits;
    for (int i = 0; i < 3; ++i)
        if (groups.at(i).isEmpty() || groups.at(i).size() > limits[i])
            return false;
    return true;
}

QStringList splitAt(const QString &digits, const QList<int> &lengths) {
    QStringList groups;
    qsizetype at = 0;
    for (int length : lengths) {
        groups.append(digits.mid(at, length));
        at += length;
    }
    return groups;
}

// Extensions as people and programs write them after a number.
const QRegularExpression &extensionPattern() {
    static const QRegularExpression pattern(
        QStringLiteral("(?:\\s*[(（]?\\s*(?:内線|ext\\.?|extension|x|#)\\s*(\\d+)\\s*[)）]?)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

// The country code at the start of international digits (1 to 3 digits).
QString countryCodeOf(const QString &digits) {
    PhoneNumberUtil *util = PhoneNumberUtil::GetInstance();
    for (int length = 1; length <= 3 && length <= digits.size(); ++length) {
        std::string region;
        util->GetRegionCodeForCountryCode(digits.left(length).toInt(), &region);
        if (region != "ZZ")
            return digits.left(length);
    }
    return digits.left(3) + QStringLiteral("…");
}

bool isSeparator(QChar c) {
    return entryrules::isNumberHyphen(c) || c == u' ' || c == u'.' || c == u'(' || c == u')' || c == u'/';
}

} // namespace

QString slotName(Slot slot) {
    return slot == Slot::Mobile ? QStringLiteral("携帯電話")
           : slot == Slot::Fax  ? QStringLiteral("FAX")
                                : QStringLiteral("電話");
}

Number read(const QString &text) {
    Number out;
    QString s = text.normalized(QString::NormalizationForm_KC).trimmed();
    bool uri = false;
    if (s.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive)) {
        s = s.mid(4).trimmed();
        uri = true;
    }
    QString extension;
    static const QRegularExpression extParameter(QStringLiteral(";ext=([^;]*)"),
                                                 QRegularExpression::CaseInsensitiveOption);
    if (const QRegularExpressionMatch m = extParameter.match(s); m.hasMatch()) {
        extension = m.captured(1);
        s.remove(m.capturedStart(), m.capturedLength());
    }
    if (uri && s.contains(u';')) // the URI's other parameters (phone-context, isub) say nothing of the digits
        s.truncate(s.indexOf(u';'));
    // A dial string: the number, then a pause and more to dial.
    static const QRegularExpression pause(QStringLiteral("[pPwW,;]"));
    if (const qsizetype at = s.indexOf(pause); at > 0) {
        out.dropped = QStringLiteral("ポーズのあとの「%1」").arg(s.mid(at));
        s.truncate(at);
    }
    if (const QRegularExpressionMatch m = extensionPattern().match(s); m.hasMatch() && m.capturedStart() > 0) {
        extension = m.captured(1);
        s.truncate(m.capturedStart());
    }
    if (!extension.isEmpty())
        out.dropped = QStringLiteral("内線「%1」").arg(extension);
    s = s.trimmed();

    // The digit groups as written, and a leading "+".
    bool plus = false;
    QStringList groups;
    QString group;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c.isDigit() && c.unicode() < 0x80) {
            group += c;
        } else if (c == u'+' && i == 0) {
            plus = true;
        } else if (isSeparator(c)) {
            if (!group.isEmpty())
                groups.append(group);
            group.clear();
        } else {
            out.problem = QStringLiteral("電話番号ではありません");
            return out;
        }
    }
    if (!group.isEmpty())
        groups.append(group);
    QString all = groups.join(QString());
    if (all.isEmpty()) {
        out.problem = QStringLiteral("電話番号ではありません");
        return out;
    }

    // An international form: the country code and the call prefix go, the trunk 0 comes back.
    qsizetype international = -1; // the digits before the country code
    if (plus)
        international = 0;
    else if (all.startsWith(QLatin1String("010")))
        international = 3;
    else if (all.startsWith(QLatin1String("00")) && all.size() > 2 &&
             all.at(2) != u'0') // no country code begins with 0
        international = 2;
    if (international >= 0) {
        if (all.mid(international, 2) != QLatin1String("81")) {
            out.problem = QStringLiteral("外国の番号です（+%1）").arg(countryCodeOf(all.mid(international)));
            return out;
        }
        // Drop the prefix and 81 from the groups, then give the first group its 0.
        qsizetype drop = international + 2;
        while (drop > 0 && !groups.isEmpty()) {
            if (groups.first().size() <= drop) {
                drop -= groups.first().size();
                groups.removeFirst();
            } else {
                groups.first() = groups.first().mid(drop);
                drop = 0;
            }
        }
        if (!groups.isEmpty() && groups.first() == QLatin1String("0") && groups.size() > 1) // "+81 (0)3 …"
            groups.removeFirst();
        if (groups.isEmpty()) {
            out.problem = QStringLiteral("電話番号ではありません");
            return out;
        }
        if (!groups.first().startsWith(u'0'))
            groups.first().prepend(u'0');
        all = groups.join(QString());
    } else if (!all.startsWith(u'0')) {
        out.problem = QStringLiteral("0 で始まらない番号です（外国の番号か、市外局番がありません）");
        return out;
    }
    out.digits = all;
    out.writtenGroups = groups;
    return out;
}

Slot slotFor(const Number &number, bool markedFax) {
    if (markedFax)
        return Slot::Fax;
    return number.digits.size() == digitsFor(Slot::Mobile) ? Slot::Mobile : Slot::Telephone;
}

Parsed fitted(const Number &number, Slot slot) {
    Parsed out;
    out.dropped = number.dropped;
    if (!number.problem.isEmpty()) {
        out.problem = number.problem;
        return out;
    }
    if (number.digits.size() != digitsFor(slot)) {
        out.problem = QStringLiteral("%1 桁で、%2の欄（%3 桁）に合いません")
                          .arg(number.digits.size())
                          .arg(slotName(slot))
                          .arg(digitsFor(slot));
        return out;
    }
    // The text's own groups when they fit (our own export comes back the same),
    // else the plan's (a five-digit area code such as 04992 is kept whole:
    // the editor counts digits), else the digits split to fit the boxes.
    QStringList groups = number.writtenGroups;
    if (!fitsBoxes(groups, slot)) {
        groups = splitAt(number.digits, numberplan::groupLengths(number.digits));
        if (groups.size() != 3)
            groups = splitAt(number.digits, slot == Slot::Mobile ? QList<int>{3, 4, 4} : QList<int>{2, 4, 4});
    }
    out.stored = groups.join(u'-');
    return out;
}

Parsed parse(const QString &text, Slot slot) {
    return fitted(read(text), slot);
}

} // namespace phonenumbers
