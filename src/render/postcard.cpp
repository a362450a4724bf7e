#include "render/postcard.h"

#include "render/addressee.h"
#include "render/drawtarget.h"
#include "render/fonts.h"
#include "render/twipunits.h"
#include "render/verticaltext.h"
#include "store/entryrecord.h"
#include "store/postalcodes.h"
#include "store/textforms.h"

#include <algorithm>
#include <functional>

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
constexpr double LastBoxFromRight = 8.0;
constexpr double GapBefore[7] = {0, 1.3, 1.3, 1.9, 1.1, 1.1, 1.1};
constexpr double CodePointSize = 20.0; // digits about 5 mm high

// A column of vertical writing: where it stands and how long it may run.
struct ColumnSlot {
    double centreX;
    double top;
    double bottom;
};

constexpr double PointMm = twips::MmPerInch / 72.0;

// Where a form puts the recipient: the address at the right under the
// boxes, the names in the middle; a postcard's sender in its lower left.
struct FormLayout {
    QSizeF sheetMm;
    ColumnSlot address;
    double addressPointSize;
    double nameTop;
    double nameBottom;
    double namePointSize;
    double nameLeft;
    bool hasSender;
};

FormLayout layoutOf(Form form) {
    switch (form) {
    case Form::LongEnvelope: // 長形3号: the sender goes on the back
        return {{120, 235}, {106.0, 28.0, 205.0}, 17.0, 34.0, 205.0, 34.0, 10.0, false};
    case Form::WesternEnvelope: // 洋形2号, upright
        return {{114, 162}, {100.0, 27.0, 148.0}, 15.0, 30.0, 148.0, 30.0, 8.0, false};
    case Form::Postcard:
        break;
    }
    return {{WidthMm, HeightMm}, {87.0, 26.0, 136.0}, 15.0, 28.0, 134.0, 28.0, 5.0, true};
}
// The sender, smaller, in the lower left above the sender's code boxes.
constexpr double SenderBoxLeft = 4.0;
constexpr double SenderBoxTop = 125.0;
constexpr double SenderBoxWidth = 4.0;
constexpr double SenderBoxHeight = 6.0;
constexpr double SenderGroupGap = 1.5; // between the third box and the fourth
constexpr double SenderCodePointSize = 12.0;
constexpr double SenderTop = 72.0;
constexpr double SenderBottom = SenderBoxTop - 3.0;
constexpr double SenderRight = 42.0;
constexpr ColumnSlot SenderAddressSlot{SenderRight - 2.0, SenderTop, SenderBottom};
constexpr double SenderAddressPointSize = 10.0;
constexpr double SenderNamePointSize = 13.0;

// The name block's proportions, in ems of the names' size.
constexpr double HonorificScale = 0.8; // 様 a little smaller than the name
constexpr double CompanyScale = 0.5;
constexpr double ColumnPitch = 1.25;   // between the centres of two people's columns
constexpr double PartGap = 0.5;        // between the family name and the given name, and before 様
constexpr double SpreadPartGap = 1.0;  // between them when spread: more than inside a spread part
constexpr double HonorificDrift = 1.5; // how far 様 may move down towards the address's end

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

double columnLength(const QString &text, double pointSize) {
    return verticaltext::length(text, FontSpec{fonts::Mincho, pointSize, false}) / twips::PerMm;
}

void writeColumn(DrawTarget *target, const QString &text, const QString &fontName, double pointSize, QPointF topMm,
                 Placement at) {
    if (target && !text.isEmpty())
        target->drawGlyphs(verticaltext::column(text, scaled(fontName, pointSize, at), onTarget(at, topMm)), Ink);
}

// Where columns were written: the left edge of the leftmost, and how far down they ran (mm).
struct Drawn {
    double left;
    double bottom;
    double size = 0; // the names' size in points
};

