#pragma once

#include "render/drawtarget.h"

#include <QPainter>
#include <QPixmap>

#include <QStringList>
#include <QWidget>
#include <memory>

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
    void drawGlyphs(const GlyphRun &run, QColor colour) override;

    void setRecorder(DrawTarget *recorder) { recorder_ = recorder; }
    // The picture as drawn so far.
    const QPixmap &picture();

protected:
    void paintEvent(QPaintEvent *) override;
    void resizeEvent(QResizeEvent *) override;

private:
    QPixmap blankPicture() const;
    // One painter serves a run of drawing calls: opening one per call costs
    // more than the drawing. It ends before the picture is shown or replaced.
    DrawTarget &painter();
    void endPainting();

    QColor background_;
    QPixmap buffer_;
    std::unique_ptr<QPainter> painter_;
    std::unique_ptr<DrawTarget> target_;
    DrawTarget *recorder_ = nullptr;
};
