#pragma once

#include <QList>
#include <QPixmap>
#include <QString>

class DrawTarget;

// Drawing on a picture area on screen, in twips. A line is given as y1, y2,
// x1, x2; the style "line" is solid, "pl" dotted (any case), anything else
// draws nothing.
namespace mdlView {

void ViewLine(DrawTarget &target, const QString &style, int y1, int y2, int x1, int x2, int width, int red, int green,
              int blue);
void ViewText(DrawTarget &target, const QString &text, int x, int y, const QString &fontName, double fontSize,
              bool bold, int red, int green, int blue);

// The preview of one card's form in the picture area.
void ViewCardLines(DrawTarget &target, int format, int X, int Y, const QList<QPixmap> &pictures);
// The preview of one card's entries; print marks are left as they are.
void ViewCardInfo(DrawTarget &target, int format, int Y, int startLine);

} // namespace mdlView
