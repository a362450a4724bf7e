#include "contacts/phonenumbers.h"

#include <QRegularExpression>
#include <QStringList>

#include <phonenumbers/phonenumberutil.h>

namespace phonenumbers {
namespace {

using i18n::phonenumbers::PhoneNumber;
using i18n::phonenumbers::PhoneNumberUtil;

int digitsFor(Slot slot) {
    return slot == Slot::Mobile ? 11 : 10;
}

// The boxes' lengths: telephone and fax 4, 4, 4; mobile 3, 4, 4.
bool fitsBoxes(const QStringList &groups, Slot slot) {
    const int limits[3] = {slot == Slot::Mobile ? 3 : 4, 4, 4};
    for (int i = 0; i < 3; ++i)
        if (groups.at(i).isEmpty() || groups.at(i).size() > limits[i])
            return false;
    return true;
}

// The text without a tel: scheme and its parameters, full-width digits made
// ASCII; `extension` receives an extension written after the number.
QString plainNumber(const QString &text, QString &extension) {
    QString s = text.normalized(QString::NormalizationForm_KC).trimmed();
    if (s.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive))
        s = s.mid(4);
    const qsizetype parameters = s.indexOf(u';');
    if (parameters >= 0) {
        const QString rest = s.mid(parameters);
        static const QRegularExpression ext(QStringLiteral(";ext=([^;]*)"), QRegularExpression::CaseInsensitiveOption);
        if (const QRegularExpressionMatch m = ext.match(rest); m.hasMatch())
            extension = m.captured(1);
        s.truncate(parameters);
    }
    return s;
}

// The digit groups as the text separates them ("-", spaces, dots, brackets);
// none when the text holds anything else.
QStringList writtenGroups(const QString &text) {
    static const QRegularExpression shape(QStringLiteral("^\\(?(\\d+)\\)?[-. ]*\\(?(\\d+)\\)?[-. ]*(\\d+)$"));
    const QRegularExpressionMatch m = shape.match(text);
    if (!m.hasMatch())
        return {};
    return {m.captured(1), m.captured(2), m.captured(3)};
}

} // namespace

Number read(const QString &text) {
    Number out;
    QString extension;
    const QString plain = plainNumber(text, extension);
    PhoneNumberUtil *util = PhoneNumberUtil::GetInstance();
    PhoneNumber number;
    if (util->Parse(plain.toStdString(), "JP", &number) != PhoneNumberUtil::NO_PARSING_ERROR) {
        out.problem = QStringLiteral("not a telephone number");
        return out;
    }
    if (number.country_code() != 81) {
        out.problem = QStringLiteral("a number of another country (+%1)").arg(number.country_code());
        return out;
    }
    if (number.has_extension())
        extension = QString::fromStdString(number.extension());
    if (!extension.isEmpty())
        out.dropped = QStringLiteral("extension %1").arg(extension);
    std::string national;
    util->Format(number, PhoneNumberUtil::NATIONAL, &national);
    QString nationalText = QString::fromStdString(national);
    if (const qsizetype ext = nationalText.indexOf(QLatin1String(" ext")); ext >= 0)
        nationalText.truncate(ext);
    out.planGroups = nationalText.split(u'-');
    out.digits = out.planGroups.join(QString());
    out.writtenGroups = writtenGroups(plain);
    // Only 11-digit numbers are mobile or IP phones; asking the type is the costly part.
    if (out.digits.size() == 11) {
        const PhoneNumberUtil::PhoneNumberType type = util->GetNumberType(number);
        out.mobile = type == PhoneNumberUtil::MOBILE || type == PhoneNumberUtil::VOIP || type == PhoneNumberUtil::PAGER;
    }
    return out;
}

Parsed fitted(const Number &number, Slot slot) {
    Parsed out;
    out.dropped = number.dropped;
    if (!number.problem.isEmpty()) {
        out.problem = number.problem;
        return out;
    }
    // A number written in three groups that fit the boxes keeps them: our own export comes back the same.
    const QStringList &written = number.writtenGroups;
    const QStringList groups =
        written.size() == 3 && written.join(QString()) == number.digits && fitsBoxes(written, slot) ? written
                                                                                                     : number.planGroups;
    const QString boxes = slot == Slot::Mobile ? QStringLiteral("mobile boxes (11 digits)")
                          : slot == Slot::Fax   ? QStringLiteral("fax boxes (10 digits)")
                                                : QStringLiteral("telephone boxes (10 digits)");
    if (number.digits.size() != digitsFor(slot)) {
        out.problem = QStringLiteral("%1 digits do not fit the %2").arg(number.digits.size()).arg(boxes);
        return out;
    }
    // The plan's groups are taken as they are: the editor counts digits, and a
    // five-digit area code (04992) is stored whole though it is longer than its box.
    if (groups.size() != 3) {
        out.problem = QStringLiteral("%1 is not three groups as the %2 take it").arg(groups.join(u'-'), boxes);
        return out;
    }
    out.stored = groups.join(u'-');
    return out;
}

Parsed parse(const QString &text, Slot slot) {
    return fitted(read(text), slot);
}

} // namespace phonenumbers
