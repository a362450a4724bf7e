#include "printer/printerservice.h"

#include "printer/log.h"

#include "render/fonts.h"
#include "render/twipunits.h"
#include "render/verticaltext.h"

#include <QFile>
#include <QFontMetricsF>
#include <QPrinterInfo>

#ifdef TELBORA_HAVE_CUPS
#include <cups/cups.h>
#endif

namespace {
// Pen widths are the printer's pixels of a 300 dpi printer, as the card forms
// were drawn for one.
constexpr double PenDotsPerInch = 300.0;
} // namespace

PrinterService::PrinterService() = default;

PrinterService::PrinterService(const QString &pdfPattern) : pdfPattern_(pdfPattern) {}

std::unique_ptr<PrinterService> PrinterService::onQueue(const QString &name) {
    auto service = std::make_unique<PrinterService>();
    service->printerName_ = name;
    return service;
}

QPrinterInfo PrinterService::target() const {
    return printerName_.isEmpty() ? QPrinterInfo::defaultPrinter() : QPrinterInfo::printerInfo(printerName_);
}

QString PrinterService::pdfFolder() const {
    return pdfPattern_.isEmpty() ? QString() : QFileInfo(pdfPattern_).absolutePath();
}

PrinterService::~PrinterService() {
    // A card that was begun but never ended is not sent half drawn.
    if (painter_.isActive()) {
        printer_->abort();
        painter_.end();
    }
}

namespace {

// Whether CUPS knows the printer as a queue of its own.
bool isCupsQueue(const QString &name) {
#ifdef TELBORA_HAVE_CUPS
    cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.toLocal8Bit().constData(), nullptr);
    if (!dest)
        return false;
    cupsFreeDests(1, dest);
    return true;
#else
    Q_UNUSED(name);
    return false;
#endif
}

} // namespace

