#pragma once

#include "render/drawtarget.h"

#include <QFont>

class QPainter;

// Drawing calls in twips onto a painter: what a picture box does to its
// picture, and a drawn view to its viewport while it paints. A recorder, when
// given, sees every call as well.
class PainterTarget : public DrawTarget {
public:
    // `measuring`: the device the text's ascent is measured on.
    PainterTarget(QPainter &painter, QPaintDevice *measuring, DrawTarget *recorder = nullptr);

    // Nothing to clear: the owner fills its background.
    void clear() override;
    void drawLine(QPoint from, QPoint to, const PenSpec &pen) override;
    void drawText(const QString &text, QPoint topLeft, const FontSpec &font, QColor colour) override;
    void drawPicture(const QPixmap &picture, const QRect &area) override;
    void drawGlyphs(const GlyphRun &run, QColor colour) override;

private:
    QPainter &painter_;
    QPaintDevice *measuring_;
    DrawTarget *recorder_;
    // The font of the last text and its ascent: a page writes dozens of texts in one font.
    FontSpec lastFont_;
    QFont lastQFont_;
    qreal lastAscent_ = 0;
};
