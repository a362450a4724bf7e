#include "ui/picturebox.h"

#include "render/fonts.h"
#include "render/verticaltext.h"
#include "ui/twips.h"

#include <QFontMetricsF>
#include <QPainter>

PictureBox::PictureBox(QWidget *parent, const QString &name, QColor background)
    : QWidget(parent), background_(background) {
    setObjectName(name);
}

QPixmap PictureBox::blankPicture() const {
    // At the screen's pixel density, so that lines and text stay sharp on high-DPI screens.
    const qreal ratio = devicePixelRatioF();
    QPixmap picture(size() * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(background_);
    return picture;
}

QPainter &PictureBox::painter() {
    if (!painter_)
        painter_ = std::make_unique<QPainter>(&buffer_);
    return *painter_;
}

void PictureBox::endPainting() {
    painter_.reset();
}

const QPixmap &PictureBox::picture() {
    endPainting();
    return buffer_;
}

void PictureBox::resizeEvent(QResizeEvent *) {
    if (buffer_.deviceIndependentSize().toSize() == size())
        return;
    endPainting();
    QPixmap resized = blankPicture();
    if (!buffer_.isNull()) {
        QPainter p(&resized);
        p.drawPixmap(0, 0, buffer_);
    }
    buffer_ = resized;
}

void PictureBox::clear() {
    if (recorder_)
        recorder_->clear();
    endPainting();
    if (buffer_.isNull() || buffer_.deviceIndependentSize().toSize() != size())
        buffer_ = blankPicture();
    else
        buffer_.fill(background_);
    update();
}

void PictureBox::drawLine(QPoint from, QPoint to, const PenSpec &pen) {
    if (recorder_)
        recorder_->drawLine(from, to, pen);
    QPainter &p = painter();
    QPen qpen(pen.colour, pen.width, pen.style);
    qpen.setCapStyle(Qt::FlatCap);
    p.setPen(qpen);
    // Pixel centres, so that a one-pixel line is one crisp row of pixels.
    const auto px = [](QPoint t) {
        return QPointF(qFloor(twips::toPxF(t.x())) + 0.5, qFloor(twips::toPxF(t.y())) + 0.5);
    };
    p.drawLine(px(from), px(to));
    update();
}

void PictureBox::drawText(const QString &text, QPoint topLeft, const FontSpec &font, QColor colour) {
    if (recorder_)
        recorder_->drawText(text, topLeft, font, colour);
    QPainter &p = painter();
    p.setRenderHint(QPainter::TextAntialiasing);
    if (!(font == lastFont_) || lastFont_.name.isEmpty()) {
        lastFont_ = font;
        lastQFont_ = fonts::named(font.name, font.size, font.bold);
        lastAscent_ = QFontMetricsF(lastQFont_, &buffer_).ascent();
    }
    p.setFont(lastQFont_);
    p.setPen(colour);
    p.drawText(QPointF(twips::toPxF(topLeft.x()), twips::toPxF(topLeft.y()) + lastAscent_), text);
    update();
}

void PictureBox::drawGlyphs(const GlyphRun &run, QColor colour) {
    if (recorder_)
        recorder_->drawGlyphs(run, colour);
    QPainter &p = painter();
    p.setRenderHint(QPainter::TextAntialiasing);
    verticaltext::paint(p, run, colour, twips::toPxF(1));
    update();
}

void PictureBox::drawPicture(const QPixmap &picture, const QRect &area) {
    if (recorder_)
        recorder_->drawPicture(picture, area);
    QPainter &p = painter();
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(
        QRectF(twips::toPxF(area.x()), twips::toPxF(area.y()), twips::toPxF(area.width()), twips::toPxF(area.height())),
        picture, QRectF(picture.rect()));
    update();
}

void PictureBox::paintEvent(QPaintEvent *) {
    endPainting();
    QPainter p(this);
    p.drawPixmap(0, 0, buffer_);
}
