#include "editor/inputrules.h"

#include "store/cp932.h"

namespace {

// Removes the characters `keep` refuses, moving the cursor back over those
// that stood before it.
template <typename Keep> void dropRefused(QString &input, int &pos, Keep keep) {
    QString kept;
    kept.reserve(input.size());
    int newPos = pos;
    for (qsizetype i = 0; i < input.size();) {
        const qsizetype length = input.at(i).isHighSurrogate() && i + 1 < input.size() ? 2 : 1;
        const QStringView character = QStringView(input).mid(i, length);
        if (keep(character))
            kept.append(character);
        else if (i < pos)
            newPos -= static_cast<int>(qMin<qsizetype>(length, pos - i));
        i += length;
    }
    input = kept;
    pos = newPos;
}

} // namespace

bool TextRule::accepts(QStringView character) {
    if (character == u"|" || character == u"'")
        return false;
    return cp932::canEncode(character);
}

QValidator::State TextRule::validate(QString &input, int &pos) const {
    dropRefused(input, pos, &TextRule::accepts);
    return Acceptable;
}

QValidator::State DigitsRule::validate(QString &input, int &pos) const {
    dropRefused(input, pos, [](QStringView c) { return c.size() == 1 && c.front() >= u'0' && c.front() <= u'9'; });
    return Acceptable;
}

namespace inputrules {

bool isValidFuriganaStart(const QString &reading) {
    const int code = cp932::codeOf(reading);
    return (code >= 65 && code <= 122) || (code >= 0x82A0 && code <= 0x8393);
}

} // namespace inputrules
