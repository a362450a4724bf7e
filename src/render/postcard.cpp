#include "render/postcard.h"

#include "render/drawtarget.h"
#include "render/fonts.h"
#include "render/twipunits.h"
#include "render/verticaltext.h"
#include "store/entryrecord.h"
#include "store/postalcodes.h"
#include "store/textforms.h"

#include <algorithm>

namespace postcard {
namespace {

const QColor Ink(0, 0, 0);
const QColor BoxRed(220, 40, 40);

// Japan Post's boxes: 5.7 × 8.0 mm, their top 12 mm down, the seventh's right
// edge 8 mm in from the right; gaps 1.3 mm within 1–3, 1.9 mm between 3 and
// 4, 1.1 mm within 4–7.
constexpr double BoxWidth = 5.7;
constexpr double BoxHeight = 8.0;
constexpr double BoxTop = 12.0;
constexpr double LastBoxRight = WidthMm - 8.0;
constexpr double GapBefore[7] = {0, 1.3, 1.3, 1.9, 1.1, 1.1, 1.1};
constexpr double CodePointSize = 20.0; // digits about 5 mm high

// A column of vertical writing: where it stands and how long it may run.
struct ColumnSlot {
    double centreX;
    double top;
    double bottom;
};

constexpr double PointMm = twips::MmPerInch / 72.0;

// The recipient: address at the right under the boxes, the name centred.
constexpr ColumnSlot AddressSlot{87.0, 26.0, 136.0};
constexpr double AddressPointSize = 15.0;
constexpr ColumnSlot NameSlot{WidthMm / 2, 30.0, 136.0};
constexpr double NamePointSize = 28.0;
// The sender, smaller, in the lower left: the code above, then the address
// and the name to its left.
constexpr double SenderCodeY = 91.0;
constexpr double SenderCodeLeft = 11.0;
constexpr double SenderCodePitch = 4.0;
constexpr double SenderCodePointSize = 9.0;
constexpr ColumnSlot SenderAddressSlot{35.5, 96.0, 140.0};
constexpr double SenderAddressPointSize = 10.0;
constexpr double SenderNameTop = 100.0;
constexpr double SenderNamePointSize = 13.0;

QPointF onTarget(Placement at, QPointF mm) {
    return at.origin + mm * twips::PerMm * at.scale;
}

FontSpec scaled(const QString &name, double pointSize, Placement at) {
    return FontSpec{name, pointSize * at.scale, false};
}

// The size at which `text` runs at most `lengthMm` down a column, `preferred` at most.
double fittedSize(const QString &text, const QString &fontName, double preferred, double lengthMm) {
    const double perPoint = verticaltext::length(text, FontSpec{fontName, 1.0, false}) / twips::PerMm;
    return perPoint > 0 ? std::min(preferred, lengthMm / perPoint) : preferred;
}

void writeColumn(DrawTarget &target, const QString &text, const QString &fontName, double pointSize, QPointF topMm,
                 Placement at) {
    if (!text.isEmpty())
        target.drawGlyphs(verticaltext::column(text, scaled(fontName, pointSize, at), onTarget(at, topMm)), Ink);
}

// An address in one column, or two when it does not fit one: the second
// starts two cells lower, left of the first. Returns the centre of the last
// column written.
double writeAddress(DrawTarget &target, const QString &address, ColumnSlot slot, double preferred,
                    const Options &options, Placement at) {
    const QString font = fonts::Mincho;
    const double length = slot.bottom - slot.top;
    QString first = verticaltext::forColumn(address, options.kanjiNumerals);
    if (fittedSize(first, font, preferred, length) >= preferred) {
        writeColumn(target, first, font, preferred, {slot.centreX, slot.top}, at);
        return slot.centreX;
    }
    const AddressColumns split = splitAddress(address);
    first = verticaltext::forColumn(split.first, options.kanjiNumerals);
    const QString second = verticaltext::forColumn(split.second, options.kanjiNumerals);
    double size = fittedSize(first, font, preferred, length);
    const double indent = 2 * size * PointMm;
    size = std::min(size, fittedSize(second, font, preferred, length - indent));
    const double em = size * PointMm;
    writeColumn(target, first, font, size, {slot.centreX, slot.top}, at);
    if (second.isEmpty())
        return slot.centreX;
    const double secondX = slot.centreX - 1.3 * em;
    writeColumn(target, second, font, size, {secondX, slot.top + 2 * em}, at);
    return secondX;
}

} // namespace

QRectF codeBoxMm(int digit) {
    double right = LastBoxRight;
    for (int d = 6; d > digit; --d)
        right -= BoxWidth + GapBefore[d];
    return QRectF(right - BoxWidth, BoxTop, BoxWidth, BoxHeight);
}

QString honorificFor(const QString &name) {
    for (const char16_t *kept : {u"様", u"御中", u"殿", u"先生", u"各位"})
        if (name.trimmed().endsWith(QString::fromUtf16(kept)))
            return {};
    return textforms::isCompanyName(name) ? QStringLiteral("御中") : QStringLiteral("様");
}

AddressColumns splitAddress(const QString &address) {
    const QString text = address.trimmed();
    const auto isSpace = [](QChar c) { return c == u' ' || c == u'\u3000'; };
    // A space the user typed is where the building's name begins.
    if (const auto space = std::find_if(text.begin(), text.end(), isSpace); space != text.end()) {
        const qsizetype at = space - text.begin();
        return {text.left(at).trimmed(), text.mid(at).trimmed()};
    }
    // The house number: the first digit on, through digits, dashes and the
    // words that join them.
    const auto isDigit = [](QChar c) { return textforms::isDigit(c.unicode()); };
    const qsizetype start = std::find_if(text.begin(), text.end(), isDigit) - text.begin();
    if (start < text.size()) {
        static const QString Joiners = QStringLiteral("-－‐−ー―の丁目番地号");
        qsizetype end = start;
        while (end < text.size() && (isDigit(text.at(end)) || Joiners.contains(text.at(end))))
            ++end;
        if (end < text.size())
            return {text.left(end), text.mid(end)};
        if (start > 0)
            return {text.left(start), text.mid(start)};
    }
    // No number: after the last place name's mark (都道府県, 市区郡, 町村), else at the half.
    static const QString PlaceMarks = QStringLiteral("都道府県市区郡町村");
    for (qsizetype at = text.size() - 1; at > 0; --at)
        if (PlaceMarks.contains(text.at(at - 1)))
            return {text.left(at), text.mid(at)};
    const qsizetype half = (text.size() + 1) / 2;
    return {text.left(half), text.mid(half)};
}

Placement centredIn(const QRectF &area) {
    const QSizeF sheet(WidthMm * twips::PerMm, HeightMm * twips::PerMm);
    const double scale = std::min(area.width() / sheet.width(), area.height() / sheet.height());
    return {area.center() - QPointF(sheet.width(), sheet.height()) * scale / 2, scale};
}

void drawSheet(DrawTarget &target, Placement at) {
    const auto point = [&](double x, double y) { return onTarget(at, {x, y}).toPoint(); };
    const PenSpec edge{Qt::SolidLine, 1, QColor(120, 120, 120)};
    target.drawLine(point(0, 0), point(WidthMm, 0), edge);
    target.drawLine(point(WidthMm, 0), point(WidthMm, HeightMm), edge);
    target.drawLine(point(WidthMm, HeightMm), point(0, HeightMm), edge);
    target.drawLine(point(0, HeightMm), point(0, 0), edge);
    const PenSpec red{Qt::SolidLine, 1, BoxRed};
    for (int digit = 0; digit < 7; ++digit) {
        const QRectF box = codeBoxMm(digit);
        const QPoint tl = point(box.left(), box.top()), tr = point(box.right(), box.top());
        const QPoint bl = point(box.left(), box.bottom()), br = point(box.right(), box.bottom());
        target.drawLine(tl, tr, red);
        target.drawLine(tr, br, red);
        target.drawLine(br, bl, red);
        target.drawLine(bl, tl, red);
    }
}

void drawAddressSide(DrawTarget &target, const EntryRecord &recipient, const Sender &sender, const Options &options,
                     Placement at) {
    const QString digits = postalcodes::digitsOf(recipient[EntryField::PostalCode]);
    for (qsizetype d = 0; d < digits.size(); ++d)
        target.drawGlyphs(verticaltext::centred(digits.mid(d, 1), scaled(fonts::Arial, CodePointSize, at),
                                                onTarget(at, codeBoxMm(int(d)).center())),
                          Ink);
    writeAddress(target, recipient[EntryField::Address], AddressSlot, AddressPointSize, options, at);

    const QString name = recipient[EntryField::Name].trimmed();
    if (!name.isEmpty()) {
        const QString honorific = honorificFor(name);
        const QString written = honorific.isEmpty() ? name : name + QStringLiteral("　") + honorific;
        const double size = fittedSize(written, fonts::Mincho, NamePointSize, NameSlot.bottom - NameSlot.top);
        writeColumn(target, written, fonts::Mincho, size, {NameSlot.centreX, NameSlot.top}, at);
    }

    if (sender.isEmpty())
        return;
    const QString senderDigits = postalcodes::digitsOf(sender.postalCode);
    for (qsizetype d = 0; d < senderDigits.size(); ++d) {
        const QString fullWidth(QChar(u'０' + (senderDigits.at(d).unicode() - u'0')));
        target.drawGlyphs(verticaltext::centred(fullWidth, scaled(fonts::Mincho, SenderCodePointSize, at),
                                                onTarget(at, {SenderCodeLeft + d * SenderCodePitch, SenderCodeY})),
                          Ink);
    }
    double nameX = SenderAddressSlot.centreX;
    if (!sender.address.trimmed().isEmpty())
        nameX = writeAddress(target, sender.address.trimmed(), SenderAddressSlot, SenderAddressPointSize, options, at) -
                1.6 * SenderNamePointSize * PointMm;
    const QString senderName = sender.name.trimmed();
    const double size =
        fittedSize(senderName, fonts::Mincho, SenderNamePointSize, SenderAddressSlot.bottom - SenderNameTop);
    writeColumn(target, senderName, fonts::Mincho, size, {nameX, SenderNameTop}, at);
}

} // namespace postcard
