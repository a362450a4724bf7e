#pragma once

#include "render/drawtarget.h"

#include <QPixmap>
#include <QWidget>

// A picture area on screen: drawing goes into an off-screen picture that the
// widget paints; clearing refills it with the background. A recorder may be
// attached to see every call as well.
class PictureBox : public QWidget, public DrawTarget {
    Q_OBJECT
public:
    PictureBox(QWidget *parent, const QString &name, QColor background = Qt::white);

    void clear() override;
    void drawLine(QPoint from, QPoint to, const PenSpec &pen) override;
    void drawText(const QString &text, QPoint topLeft, const FontSpec &font, QColor colour) override;
    void drawPicture(const QPixmap &picture, const QRect &area) override;

    void setRecorder(DrawTarget *recorder) { recorder_ = recorder; }
    const QPixmap &picture() const { return buffer_; }

protected:
    void paintEvent(QPaintEvent *) override;
    void resizeEvent(QResizeEvent *) override;

private:
    QPixmap blankPicture() const;

    QColor background_;
    QPixmap buffer_;
    DrawTarget *recorder_ = nullptr;
};
