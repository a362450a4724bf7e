#pragma once

#include <QList>
#include <QPixmap>
#include <QString>
#include <QStringList>

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
// The preview of one card's entries, entries[first] on line `firstLine` and
// on; returns how many the card holds.
int ViewCardInfo(DrawTarget &target, int format, int Y, const QStringList &entries, int first, int firstLine);

} // namespace mdlView
