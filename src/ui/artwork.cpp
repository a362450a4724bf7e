#include "ui/artwork.h"

#include "ui/fonts.h"
#include "ui/twips.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace artwork {
namespace {

QPixmap blank(QSize px) {
    QPixmap pixmap(px);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

}  // namespace

QPixmap titleImage(int widthTwips, const QString &caption) {
    QPixmap pixmap = blank(QSize(twips::toPx(widthTwips), twips::toPx(TitleHeightTwips)));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = pixmap.rect();
    QLinearGradient bar(r.topLeft(), r.bottomLeft());
    bar.setColorAt(0, QColor(70, 110, 170));
    bar.setColorAt(1, QColor(30, 60, 115));
    p.fillRect(r, bar);
    p.setPen(QColor(150, 180, 225));
    p.drawLine(r.topLeft(), r.topRight());

    // A small phone-book mark before the caption.
    const QRectF book(8, (r.height() - 17) / 2, 14, 17);
    p.setPen(QPen(QColor(255, 255, 255), 1));
    p.setBrush(QColor(240, 200, 90));
    p.drawRoundedRect(book, 2, 2);
    p.setPen(QPen(QColor(150, 100, 30), 1));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(book.left() + 4, book.top() + 5 + 3.5 * i), QPointF(book.right() - 3, book.top() + 5 + 3.5 * i));

    p.setPen(Qt::white);
    p.setFont(fonts::named(fonts::UiGothic, 9, true));
    p.drawText(r.adjusted(30, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft, caption);
    return pixmap;
}

QPixmap button(QSize px, const QString &caption, QColor face) {
    QPixmap pixmap = blank(px);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(pixmap.rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, face.lighter(150));
    fill.setColorAt(0.5, face.lighter(115));
    fill.setColorAt(1, face);
    p.setPen(QPen(face.darker(160), 1));
    p.setBrush(fill);
    const qreal radius = qMin(r.height() / 3, 5.0);
    p.drawRoundedRect(r, radius, radius);
    if (!caption.isEmpty()) {
        p.setPen(QColor(20, 30, 50));
        p.setFont(fonts::named(fonts::UiGothic, 9));
        p.drawText(r, Qt::AlignCenter, caption);
    }
    return pixmap;
}

QPixmap paper(QSize px) {
    QPixmap pixmap = blank(px);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF sheet = QRectF(pixmap.rect()).adjusted(3, 1, -3, -1);
    QPainterPath path;
    const qreal fold = qMin(sheet.width(), sheet.height()) / 4;
    path.moveTo(sheet.topLeft());
    path.lineTo(sheet.right() - fold, sheet.top());
    path.lineTo(sheet.right(), sheet.top() + fold);
    path.lineTo(sheet.bottomRight());
    path.lineTo(sheet.bottomLeft());
    path.closeSubpath();
    p.setPen(QPen(QColor(110, 110, 110), 1));
    p.setBrush(Qt::white);
    p.drawPath(path);
    p.drawLine(QPointF(sheet.right() - fold, sheet.top()), QPointF(sheet.right() - fold, sheet.top() + fold));
    p.drawLine(QPointF(sheet.right() - fold, sheet.top() + fold), QPointF(sheet.right(), sheet.top() + fold));
    // Ruled lines of a card.
    p.setPen(QPen(QColor(160, 180, 210), 1));
    for (qreal y = sheet.top() + fold + 5; y < sheet.bottom() - 4; y += 6)
        p.drawLine(QPointF(sheet.left() + 5, y), QPointF(sheet.right() - 5, y));
    return pixmap;
}

QPixmap printer(QSize px) {
    QPixmap pixmap = blank(px);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(pixmap.rect()).adjusted(1, 1, -1, -1);
    // Paper slot on top, then the body with its output tray.
    const QRectF slot(r.left() + r.width() * 0.18, r.top(), r.width() * 0.64, r.height() * 0.18);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(QColor(90, 90, 95));
    p.drawRoundedRect(slot, 2, 2);
    const QRectF body(r.left(), slot.bottom() - 2, r.width(), r.height() * 0.62);
    QLinearGradient shade(body.topLeft(), body.bottomLeft());
    shade.setColorAt(0, QColor(200, 205, 212));
    shade.setColorAt(1, QColor(140, 145, 155));
    p.setBrush(shade);
    p.drawRoundedRect(body, 4, 4);
    p.setBrush(QColor(40, 40, 40));
    p.drawRect(QRectF(body.left() + body.width() * 0.15, body.top() + body.height() * 0.35,
                      body.width() * 0.7, 3));
    p.setBrush(QColor(80, 200, 110));
    p.drawEllipse(QPointF(body.right() - 9, body.bottom() - 8), 3, 3);
    const QRectF tray(r.left() + r.width() * 0.1, body.bottom() - 1, r.width() * 0.8, r.bottom() - body.bottom());
    p.setBrush(QColor(170, 175, 182));
    p.drawRect(tray);
    return pixmap;
}

}  // namespace artwork