// An address in one column, or two: broken where the person's data says the
// building begins, else when it does not fit one. The second starts two
// cells lower, left of the first.
Drawn writeAddress(DrawTarget *target, const addressee::Address &address, ColumnSlot slot, double preferred,
                   verticaltext::Numerals numerals, Placement at) {
    const QString font = fonts::Mincho;
    const double length = slot.bottom - slot.top;
    QString first = verticaltext::forColumn(address.text, numerals);
    QString second;
    if (address.building.isEmpty()) {
        if (fittedSize(first, font, preferred, length) >= preferred) {
            writeColumn(target, first, font, preferred, {slot.centreX, slot.top}, at);
            return {slot.centreX - preferred * PointMm / 2, slot.top + columnLength(first, preferred)};
        }
        const AddressColumns split = splitAddress(address.text);
        first = verticaltext::forColumn(split.first, numerals);
        second = verticaltext::forColumn(split.second, numerals);
    } else {
        second = verticaltext::forColumn(address.building, numerals);
    }
    double size = fittedSize(first, font, preferred, length);
    const double indent = 2 * size * PointMm;
    size = std::min(size, fittedSize(second, font, preferred, length - indent));
    const double em = size * PointMm;
    writeColumn(target, first, font, size, {slot.centreX, slot.top}, at);
    Drawn drawn{slot.centreX - em / 2, slot.top + columnLength(first, size)};
    if (!second.isEmpty()) {
        const double secondX = slot.centreX - 1.3 * em;
        writeColumn(target, second, font, size, {secondX, slot.top + indent}, at);
        drawn = {secondX - em / 2, std::max(drawn.bottom, slot.top + indent + columnLength(second, size))};
    }
    return drawn;
}

// Where the name block may stand (mm) and how it likes to be written.
struct NameArea {
    double top;
    double bottom;
    double left;
    double right;
    double centreX;   // where the block's middle stands when it may
    double preferred; // the names' size in points, when they fit
    double endHint;   // where the address ends: 様 moves down towards it
    bool spread;      // 均等割り
};

// A name's part written down `cells` cells: spread evenly over them (均等割り)
// when it has two to four characters, else as it is, from the top.
void writePart(DrawTarget *target, const QString &text, double cells, double pointSize, QPointF topMm, Placement at) {
    const double em = pointSize * PointMm;
    const qsizetype n = text.size();
    if (n < 2 || n > 4 || cells <= double(n)) {
        writeColumn(target, text, fonts::Mincho, pointSize, topMm, at);
        return;
    }
    const double step = (cells - 1) * em / double(n - 1);
    for (qsizetype i = 0; i < n; ++i)
        writeColumn(target, text.mid(i, 1), fonts::Mincho, pointSize, {topMm.x(), topMm.y() + double(i) * step}, at);
}

