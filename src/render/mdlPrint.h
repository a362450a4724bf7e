#pragma once

#include <QList>
#include <QPixmap>
#include <QString>
#include <QStringList>

class DrawTarget;

// The two routines that put one card on paper, in twips from the top-left
// of the printable page.
namespace mdlPrint {

// The card's form; the page stays open.
void PrintCardLines(DrawTarget &printer, int format, int X, int Y, const QList<QPixmap> &pictures);
// The card's entries, entries[first] on line `firstLine` and on, then the end
// of the document (also when nothing was written or the format is unknown).
// Returns how many entries the card holds.
int PrintCardInfo(DrawTarget &printer, int format, int X, int Y, const QStringList &entries, int first, int firstLine);

} // namespace mdlPrint
