#pragma once

#include <QList>
#include <QPixmap>
#include <QString>
#include <QStringList>

class DrawTarget;

// Drawing on the printer, in twips from the top-left of the printable page,
// and the two routines that put one card on paper.
namespace mdlPrint {

void PrintLine(DrawTarget &printer, const QString &style, int y1, int y2, int x1, int x2, int width, int red, int green,
               int blue);
void PrintText(DrawTarget &printer, const QString &text, int x, int y, const QString &fontName, double fontSize,
               bool bold, int red, int green, int blue);

// The card's form; the page stays open.
void PrintCardLines(DrawTarget &printer, int format, int X, int Y, const QList<QPixmap> &pictures);
// The card's entries, entries[first] on line `firstLine` and on, then the end
// of the document (also when nothing was written or the format is unknown).
// Returns how many entries the card holds.
int PrintCardInfo(DrawTarget &printer, int format, int X, int Y, const QStringList &entries, int first, int firstLine);

} // namespace mdlPrint
