#include "render/primitives.h"

#include "render/drawtarget.h"

namespace primitives {

void line(DrawTarget &target, const QString &style, int y1, int y2, int x1, int x2, int width, int red, int green,
          int blue) {
    const QString keyword = style.toLower();
    PenSpec pen;
    pen.colour = QColor(red, green, blue);
    if (keyword == QLatin1String("line")) {
        pen.width = width;
    } else if (keyword == QLatin1String("pl")) {
        // A dotted line always has width 1: the previous call left the pen there.
        pen.style = Qt::DotLine;
    } else {
        return;
    }
    target.drawLine(QPoint(x1, y1), QPoint(x2, y2), pen);
}

void text(DrawTarget &target, const QString &text, int x, int y, const QString &fontName, double fontSize, bool bold,
          int red, int green, int blue) {
    target.drawText(text, QPoint(x, y), FontSpec{fontName, fontSize, bold}, QColor(red, green, blue));
}

} // namespace primitives
