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

} // namespace entryrules
