#include "store/entryrules.h"

#include "store/cp932.h"

namespace entryrules {
namespace {

// Calls visit(character) for each character, a surrogate pair being one.
template <typename Visit> void forEachCharacter(QStringView text, Visit visit) {
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        visit(text.mid(i, length));
        i += length;
    }
}

} // namespace

bool isControl(QChar c) {
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u <= 0x9F);
}

QString keepText(QStringView text, int *dropped) {
    QString kept;
    kept.reserve(text.size());
    int droppedCount = 0;
    forEachCharacter(text, [&](QStringView character) {
        const QChar first = character.front();
        // Printable ASCII is itself in code page 932: no converter needed.
        if (first.unicode() >= 0x20 && first.unicode() < 0x7F && first != u'|' && first != u'\'') {
            kept += first;
            return;
        }
        const std::optional<QByteArray> bytes =
            first == u'|' || first == u'\'' || isControl(first) ? std::nullopt : cp932::encode(character);
        if (bytes && !bytes->isEmpty())
            kept += cp932::decode(*bytes);
        else
            ++droppedCount;
    });
    if (dropped)
        *dropped = droppedCount;
    return kept;
}

bool isNumberHyphen(QChar c) {
    return c == u'-' || (c >= u'\u2010' && c <= u'\u2015') || c == u'\u2212' || c == u'\u30FC' || c == u'\uFF0D' ||
           c == u'\uFF70';
}

QString keepDigits(QStringView text, int *dropped) {
    QString kept;
    for (QChar c : text) {
        if (c >= u'0' && c <= u'9')
            kept += c;
    }
    if (dropped)
        *dropped = static_cast<int>(text.size() - kept.size());
    return kept;
}

bool isValidFuriganaStart(QStringView reading) {
    const int code = cp932::codeOf(reading);
    return (code >= 65 && code <= 122) || (code >= 0x82A0 && code <= 0x8393);
}

EntryFault checkEntry(const EntryValues &entry) {
    const auto zeroOr = [](int total, int required) { return total == 0 || total == required; };
    if (entry.reading.isEmpty())
        return EntryFault::NoReading;
    if (!isValidFuriganaStart(entry.reading))
        return EntryFault::BadReadingStart;
    if (entry.name.isEmpty())
        return EntryFault::NoName;
    if (!zeroOr(entry.postalDigits, 7))
        return EntryFault::BadPostalCode;
    if (!zeroOr(entry.telephoneDigits, 10))
        return EntryFault::BadTelephone;
    if (!zeroOr(entry.faxDigits, 10))
        return EntryFault::BadFax;
    if (!zeroOr(entry.mobileDigits, 11))
        return EntryFault::BadMobile;
    if (entry.categoryChoice < 0)
        return EntryFault::NoCategory;
    if (entry.categoryChoice > 4 && entry.userCategoryName.isEmpty())
        return EntryFault::UnnamedCategory;
    return EntryFault::None;
}

QString faultMessage(EntryFault fault) {
    switch (fault) {
    case EntryFault::None:
        return {};
    case EntryFault::NoReading:
        return QStringLiteral("ふりがなを入力して下さい。");
    case EntryFault::BadReadingStart:
        return QStringLiteral("ふりがなは正しくない。");
    case EntryFault::NoName:
        return QStringLiteral("氏名を入力して下さい。");
    case EntryFault::BadPostalCode:
        return QStringLiteral("郵便番号を正しく入力して下さい。");
    case EntryFault::BadTelephone:
        return QStringLiteral("電話番号を正しく入力して下さい。");
    case EntryFault::BadFax:
        return QStringLiteral("ＦＡＸ番号を正しく入力して下さい。");
    case EntryFault::BadMobile:
        return QStringLiteral("携帯電話番号を正しく入力して下さい。");
    case EntryFault::NoCategory:
        return QStringLiteral("分類を指定して下さい。");
    case EntryFault::UnnamedCategory:
        return QStringLiteral("分類を入力して下さい。");
    }
    return {};
}

QString joinedParts(const QStringList &parts) {
    for (const QString &part : parts)
        if (part.isEmpty())
            return {};
    return parts.join(QLatin1Char('-'));
}

QString numberPart(const QString &number, int n) {
    return number.section(QLatin1Char('-'), n - 1, n - 1);
}

QString entryLine(const EntryLineFields &f) {
    return QStringList{f.reading,          f.name,      f.postalCode,
                       f.address,          f.telephone, f.fax,
                       f.mobile,           f.email,     QString::number(f.category),
                       QStringLiteral("F")}
        .join(QLatin1Char('|'));
}

} // namespace entryrules
