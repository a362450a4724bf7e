#pragma once

#include "render/cardlayout.h"

#include <QSizeF>
#include <QString>

// The largest font size at which a text stays narrower than a limit, measured
// in the mapped "MS UI Gothic" as a self-sizing label would measure it.
namespace fontfit {

struct Fitted {
    double size; // the size to write with
    int offset;  // h: the measured height divided by the fit's divisor
};

Fitted FitFontSize(const QString &text, const cardlayout::Fit &fit, bool emailLine);

// Text is measured bold until the first e-mail fitting of the run turns bold
// off for good, as the measuring label of the original kept its last font.
bool measuresBold();
void resetMeasuring();

// Width and height of one line of text in twips.
QSizeF measure(const QString &text, const QString &fontName, double pointSize, bool bold);

} // namespace fontfit
