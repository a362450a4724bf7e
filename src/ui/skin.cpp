#include "ui/skin.h"

#include "ui/artwork.h"
#include "ui/twips.h"

#include <QWidget>

namespace skin {

void setUpWindow(QWidget *window, const QString &name, int widthTwips, int heightTwips, const QString &caption) {
    window->setObjectName(name);
    window->setWindowFlag(Qt::FramelessWindowHint);
    window->setWindowTitle(caption);
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, artwork::WindowBackground);
    window->setPalette(palette);
    window->setAutoFillBackground(true);
    window->setFixedSize(twips::toPx(widthTwips), twips::toPx(heightTwips));
}

}  // namespace skin
