#include "render/labels.h"

#include "render/addressee.h"
#include "render/drawtarget.h"
#include "render/fonts.h"
#include "render/twipunits.h"
#include "store/postalcodes.h"

#include <QRawFont>

namespace labels {
namespace {

constexpr double PaddingMm = 3.5;
constexpr double CodePointSize = 9.0;
constexpr double AddressPointSize = 10.0;
constexpr double NamePointSize = 13.0;
const QColor Ink(0, 0, 0);

QPoint onTarget(postcard::Placement at, QPointF mm) {
    return (at.origin + mm * twips::PerMm * at.scale).toPoint();
}

// The text's advance in the font's own unhinted metrics, as a PDF or a
// printer lays it out (the screen's hinted metrics run narrower).
double widthMm(const QString &text, double pointSize) {
    // Kept to the end of the process: no font engine in a static destructor.
    static const auto *mincho = new QRawFont(QRawFont::fromFont(fonts::named(fonts::Mincho, 12)));
    QRawFont raw = *mincho;
    raw.setPixelSize(pointSize * twips::MmPerInch / 72.0); // so that its metrics are millimetres
    double width = 0;
    for (const QPointF &advance : raw.advancesForGlyphIndexes(raw.glyphIndexesForString(text)))
        width += advance.x();
    return width;
}

// `text` broken into lines no wider than `width` (mm), at characters.
QStringList wrapped(const QString &text, double pointSize, double width) {
    QStringList lines;
    QString line;
    for (const QChar c : text) {
        if (!line.isEmpty() && widthMm(line + c, pointSize) > width) {
            lines.append(line);
            line.clear();
        }
        line.append(c);
    }
    if (!line.isEmpty())
        lines.append(line);
    return lines;
}

// The largest size up to `preferred` at which every one of `lines` fits `width`.
double fittedSize(const QStringList &lines, double preferred, double width) {
    double size = preferred;
    for (const QString &line : lines)
        if (const double w = widthMm(line, preferred); w > width)
            size = std::min(size, preferred * width / w);
    return size;
}

} // namespace

SheetLayout layoutOf(int perSheet) {
    if (perSheet == 12)
        return {2, 6, {86.4, 42.3}, 18.6, 21.2};
    return {3, 8, {66.0, 33.9}, 6.0, 12.9};
}

QRectF cellMm(const SheetLayout &layout, int index) {
    const int column = index % layout.columns;
    const int row = (index / layout.columns) % layout.rows;
    return {QPointF(layout.leftMm + column * layout.labelMm.width(), layout.topMm + row * layout.labelMm.height()),
            layout.labelMm};
}

void drawLabel(DrawTarget &target, const postcard::Recipient &recipient, const QRectF &cellMm, postcard::Placement at) {
    const QRectF inner = cellMm.adjusted(PaddingMm, PaddingMm - 0.5, -PaddingMm, -PaddingMm + 0.5);
    const addressee::Address address = addressee::cardAddress(recipient.address, recipient.person.buildingBreak);
    QString digits = postalcodes::digitsOf(recipient.postalCode);
    if (digits.isEmpty())
        digits = postalcodes::digitsOf(address.postalCode);
    const auto write = [&](const QString &text, double pointSize, double y) {
        target.drawText(text, onTarget(at, {inner.left(), y}), FontSpec{fonts::Mincho, pointSize * at.scale, false},
                        Ink);
    };
    double y = inner.top();
    const double pointMm = twips::MmPerInch / 72.0;
    if (digits.size() == 7) {
        write(QStringLiteral("〒") + postalcodes::withHyphen(digits), CodePointSize, y);
        y += CodePointSize * pointMm * 1.35;
    }

    // The names: one line a person, the honorific after each; the family
    // name once, the joint given names under the head's.
    QStringList names;
    qsizetype familyLength = -1; // the head's, which the joint given names stand under
    for (const addressee::NameColumn &c : addressee::nameColumns(recipient.name, recipient.person)) {
        if (c.company) {
            names.append(c.given);
            continue;
        }
        if (familyLength < 0)
            familyLength = c.family.size();
        const QString indent = c.family.isEmpty() && familyLength > 0 && !names.isEmpty()
                                   ? QString(familyLength + 1, QChar(u'\u3000'))
                                   : QString();
        const QString person = c.family.isEmpty() ? indent + c.given : c.family + QStringLiteral("　") + c.given;
        names.append(c.honorific.isEmpty() ? person : person + QStringLiteral("　") + c.honorific);
    }
    const double nameSize = fittedSize(names, NamePointSize * std::min(1.0, inner.height() / 26.0), inner.width());
    const double nameHeight = double(names.size()) * nameSize * pointMm * 1.25;

    // The address in what is left above the names.
    const auto addressLines = [&](double size) {
        QStringList lines = wrapped(address.text, size, inner.width());
        if (!address.building.isEmpty())
            lines += wrapped(address.building, size, inner.width());
        return lines;
    };
    const double room = inner.bottom() - nameHeight - y - 1.0;
    double addressSize = AddressPointSize;
    QStringList lines = addressLines(addressSize);
    while (addressSize > 6.0 && double(lines.size()) * addressSize * pointMm * 1.25 > room) {
        addressSize -= 0.5;
        lines = addressLines(addressSize);
    }
    for (const QString &line : lines) {
        write(line, addressSize, y);
        y += addressSize * pointMm * 1.25;
    }
    y = std::max(y + 1.0, inner.bottom() - nameHeight);
    for (const QString &line : names) {
        write(line, nameSize, y);
        y += nameSize * pointMm * 1.25;
    }
}

void drawSheet(DrawTarget &target, const SheetLayout &layout, postcard::Placement at) {
    const PenSpec edge{Qt::SolidLine, 1, QColor(120, 120, 120)};
    const PenSpec cell{Qt::DotLine, 1, QColor(170, 170, 170)};
    const auto box = [&](const QRectF &r, const PenSpec &pen) {
        target.drawLine(onTarget(at, r.topLeft()), onTarget(at, r.topRight()), pen);
        target.drawLine(onTarget(at, r.topRight()), onTarget(at, r.bottomRight()), pen);
        target.drawLine(onTarget(at, r.bottomRight()), onTarget(at, r.bottomLeft()), pen);
        target.drawLine(onTarget(at, r.bottomLeft()), onTarget(at, r.topLeft()), pen);
    };
    box(QRectF(0, 0, 210, 297), edge);
    for (int i = 0; i < layout.perSheet(); ++i)
        box(cellMm(layout, i), cell);
}

} // namespace labels
