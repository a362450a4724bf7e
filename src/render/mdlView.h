#pragma once

#include <QList>
#include <QPixmap>
#include <QString>
#include <QStringList>

class DrawTarget;

// A card as the preview draws it on screen, in twips; any other drawing
// calls the picture box's DrawTarget directly.
namespace mdlView {

// The preview of one card's form in the picture area.
void ViewCardLines(DrawTarget &target, int format, int X, int Y, const QList<QPixmap> &pictures);
// The preview of one card's entries, entries[first] on line `firstLine` and
// on; returns how many the card holds.
int ViewCardInfo(DrawTarget &target, int format, int Y, const QStringList &entries, int first, int firstLine);

} // namespace mdlView
