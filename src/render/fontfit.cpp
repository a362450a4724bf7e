#include "render/fontfit.h"

#include "render/fonts.h"
#include "render/twipunits.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <cmath>

namespace fontfit {
namespace {
bool boldMeasuring = true;
}

bool measuresBold() {
    return boldMeasuring;
}

void resetMeasuring() {
    boldMeasuring = true;
}

QSizeF measure(const QString &text, const QString &fontName, double pointSize, bool bold, QPaintDevice *device) {
    const QFont font = fonts::named(fontName, pointSize, bold);
    const QFontMetricsF metrics = device ? QFontMetricsF(font, device) : QFontMetricsF(font);
    const double twipsPerDot = device ? double(twips::PerInch) / device->logicalDpiX() : twips::PerPixel;
    return QSizeF(metrics.horizontalAdvance(text) * twipsPerDot, metrics.height() * twipsPerDot);
}

Fitted FitFontSize(const QString &text, const cardlayout::Fit &fit, bool emailLine, QPaintDevice *device) {
    if (emailLine)
        boldMeasuring = false;
    const QString &font = fonts::UiGothic;
    int size = 3;
    QSizeF measured = measure(text, font, size, boldMeasuring, device);
    while (measured.width() < fit.widthLimit && size < fit.sizeCap) {
        ++size;
        measured = measure(text, font, size, boldMeasuring, device);
    }
    // Halves go to the even neighbour.
    const int offset = static_cast<int>(std::nearbyint(measured.height() / fit.divisor));
    return {static_cast<double>(size - 1), offset};
}

} // namespace fontfit
