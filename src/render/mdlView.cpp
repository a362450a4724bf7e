#include "render/mdlView.h"

#include "render/primitives.h"

namespace mdlView {

void ViewLine(DrawTarget &target, const QString &style, int y1, int y2, int x1, int x2, int width, int red,
              int green, int blue) {
    primitives::line(target, style, y1, y2, x1, x2, width, red, green, blue);
}

void ViewText(DrawTarget &target, const QString &text, int x, int y, const QString &fontName, double fontSize,
              bool bold, int red, int green, int blue) {
    primitives::text(target, text, x, y, fontName, fontSize, bold, red, green, blue);
}

}  // namespace mdlView
