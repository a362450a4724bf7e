#pragma once

#include <QString>
#include <QValidator>

// The editor's per-character rules. As validators they hold for typing,
// input-method commits and paste alike: refused characters are dropped and
// the rest of the input is kept, as if each character had been typed.
class TextRule : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    // Drops "|" and "'", which separate the data files' fields, and every
    // character code page 932 cannot store.
    State validate(QString &input, int &pos) const override;
    static bool accepts(QStringView character);
};

class DigitsRule : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    // Keeps the digits 0 to 9 only.
    State validate(QString &input, int &pos) const override;
};

namespace inputrules {

// Whether the reading may begin with its first character: A to z (codes 65
// to 122) or あ to ン (0x82A0 to 0x8393) in code page 932.
bool isValidFuriganaStart(const QString &reading);

} // namespace inputrules
