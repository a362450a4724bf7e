#include "ui/formpictures.h"

#include "render/fonts.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace formpictures {
namespace {

constexpr QSize ScreenSizes[11] = {{0, 0},   {47, 11}, {16, 13}, {21, 22}, {18, 18}, {39, 8},
                                   {14, 11}, {13, 12}, {17, 14}, {12, 12}, {14, 11}};
constexpr QSize PaperSizes[11] = {{0, 0},   {462, 97}, {153, 124}, {21, 22}, {18, 18}, {340, 71},
                                  {64, 52}, {61, 56},  {67, 55},   {60, 65}, {65, 48}};

const QColor Ink(30, 30, 30);

// A font whose text fills at most the given box.
QFont fittingFont(const QString &text, const QRectF &box, bool italic) {
    QFont font = fonts::named(fonts::Arial, 8, true);
    font.setItalic(italic);
    for (int px = qMax(4, qRound(box.height())); px > 4; --px) {
        font.setPixelSize(px);
        if (QFontMetricsF(font).horizontalAdvance(text) <= box.width())
            break;
    }
    return font;
}

// A word in a rounded frame filling the picture, for the field marks.
void framedWord(QPainter &p, const QRectF &r, const QString &word) {
    const qreal pen = qMax(1.0, r.height() / 14);
    p.setPen(QPen(Ink, pen));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2), r.height() / 5, r.height() / 5);
    QFont font = fonts::named(fonts::Arial, 8, true);
    font.setPixelSize(qMax(4, qRound(r.height() * 0.62)));
    font.setStretch(word.size() > 2 ? QFont::Condensed : QFont::Unstretched);
    p.setFont(font);
    p.drawText(r, Qt::AlignCenter, word);
}

void paint(QPainter &p, int index, const QRectF &r) {
    const qreal w = r.width();
    const qreal h = r.height();
    switch (index) {
    case 1: { // heading mark
        p.setPen(Qt::NoPen);
        p.setBrush(Ink);
        p.drawRoundedRect(r, h / 4, h / 4);
        const QString title = QStringLiteral("TEL & ADDRESS");
        p.setFont(fittingFont(title, r.adjusted(h * 0.3, h * 0.12, -h * 0.3, -h * 0.12), false));
        p.setPen(Qt::white);
        p.drawText(r, Qt::AlignCenter, title);
        break;
    }
    case 2: { // telephone handset (format 0)
        QPainterPath handset;
        handset.moveTo(w * 0.18, h * 0.2);
        handset.cubicTo(w * 0.05, h * 0.65, w * 0.45, h * 0.95, w * 0.85, h * 0.82);
        p.setPen(QPen(Ink, qMax(1.5, h * 0.2), Qt::SolidLine, Qt::RoundCap));
        p.drawPath(handset);
        break;
    }
    case 3: // dash between two telephone parts
        p.setPen(QPen(Ink, qMax(1.0, h * 0.12), Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(w * 0.2, h * 0.5), QPointF(w * 0.8, h * 0.5));
        break;
    case 4: // registration mark
        p.setPen(QPen(Ink, 1));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(r.adjusted(w * 0.2, h * 0.2, -w * 0.2, -h * 0.2));
        p.drawLine(QPointF(w * 0.5, 0), QPointF(w * 0.5, h));
        p.drawLine(QPointF(0, h * 0.5), QPointF(w, h * 0.5));
        break;
    case 5: { // closing mark
        const QString signature = QStringLiteral("TelBora QX360");
        p.setFont(fittingFont(signature, r, true));
        p.setPen(Ink);
        p.drawText(r, Qt::AlignRight | Qt::AlignVCenter, signature);
        break;
    }
    case 6:
        framedWord(p, r, QStringLiteral("TEL"));
        break;
    case 7:
        framedWord(p, r, QStringLiteral("FAX"));
        break;
    case 8: { // house, the address line's mark; the postal mark "〒" is the card's text
        p.setPen(QPen(Ink, qMax(1.0, w / 14), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        const QPolygonF roof({QPointF(w * 0.1, h * 0.5), QPointF(w * 0.5, h * 0.1), QPointF(w * 0.9, h * 0.5)});
        p.drawPolyline(roof);
        p.drawRect(QRectF(w * 0.22, h * 0.45, w * 0.56, h * 0.45));
        p.drawRect(QRectF(w * 0.43, h * 0.62, w * 0.14, h * 0.28));
        break;
    }
    case 9: { // mobile phone
        p.setPen(QPen(Ink, qMax(1.0, w / 12)));
        p.setBrush(Qt::NoBrush);
        const QRectF body(w * 0.28, h * 0.05, w * 0.44, h * 0.9);
        p.drawRoundedRect(body, w * 0.08, w * 0.08);
        p.drawRect(QRectF(body.left() + body.width() * 0.18, body.top() + body.height() * 0.15, body.width() * 0.64,
                          body.height() * 0.5));
        break;
    }
    case 10:
        framedWord(p, r, QStringLiteral("@"));
        break;
    default:
        break;
    }
}

} // namespace

QSize pixelSize(int index, bool paper) {
    if (index < 1 || index > 10)
        return {};
    return paper ? PaperSizes[index] : ScreenSizes[index];
}

QPixmap picture(int index, bool paper) {
    const QSize size = pixelSize(index, paper);
    if (size.isEmpty())
        return {};
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    paint(p, index, QRectF(pixmap.rect()));
    return pixmap;
}

QList<QPixmap> all(bool paper) {
    QList<QPixmap> pictures;
    for (int index = 0; index <= 10; ++index)
        pictures.append(picture(index, paper));
    return pictures;
}

} // namespace formpictures
