#pragma once

#include <QList>
#include <QString>
#include <QValidator>

class QFont;
class QLineEdit;
class QRect;
class QWidget;

// The key rule and length limit of one editor box. As a validator it holds for
// typing, input-method commits and paste alike. Only what an edit inserts is
// filtered (look-alikes shown as the character that will be stored, refused
// characters dropped), then cut to the limit; what the box held stays, so a
// stored field longer than the limit, or holding characters typing would
// refuse, opens whole and stays whole. An edit left with no effect is undone,
// so it changes nothing at all.
class BoxRule : public QValidator {
    Q_OBJECT
public:
    // A date box takes what a date is written with (1975/5/3, 昭和50年…)
    // but, as a digit box, with the input method off.
    enum Kind { Text, Digits, Date };
    // A digit or date box turns the input method off and takes full-width digits as digits.
    BoxRule(Kind kind, int limit, QLineEdit *box);

    State validate(QString &input, int &pos) const override;

    // Puts a stored field into the box as it is: Qt runs the validator on text
    // the program sets too, and a stored field must open whole.
    static void setStoredText(QLineEdit *box, const QString &text);

    // The next box of a digit group (telephone 1 → 2 → 3, postal code 1 → 2):
    // a hyphen typed after digits, and digits past the limit, go on there, so
    // "03-1234-5678" typed or committed in one go fills the three boxes.
    void setNextBox(QLineEdit *next) { next_ = next; }

signals:
    // Typing or a paste was cut at the limit: the user is told, nothing is lost silently.
    void limitReached(int limit);
    // A hyphen typed in a digit group moved the typing on to the next box.
    void hyphenTyped();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Kind kind_;
    int limit_;
    bool opening_ = false;
    // Moving the focus on makes Qt validate this box again (on focus-out) in
    // the middle of the edit; that second look must not hand the rest on twice.
    mutable bool handingOn_ = false;
    QLineEdit *next_ = nullptr;
    QString before_; // the box's text before the edit being validated
};

// A box at twip geometry under its key rule and limit.
QLineEdit *makeRuledBox(QWidget *parent, const QString &name, QRect geometry, int limit, BoxRule::Kind rule,
                        const QFont &font);
// Each box of a number's group hands what goes past it to the next.
void chainDigitGroup(const QList<QLineEdit *> &group);
// A telephone number's three boxes typed without hyphens: once the number is
// complete, its groups follow the area code (03-1234-5678, 045-123-4567), not
// the boxes' widths. Hyphens the user typed are kept as typed, and a number
// the program set is left as it is.
void groupByNumberPlan(const QList<QLineEdit *> &group, const int limits[3]);
