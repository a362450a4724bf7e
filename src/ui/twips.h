#pragma once

#include "render/twipunits.h"

#include <QPoint>
#include <QRect>

class QWidget;

// Controls placed at twip geometry.
namespace twips {

// Places a control at twip geometry and remembers the exact twips, so that a
// position read back is the one set, not one rounded through pixels.
void place(QWidget *w, int left, int top, int width, int height);
void move(QWidget *w, int left, int top);
// The control's geometry in twips as last set through this unit.
QRect geometry(const QWidget *w);
inline QPoint pos(const QWidget *w) {
    return geometry(w).topLeft();
}

} // namespace twips
