#include "store/numberplan.h"

#include <QHash>

#include <phonenumbers/phonenumberutil.h>

namespace numberplan {

// The plan decides by the leading digits and the length alone, so one answer
// serves every number that shares its first seven digits and its length;
// asking libphonenumber is the costly part of an import.
QList<int> groupLengths(const QString &digits) {
    using i18n::phonenumbers::PhoneNumber;
    using i18n::phonenumbers::PhoneNumberUtil;
    static QHash<QString, QList<int>> known;
    const QString key = digits.left(7) + u'/' + QString::number(digits.size());
    if (const auto found = known.constFind(key); found != known.constEnd())
        return *found;
    PhoneNumberUtil *util = PhoneNumberUtil::GetInstance();
    PhoneNumber number;
    QList<int> lengths;
    if (util->Parse(digits.toStdString(), "JP", &number) == PhoneNumberUtil::NO_PARSING_ERROR) {
        std::string national;
        util->Format(number, PhoneNumberUtil::NATIONAL, &national);
        const QStringList groups = QString::fromStdString(national).split(u'-');
        if (groups.join(QString()) == digits)
            for (const QString &g : groups)
                lengths.append(int(g.size()));
    }
    known.insert(key, lengths);
    return lengths;
}

QStringList completeGroups(const QString &digits, const int limits[3]) {
    if (digits.size() != 10 && digits.size() != 11)
        return {};
    for (QChar c : digits)
        if (c < u'0' || c > u'9')
            return {};
    const QList<int> lengths = groupLengths(digits);
    if (lengths.size() != 3)
        return {};
    QStringList groups;
    qsizetype at = 0;
    for (int i = 0; i < 3; ++i) {
        if (lengths.at(i) > limits[i])
            return {};
        groups.append(digits.mid(at, lengths.at(i)));
        at += lengths.at(i);
    }
    return groups;
}

} // namespace numberplan
