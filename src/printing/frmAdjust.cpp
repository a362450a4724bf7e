#include "printing/frmAdjust.h"

#include "printing/printeradjustment.h"
#include "printing/printjob.h"
#include "render/mdlPrint.h"
#include "render/printerservice.h"
#include "render/testsheet.h"
#include "store/mdlDim.h"
#include "ui/artwork.h"
#include "ui/centerform.h"
#include "ui/fonts.h"
#include "ui/frameline.h"
#include "ui/frmMsgBox.h"
#include "ui/imagebutton.h"
#include "ui/skin.h"
#include "ui/titleimage.h"
#include "ui/twips.h"

#include <QDoubleSpinBox>
#include <QLabel>

namespace {
constexpr int WindowWidth = 4170;
constexpr int WindowHeight = 2700;

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
} // namespace

frmAdjust::frmAdjust(QList<QPixmap> paperPictures)
    : QDialog(nullptr), printer_(PrinterService::defaultPrinterName()), pictures_(std::move(paperPictures)) {
    skin::setUpWindow(this, QStringLiteral("frmAdjust"), WindowWidth, WindowHeight, QStringLiteral("位置調整"));
    setModal(true);
    imgTitle = new TitleImage(this, WindowWidth, QStringLiteral("位置調整"));
    const QFont font = fonts::named(fonts::UiGothic, 9);
    lblPrinter = skin::makeLabel(this, QStringLiteral("lblPrinter"), QStringLiteral("プリンター：") + printer_,
                                 {240, 600, 3690, 255}, font);
    lblOffsetX = skin::makeLabel(this, QStringLiteral("lblOffsetX"), QStringLiteral("横（右が＋）"),
                                 {240, 1080, 1700, 255}, font);
    lblOffsetY = skin::makeLabel(this, QStringLiteral("lblOffsetY"), QStringLiteral("縦（下が＋）"),
                                 {240, 1560, 1700, 255}, font);
    txtOffsetX = offsetBox(this, QStringLiteral("txtOffsetX"), 1040);
    txtOffsetY = offsetBox(this, QStringLiteral("txtOffsetY"), 1520);
    QString warning;
    const QPointF kept = printeradjustment::load(printer_, &warning);
    txtOffsetX->setValue(kept.x());
    txtOffsetY->setValue(kept.y());

    imgTestPrint = makeImageButton(this, QStringLiteral("imgTestPrint"), {240, 2160, 1275, 300}, {250, 2170},
                                   QStringLiteral("テスト印刷"));
    imgAdjustSave = makeImageButton(this, QStringLiteral("imgAdjustSave"), {1560, 2160, 1140, 300}, {1570, 2170},
                                    QStringLiteral("保存"));
    imgAdjustCancel = makeImageButton(this, QStringLiteral("imgAdjustCancel"), {2760, 2160, 1140, 300}, {2770, 2170},
                                      QStringLiteral("キャンセル"));
    connect(imgTestPrint, &ImageButton::clicked, this, &frmAdjust::printTestSheet);
    connect(imgAdjustSave, &ImageButton::clicked, this, &frmAdjust::saveAndClose);
    connect(imgAdjustCancel, &ImageButton::clicked, this, &frmAdjust::reject);
    std::tie(linLeft, linRight, linDown) =
        skin::addBorder(this, WindowWidth, WindowHeight, artwork::TitleHeightTwips, QStringLiteral("linDown"));
    mdlDim::CenterForm(this);
    if (!warning.isEmpty())
        QMetaObject::invokeMethod(
            this, [warning] { frmMsgBox::ask(warning, QStringLiteral("Yes")); }, Qt::QueuedConnection);
}

void frmAdjust::open(const QList<QPixmap> &paperPictures) {
    if (!PrinterService::available()) {
        CardPrintJob::tellNoPrinter();
        return;
    }
    frmAdjust window(paperPictures);
    window.exec();
}

QPointF frmAdjust::offsetMm() const {
    return {txtOffsetX->value(), txtOffsetY->value()};
}

void frmAdjust::printTestSheet() {
    // Through the same path as a card: the job's printer, moved by the boxes' offsets.
    std::unique_ptr<CardPrinter> printer = CardPrintJob::openPrinter();
    if (!printer) {
        CardPrintJob::tellNoPrinter();
        return;
    }
    if (auto *service = dynamic_cast<PrinterService *>(printer.get()))
        service->setOffsetMm(offsetMm());
    if (const QString refusing = printer->notAccepting(); !refusing.isEmpty()) {
        frmMsgBox::ask(refusing, QStringLiteral("Yes"));
        return;
    }
    {
        const mdlPrint::PrinterInUse inUse(printer.get());
        testsheet::Print(pictures_, printer_, offsetMm());
    }
    if (printer->failed())
        frmMsgBox::ask(printer->error(), QStringLiteral("Yes"));
}

void frmAdjust::saveAndClose() {
    if (const QString failed = printeradjustment::save(printer_, offsetMm()); !failed.isEmpty()) {
        frmMsgBox::ask(failed, QStringLiteral("Yes"));
        return;
    }
    accept();
}