Failure PrinterService::notAccepting() const {
#ifdef TELBORA_HAVE_CUPS
    if (!pdfPattern_.isEmpty())
        return {};
    const QString queue = target().printerName();
    if (!isCupsQueue(queue))
        return {};
    // Asked of the scheduler itself: the destination list does not carry the
    // administrator's reason (printer-state-message).
    ipp_t *request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0, "/printers/%s",
                     queue.toUtf8().constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ipp_t *response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    if (!response)
        return {}; // the job itself will say what is wrong
    ipp_attribute_t *accepting = ippFindAttribute(response, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
    ipp_attribute_t *state = ippFindAttribute(response, "printer-state", IPP_TAG_ENUM);
    ipp_attribute_t *message = ippFindAttribute(response, "printer-state-message", IPP_TAG_ZERO);
    const bool refusing = accepting && !ippGetBoolean(accepting, 0);
    const bool stopped = state && ippGetInteger(state, 0) == IPP_PSTATE_STOPPED;
    const QString reason = message ? QString::fromUtf8(ippGetString(message, 0, nullptr)) : QString();
    ippDelete(response);
    if (!refusing && !stopped)
        return {};
    return Failure{refusing ? Failure::Kind::PrinterNotAccepting : Failure::Kind::PrinterStopped, queue, 0, reason};
#else
    return {};
#endif
}

SheetMedia sheetMedia(CardPrinter::Sheet sheet) {
    switch (sheet) {
    case CardPrinter::Sheet::Card:
        return {{}, ""};
    case CardPrinter::Sheet::Postcard:
        return {{100, 148}, "jpn_hagaki_100x148mm"};
    case CardPrinter::Sheet::LongEnvelope:
        return {{120, 235}, "jpn_chou3_120x235mm"};
    case CardPrinter::Sheet::WesternEnvelope:
        return {{114, 162}, "iso_c6_114x162mm"};
    case CardPrinter::Sheet::LabelSheet:
        return {{210, 297}, "iso_a4_210x297mm"};
    }
    return {{}, ""};
}

void PrinterService::setSheet(Sheet sheet) {
    sheet_ = sheet;
    if (const auto own = sheetOffsetsMm_.constFind(sheet); own != sheetOffsetsMm_.constEnd())
        offsetMm_ = *own;
}

void PrinterService::setUpSheet(QPrinter &printer) const {
    const SheetMedia media = sheetMedia(sheet_);
    if (media.mm.isEmpty())
        return;
    // Japan Post's positions, and a label's, are measured from the sheet's edge.
    printer.setFullPage(true);
    const QPageSize size = sheet_ == Sheet::Postcard
                               ? QPageSize(QPageSize::Postcard)
                               : QPageSize(media.mm, QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
    printer.setPageLayout(QPageLayout(size, QPageLayout::Portrait, QMarginsF()));
}

std::unique_ptr<QPrinter> PrinterService::makePrinter() {
    if (!pdfPattern_.isEmpty()) {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdfPattern_.contains(QLatin1String("%1")) ? pdfPattern_.arg(sent_ + 1)
                                                                             : pdfPattern_);
        setUpSheet(*printer);
        return printer;
    }
    const QPrinterInfo info = target();
    if (info.isNull())
        return nullptr;
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    printer->setDocName(QStringLiteral("TelBora card"));
    if (!isCupsQueue(info.printerName())) {
        setUpSheet(*printer);
        return printer;
    }
    // Drawn as the queue would lay it out, then handed to the queue ourselves:
    // Qt's own hand-over does not tell whether the queue took the job.
    const QPageLayout layout = printer->pageLayout();
    const int resolution = printer->resolution();
    queue_ = info.printerName();
    cardFile_ = spool_.filePath(QStringLiteral("card-%1.pdf").arg(sent_ + 1));
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(cardFile_);
    printer->setPageLayout(layout);
    printer->setResolution(resolution);
    setUpSheet(*printer);
    return printer;
}

bool PrinterService::submitToQueue() {
#ifdef TELBORA_HAVE_CUPS
    // Postcards by their PWG name, which every CUPS driver knows.
    const QByteArray media = sheet_ != Sheet::Card ? QByteArray(sheetMedia(sheet_).pwgName)
                                                   : printer_->pageLayout().pageSize().key().toLocal8Bit();
    cups_option_t *options = nullptr;
    int optionCount = cupsAddOption("media", media.constData(), 0, &options);
    optionCount = cupsAddOption("sides", "one-sided", optionCount, &options);
    const int job = cupsPrintFile(queue_.toLocal8Bit().constData(), QFile::encodeName(cardFile_).constData(),
                                  "TelBora card", optionCount, options);
    cupsFreeOptions(optionCount, options);
    QFile::remove(cardFile_);
    if (job > 0)
        return true;
    fail(Failure::Kind::PrinterRefusedJob, QString::fromUtf8(cupsLastErrorString()));
    return false;
#else
    return true;
#endif
}

void PrinterService::fail(Failure::Kind kind, const QString &detail) {
    if (failure_.failed())
        return;
    failure_ = Failure{kind, kind == Failure::Kind::NoPrinter ? QString() : printerLabel(), 0, detail};
    qCInfo(lcPrinter).noquote() << describe(failure_);
}

QString PrinterService::printerLabel() const {
    return queue_.isEmpty() ? printer_->printerName() : queue_; // a card's PDF has no printer name
}

bool PrinterService::beginIfNeeded() {
    if (failed())
        return false;
    if (painter_.isActive())
        return true;
    printer_ = makePrinter();
    if (!printer_) {
        fail(Failure::Kind::NoPrinter);
        return false;
    }
    if (!painter_.begin(printer_.get())) {
        fail(Failure::Kind::PrinterCannotStart);
        return false;
    }
    painter_.setRenderHint(QPainter::Antialiasing);
    const double dotsPerMm = printer_->resolution() / twips::MmPerInch;
    painter_.translate(offsetMm_.x() * dotsPerMm, offsetMm_.y() * dotsPerMm);
    return true;
}

QPointF PrinterService::device(QPoint t) const {
    return QPointF(deviceLength(t.x()), deviceLength(t.y()));
}

double PrinterService::deviceLength(double t) const {
    return t * printer_->resolution() / twips::PerInch;
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

void PrinterService::drawGlyphs(const GlyphRun &run, QColor colour) {
    if (!beginIfNeeded())
        return;
    verticaltext::paint(painter_, run, colour, deviceLength(1));
}

void PrinterService::drawPicture(const QPixmap &picture, const QRect &area) {
    if (!beginIfNeeded())
        return;
    painter_.setRenderHint(QPainter::SmoothPixmapTransform);
    painter_.drawPixmap(QRectF(device(area.topLeft()), QSizeF(deviceLength(area.width()), deviceLength(area.height()))),
                        picture, QRectF(picture.rect()));
}

void PrinterService::nextPage() {
    if (beginIfNeeded() && !printer_->newPage())
        fail(Failure::Kind::PrinterFailed);
}

void PrinterService::endDocument() {
    // A card with nothing drawn is still one document: an empty page.
    if (!beginIfNeeded())
        return;
    if (!painter_.end() || printer_->printerState() == QPrinter::Error) {
        fail(Failure::Kind::PrinterFailed);
        return;
    }
    if (!queue_.isEmpty() && !submitToQueue())
        return;
    ++sent_;
}
