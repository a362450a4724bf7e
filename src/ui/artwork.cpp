#include "ui/artwork.h"

#include "render/fonts.h"
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

// The product's blue, darker to the bottom right.
QLinearGradient sky(const QRectF &r) {
    QLinearGradient gradient(r.topLeft(), r.bottomRight());
    gradient.setColorAt(0, QColor(60, 100, 165));
    gradient.setColorAt(1, QColor(20, 45, 95));
    return gradient;
}

// A phone book with coloured category tabs and a telephone on its cover.
void drawPhoneBook(QPainter &p, const QRectF &book) {
    for (int c = 1; c <= 5; ++c) {
        p.setPen(Qt::NoPen);
        p.setBrush(categoryColour(c));
        p.drawRoundedRect(
            QRectF(book.right() - 4, book.top() + 10 + (c - 1) * book.height() / 5.6, 14, book.height() / 7), 3, 3);
    }
    p.setPen(QPen(QColor(120, 80, 20), 2));
    p.setBrush(QColor(245, 205, 100));
    p.drawRoundedRect(book, 8, 8);
    p.setPen(QPen(QColor(150, 100, 30), 2));
    for (int ring = 0; ring < 5; ++ring) {
        const qreal y = book.top() + 14 + ring * (book.height() - 28) / 4;
        p.drawLine(QPointF(book.left() - 5, y), QPointF(book.left() + 9, y));
    }
    p.setPen(QColor(110, 70, 20));
    QFont phone = fonts::named(fonts::UiGothic, 20, true);
    phone.setPixelSize(qMax(8, int(book.height() * 0.2)));
    p.setFont(phone);
    p.drawText(book, Qt::AlignCenter, QStringLiteral("☎"));
}

} // namespace

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
        p.drawLine(QPointF(book.left() + 4, book.top() + 5 + 3.5 * i),
                   QPointF(book.right() - 3, book.top() + 5 + 3.5 * i));

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
    p.drawRect(QRectF(body.left() + body.width() * 0.15, body.top() + body.height() * 0.35, body.width() * 0.7, 3));
    p.setBrush(QColor(80, 200, 110));
    p.drawEllipse(QPointF(body.right() - 9, body.bottom() - 8), 3, 3);
    const QRectF tray(r.left() + r.width() * 0.1, body.bottom() - 1, r.width() * 0.8, r.bottom() - body.bottom());
    p.setBrush(QColor(170, 175, 182));
    p.drawRect(tray);
    return pixmap;
}

QColor categoryColour(int category) {
    static const QColor colours[] = {QColor(252, 182, 220), QColor(252, 206, 164), QColor(252, 254, 124),
                                     QColor(220, 238, 148), QColor(164, 222, 236)};
    if (category >= 1 && category <= 5)
        return colours[category - 1];
    return QColor(204, 206, 204);
}

QPixmap categoryTag(int category) {
    QPixmap pixmap(28, 19);
    pixmap.fill(categoryColour(category));
    return pixmap;
}

QPixmap openButton(bool pressed) {
    QPixmap pixmap = button(QSize(27, 19), {}, pressed ? QColor(90, 130, 190) : QColor(130, 170, 220));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // An arrow pointing into the entry.
    const QPointF c(13.5 + (pressed ? 1 : 0), 9.5 + (pressed ? 1 : 0));
    QPolygonF arrow({c + QPointF(-3, -5), c + QPointF(3, 0), c + QPointF(-3, 5)});
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(arrow);
    return pixmap;
}

QPixmap closeButton(bool pressed) {
    QPixmap pixmap = blank(QSize(17, 17));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0.5, 0.5, 16, 16);
    p.setPen(QPen(QColor(120, 30, 30), 1));
    p.setBrush(pressed ? QColor(160, 40, 40) : QColor(215, 75, 70));
    p.drawRoundedRect(r, 3, 3);
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
    const qreal o = pressed ? 1 : 0;
    p.drawLine(QPointF(5 + o, 5 + o), QPointF(12 + o, 12 + o));
    p.drawLine(QPointF(12 + o, 5 + o), QPointF(5 + o, 12 + o));
    return pixmap;
}

