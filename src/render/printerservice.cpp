#include "render/printerservice.h"

#include "ui/fonts.h"

#include <QFontMetricsF>
#include <QPrinterInfo>

namespace {
// Pen widths are the printer's pixels of a 300 dpi printer, as the card forms
// were drawn for one.
constexpr double PenDotsPerInch = 300.0;
} // namespace

PrinterService::PrinterService() = default;

PrinterService::PrinterService(const QString &pdfPattern) : pdfPattern_(pdfPattern) {}

PrinterService::~PrinterService() {
    // A card that was begun but never ended is not sent half drawn.
    if (painter_.isActive()) {
        printer_->abort();
        painter_.end();
    }
}

bool PrinterService::available() {
    return !QPrinterInfo::defaultPrinter().isNull();
}

std::unique_ptr<QPrinter> PrinterService::makePrinter() const {
    if (!pdfPattern_.isEmpty()) {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdfPattern_.contains(QLatin1String("%1")) ? pdfPattern_.arg(sent_ + 1)
                                                                             : pdfPattern_);
        return printer;
    }
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return nullptr;
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    printer->setDocName(QStringLiteral("TelBora card"));
    return printer;
}

bool PrinterService::beginIfNeeded() {
    if (failed())
        return false;
    if (painter_.isActive())
        return true;
    printer_ = makePrinter();
    if (!printer_) {
        error_ = QStringLiteral("プリンターがありません。");
        return false;
    }
    if (!painter_.begin(printer_.get())) {
        error_ = QStringLiteral("プリンター「%1」で印刷を始められません。").arg(printer_->printerName());
        return false;
    }
    painter_.setRenderHint(QPainter::Antialiasing);
    return true;
}

QPointF PrinterService::device(QPoint t) const {
    return QPointF(deviceLength(t.x()), deviceLength(t.y()));
}

double PrinterService::deviceLength(double t) const {
    return t * printer_->resolution() / 1440.0;
}

void PrinterService::drawLine(QPoint from, QPoint to, const PenSpec &pen) {
    if (!beginIfNeeded())
        return;
    QPen qpen(pen.colour, pen.width * printer_->resolution() / PenDotsPerInch, pen.style);
    qpen.setCapStyle(Qt::FlatCap);
    painter_.setPen(qpen);
    painter_.drawLine(device(from), device(to));
}

void PrinterService::drawText(const QString &text, QPoint topLeft, const FontSpec &font, QColor colour) {
    if (!beginIfNeeded())
        return;
    const QFont qfont = fonts::named(font.name, font.size, font.bold);
    painter_.setFont(qfont);
    painter_.setPen(colour);
    const QFontMetricsF metrics(qfont, printer_.get());
    painter_.drawText(device(topLeft) + QPointF(0, metrics.ascent()), text);
}

void PrinterService::drawPicture(const QPixmap &picture, const QRect &area) {
    if (!beginIfNeeded())
        return;
    painter_.setRenderHint(QPainter::SmoothPixmapTransform);
    painter_.drawPixmap(QRectF(device(area.topLeft()), QSizeF(deviceLength(area.width()), deviceLength(area.height()))),
                        picture, QRectF(picture.rect()));
}

void PrinterService::endDocument() {
    // A card with nothing drawn is still one document: an empty page.
    if (!beginIfNeeded())
        return;
    if (!painter_.end() || printer_->printerState() == QPrinter::Error) {
        error_ = QStringLiteral("プリンター「%1」への印刷に失敗しました。").arg(printer_->printerName());
        return;
    }
    ++sent_;
}
