#pragma once

#include <QLabel>
#include <QPixmap>
#include <QPoint>
#include <optional>

// A picture that acts as a button: pressed, it shifts to its pressed position
// (or shows its pressed picture); released, it returns to rest. A click needs
// the press and the release on the button. Labels placed inside it pass their
// mouse events on, so pressing the caption is pressing the button. It takes
// the focus with Tab, shows a focus frame, and Space or Enter act as a click.
// A screen reader sees a push button named by its caption, with a press action.
class ImageButton : public QLabel {
    Q_OBJECT
public:
    ImageButton(QWidget *parent, const QString &name);

    // Both positions in twips. They are absolute, so repeated presses never drift.
    void setPositions(QPoint atRest, QPoint pressed);
    // For a button that changes its picture instead of moving.
    void setPictures(const QPixmap &atRest, const QPixmap &pressed);

    // Acts as a click does (keyboard, screen reader); nothing when disabled.
    void click();

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QPoint rest_;
    std::optional<QPoint> pressed_;
    QPixmap restPicture_;
    QPixmap pressedPicture_;
    bool down_ = false;
};

// An image button at its twip geometry and positions, its picture carrying the caption.
ImageButton *makeImageButton(QWidget *parent, const QString &name, QRect atRest, QPoint pressed, const QString &caption,
                             QColor face = QColor(120, 160, 210));

// A caption inside an image button; mouse events go to the button. The
// button's accessible name follows the caption (setButtonCaption).
QLabel *makeButtonLabel(QWidget *button, const QString &name, const QString &caption, const QRect &twipGeometry,
                        const QFont &font);
// Changes the caption of a label made by makeButtonLabel, and so the button's accessible name.
void setButtonCaption(QLabel *label, const QString &caption);