QPixmap listHeader(QSize px) {
    QPixmap pixmap(px);
    QPainter p(&pixmap);
    QLinearGradient fill(0, 0, 0, px.height());
    fill.setColorAt(0, QColor(110, 145, 195));
    fill.setColorAt(1, QColor(70, 105, 160));
    p.fillRect(pixmap.rect(), fill);
    p.setPen(Qt::white);
    p.setFont(fonts::named(fonts::UiGothic, 8, true));
    // Column edges as in the list below, in twips.
    const int edges[] = {0, 370, 810, 3400, 4650, 5330};
    const char16_t *titles[] = {u"索", u"分類", u"氏名", u"住所", u"詳細"};
    for (int i = 0; i < 5; ++i) {
        const QRectF column(twips::toPxF(edges[i]), 0, twips::toPxF(edges[i + 1] - edges[i]), px.height());
        p.drawText(column, Qt::AlignCenter, QString::fromUtf16(titles[i]));
        if (i > 0) {
            p.setPen(QColor(160, 185, 225));
            p.drawLine(QPointF(column.left() + 0.5, 3), QPointF(column.left() + 0.5, px.height() - 3));
            p.setPen(Qt::white);
        }
    }
    return pixmap;
}

QPixmap splash(QSize px) {
    QPixmap pixmap(px);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = pixmap.rect();
    p.fillRect(r, sky(r));

    drawPhoneBook(p, QRectF(r.width() * 0.27, r.height() * 0.14, r.width() * 0.46, r.height() * 0.46));

    p.setPen(Qt::white);
    p.setFont(fonts::named(fonts::UiGothic, 18, true));
    p.drawText(QRectF(0, r.height() * 0.64, r.width(), r.height() * 0.14), Qt::AlignCenter, QStringLiteral("テルボラ"));
    p.setFont(fonts::named(fonts::Arial, 12, true));
    p.setPen(QColor(250, 210, 110));
    p.drawText(QRectF(0, r.height() * 0.78, r.width(), r.height() * 0.1), Qt::AlignCenter, QStringLiteral("QX360"));
    p.setFont(fonts::named(fonts::UiGothic, 7));
    p.setPen(QColor(200, 215, 240));
    p.drawText(QRectF(0, r.height() * 0.89, r.width(), r.height() * 0.08), Qt::AlignCenter,
               QStringLiteral("電話帳・カード印刷"));
    return pixmap;
}

QPixmap appIcon(int size) {
    QPixmap pixmap = blank(QSize(size, size));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = pixmap.rect();
    p.setPen(Qt::NoPen);
    p.setBrush(sky(r));
    p.drawRoundedRect(r.adjusted(size * 0.03, size * 0.03, -size * 0.03, -size * 0.03), size * 0.16, size * 0.16);
    drawPhoneBook(p, QRectF(size * 0.22, size * 0.16, size * 0.54, size * 0.68));
    return pixmap;
}

QPixmap fieldIcon(FieldIcon kind, QSize px) {
    QPixmap pixmap = blank(px);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = px.width();
    const qreal h = px.height();
    const QColor ink(50, 80, 130);
    p.setPen(QPen(ink, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(200, 220, 245));
    switch (kind) {
    case FieldIcon::Address: {
        // A house.
        QPolygonF roof({QPointF(w * 0.1, h * 0.5), QPointF(w * 0.5, h * 0.12), QPointF(w * 0.9, h * 0.5)});
        p.drawRect(QRectF(w * 0.22, h * 0.45, w * 0.56, h * 0.45));
        p.drawPolyline(roof);
        p.setBrush(ink);
        p.drawRect(QRectF(w * 0.43, h * 0.62, w * 0.14, h * 0.28));
        break;
    }
    case FieldIcon::Telephone: {
        // A handset.
        QPainterPath handset;
        handset.moveTo(w * 0.2, h * 0.25);
        handset.cubicTo(w * 0.15, h * 0.6, w * 0.4, h * 0.85, w * 0.75, h * 0.8);
        p.setPen(QPen(ink, w * 0.16, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(handset);
        break;
    }
    case FieldIcon::Fax:
        p.drawRect(QRectF(w * 0.1, h * 0.45, w * 0.8, h * 0.45));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(w * 0.28, h * 0.1, w * 0.44, h * 0.42));
        p.drawLine(QPointF(w * 0.35, h * 0.25), QPointF(w * 0.65, h * 0.25));
        p.drawLine(QPointF(w * 0.35, h * 0.37), QPointF(w * 0.65, h * 0.37));
        break;
    case FieldIcon::Mobile:
        p.drawRoundedRect(QRectF(w * 0.3, h * 0.08, w * 0.4, h * 0.84), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(w * 0.37, h * 0.2, w * 0.26, h * 0.45));
        break;
    case FieldIcon::Email:
        p.drawRect(QRectF(w * 0.1, h * 0.25, w * 0.8, h * 0.5));
        p.drawPolyline(QPolygonF({QPointF(w * 0.1, h * 0.25), QPointF(w * 0.5, h * 0.55), QPointF(w * 0.9, h * 0.25)}));
        break;
    }
    return pixmap;
}

} // namespace artwork
