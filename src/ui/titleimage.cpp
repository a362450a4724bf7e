#include "ui/titleimage.h"

#include "store/mdlDim.h"
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
    mdlDim::DragActive = true;
    mdlDim::DragX = twips::fromPx(event->position().x());
    mdlDim::DragY = twips::fromPx(event->position().y());
}

void TitleImage::mouseMoveEvent(QMouseEvent *event) {
    if (!mdlDim::DragActive)
        return;
    // The grabbed point stays under the pointer; there is no clamping to the screen.
    const int dx = twips::fromPx(event->position().x()) - mdlDim::DragX;
    const int dy = twips::fromPx(event->position().y()) - mdlDim::DragY;
    QWidget *w = window();
    w->move(w->x() + twips::toPx(dx), w->y() + twips::toPx(dy));
    event->accept();
}

void TitleImage::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton)
        mdlDim::DragActive = false;
    event->accept();
}
