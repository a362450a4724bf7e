#include "ui/frameline.h"

#include "ui/twips.h"

#include <QPainter>

FrameLine::FrameLine(QWidget *parent, const QString &name, int x1, int y1, int x2, int y2, QColor colour)
    : QWidget(parent), colour_(colour) {
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setLine(x1, y1, x2, y2);
}

void FrameLine::setLine(int x1, int y1, int x2, int y2) {
    line_ = QLine(x1, y1, x2, y2);
    const int left = qMin(x1, x2);
    const int top = qMin(y1, y2);
    // One pixel wide at least, so the line has somewhere to be drawn.
    twips::place(this, left, top, qMax(qAbs(x2 - x1), twips::PerPixel), qMax(qAbs(y2 - y1), twips::PerPixel));
}

void FrameLine::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.setPen(QPen(colour_, 1));
    const QRect g = twips::geometry(this);
    const auto local = [&](int x, int y) { return QPointF(twips::toPxF(x - g.left()), twips::toPxF(y - g.top())); };
    p.drawLine(local(line_.x1(), line_.y1()), local(line_.x2(), line_.y2()));
}
