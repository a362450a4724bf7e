#include "ui/skin.h"

#include "store/book.h"
#include "store/mdlDim.h"

#include "ui/artwork.h"
#include "ui/twips.h"

#include "ui/frameline.h"

#include <QAccessibleWidget>
#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QWidget>

namespace skin {

QString bookCaption(const Book &book) {
    return book.readOnlyReason().isEmpty() ? ProductCaption : ProductCaption + QStringLiteral("（読み取り専用）");
}
namespace {

// Activates a window each time it is shown, so that typing reaches its first
// box at once under a window manager too.
class ActivateOnShow : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Show) {
            static_cast<QWidget *>(watched)->activateWindow();
        }
        return false;
    }
};

const char *const SkinnedWindowProperty = "telboraSkinnedWindow";

// A frameless window of ours is a frame to a screen reader, as a decorated
// one is; Qt would call a plain top-level widget a filler. Dialogs stay dialogs.
QAccessibleInterface *accessibleWindow(const QString &, QObject *object) {
    auto *window = qobject_cast<QWidget *>(object);
    if (!window || !window->isWindow() || qobject_cast<QDialog *>(window) ||
        !window->property(SkinnedWindowProperty).toBool())
        return nullptr;
    return new QAccessibleWidget(window, QAccessible::Window);
}

} // namespace

void bringToFront(QWidget *window) {
    window->show();
    window->raise();
    window->activateWindow();
}

void setUpWindow(QWidget *window, const QString &name, int widthTwips, int heightTwips, const QString &caption) {
    static const bool accessible = (QAccessible::installFactory(accessibleWindow), true);
    Q_UNUSED(accessible);
    window->setProperty(SkinnedWindowProperty, true);
    window->setObjectName(name);
    window->setWindowFlag(Qt::FramelessWindowHint);
    window->setWindowTitle(caption);
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, artwork::WindowBackground);
    window->setPalette(palette);
    window->setAutoFillBackground(true);
    window->setFixedSize(twips::toPx(widthTwips), twips::toPx(heightTwips));
    window->installEventFilter(new ActivateOnShow(window));
}

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &caption, QRect twipGeometry, const QFont &font) {
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setFont(font);
    twips::place(label, twipGeometry.x(), twipGeometry.y(), twipGeometry.width(), twipGeometry.height());
    return label;
}

std::tuple<FrameLine *, FrameLine *, FrameLine *> addBorder(QWidget *window, int widthTwips, int heightTwips, int top,
                                                            const QString &bottomName, int sidesEnd) {
    const int right = widthTwips - twips::PerPixel;
    const int bottom = heightTwips - twips::PerPixel;
    const int sides = sidesEnd < 0 ? bottom : sidesEnd;
    return {new FrameLine(window, QStringLiteral("linLeft"), 0, top, 0, sides),
            new FrameLine(window, QStringLiteral("linRight"), right, sides, right, top),
            new FrameLine(window, bottomName, 0, bottom, widthTwips, bottom)};
}

} // namespace skin
