#pragma once

#include <QList>
#include <QPixmap>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSizeF>
#include <QString>

class DrawTarget;

// The sheet that shows where a printer puts a card: format 0's form where a
// card's form goes, a cross with millimetre ticks (10 mm each way, labelled
// at 5 and 10) at each corner of the card area, and one line naming the
// printer and the offsets used. Laid over a blank card against the light, it
// shows how far the printer is off. Drawn on `printer`, which moves it by
// the offsets as it moves a card; the document is ended.
namespace testsheet {

void Print(DrawTarget &printer, const QList<QPixmap> &paperPictures, const QString &printerName, QPointF offsetMm);

// The card area of format 0 at the cards' origin, in twips: where the crosses stand.
QRect cardArea();

// The same for a sheet printed from its edge (a postcard, an envelope, a
// sheet of labels): a frame 10 mm in from each edge with millimetre rulers
// at its corners, and the outlines of `boxesMm` (the pre-printed code boxes,
// the labels) to compare with what the sheet carries.
void printSheet(DrawTarget &printer, QSizeF sheetMm, const QList<QRectF> &boxesMm, const QString &printerName,
                QPointF offsetMm);

} // namespace testsheet
