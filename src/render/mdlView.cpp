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

namespace {
cardrenderer::Primitives screenPrimitives(DrawTarget &target) {
    return {[&target](const QString &style, int y1, int y2, int x1, int x2, int width, int r, int g, int b) {
                ViewLine(target, style, y1, y2, x1, x2, width, r, g, b);
            },
            [&target](const QString &text, int x, int y, const QString &font, double size, bool bold, int r, int g,
                      int b) { ViewText(target, text, x, y, font, size, bold, r, g, b); },
            [&target](const QPixmap &picture, const QRect &area) { target.drawPicture(picture, area); },
            [&target] { return target.measuringDevice(); }};
}
} // namespace

void ViewCardLines(DrawTarget &target, int format, int X, int Y, const QList<QPixmap> &pictures) {
    cardrenderer::drawForm(screenPrimitives(target), cardlayout::Medium::Preview, format, X, Y, pictures);
}

void ViewCardInfo(DrawTarget &target, int format, int Y, int startLine) {
    // The preview's text positions are absolute: no X.
    cardrenderer::drawEntries(screenPrimitives(target), cardlayout::Medium::Preview, format, 0, Y, startLine, false);
}

} // namespace mdlView
