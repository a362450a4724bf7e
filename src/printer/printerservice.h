#pragma once

#include "render/cardprinter.h"

#include <QHash>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <memory>

// The printer as a drawing target: the system's default printer, or PDF files
// for looking at cards. Twips are scaled to the device resolution. The first
// drawing of a card begins a document; endDocument() sends it. On CUPS each
// card is drawn into a PDF file with the queue's page layout and submitted
// through libcups, whose answer says whether the queue took it; elsewhere Qt
// prints it. A failure is kept and reported, never dropped.
class PrinterService : public CardPrinter {
public:
    // The default printer.
    PrinterService();
    // The printer of that name (a CUPS queue).
    static std::unique_ptr<PrinterService> onQueue(const QString &name);
    // Each document into its own PDF file: `pdfPattern` with %1 replaced by
    // the document's number (1, 2, ...).
    explicit PrinterService(const QString &pdfPattern);
    ~PrinterService() override;

    // Applied by the painter's transform.
    void setOffsetMm(QPointF offset) override { offsetMm_ = offset; }
    void setSheet(Sheet sheet) override;
    void setSheetOffsetMm(Sheet sheet, QPointF offset) override { sheetOffsetsMm_.insert(sheet, offset); }

    void clear() override {}
    void drawLine(QPoint from, QPoint to, const PenSpec &pen) override;
    void drawText(const QString &text, QPoint topLeft, const FontSpec &font, QColor colour) override;
    void drawPicture(const QPixmap &picture, const QRect &area) override;
    void drawGlyphs(const GlyphRun &run, QColor colour) override;
    void nextPage() override;
    void endDocument() override;
    // The printer the card is drawn on (the card begins if it has not).
    QPaintDevice *measuringDevice() override { return beginIfNeeded() ? printer_.get() : nullptr; }

    Failure failure() const override { return failure_; }
    int documentsSent() const override { return sent_; }
    Failure notAccepting() const override;
    QString pdfFolder() const override;

private:
    bool beginIfNeeded();
    QPointF device(QPoint t) const;
    double deviceLength(double t) const;
    std::unique_ptr<QPrinter> makePrinter();
    void setUpSheet(QPrinter &printer) const;
    bool submitToQueue();
    QString printerLabel() const;

    QPrinterInfo target() const;

    QString pdfPattern_;
    QString printerName_; // empty: the default printer
    QString queue_;       // the CUPS queue a card goes to; empty when Qt prints it
    QString cardFile_;    // the card's PDF on its way to the queue
    std::unique_ptr<QPrinter> printer_;
    QPainter painter_;
    Failure failure_;
    // Keeps the first failure, and says it in the log.
    void fail(Failure::Kind kind, const QString &detail = {});
    QPointF offsetMm_;
    Sheet sheet_ = Sheet::Card;
    QHash<Sheet, QPointF> sheetOffsetsMm_;
    int sent_ = 0;
    QTemporaryDir spool_;
};
