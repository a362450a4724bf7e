#pragma once

#include "render/cardlayout.h"

#include <QSizeF>
#include <QString>

class QPaintDevice;

// The largest font size at which a text stays narrower than a limit, measured
// in the mapped "MS UI Gothic" on the device that draws it (the printer for
// paper, the screen when `device` is null), in floating point, so that the
// rule holds where the text lands.
namespace fontfit {

struct Fitted {
    double size; // the size to write with
    int offset;  // h: the measured height divided by the fit's divisor
};

Fitted FitFontSize(const QString &text, const cardlayout::Fit &fit, bool emailLine, QPaintDevice *device = nullptr);

// Text is measured bold until the first e-mail fitting of the run turns bold
// off for the rest of the run: the card layouts' sizes were chosen that way.
bool measuresBold();
void resetMeasuring();

// Width and height of one line of text in twips on `device` (null: the screen).
QSizeF measure(const QString &text, const QString &fontName, double pointSize, bool bold,
               QPaintDevice *device = nullptr);

} // namespace fontfit
