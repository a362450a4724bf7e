#include "render/testsheet.h"

#include "render/cardlayout.h"
#include "render/drawtarget.h"
#include "render/mdlPrint.h"
#include "render/twipunits.h"

#include <QRect>
#include <cmath>

namespace testsheet {
namespace {

// Cards are printed from X = 10, Y = 0.
constexpr int X = 10;
constexpr int Y = 0;

int mm(double millimetres) {
    return static_cast<int>(std::lround(millimetres * twips::PerMm));
}

// A thin black line from the smaller end to the larger.
void line(DrawTarget &printer, QPoint a, QPoint b) {
    printer.drawLine(QPoint(qMin(a.x(), b.x()), qMin(a.y(), b.y())), QPoint(qMax(a.x(), b.x()), qMax(a.y(), b.y())),
                     PenSpec{Qt::SolidLine, 1, Qt::black});
}

void text(DrawTarget &printer, const QString &said, QPoint at, const QString &fontName, double size) {
    printer.drawText(said, at, FontSpec{fontName, size, false}, Qt::black);
}

// A corner mark: two rulers of 10 mm from the card's corner, pointing into
// the card (`inward`: +1 or -1 on each axis), with a tick every millimetre
// and its number every 5, so nothing lies beyond the card's own edges.
void cornerMark(DrawTarget &printer, QPoint at, QPoint inward) {
    const int endX = at.x() + inward.x() * mm(10), endY = at.y() + inward.y() * mm(10);
    line(printer, at, {endX, at.y()});
    line(printer, at, {at.x(), endY});
    for (int step = 1; step <= 10; ++step) {
        const int tick = step % 5 == 0 ? mm(1.5) : mm(0.75);
        const int x = at.x() + inward.x() * mm(step), y = at.y() + inward.y() * mm(step);
        const int tickY = at.y() + inward.y() * tick, tickX = at.x() + inward.x() * tick;
        line(printer, {x, at.y()}, {x, tickY});
        line(printer, {at.x(), y}, {tickX, y});
        if (step % 5 == 0) {
            // Beyond the long ticks, inside the card.
            const QString label = QString::number(step);
            const int beyond = mm(2.2);
            text(printer, label, {x - mm(0.8), at.y() + (inward.y() > 0 ? beyond : -beyond - mm(2))},
                 QStringLiteral("Arial"), 5);
            text(printer, label, {at.x() + (inward.x() > 0 ? beyond : -beyond - mm(2)), y - mm(1)},
                 QStringLiteral("Arial"), 5);
        }
    }
}

QString signedMm(double value) {
    return (value >= 0 ? QStringLiteral("+") : QString()) + QString::number(value, 'f', 1) + QStringLiteral(" mm");
}

} // namespace

QRect cardArea() {
    const cardlayout::CardForm *form = cardlayout::form(cardlayout::Medium::Paper, 0);
    const int height = form->headHeight + cardlayout::LinesPerCard(0) * form->linePitch;
    return QRect(X, Y, 6930, height);
}

void printSheet(DrawTarget &printer, QSizeF sheetMm, const QList<QRectF> &boxesMm, const QString &printerName,
                QPointF offsetMm) {
    const QRect frame(mm(10), mm(10), mm(sheetMm.width() - 20), mm(sheetMm.height() - 20));
    const int right = frame.left() + frame.width(), bottom = frame.top() + frame.height();
    cornerMark(printer, frame.topLeft(), {1, 1});
    cornerMark(printer, {right, frame.top()}, {-1, 1});
    cornerMark(printer, {frame.left(), bottom}, {1, -1});
    cornerMark(printer, {right, bottom}, {-1, -1});
    for (const QRectF &box : boxesMm) {
        const int l = mm(box.left()), r = mm(box.right()), t = mm(box.top()), b = mm(box.bottom());
        line(printer, {l, t}, {r, t});
        line(printer, {l, b}, {r, b});
        line(printer, {l, t}, {l, b});
        line(printer, {r, t}, {r, b});
    }
    const QString said = QStringLiteral("位置調整テスト　端から 10 mm の枠　%1　横 %2　縦 %3")
                             .arg(printerName, signedMm(offsetMm.x()), signedMm(offsetMm.y()));
    text(printer, said, {mm(12), frame.top() + frame.height() / 2}, QStringLiteral("ＭＳ ゴシック"), 7);
    printer.endDocument();
}

void Print(DrawTarget &printer, const QList<QPixmap> &paperPictures, const QString &printerName, QPointF offsetMm) {
    mdlPrint::PrintCardLines(printer, 0, X, Y, paperPictures);
    const QRect area = cardArea();
    const int right = area.left() + area.width(), bottom = area.top() + area.height();
    cornerMark(printer, area.topLeft(), {1, 1});
    cornerMark(printer, {right, area.top()}, {-1, 1});
    cornerMark(printer, {area.left(), bottom}, {1, -1});
    cornerMark(printer, {right, bottom}, {-1, -1});
    text(printer,
         QStringLiteral("位置調整テスト　プリンター：%1　横 %2　縦 %3")
             .arg(printerName, signedMm(offsetMm.x()), signedMm(offsetMm.y())),
         {X + mm(15), area.top() + area.height() + mm(15)}, QStringLiteral("ＭＳ ゴシック"), 10);
    printer.endDocument();
}

} // namespace testsheet