// The names, right to left: the company's lines, then one column a person,
// the family name written once at the top, the given names aligned below it,
// each honorific on one line across the columns. Everything shrinks together
// to fit the area.
Drawn writeNames(DrawTarget *target, const QList<addressee::NameColumn> &columns, const NameArea &area, Placement at) {
    QList<addressee::NameColumn> persons, companies;
    for (const addressee::NameColumn &c : columns)
        (c.company ? companies : persons).append(c);
    double familyCells = 0, givenCells = 0, honorificCells = 0;
    qsizetype shortest = 0; // the longest part that is spread
    for (const addressee::NameColumn &c : persons) {
        familyCells = std::max(familyCells, double(c.family.size()));
        givenCells = std::max(givenCells, double(c.given.size()));
        honorificCells = std::max(honorificCells, HonorificScale * double(c.honorific.size()));
        for (qsizetype n : {c.family.size(), c.given.size()})
            if (n <= 4)
                shortest = std::max(shortest, n);
    }
    // Parts of up to four characters are spread over as many cells as the
    // longest of them, two and a half at least; longer ones are written as they are.
    const double spreadCells = area.spread ? std::max(2.5, double(shortest)) : 0;
    if (familyCells > 0)
        familyCells = std::max(familyCells, spreadCells);
    givenCells = std::max(givenCells, spreadCells);
    const double familyPart = familyCells > 0 ? familyCells + (spreadCells > 0 ? SpreadPartGap : PartGap) : 0;
    const double nameCells = familyPart + givenCells;
    const double neededCells = nameCells + (honorificCells > 0 ? PartGap + honorificCells : 0);
    const double companyWidth = companies.isEmpty() ? 0 : double(companies.size()) * CompanyScale * 1.4 + 0.35;
    const double widthEms = double(std::max<qsizetype>(1, persons.size()) - 1) * ColumnPitch + 1 + companyWidth;
    double em = area.preferred * PointMm;
    if (neededCells > 0)
        em = std::min(em, (area.bottom - area.top) / neededCells);
    em = std::min(em, (area.right - area.left) / widthEms);
    const double size = em / PointMm;

    double right = std::min(area.right, area.centreX + widthEms * em / 2);
    right = std::max(right, area.left + widthEms * em);
    Drawn drawn{right - widthEms * em, area.top, size};
    double x = right;
    for (const addressee::NameColumn &c : companies) {
        const double companyEm = CompanyScale * em;
        const double companySize = fittedSize(c.given, fonts::Mincho, companyEm / PointMm, area.bottom - area.top);
        writeColumn(target, c.given, fonts::Mincho, companySize, {x - 0.7 * companyEm, area.top}, at);
        drawn.bottom = std::max(drawn.bottom, area.top + columnLength(c.given, companySize));
        x -= 1.4 * companyEm;
    }
    if (!companies.isEmpty())
        x -= 0.35 * em;
    const double nameEnd = area.top + nameCells * em;
    double honorificTop = nameEnd + PartGap * em;
    if (area.endHint > honorificTop + honorificCells * em)
        honorificTop = std::min(area.endHint - honorificCells * em, nameEnd + HonorificDrift * em);
    honorificTop = std::min(honorificTop, area.bottom - honorificCells * em);
    double centre = x - em / 2;
    for (const addressee::NameColumn &c : persons) {
        if (!c.family.isEmpty())
            writePart(target, c.family, spreadCells, size, {centre, area.top}, at);
        writePart(target, c.given, spreadCells, size, {centre, area.top + familyPart * em}, at);
        writeColumn(target, c.honorific, fonts::Mincho, size * HonorificScale, {centre, honorificTop}, at);
        centre -= ColumnPitch * em;
    }
    drawn.bottom = std::max(drawn.bottom, honorificCells > 0 ? honorificTop + honorificCells * em : nameEnd);
    return drawn;
}

void writeCode(DrawTarget &target, const QString &digits, const std::function<QRectF(int)> &boxOf, double pointSize,
               Placement at) {
    for (qsizetype d = 0; d < digits.size() && d < 7; ++d)
        target.drawGlyphs(verticaltext::centred(digits.mid(d, 1), scaled(fonts::Arial, pointSize, at),
                                                onTarget(at, boxOf(int(d)).center())),
                          Ink);
}

void drawBox(DrawTarget &target, const QRectF &box, Placement at) {
    const auto point = [&](double x, double y) { return onTarget(at, {x, y}).toPoint(); };
    const PenSpec red{Qt::SolidLine, 1, BoxRed};
    const QPoint tl = point(box.left(), box.top()), tr = point(box.right(), box.top());
    const QPoint bl = point(box.left(), box.bottom()), br = point(box.right(), box.bottom());
    target.drawLine(tl, tr, red);
    target.drawLine(tr, br, red);
    target.drawLine(br, bl, red);
    target.drawLine(bl, tl, red);
}

} // namespace

QSizeF sheetMm(Form form) {
    return layoutOf(form).sheetMm;
}

QRectF codeBoxMm(int digit, Form form) {
    double right = layoutOf(form).sheetMm.width() - LastBoxFromRight;
    for (int d = 6; d > digit; --d)
        right -= BoxWidth + GapBefore[d];
    return QRectF(right - BoxWidth, BoxTop, BoxWidth, BoxHeight);
}

QRectF senderCodeBoxMm(int digit) {
    const double left = SenderBoxLeft + digit * SenderBoxWidth + (digit >= 3 ? SenderGroupGap : 0);
    return QRectF(left, SenderBoxTop, SenderBoxWidth, SenderBoxHeight);
}

