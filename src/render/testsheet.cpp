#include "render/testsheet.h"

#include "render/cardlayout.h"
#include "render/drawtarget.h"
#include "render/mdlPrint.h"

#include <QRect>
#include <cmath>

namespace testsheet {
namespace {

// Cards are printed from X = 10, Y = 0.
constexpr int X = 10;
constexpr int Y = 0;
constexpr double TwipsPerMm = 1440 / 25.4;

int mm(double millimetres) {
    return static_cast<int>(std::lround(millimetres * TwipsPerMm));
}

void cross(QPoint at) {
    mdlPrint::PrintLine(QStringLiteral("line"), at.y(), at.y(), at.x() - mm(10), at.x() + mm(10), 1, 0, 0, 0);
    mdlPrint::PrintLine(QStringLiteral("line"), at.y() - mm(10), at.y() + mm(10), at.x(), at.x(), 1, 0, 0, 0);
    for (int step = -10; step <= 10; ++step) {
        if (step == 0)
            continue;
        const int tick = step % 5 == 0 ? mm(1.5) : mm(0.75);
        mdlPrint::PrintLine(QStringLiteral("line"), at.y() - tick, at.y() + tick, at.x() + mm(step), at.x() + mm(step),
                            1, 0, 0, 0);
        mdlPrint::PrintLine(QStringLiteral("line"), at.y() + mm(step), at.y() + mm(step), at.x() - tick, at.x() + tick,
                            1, 0, 0, 0);
        if (step % 5 == 0) {
            const QString label = QString::number(std::abs(step));
            mdlPrint::PrintText(label, at.x() + mm(step) - mm(0.8), at.y() + mm(1.8), QStringLiteral("Arial"), 5,
                                false, 0, 0, 0);
            mdlPrint::PrintText(label, at.x() + mm(1.8), at.y() + mm(step) - mm(1), QStringLiteral("Arial"), 5, false,
                                0, 0, 0);
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

void Print(const QList<QPixmap> &paperPictures, const QString &printerName, QPointF offsetMm) {
    mdlPrint::PrintCardLines(0, X, Y, paperPictures);
    const QRect area = cardArea();
    for (QPoint corner : {area.topLeft(), QPoint(area.left() + area.width(), area.top()),
                          QPoint(area.left(), area.top() + area.height()),
                          QPoint(area.left() + area.width(), area.top() + area.height())})
        cross(corner);
    mdlPrint::PrintText(QStringLiteral("位置調整テスト　プリンター：%1　横 %2　縦 %3")
                            .arg(printerName, signedMm(offsetMm.x()), signedMm(offsetMm.y())),
                        X + mm(15), area.top() + area.height() + mm(15), QStringLiteral("ＭＳ ゴシック"), 10, false, 0,
                        0, 0);
    if (DrawTarget *printer = mdlPrint::printer())
        printer->endDocument();
}

} // namespace testsheet
