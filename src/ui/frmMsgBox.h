#pragma once

#include <QDialog>
#include <QPointer>

class FrameLine;
class ImageButton;
class QLabel;
class QTimer;
class TitleImage;

// The one modal dialog: a message with "はい", or "はい" and "いいえ". The caller
// sets MsgText and MsgMode, may adjust the loaded box for one showing, shows it
// modally and reads MsgResult. Every showing starts from a newly created box.
class frmMsgBox : public QDialog {
    Q_OBJECT
public:
    // The loaded box, created from MsgText and MsgMode when none is loaded.
    static frmMsgBox *load();
    // Sets MsgText and MsgMode for a new use and returns a new box showing them
    // from its design state. A hidden box left loaded from an earlier use is
    // discarded; one on screen stays until it is answered.
    static frmMsgBox *prepare(const QString &text, const QString &mode);
    // Shows the box modally and returns MsgResult when it has closed.
    bool showModal();
    // prepare() and showModal() in one.
    static bool ask(const QString &text, const QString &mode);
    // The print job's prompt for the next card, loaded and adjusted for showing.
    static frmMsgBox *preparePaperPrompt();
    // Shows it; true when the user confirmed.
    static bool askForPaper();
    // The box currently loaded, if any.
    static frmMsgBox *loaded();

    // Gives up a box the user never answered (for example when its window goes away).
    void unload();

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
    frmMsgBox();
    void answer(bool yes);
    void movePaper();
    void layOutForMessage();
    // Stops being the loaded box; the box it was asked over, if any, is again.
    void release();

    QPointer<frmMsgBox> outer_;
    bool answered_ = false;

    static QPointer<frmMsgBox> current;
};
