#pragma once

#include <QList>
#include <QPixmap>
#include <QString>

class DrawTarget;

// Drawing on the printer, in twips from the top-left of the printable page,
// and the two routines that put one card on paper.
namespace mdlPrint {

// Where the printer drawing goes: the printer service, or a recorder in tests.
// The caller owns it; drawing without one does nothing and says so.
void setPrinter(DrawTarget *printer);
DrawTarget *printer();

// The printer for the lifetime of the guard, so it never outlives its owner here.
class PrinterInUse {
public:
    explicit PrinterInUse(DrawTarget *printer) { setPrinter(printer); }
    ~PrinterInUse() { setPrinter(nullptr); }
    PrinterInUse(const PrinterInUse &) = delete;
    PrinterInUse &operator=(const PrinterInUse &) = delete;
};

void PrintLine(const QString &style, int y1, int y2, int x1, int x2, int width, int red, int green, int blue);
void PrintText(const QString &text, int x, int y, const QString &fontName, double fontSize, bool bold, int red,
               int green, int blue);

// The card's form; the page stays open.
void PrintCardLines(int format, int X, int Y, const QList<QPixmap> &pictures);
// The card's entries, marking each "|T", then the end of the document (also
// when nothing was written or the format is unknown).
void PrintCardInfo(int format, int X, int Y, int startLine);

} // namespace mdlPrint
