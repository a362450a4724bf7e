#pragma once

#include <QLabel>

// The title strip of a window: its picture, and dragging it moves the window.
class TitleImage : public QLabel {
    Q_OBJECT
public:
    TitleImage(QWidget *window, int widthTwips, const QString &caption);

    // Whether a drag started here is under way, and the grabbed point in twips.
    bool dragging() const { return dragging_; }
    QPoint grabbedAt() const { return grabbedAt_; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool dragging_ = false;
    QPoint grabbedAt_;
};
