#pragma once

#include "render/drawtarget.h"

#include <QPointF>
#include <QString>

// A printer that cards are drawn on, one document per card. It keeps the
// first failure, so a job can tell the user and stop.
class CardPrinter : public DrawTarget {
public:
    virtual bool failed() const = 0;
    virtual QString error() const = 0;
    // Documents that reached the printer.
    virtual int documentsSent() const = 0;
    // Why the printer will not take a job now (a queue that refuses jobs or
    // is stopped), naming it; empty when it will.
    virtual QString notAccepting() const { return {}; }
    // The folder its documents go to as PDF files; empty for a printer with
    // paper, which the user is asked to feed.
    virtual QString pdfFolder() const { return {}; }
    // Moves everything drawn by this much on paper (right and down positive):
    // the printer's own adjustment.
    virtual void setOffsetMm(QPointF offset) = 0;

    // The paper a job prints on: the queue's own for cards; postcards are
    // Japanese postcard media (100 × 148 mm, portrait), drawn from the sheet's
    // edge. Set before the first document.
    enum class Sheet { Card, Postcard };
    virtual void setSheet(Sheet sheet) = 0;
    // Ends the page and begins the next in the same document: a stack of
    // postcards goes to the printer as one job.
    virtual void nextPage() = 0;
};
