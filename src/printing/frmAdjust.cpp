#include "printing/frmAdjust.h"

#include "printer/printerservice.h"
#include "printing/printeradjustment.h"
#include "printing/printerchoice.h"
#include "printing/printjob.h"
#include "render/fonts.h"
#include "render/labels.h"
#include "render/mdlPrint.h"
#include "render/postcard.h"
#include "render/testsheet.h"
#include "store/mdlDim.h"
#include "ui/artwork.h"
#include "ui/centerform.h"
#include "ui/frameline.h"
#include "ui/frmMsgBox.h"
#include "ui/imagebutton.h"
#include "ui/skin.h"
#include "ui/titleimage.h"
#include "ui/twips.h"

#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPrinterInfo>

namespace {
constexpr int WindowWidth = 4170;
constexpr int WindowHeight = 3140;
constexpr int Below = 440; // the sheet's row pushes the rest down

QDoubleSpinBox *offsetBox(QWidget *parent, const QString &name, int top) {
    auto *box = new QDoubleSpinBox(parent);
    box->setObjectName(name);
    box->setAccessibleName(name == QLatin1String("txtOffsetX") ? QStringLiteral("横（右が＋）")
                                                               : QStringLiteral("縦（下が＋）"));
    // The box's own limits refuse what is out of range or no number.
    box->setRange(-printeradjustment::LimitMm, printeradjustment::LimitMm);
    box->setDecimals(1);
    box->setSingleStep(0.1);
    box->setSuffix(QStringLiteral(" mm"));
    box->setFont(fonts::named(fonts::UiGothic, 9));
    twips::place(box, 2040, top, 1500, 330);
    return box;
}
// What a sheet carries printed that the test sheet outlines: the code boxes, the labels.
QList<QRectF> printedBoxesMm(CardPrinter::Sheet sheet) {
    QList<QRectF> boxes;
    const auto codeBoxes = [&](postcard::Form form) {
        for (int digit = 0; digit < 7; ++digit)
            boxes.append(postcard::codeBoxMm(digit, form));
    };
    switch (sheet) {
    case CardPrinter::Sheet::Card:
        break;
    case CardPrinter::Sheet::Postcard:
        codeBoxes(postcard::Form::Postcard);
        for (int digit = 0; digit < 7; ++digit)
            boxes.append(postcard::senderCodeBoxMm(digit));
        break;
    case CardPrinter::Sheet::LongEnvelope:
        codeBoxes(postcard::Form::LongEnvelope);
        break;
    case CardPrinter::Sheet::WesternEnvelope:
        codeBoxes(postcard::Form::WesternEnvelope);
        break;
    case CardPrinter::Sheet::LabelSheet: {
        const labels::SheetLayout layout = labels::layoutOf(24);
        for (int i = 0; i < layout.perSheet(); ++i)
            boxes.append(labels::cellMm(layout, i));
        break;
    }
    }
    return boxes;
}
} // namespace

