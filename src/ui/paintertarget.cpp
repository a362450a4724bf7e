#include "ui/paintertarget.h"

#include "render/fonts.h"
#include "render/verticaltext.h"
#include "ui/twips.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QtMath>

PainterTarget::PainterTarget(QPainter &painter, QPaintDevice *measuring, DrawTarget *recorder)
    : painter_(painter), measuring_(measuring), recorder_(recorder) {}

void PainterTarget::clear() {
    if (recorder_)
        recorder_->clear();
}

void PainterTarget::drawLine(QPoint from, QPoint to, const PenSpec &pen) {
    if (recorder_)
        recorder_->drawLine(from, to, pen);
    QPen qpen(pen.colour, pen.width, pen.style);
    qpen.setCapStyle(Qt::FlatCap);
    painter_.setPen(qpen);
    // Pixel centres, so that a one-pixel line is one crisp row of pixels.
    const auto px = [](QPoint t) {
        return QPointF(qFloor(twips::toPxF(t.x())) + 0.5, qFloor(twips::toPxF(t.y())) + 0.5);
    };
    painter_.drawLine(px(from), px(to));
}

void PainterTarget::drawText(const QString &text, QPoint topLeft, const FontSpec &font, QColor colour) {
    if (recorder_)
        recorder_->drawText(text, topLeft, font, colour);
    painter_.setRenderHint(QPainter::TextAntialiasing);
    if (!(font == lastFont_) || lastFont_.name.isEmpty()) {
        lastFont_ = font;
        lastQFont_ = fonts::named(font.name, font.size, font.bold);
        lastAscent_ = QFontMetricsF(lastQFont_, measuring_).ascent();
    }
    painter_.setFont(lastQFont_);
    painter_.setPen(colour);
    painter_.drawText(QPointF(twips::toPxF(topLeft.x()), twips::toPxF(topLeft.y()) + lastAscent_), text);
}

void PainterTarget::drawGlyphs(const GlyphRun &run, QColor colour) {
    if (recorder_)
        recorder_->drawGlyphs(run, colour);
    painter_.setRenderHint(QPainter::TextAntialiasing);
    verticaltext::paint(painter_, run, colour, twips::toPxF(1));
}

void PainterTarget::drawPicture(const QPixmap &picture, const QRect &area) {
    if (recorder_)
        recorder_->drawPicture(picture, area);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform);
    painter_.drawPixmap(
        QRectF(twips::toPxF(area.x()), twips::toPxF(area.y()), twips::toPxF(area.width()), twips::toPxF(area.height())),
        picture, QRectF(picture.rect()));
}
