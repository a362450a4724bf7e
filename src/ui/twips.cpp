#include "ui/twips.h"

#include <QVariant>
#include <QWidget>

namespace twips {
namespace {
const char *const GeometryProperty = "twipGeometry";
}

void place(QWidget *w, int left, int top, int width, int height) {
    w->setProperty(GeometryProperty, QRect(left, top, width, height));
    w->setGeometry(toPx(left), toPx(top), toPx(width), toPx(height));
}

void move(QWidget *w, int left, int top) {
    const QRect g = geometry(w);
    place(w, left, top, g.width(), g.height());
}

QRect geometry(const QWidget *w) {
    const QVariant stored = w->property(GeometryProperty);
    if (stored.isValid())
        return stored.toRect();
    const QRect g = w->geometry();
    return QRect(fromPx(g.x()), fromPx(g.y()), fromPx(g.width()), fromPx(g.height()));
}

} // namespace twips