frmAdjust::frmAdjust(QList<QPixmap> paperPictures)
    : QDialog(nullptr), printer_(printerchoice::current().name()), pictures_(std::move(paperPictures)) {
    skin::setUpWindow(this, QStringLiteral("frmAdjust"), WindowWidth, WindowHeight, QStringLiteral("位置調整"));
    setModal(true);
    imgTitle = new TitleImage(this, WindowWidth, QStringLiteral("位置調整"));
    const QFont font = fonts::named(fonts::UiGothic, 9);
    lblPrinter =
        skin::makeLabel(this, QStringLiteral("lblPrinter"), QStringLiteral("プリンター"), {240, 600, 1260, 255}, font);
    cboPrinter = new QComboBox(this);
    cboPrinter->setObjectName(QStringLiteral("cboPrinter"));
    cboPrinter->setAccessibleName(QStringLiteral("プリンター"));
    cboPrinter->setFont(font);
    // Each item's data is the queue's name; the text marks the system's default.
    const QString defaultQueue = QPrinterInfo::defaultPrinterName();
    for (const QString &queue : printerchoice::queues())
        cboPrinter->addItem(queue == defaultQueue ? queue + QStringLiteral("（既定）") : queue, queue);
    cboPrinter->addItem(printerchoice::PdfItem, printerchoice::PdfItem);
    cboPrinter->setCurrentIndex(cboPrinter->findData(printer_)); // none when nothing can be used
    twips::place(cboPrinter, 1560, 560, 2370, 330);              // room for a queue name and （既定）
    lblPrinter->setBuddy(cboPrinter);
    connect(cboPrinter, &QComboBox::activated, this, &frmAdjust::choosePrinter);
    lblSheet = skin::makeLabel(this, QStringLiteral("lblSheet"), QStringLiteral("用紙"), {240, 1040, 1260, 255}, font);
    cboSheet = new QComboBox(this);
    cboSheet->setObjectName(QStringLiteral("cboSheet"));
    cboSheet->setAccessibleName(QStringLiteral("用紙"));
    cboSheet->setFont(font);
    for (const CardPrinter::Sheet sheet : printeradjustment::Sheets)
        cboSheet->addItem(printeradjustment::sheetName(sheet), int(sheet));
    twips::place(cboSheet, 1560, 1000, 2370, 330);
    lblSheet->setBuddy(cboSheet);
    connect(cboSheet, &QComboBox::activated, this, &frmAdjust::chooseSheet);
    lblOffsetX = skin::makeLabel(this, QStringLiteral("lblOffsetX"), QStringLiteral("横（右が＋）"),
                                 {240, 1080 + Below, 1700, 255}, font);
    lblOffsetY = skin::makeLabel(this, QStringLiteral("lblOffsetY"), QStringLiteral("縦（下が＋）"),
                                 {240, 1560 + Below, 1700, 255}, font);
    txtOffsetX = offsetBox(this, QStringLiteral("txtOffsetX"), 1040 + Below);
    txtOffsetY = offsetBox(this, QStringLiteral("txtOffsetY"), 1520 + Below);
    QString warning;
    const QPointF kept = printeradjustment::load(printer_, CardPrinter::Sheet::Card, &warning);
    loaded_.insert(CardPrinter::Sheet::Card, kept);
    txtOffsetX->setValue(kept.x());
    txtOffsetY->setValue(kept.y());
    lblOffsetX->setBuddy(txtOffsetX);
    lblOffsetY->setBuddy(txtOffsetY);

    imgTestPrint = makeImageButton(this, QStringLiteral("imgTestPrint"), {240, 2160 + Below, 1275, 300},
                                   {250, 2170 + Below}, QStringLiteral("テスト印刷"));
    imgAdjustSave = makeImageButton(this, QStringLiteral("imgAdjustSave"), {1560, 2160 + Below, 1140, 300},
                                    {1570, 2170 + Below}, QStringLiteral("保存"));
    imgAdjustCancel = makeImageButton(this, QStringLiteral("imgAdjustCancel"), {2760, 2160 + Below, 1140, 300},
                                      {2770, 2170 + Below}, QStringLiteral("キャンセル"));
    connect(imgTestPrint, &ImageButton::clicked, this, &frmAdjust::printTestSheet);
    connect(imgAdjustSave, &ImageButton::clicked, this, &frmAdjust::saveAndClose);
    connect(imgAdjustCancel, &ImageButton::clicked, this, &frmAdjust::reject);
    std::tie(linLeft, linRight, linDown) =
        skin::addBorder(this, WindowWidth, WindowHeight, artwork::TitleHeightTwips, QStringLiteral("linDown"));
    mdlDim::CenterForm(this);
    if (!warning.isEmpty())
        QMetaObject::invokeMethod(
            this, [warning] { frmMsgBox::ask(warning, MsgButtons::Yes); }, Qt::QueuedConnection);
}

void frmAdjust::open(const QList<QPixmap> &paperPictures) {
    frmAdjust window(paperPictures);
    window.exec();
}

void frmAdjust::showOffsetsOf(const QString &printer) {
    printer_ = printer;
    shown_.clear();
    loaded_.clear();
    const QPointF kept = printeradjustment::load(printer_, sheet_);
    loaded_.insert(sheet_, kept);
    txtOffsetX->setValue(kept.x());
    txtOffsetY->setValue(kept.y());
}

