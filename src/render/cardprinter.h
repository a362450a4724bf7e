#pragma once

#include "render/drawtarget.h"

#include <QString>

// A printer that cards are drawn on, one document per card. It keeps the
// first failure, so a job can tell the user and stop.
class CardPrinter : public DrawTarget {
public:
    virtual bool failed() const = 0;
    virtual QString error() const = 0;
    // Documents that reached the printer.
    virtual int documentsSent() const = 0;
};
