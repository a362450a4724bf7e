#include "render/mdlPrint.h"

#include "render/cardrenderer.h"
#include "render/drawtarget.h"

namespace mdlPrint {

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
