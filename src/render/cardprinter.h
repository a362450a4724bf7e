#pragma once

#include "render/drawtarget.h"
#include "store/failure.h"

#include <QPointF>
#include <QSizeF>
#include <QString>

// A printer that cards are drawn on, one document per card. It keeps the
// first failure, so a job can tell the user and stop.
class CardPrinter : public DrawTarget {
public:
    // The first failure; none while all went well.
    virtual Failure failure() const = 0;
    bool failed() const { return failure().failed(); }
    QString error() const { return describe(failure()); }
    // Documents that reached the printer.
    virtual int documentsSent() const = 0;
    // Why the printer will not take a job now (a queue that refuses jobs or
    // is stopped), naming it; none when it will.
    virtual Failure notAccepting() const { return {}; }
    // The folder its documents go to as PDF files; empty for a printer with
    // paper, which the user is asked to feed.
    virtual QString pdfFolder() const { return {}; }
    // Moves everything drawn by this much on paper (right and down positive):
    // the printer's own adjustment.
    virtual void setOffsetMm(QPointF offset) = 0;

    // The paper a job prints on: the queue's own for cards; the others are
    // media of their own size (see sheetSizeMm), drawn from the sheet's edge.
    // Set before the first document.
    enum class Sheet {
        Card,
        Postcard,        // はがき, 100 × 148 mm
        LongEnvelope,    // 長形3号, 120 × 235 mm
        WesternEnvelope, // 洋形2号, 114 × 162 mm
        LabelSheet,      // A4 sheets of labels
    };
    virtual void setSheet(Sheet sheet) = 0;
    // Each sheet's own adjustment, taken when the sheet is set; a sheet
    // without one is moved by setOffsetMm's.
    virtual void setSheetOffsetMm(Sheet, QPointF) {}
    // Ends the page and begins the next in the same document: a stack of
    // postcards goes to the printer as one job.
    virtual void nextPage() = 0;
};

// A sheet's size, portrait, and the media name CUPS knows it by; an empty
// size for a card (the queue's own paper).
struct SheetMedia {
    QSizeF mm;
    const char *pwgName;
};
SheetMedia sheetMedia(CardPrinter::Sheet sheet);
