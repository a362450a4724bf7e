#pragma once

#include "render/cardprinter.h"

#include <QPainter>
#include <QPrinter>
#include <memory>

// The printer as a drawing target: the system's default printer (CUPS), or
// PDF files for looking at cards. Twips are scaled to the device resolution.
// The first drawing of a card begins a document; endDocument() sends it. A
// failure is kept and reported, never dropped.
class PrinterService : public CardPrinter {
public:
    // The default printer.
    PrinterService();
    // Each document into its own PDF file: `pdfPattern` with %1 replaced by
    // the document's number (1, 2, ...).
    explicit PrinterService(const QString &pdfPattern);
    ~PrinterService() override;

    // Whether the system has a default printer.
    static bool available();

    void clear() override {}
    void drawLine(QPoint from, QPoint to, const PenSpec &pen) override;
    void drawText(const QString &text, QPoint topLeft, const FontSpec &font, QColor colour) override;
    void drawPicture(const QPixmap &picture, const QRect &area) override;
    void endDocument() override;

    bool failed() const override { return !error_.isEmpty(); }
    QString error() const override { return error_; }
    int documentsSent() const override { return sent_; }

private:
    bool beginIfNeeded();
    QPointF device(QPoint t) const;
    double deviceLength(double t) const;
    std::unique_ptr<QPrinter> makePrinter() const;

    QString pdfPattern_;
    std::unique_ptr<QPrinter> printer_;
    QPainter painter_;
    QString error_;
    int sent_ = 0;
};
