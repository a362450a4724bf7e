#include "ui/frmMsgBox.h"

#include "ui/log.h"

#include "render/fonts.h"
#include "store/mdlDim.h"
#include "ui/artwork.h"
#include "ui/centerform.h"
#include "ui/frameline.h"
#include "ui/imagebutton.h"
#include "ui/skin.h"
#include "ui/titleimage.h"
#include "ui/twips.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>

QPointer<frmMsgBox> frmMsgBox::current;

namespace {

// A label wraps only between words, so a long file name or path would run
// past both edges. Each long run of Latin text gets break opportunities
// (zero-width spaces) after its punctuation and every 12 characters.
QString breakableLongWords(const QString &text) {
    constexpr int LongRun = 16;
    constexpr int Chunk = 12;
    QString out;
    int runStart = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool latin = i < text.size() && text.at(i).unicode() > 0x20 && text.at(i).unicode() < 0x7f;
        if (latin)
            continue;
        const QStringView run = QStringView(text).mid(runStart, i - runStart);
        if (run.size() < LongRun) {
            out += run;
        } else {
            int sinceBreak = 0;
            for (QChar c : run) {
                out += c;
                ++sinceBreak;
                if (QStringView(u"./\\-_").contains(c) || sinceBreak == Chunk) {
                    out += QChar(0x200B);
                    sinceBreak = 0;
                }
            }
        }
        if (i < text.size())
            out += text.at(i);
        runStart = int(i) + 1;
    }
    return out;
}
constexpr int ButtonTop = 1800;
// The message may take up to four lines between the title and the buttons: the
// designed 2025 x 585 area clipped every message longer than nine characters.
const QRect MessageArea(240, 540, 3690, 1200);
// Beside the sheet and printer pictures for the paper prompt, a little clear
// of the sheet, which ends at 1050.
const QRect PaperMessageArea(1110, 540, 3030, 1200);
constexpr int PressShift = 10;
} // namespace

frmMsgBox *frmMsgBox::loaded() {
    return current;
}

frmMsgBox *frmMsgBox::prepare(const QString &text, MsgButtons buttons) {
    // A box on screen waits for its answer; a nested question gets a box of its
    // own and hands "loaded" back when it goes. Only a stale hidden box is discarded.
    QPointer<frmMsgBox> outer;
    if (current && current->isVisible())
        outer = current;
    else if (current)
        current->unload();
    qCDebug(lcUi).noquote() << "message box:" << text;
    current = new frmMsgBox(text, buttons);
    current->outer_ = outer;
    return current;
}

bool frmMsgBox::ask(const QString &text, MsgButtons buttons) {
    return prepare(text, buttons)->showModal();
}

std::optional<bool> frmMsgBox::askYesNoOrEscape(const QString &text) {
    bool escaped = false;
    QPointer<frmMsgBox> box = prepare(text, MsgButtons::YesNo);
    box->escaped_ = &escaped;
    const bool yes = box->showModal();
    if (box)
        box->escaped_ = nullptr; // the flag lives no longer than this call
    return escaped ? std::nullopt : std::optional<bool>(yes);
}

frmMsgBox *frmMsgBox::preparePaperPrompt(const QString &text) {
    frmMsgBox *box = prepare(text, MsgButtons::YesNo);
    box->makePaperPrompt();
    return box;
}

bool frmMsgBox::askForPaper() {
    return preparePaperPrompt()->showModal();
}

bool frmMsgBox::askForSheets(int count, const QString &paperName) {
    return preparePaperPrompt(stackPrompt(count, paperName))->showModal();
}

bool frmMsgBox::showModal() {
    QPointer<frmMsgBox> self(this);
    // exec()'s own result: the box may be gone by the time it returns.
    const bool yes = exec() == QDialog::Accepted;
    if (self)
        self->unload();
    return yes;
}

void frmMsgBox::release() {
    if (current == this)
        current = outer_;
}

void frmMsgBox::unload() {
    release();
    timPaperMove->stop();
    hide();
    deleteLater();
}