Recipient Recipient::of(const EntryRecord &entry, people::PersonData person) {
    return {entry[EntryField::Name], entry[EntryField::PostalCode], entry[EntryField::Address], std::move(person)};
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

Placement centredIn(const QRectF &area, Form form) {
    return centredIn(area, sheetMm(form));
}

Placement centredIn(const QRectF &area, QSizeF sheetMm) {
    const QSizeF sheet = sheetMm * twips::PerMm;
    const double scale = std::min(area.width() / sheet.width(), area.height() / sheet.height());
    return {area.center() - QPointF(sheet.width(), sheet.height()) * scale / 2, scale};
}

void drawSheet(DrawTarget &target, Placement at, Form form) {
    const auto point = [&](double x, double y) { return onTarget(at, {x, y}).toPoint(); };
    const PenSpec edge{Qt::SolidLine, 1, QColor(120, 120, 120)};
    const QSizeF sheet = sheetMm(form);
    target.drawLine(point(0, 0), point(sheet.width(), 0), edge);
    target.drawLine(point(sheet.width(), 0), point(sheet.width(), sheet.height()), edge);
    target.drawLine(point(sheet.width(), sheet.height()), point(0, sheet.height()), edge);
    target.drawLine(point(0, sheet.height()), point(0, 0), edge);
    for (int digit = 0; digit < 7; ++digit) {
        drawBox(target, codeBoxMm(digit, form), at);
        if (layoutOf(form).hasSender)
            drawBox(target, senderCodeBoxMm(digit), at);
    }
}

void drawAddressSide(DrawTarget &target, const Recipient &recipient, const Sender &sender, const Options &options,
                     Placement at, Form form) {
    const FormLayout layout = layoutOf(form);
    const addressee::Address address = addressee::cardAddress(recipient.address, recipient.person.buildingBreak);
    QString digits = postalcodes::digitsOf(recipient.postalCode);
    if (digits.isEmpty())
        digits = postalcodes::digitsOf(address.postalCode);
    writeCode(
        target, digits, [form](int digit) { return codeBoxMm(digit, form); }, CodePointSize, at);
    const Drawn addressDrawn =
        writeAddress(&target, address, layout.address, layout.addressPointSize, options.numerals, at);

    const QList<addressee::NameColumn> names = addressee::nameColumns(recipient.name, recipient.person);
    NameArea area{layout.nameTop,          layout.nameBottom,          layout.nameLeft,
                  addressDrawn.left - 2.5, layout.sheetMm.width() / 2, layout.namePointSize,
                  addressDrawn.bottom,     options.spreadNames};
    const bool withSender = layout.hasSender && !sender.isEmpty();
    // Names that would reach over the sender's corner keep right of it, or
    // stop above it, whichever leaves them larger.
    if (const Drawn measured = writeNames(nullptr, names, area, at);
        withSender && measured.left < SenderRight + 2.0 && measured.bottom > SenderTop - 3.0) {
        NameArea right = area, above = area;
        right.left = SenderRight + 2.0;
        above.bottom = SenderTop - 3.0;
        area = writeNames(nullptr, names, right, at).size >= writeNames(nullptr, names, above, at).size ? right : above;
    }
    writeNames(&target, names, area, at);

    if (!withSender)
        return;
    writeCode(target, postalcodes::digitsOf(sender.postalCode), &senderCodeBoxMm, SenderCodePointSize, at);
    double namesRight = SenderRight;
    if (!sender.address.trimmed().isEmpty())
        namesRight = writeAddress(&target, addressee::cardAddress(sender.address, 0), SenderAddressSlot,
                                  SenderAddressPointSize, options.numerals, at)
                         .left -
                     1.5;
    const NameArea senderArea{
        SenderTop + 6.0, SenderBottom, SenderBoxLeft, namesRight, namesRight, SenderNamePointSize, 0, false};
    writeNames(&target, addressee::senderColumns(sender.name, sender.joint), senderArea, at);
}

} // namespace postcard
