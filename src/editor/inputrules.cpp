#include "editor/inputrules.h"

#include "store/entryrules.h"

#include <QLineEdit>

BoxRule::BoxRule(Kind kind, int limit, QLineEdit *box) : QValidator(box), kind_(kind), limit_(limit) {
    before_ = box->text();
    connect(box, &QLineEdit::textChanged, this, [this](const QString &text) { before_ = text; });
}

void BoxRule::setStoredText(QLineEdit *box, const QString &text) {
    auto *rule = const_cast<BoxRule *>(qobject_cast<const BoxRule *>(box->validator()));
    if (rule)
        rule->opening_ = true;
    box->setText(text);
    if (rule)
        rule->opening_ = false;
    box->setCursorPosition(0); // a long field shows its start
}

QValidator::State BoxRule::validate(QString &input, int &pos) const {
    if (opening_)
        return Acceptable;
    const QString &old = before_;
    const qsizetype shorter = qMin(old.size(), input.size());
    qsizetype prefix = 0;
    while (prefix < shorter && old.at(prefix) == input.at(prefix))
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix && old.at(old.size() - 1 - suffix) == input.at(input.size() - 1 - suffix))
        ++suffix;
    const QStringView inserted = QStringView(input).mid(prefix, input.size() - prefix - suffix);
    if (inserted.isEmpty())
        return Acceptable;

    QString kept = kind_ == Text ? entryrules::keepText(inserted) : entryrules::keepDigits(inserted);
    // The limit stops growth only: a box already past it may be edited as
    // long as the text gets no longer (overtyping a selection is such an edit).
    const qsizetype cap = qMax<qsizetype>(limit_, old.size());
    const qsizetype over = prefix + kept.size() + suffix - cap;
    if (over > 0)
        kept.chop(over);
    if (kept == inserted)
        return Acceptable;
    const QString result = input.left(prefix) + kept + input.right(suffix);
    if (result == old)
        return Invalid; // nothing left of the edit: undone, no change signalled
    input = result;
    pos = static_cast<int>(prefix + kept.size());
    return Acceptable;
}
