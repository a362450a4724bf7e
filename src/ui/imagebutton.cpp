#include "ui/imagebutton.h"

#include "ui/artwork.h"
#include "ui/twips.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

namespace {

// What a screen reader sees of an image button: a push button, its name the
// caption, pressed through its action as a click presses it.
class ImageButtonAccessible : public QAccessibleWidget {
public:
    explicit ImageButtonAccessible(ImageButton *button) : QAccessibleWidget(button, QAccessible::Button) {}
    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }
    void doAction(const QString &action) override {
        // Later, from the event loop: a click may ask a question, and the
        // screen reader that pressed waits for this call to return.
        if (action == pressAction())
            QTimer::singleShot(0, widget(), [button = static_cast<ImageButton *>(widget())] { button->click(); });
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface *accessibleImageButton(const QString &className, QObject *object) {
    if (className == QLatin1String("ImageButton") && object && object->isWidgetType())
        return new ImageButtonAccessible(static_cast<ImageButton *>(object));
    return nullptr;
}

} // namespace

ImageButton::ImageButton(QWidget *parent, const QString &name) : QLabel(parent) {
    static const bool accessible = (QAccessible::installFactory(accessibleImageButton), true);
    Q_UNUSED(accessible);
    setObjectName(name);
    setFocusPolicy(Qt::TabFocus); // the mouse keeps the focus where it was
    setCursor(Qt::PointingHandCursor);
}

void ImageButton::keyPressEvent(QKeyEvent *event) {
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        click();
        return;
    default:
        QLabel::keyPressEvent(event);
    }
}

void ImageButton::click() {
    if (isEnabled())
        emit clicked();
}

void ImageButton::paintEvent(QPaintEvent *event) {
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(1, 1, -2, -2));
}

void ImageButton::setPositions(QPoint atRest, QPoint pressed) {
    rest_ = atRest;
    pressed_ = pressed;
    twips::move(this, atRest.x(), atRest.y());
}

void ImageButton::setPictures(const QPixmap &atRest, const QPixmap &pressed) {
    restPicture_ = atRest;
    pressedPicture_ = pressed;
    setPixmap(atRest);
}

void ImageButton::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton) {
        event->accept(); // other buttons do nothing, here or in the window below
        return;
    }
    down_ = true;
    if (pressed_)
        twips::move(this, pressed_->x(), pressed_->y());
    if (!pressedPicture_.isNull())
        setPixmap(pressedPicture_);
    event->accept();
}

void ImageButton::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    const bool wasDown = down_;
    down_ = false;
    if (pressed_)
        twips::move(this, rest_.x(), rest_.y());
    if (!restPicture_.isNull())
        setPixmap(restPicture_);
    event->accept();
    // The release position is taken against the pressed geometry, where the
    // pointer was when the button let go.
    if (wasDown && rect().contains(event->position().toPoint()))
        emit clicked();
}

ImageButton *makeImageButton(QWidget *parent, const QString &name, QRect atRest, QPoint pressed, const QString &caption,
                             QColor face) {
    auto *button = new ImageButton(parent, name);
    twips::place(button, atRest.x(), atRest.y(), atRest.width(), atRest.height());
    button->setPositions(atRest.topLeft(), pressed);
    button->setPixmap(artwork::button(button->size(), caption, face));
    button->setAccessibleName(caption);
    return button;
}

QLabel *makeButtonLabel(QWidget *button, const QString &name, const QString &caption, const QRect &twipGeometry,
                        const QFont &font) {
    auto *label = new QLabel(caption, button);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    label->setFont(font);
    // A plain label ignores mouse events, so Qt passes them on to the button.
    twips::place(label, twipGeometry.x(), twipGeometry.y(), twipGeometry.width(), twipGeometry.height());
    button->setAccessibleName(caption);
    return label;
}

void setButtonCaption(QLabel *label, const QString &caption) {
    label->setText(caption);
    label->parentWidget()->setAccessibleName(caption);
}