void frmAdjust::chooseSheet(int index) {
    shown_.insert(sheet_, offsetMm());
    sheet_ = CardPrinter::Sheet(cboSheet->itemData(index).toInt());
    if (!loaded_.contains(sheet_))
        loaded_.insert(sheet_, printeradjustment::load(printer_, sheet_));
    const QPointF offset = shown_.value(sheet_, loaded_.value(sheet_));
    txtOffsetX->setValue(offset.x());
    txtOffsetY->setValue(offset.y());
}

void frmAdjust::choosePrinter(int index) {
    const QString item = cboPrinter->itemData(index).toString();
    printeradjustment::Chosen chosen;
    if (item == printerchoice::PdfItem) {
        // Asked each time, from the folder kept, so that it can be changed.
        const QString kept = printeradjustment::loadChoice().pdfFolder;
        const auto pick = pickPdfFolder ? pickPdfFolder : [kept](QWidget *parent) {
            return QFileDialog::getExistingDirectory(parent, QStringLiteral("PDF ファイルを置くフォルダー"),
                                                     kept.isEmpty() ? QDir::homePath() : kept);
        };
        chosen.pdfFolder = pick(this);
        if (chosen.pdfFolder.isEmpty()) { // no folder: the choice stays as it was
            cboPrinter->setCurrentIndex(cboPrinter->findData(printer_));
            return;
        }
    } else {
        chosen.queue = item;
    }
    chosen_ = chosen;
    showOffsetsOf(item);
}

QPointF frmAdjust::offsetMm() const {
    return {txtOffsetX->value(), txtOffsetY->value()};
}

void frmAdjust::printTestSheet() {
    // Through the same path as a card: the job's printer, moved by the boxes' offsets.
    // A printer chosen here and not yet kept prints the sheet itself.
    std::unique_ptr<CardPrinter> printer =
        chosen_ ? printerchoice::open({chosen_->queue, chosen_->pdfFolder}) : PrintJob::openPrinter();
    if (!printer) {
        frmMsgBox::ask(QStringLiteral("プリンターを選んで下さい。"), MsgButtons::Yes);
        return;
    }
    printer->setOffsetMm(offsetMm());
    printer->setSheet(sheet_);
    printer->setSheetOffsetMm(sheet_, offsetMm());
    if (const Failure refusing = printer->notAccepting(); refusing.failed()) {
        frmMsgBox::ask(describe(refusing), MsgButtons::Yes);
        return;
    }
    if (sheet_ == CardPrinter::Sheet::Card)
        testsheet::Print(*printer, pictures_, printer_, offsetMm());
    else
        testsheet::printSheet(*printer, sheetMedia(sheet_).mm, printedBoxesMm(sheet_), printer_, offsetMm());
    frmMsgBox::ask(printer->failed() ? printer->error() : QStringLiteral("テスト用紙を送りました。"), MsgButtons::Yes);
}

void frmAdjust::saveAndClose() {
    if (chosen_) {
        if (const QString failed = printeradjustment::saveChoice(*chosen_); !failed.isEmpty()) {
            frmMsgBox::ask(failed, MsgButtons::Yes);
            return;
        }
        chosen_.reset();
    }
    // Each sheet whose offsets were shown and changed (or are its own), the
    // cards' always; a sheet left as shown keeps moving as the cards do.
    shown_.insert(sheet_, offsetMm());
    QHash<CardPrinter::Sheet, bool> own;
    for (auto it = shown_.cbegin(); it != shown_.cend(); ++it)
        own.insert(it.key(), printeradjustment::hasOwn(printer_, it.key()));
    for (auto it = shown_.cbegin(); it != shown_.cend(); ++it) {
        if (it.key() != CardPrinter::Sheet::Card && !own.value(it.key()) && it.value() == loaded_.value(it.key()))
            continue;
        if (const QString failed = printeradjustment::save(printer_, it.value(), it.key()); !failed.isEmpty()) {
            frmMsgBox::ask(failed, MsgButtons::Yes);
            return;
        }
    }
    if (!shown_.contains(CardPrinter::Sheet::Card))
        if (const QString failed = printeradjustment::save(printer_, printeradjustment::load(printer_));
            !failed.isEmpty()) {
            frmMsgBox::ask(failed, MsgButtons::Yes);
            return;
        }
    accept();
}