frmMsgBox::frmMsgBox(const QString &text, MsgButtons buttons) : QDialog(nullptr), buttons_(buttons) {
    skin::setUpWindow(this, QStringLiteral("frmMsgBox"), 4170, 2295);
    setModal(true);
    setAttribute(Qt::WA_DeleteOnClose, false);

    imgTitle = new TitleImage(this, 4170, skin::ProductCaption);

    imgPrintPaper = new QLabel(this);
    imgPrintPaper->setObjectName(QStringLiteral("imgPrintPaper"));
    twips::place(imgPrintPaper, 300, 600, 750, 690);
    imgPrintPaper->setPixmap(artwork::paper(imgPrintPaper->size()));
    imgPrintPaper->setAccessibleName(QStringLiteral("用紙"));
    imgPrintPaper->hide();

    // Drawn after the paper, so the sheet seems to go into the printer.
    ImgPrinter = new QLabel(this);
    ImgPrinter->setObjectName(QStringLiteral("ImgPrinter"));
    twips::place(ImgPrinter, 120, 1440, 900, 615);
    ImgPrinter->setPixmap(artwork::printer(ImgPrinter->size()));
    ImgPrinter->setAccessibleName(QStringLiteral("プリンター"));
    ImgPrinter->hide();

    lblMsg = new QLabel(this);
    lblMsg->setObjectName(QStringLiteral("lblMsg"));
    twips::place(lblMsg, MessageArea.x(), MessageArea.y(), MessageArea.width(), MessageArea.height());
    lblMsg->setFont(fonts::named(fonts::UiGothic, 11.25));
    lblMsg->setAlignment(Qt::AlignCenter);
    lblMsg->setWordWrap(true);
    lblMsg->setTextFormat(Qt::PlainText); // messages quote file contents and system texts

    const QFont captionFont = fonts::named(fonts::Gothic, 9);
    picYes = new ImageButton(this, QStringLiteral("picYes"));
    twips::place(picYes, 1920, ButtonTop, 960, 285);
    picYes->setPixmap(artwork::button(picYes->size()));
    lblYes = makeButtonLabel(picYes, QStringLiteral("lblYes"), QStringLiteral("はい"), QRect(300, 60, 360, 180),
                             captionFont);
    picNo = new ImageButton(this, QStringLiteral("picNo"));
    twips::place(picNo, 3000, ButtonTop, 960, 285);
    picNo->setPixmap(artwork::button(picNo->size()));
    lblNo = makeButtonLabel(picNo, QStringLiteral("lblNo"), QStringLiteral("いいえ"), QRect(210, 60, 540, 180),
                            captionFont);

    linLeft = new FrameLine(this, QStringLiteral("linLeft"), 0, 420, 0, 2280);
    linRight = new FrameLine(this, QStringLiteral("linRight"), 4160, 2280, 4160, 420);
    linDown = new FrameLine(this, QStringLiteral("linDown"), 0, 2280, 4170, 2280);

    timPaperMove = new QTimer(this);
    timPaperMove->setObjectName(QStringLiteral("timPaperMove"));
    timPaperMove->setInterval(500);
    connect(timPaperMove, &QTimer::timeout, this, &frmMsgBox::movePaper);
    timPaperMove->start();

    connect(picYes, &ImageButton::clicked, this, [this] { answer(true); });
    connect(picNo, &ImageButton::clicked, this, [this] { answer(false); });

    // Loading: centre, take the message and lay out the buttons for the mode.
    mdlDim::CenterForm(this);
    // A carriage return starts a new line.
    message_ = QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    lblMsg->setText(breakableLongWords(message_));
    // A screen reader names the box by its question, not by the product, and
    // hears the message without the break opportunities.
    const QString spoken = QString(text).replace(QLatin1Char('\r'), QLatin1Char(' '));
    lblMsg->setAccessibleName(spoken);
    setAccessibleName(spoken);
    layOutForMessage();
}

void frmMsgBox::layOutForMessage() {
    // A long message (a file path, a printer's reason) makes the box taller
    // rather than running into the buttons.
    const QRect area = twips::geometry(lblMsg);
    const int needed = twips::fromPx(lblMsg->heightForWidth(lblMsg->width()));
    const int extra = qMax(0, needed - area.height());
    const int buttonTop = ButtonTop + extra;
    const int bottom = 2280 + extra;
    twips::place(lblMsg, area.x(), area.y(), area.width(), area.height() + extra);
    setFixedSize(twips::toPx(4170), twips::toPx(2295 + extra));
    linLeft->setLine(0, 420, 0, bottom);
    linRight->setLine(4160, bottom, 4160, 420);
    linDown->setLine(0, bottom, 4170, bottom);
    if (buttons_ == MsgButtons::Yes) {
        picYes->setPositions(QPoint(1600, buttonTop), QPoint(1600 + 2 * PressShift, buttonTop + PressShift));
        picYes->show();
        picNo->hide();
    } else {
        picYes->setPositions(QPoint(1920, buttonTop), QPoint(1920 + PressShift, buttonTop + PressShift));
        picNo->setPositions(QPoint(3000, buttonTop), QPoint(3000 + PressShift, buttonTop + PressShift));
        picYes->show();
        picNo->show();
    }
    mdlDim::CenterForm(this);
}

void frmMsgBox::makePaperPrompt() {
    lblMsg->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    twips::place(lblMsg, PaperMessageArea.x(), PaperMessageArea.y(), PaperMessageArea.width(),
                 PaperMessageArea.height());
    // "キャンセル" needs the button's whole width.
    twips::place(lblNo, 0, 60, 960, 180);
    imgPrintPaper->show();
    ImgPrinter->show();
    setButtonCaption(lblYes, QStringLiteral("確認"));
    setButtonCaption(lblNo, QStringLiteral("キャンセル"));
}

void frmMsgBox::answer(bool yes) {
    answered_ = true;
    release();
    timPaperMove->stop();
    done(yes ? QDialog::Accepted : QDialog::Rejected);
    deleteLater(); // an answered box is done with, however it was shown
}

void frmMsgBox::reject() {
    // Esc: いいえ where there is one, else the only button's answer.
    if (!isVisible())
        return;
    if (escaped_)
        *escaped_ = true;
    answer(picNo->isHidden());
}

void frmMsgBox::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        answer(true);
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmMsgBox::closeEvent(QCloseEvent *event) {
    // Only an answer closes the box, so that no answer is ever taken for one.
    if (isVisible() && !answered_)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void frmMsgBox::movePaper() {
    twips::place(imgPrintPaper, twips::pos(imgPrintPaper).x(), PaperUp ? 600 : 800, 750,
                 twips::geometry(imgPrintPaper).height());
    PaperUp = !PaperUp;
}
