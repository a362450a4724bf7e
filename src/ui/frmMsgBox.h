#pragma once

#include <QDialog>
#include <QPointer>
#include <optional>

class FrameLine;
class ImageButton;
class QLabel;
class QTimer;
class TitleImage;

// The buttons a message box offers: "はい" alone, or "はい" and "いいえ".
enum class MsgButtons { Yes, YesNo };

// The one modal dialog: a message with its buttons. The caller may adjust
// the prepared box for one showing, shows it modally and gets the answer.
// Every showing starts from a newly created box.
class frmMsgBox : public QDialog {
    Q_OBJECT
public:
    // A new box showing `text` from its design state. A hidden box left
    // loaded from an earlier use is discarded; one on screen stays until it
    // is answered.
    static frmMsgBox *prepare(const QString &text, MsgButtons buttons);
    // Shows the box modally; true when it was answered with はい (確認).
    bool showModal();
    // prepare() and showModal() in one.
    static bool ask(const QString &text, MsgButtons buttons);
    // A question with はい and いいえ where Esc answers neither (nullopt), for
    // one whose いいえ throws typed work away.
    static std::optional<bool> askYesNoOrEscape(const QString &text);
    // The message as given, a line break for each carriage return (the label
    // shows it with break opportunities in long words).
    const QString &message() const { return message_; }
    // The print job's prompt for the next card, loaded and adjusted for showing.
    static inline const QString CardPrompt = QStringLiteral("紙を挿入したあとで,確認ボタン \rを押してください。");
    static frmMsgBox *preparePaperPrompt(const QString &text = CardPrompt);
    // Shows it; true when the user confirmed.
    static bool askForPaper();
    // The prompt before a stack of postcards, envelopes or sheets of labels.
    static QString stackPrompt(int count, const QString &paperName = QStringLiteral("はがき")) {
        return QStringLiteral("%1を %2 枚セットしてください").arg(paperName).arg(count);
    }
    static bool askForSheets(int count, const QString &paperName);
    // The box currently loaded, if any.
    static frmMsgBox *loaded();

    // Gives up a box the user never answered (for example when its window goes away).
    void unload();
    // Whether the box was answered, and with はい.
    bool answeredYes() const { return answered_ && result() == QDialog::Accepted; }

    TitleImage *imgTitle;
    QLabel *lblMsg;
    ImageButton *picYes;
    QLabel *lblYes;
    ImageButton *picNo;
    QLabel *lblNo;
    QLabel *imgPrintPaper;
    QLabel *ImgPrinter;
    QTimer *timPaperMove;
    FrameLine *linLeft;
    FrameLine *linRight;
    FrameLine *linDown;

    bool PaperUp = false;

    // The paper prompt of the print job: left-aligned text, the moving sheet
    // over the printer, and the captions "確認" and "キャンセル".
    void makePaperPrompt();

public slots:
    // Escape answers いいえ (or キャンセル) where the box has that button; a box with one button waits for it.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    // Enter answers with the first button (はい, OK or 確認), unless a button has the focus.
    void keyPressEvent(QKeyEvent *event) override;

private:
    frmMsgBox(const QString &text, MsgButtons buttons);
    void answer(bool yes);
    void movePaper();
    void layOutForMessage();
    // Stops being the loaded box; the box it was asked over, if any, is again.
    void release();

    QPointer<frmMsgBox> outer_;
    MsgButtons buttons_;
    bool answered_ = false;
    QString message_;
    bool *escaped_ = nullptr; // where Esc is told, for askYesNoOrEscape

    static QPointer<frmMsgBox> current;
};
