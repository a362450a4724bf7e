#include "render/mdlPrint.h"

#include "render/cardrenderer.h"
#include "render/drawtarget.h"
#include "render/primitives.h"

namespace mdlPrint {

void PrintLine(DrawTarget &printer, const QString &style, int y1, int y2, int x1, int x2, int width, int red, int green,
               int blue) {
    primitives::line(printer, style, y1, y2, x1, x2, width, red, green, blue);
}

void PrintText(DrawTarget &printer, const QString &text, int x, int y, const QString &fontName, double fontSize,
               bool bold, int red, int green, int blue) {
    primitives::text(printer, text, x, y, fontName, fontSize, bold, red, green, blue);
}

void PrintCardLines(DrawTarget &printer, int format, int X, int Y, const QList<QPixmap> &pictures) {
    cardrenderer::drawForm(printer, cardlayout::Medium::Paper, format, X, Y, pictures);
}

int PrintCardInfo(DrawTarget &printer, int format, int X, int Y, const QStringList &entries, int first, int firstLine) {
    const int placed =
        cardrenderer::drawEntries(printer, cardlayout::Medium::Paper, format, entries, first, firstLine, X, Y);
    printer.endDocument();
    return placed;
}

} // namespace mdlPrint
