#include "ui/titleimage.h"

#include "ui/artwork.h"
#include "ui/twips.h"

#include <QMouseEvent>

TitleImage::TitleImage(QWidget *window, int widthTwips, const QString &caption) : QLabel(window) {
    setObjectName(QStringLiteral("imgTitle"));
    twips::place(this, 0, 0, widthTwips, artwork::TitleHeightTwips);
    setPixmap(artwork::titleImage(widthTwips, caption));
    setAccessibleName(caption);
    // Moves arrive without a button too; only a drag started here moves the window.
    setMouseTracking(true);
}

void TitleImage::mousePressEvent(QMouseEvent *event) {
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    dragging_ = true;
    grabbedAt_ = QPoint(twips::fromPx(event->position().x()), twips::fromPx(event->position().y()));
}

void TitleImage::mouseMoveEvent(QMouseEvent *event) {
    if (!dragging_)
        return;
    // The grabbed point stays under the pointer; there is no clamping to the screen.
    const int dx = twips::fromPx(event->position().x()) - grabbedAt_.x();
    const int dy = twips::fromPx(event->position().y()) - grabbedAt_.y();
    QWidget *w = window();
    w->move(w->x() + twips::toPx(dx), w->y() + twips::toPx(dy));
    event->accept();
}

void TitleImage::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton)
        dragging_ = false;
    event->accept();
}
