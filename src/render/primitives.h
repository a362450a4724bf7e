#pragma once

#include <QString>

class DrawTarget;

// The one implementation behind the screen and printer primitives.
namespace primitives {

void line(DrawTarget &target, const QString &style, int y1, int y2, int x1, int x2, int width, int red, int green,
          int blue);
void text(DrawTarget &target, const QString &text, int x, int y, const QString &fontName, double fontSize, bool bold,
          int red, int green, int blue);

} // namespace primitives
