#include "ui/inputrules.h"

#include "store/entryrules.h"
#include "store/numberplan.h"
#include "store/textforms.h"
#include "ui/twips.h"

#include <QInputMethodQueryEvent>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QToolTip>

#include <memory>

namespace {

// Full-width digits as ASCII digits.
QString asciiDigits(QStringView text) {
    QString out = text.toString();
    for (QChar &c : out)
        c = QChar(textforms::asciiDigit(c.unicode()));
    return out;
}

} // namespace

BoxRule::BoxRule(Kind kind, int limit, QLineEdit *box) : QValidator(box), kind_(kind), limit_(limit) {
    if (kind != Text) {
        // As a Windows program sets the IME off for number boxes.
        box->setAttribute(Qt::WA_InputMethodEnabled, false);
        box->setInputMethodHints(Qt::ImhDigitsOnly);
        box->installEventFilter(this);
    }
    before_ = box->text();
    connect(box, &QLineEdit::textChanged, this, [this](const QString &text) { before_ = text; });
}

bool BoxRule::eventFilter(QObject *watched, QEvent *event) {
    // A line edit answers "input method enabled" itself, whatever its attribute
    // says, and fcitx5 and ibus go by the answer: with it the method composed
    // the digits and took Tab. So the digit box answers the query here.
    if (event->type() != QEvent::InputMethodQuery)
        return false;
    auto *query = static_cast<QInputMethodQueryEvent *>(event);
    const auto *box = static_cast<const QWidget *>(watched);
    for (int bit = 0; bit < 32; ++bit) {
        const auto asked = Qt::InputMethodQuery(int(query->queries() & (1u << bit)));
        if (asked)
            query->setValue(asked, asked == Qt::ImEnabled ? QVariant(false) : box->inputMethodQuery(asked));
    }
    query->accept();
    return true;
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
    if (opening_ || handingOn_)
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

    QString kept;
    QString goesOn; // for the next box of the group
    bool moveOn = false;
    if (kind_ == Text) {
        kept = entryrules::keepText(inserted);
    } else if (kind_ == Date) {
        kept = entryrules::keepText(asciiDigits(inserted));
    } else {
        const QString digits = asciiDigits(inserted);
        qsizetype hyphen = -1;
        for (qsizetype i = 0; i < digits.size() && next_; ++i)
            if (entryrules::isNumberHyphen(digits.at(i)) &&
                (prefix + suffix > 0 || !entryrules::keepDigits(digits.left(i)).isEmpty())) {
                hyphen = i;
                break;
            }
        kept = entryrules::keepDigits(hyphen < 0 ? QStringView(digits) : QStringView(digits).left(hyphen));
        if (hyphen >= 0) {
            goesOn = digits.mid(hyphen + 1);
            moveOn = true;
            emit const_cast<BoxRule *>(this)->hyphenTyped();
        }
    }
    // The limit stops growth only: a box already past it may be edited as
    // long as the text gets no longer (overtyping a selection is such an edit).
    const qsizetype cap = qMax<qsizetype>(limit_, old.size());
    const qsizetype over = prefix + kept.size() + suffix - cap;
    if (over > 0) {
        if (next_ && kind_ == Digits) {
            goesOn.prepend(kept.right(over));
            moveOn = true;
        }
        kept.chop(over);
        if (kind_ != Digits)
            emit const_cast<BoxRule *>(this)->limitReached(limit_);
    }
    if (moveOn && next_) {
        // The next box takes the rest through its own rule, and the typing goes on there.
        QLineEdit *next = next_;
        const QScopedValueRollback guard(handingOn_, true);
        next->setFocus(Qt::OtherFocusReason);
        next->end(false);
        if (!goesOn.isEmpty())
            next->insert(goesOn);
    }
    if (kept == inserted)
        return Acceptable;
    const QString result = input.left(prefix) + kept + input.right(suffix);
    if (result == old)
        return Invalid; // nothing left of the edit: undone, no change signalled
    input = result;
    pos = static_cast<int>(prefix + kept.size());
    return Acceptable;
}

QLineEdit *makeRuledBox(QWidget *parent, const QString &name, QRect geometry, int limit, BoxRule::Kind rule,
                        const QFont &font) {
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    // No maxLength: Qt would cut text the program sets, and a stored field opens whole.
    auto *boxRule = new BoxRule(rule, limit, box);
    box->setValidator(boxRule);
    QObject::connect(boxRule, &BoxRule::limitReached, box, [box](int reached) {
        const QString what = box->accessibleName();
        const QString limitText = QStringLiteral("%1 字までです。").arg(reached);
        QToolTip::showText(box->mapToGlobal(QPoint(0, box->height())),
                           what.isEmpty() ? limitText : what + QStringLiteral("は ") + limitText, box);
    });
    box->setFont(font);
    twips::place(box, geometry.x(), geometry.y(), geometry.width(), geometry.height());
    return box;
}

void chainDigitGroup(const QList<QLineEdit *> &group) {
    for (qsizetype i = 0; i + 1 < group.size(); ++i)
        if (auto *rule = const_cast<BoxRule *>(qobject_cast<const BoxRule *>(group.at(i)->validator())))
            rule->setNextBox(group.at(i + 1));
}

void groupByNumberPlan(const QList<QLineEdit *> &group, const int limits[3]) {
    Q_ASSERT(group.size() == 3);
    QObject *context = group.first(); // the connections live as long as the boxes
    // Whether a hyphen was typed since the boxes were last empty.
    const auto hyphenTyped = std::make_shared<bool>(false);
    const int maxima[3] = {limits[0], limits[1], limits[2]};
    const auto regroup = [group, hyphenTyped, maxima] {
        QString digits;
        for (const QLineEdit *box : group)
            digits += box->text();
        if (digits.isEmpty())
            *hyphenTyped = false;
        if (*hyphenTyped)
            return;
        // Only while typing at the number's end: an edit in its middle keeps the cursor where it is.
        QLineEdit *last = nullptr;
        for (QLineEdit *box : group)
            if (!box->text().isEmpty())
                last = box;
        if (!last || !last->hasFocus() || last->cursorPosition() != last->text().size())
            return;
        const QStringList groups = numberplan::completeGroups(digits, maxima);
        if (groups.isEmpty())
            return;
        bool same = true;
        for (int i = 0; i < 3; ++i)
            same = same && group.at(i)->text() == groups.at(i);
        if (same)
            return;
        for (int i = 0; i < 3; ++i) {
            BoxRule::setStoredText(group.at(i), groups.at(i));
            group.at(i)->setCursorPosition(int(groups.at(i).size()));
        }
        group.last()->setFocus(Qt::OtherFocusReason);
    };
    for (QLineEdit *box : group) {
        if (const auto *rule = qobject_cast<const BoxRule *>(box->validator()))
            QObject::connect(rule, &BoxRule::hyphenTyped, context, [hyphenTyped] { *hyphenTyped = true; });
        // After the keystroke and every box it reached: the hand-on inserts
        // into the next box while the first is still being validated.
        QObject::connect(box, &QLineEdit::textEdited, context,
                         [context, regroup] { QMetaObject::invokeMethod(context, regroup, Qt::QueuedConnection); });
    }
}
