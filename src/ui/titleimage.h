#pragma once

#include <QLabel>

// The title strip of a window: its picture, and dragging it moves the window.
class TitleImage : public QLabel {
    Q_OBJECT
public:
    TitleImage(QWidget *window, int widthTwips, const QString &caption);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};
