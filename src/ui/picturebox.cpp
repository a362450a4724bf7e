#include "ui/picturebox.h"

#include "ui/paintertarget.h"

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

DrawTarget &PictureBox::painter() {
    if (!painter_) {
        painter_ = std::make_unique<QPainter>(&buffer_);
        target_ = std::make_unique<PainterTarget>(*painter_, &buffer_);
    }
    return *target_;
}

void PictureBox::endPainting() {
    target_.reset();
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
    painter().drawLine(from, to, pen);
    update();
}

void PictureBox::drawText(const QString &text, QPoint topLeft, const FontSpec &font, QColor colour) {
    if (recorder_)
        recorder_->drawText(text, topLeft, font, colour);
    painter().drawText(text, topLeft, font, colour);
    update();
}

void PictureBox::drawGlyphs(const GlyphRun &run, QColor colour) {
    if (recorder_)
        recorder_->drawGlyphs(run, colour);
    painter().drawGlyphs(run, colour);
    update();
}

void PictureBox::drawPicture(const QPixmap &picture, const QRect &area) {
    if (recorder_)
        recorder_->drawPicture(picture, area);
    painter().drawPicture(picture, area);
    update();
}

void PictureBox::paintEvent(QPaintEvent *) {
    endPainting();
    QPainter p(this);
    p.drawPixmap(0, 0, buffer_);
}
