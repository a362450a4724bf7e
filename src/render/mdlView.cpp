#include "render/mdlView.h"

#include "render/cardrenderer.h"
#include "render/drawtarget.h"
#include "render/primitives.h"

namespace mdlView {

void ViewLine(DrawTarget &target, const QString &style, int y1, int y2, int x1, int x2, int width, int red, int green,
              int blue) {
    primitives::line(target, style, y1, y2, x1, x2, width, red, green, blue);
}

void ViewText(DrawTarget &target, const QString &text, int x, int y, const QString &fontName, double fontSize,
              bool bold, int red, int green, int blue) {
    primitives::text(target, text, x, y, fontName, fontSize, bold, red, green, blue);
}

void ViewCardLines(DrawTarget &target, int format, int X, int Y, const QList<QPixmap> &pictures) {
    cardrenderer::drawForm(target, cardlayout::Medium::Preview, format, X, Y, pictures);
}

int ViewCardInfo(DrawTarget &target, int format, int Y, const QStringList &entries, int first, int firstLine) {
    // The preview's text positions are absolute: no X.
    return cardrenderer::drawEntries(target, cardlayout::Medium::Preview, format, entries, first, firstLine, 0, Y);
}

} // namespace mdlView
