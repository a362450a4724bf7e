// Links the render layer alone (Qt Gui, no widgets, no printer): a test sheet
// drawn onto an image through the drawing target.
#include "render/drawtarget.h"
#include "render/fonts.h"
#include "render/testsheet.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>

namespace {
// Twips onto an image at 1 pixel a millimetre's tenth.
class ImageTarget : public DrawTarget {
public:
    QImage image{1000, 1480, QImage::Format_RGB32};
    int texts = 0;
    ImageTarget() { image.fill(Qt::white); }
    void clear() override { image.fill(Qt::white); }
    void drawLine(QPoint from, QPoint to, const PenSpec &pen) override {
        QPainter p(&image);
        p.setPen(QPen(pen.colour, 1, pen.style));
        p.drawLine(px(from), px(to));
    }
    void drawText(const QString &text, QPoint topLeft, const FontSpec &font, QColor colour) override {
        QPainter p(&image);
        p.setFont(QFont(font.name, int(font.size)));
        p.setPen(colour);
        p.drawText(px(topLeft), text);
        ++texts;
    }
    void drawGlyphs(const GlyphRun &, QColor) override {}
    void drawPicture(const QPixmap &, const QRect &) override {}

private:
    static QPoint px(QPoint twips) { return twips * 254 / 1440; }
};
} // namespace

int main(int argc, char *argv[]) {
    QGuiApplication app(argc, argv);
    fonts::installFontMap();
    ImageTarget target;
    testsheet::printSheet(target, {100, 148}, {QRectF(4, 125, 4, 6)}, QStringLiteral("smoke"), {});
    int dark = 0;
    for (int y = 0; y < target.image.height(); ++y)
        for (int x = 0; x < target.image.width(); ++x)
            dark += qGray(target.image.pixel(x, y)) < 128;
    if (dark < 1000 || target.texts == 0) {
        std::fprintf(stderr, "smoke_render: no sheet drawn (%d dark pixels, %d texts)\n", dark, target.texts);
        return 1;
    }
    std::printf("smoke_render: %d dark pixels, %d texts\n", dark, target.texts);
    return 0;
}
