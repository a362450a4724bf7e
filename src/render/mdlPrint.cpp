#include "render/mdlPrint.h"

#include "render/cardrenderer.h"
#include "render/drawtarget.h"
#include "render/primitives.h"

namespace mdlPrint {
namespace {
DrawTarget *currentPrinter = nullptr;

bool havePrinter() {
    if (!currentPrinter)
        qWarning("mdlPrint: no printer is set; nothing is drawn");
    return currentPrinter != nullptr;
}

cardrenderer::Primitives paperPrimitives() {
    return {PrintLine, PrintText,
            [](const QPixmap &picture, const QRect &area) { currentPrinter->drawPicture(picture, area); },
            [] { return currentPrinter->measuringDevice(); }};
}
} // namespace

void setPrinter(DrawTarget *printer) {
    currentPrinter = printer;
}

DrawTarget *printer() {
    return currentPrinter;
}

void PrintLine(const QString &style, int y1, int y2, int x1, int x2, int width, int red, int green, int blue) {
    if (havePrinter())
        primitives::line(*currentPrinter, style, y1, y2, x1, x2, width, red, green, blue);
}

void PrintText(const QString &text, int x, int y, const QString &fontName, double fontSize, bool bold, int red,
               int green, int blue) {
    if (havePrinter())
        primitives::text(*currentPrinter, text, x, y, fontName, fontSize, bold, red, green, blue);
}

void PrintCardLines(int format, int X, int Y, const QList<QPixmap> &pictures) {
    if (havePrinter())
        cardrenderer::drawForm(paperPrimitives(), cardlayout::Medium::Paper, format, X, Y, pictures);
}

void PrintCardInfo(int format, int X, int Y, int startLine) {
    if (!havePrinter())
        return;
    cardrenderer::drawEntries(paperPrimitives(), cardlayout::Medium::Paper, format, X, Y, startLine, true);
    currentPrinter->endDocument();
}

} // namespace mdlPrint
