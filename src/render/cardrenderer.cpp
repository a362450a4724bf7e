#include "render/cardrenderer.h"

#include "render/drawtarget.h"
#include "render/fontfit.h"

#include "render/twipunits.h"
#include "store/entryrecord.h"
#include "store/entryrules.h"

#include <cmath>

using namespace cardlayout;

namespace cardrenderer {
namespace {

const QColor Black(0, 0, 0);

void drawStep(DrawTarget &target, Medium medium, const FormStep &step, int X, int base,
              const QList<QPixmap> &pictures) {
    const QPixmap picture = pictures.value(step.picture);
    const int x1 = X + step.at.x(), y1 = base + step.at.y();
    const int x2 = X + step.end.x(), y2 = base + step.end.y();
    switch (step.kind) {
    case FormStep::Picture:
        target.drawPicture(picture, QRect(QPoint(x1, y1), step.size));
        break;
    case FormStep::NaturalPicture:
        target.drawPicture(picture,
                           QRect(x1, y1, picture.width() * twips::PerPixel, picture.height() * twips::PerPixel));
        break;
    case FormStep::Thick:
        target.drawLine({x1, y1}, {x2, y2}, PenSpec{Qt::SolidLine, medium == Medium::Paper ? 3 : 2, Black});
        break;
    case FormStep::Grey:
        target.drawLine({x1, y1}, {x2, y2}, PenSpec{Qt::SolidLine, step.width, QColor(190, 190, 190)});
        break;
    case FormStep::Dotted:
        target.drawLine({x1, y1}, {x2, y2}, PenSpec{Qt::DotLine, 1, Black});
        break;
    }
}

QString fieldText(const EntryRecord &entry, Source source, const QString &literal) {
    const auto telephonePart = [&](int n) { return entryrules::numberPart(entry[EntryField::Telephone], n); };
    switch (source) {
    case Source::Literal:
        return literal;
    case Source::Name:
        return entry[EntryField::Name];
    case Source::PostalCode:
        return entry[EntryField::PostalCode];
    case Source::Address:
        return entry[EntryField::Address];
    case Source::Telephone:
        return entry[EntryField::Telephone];
    case Source::TelephonePart1:
        return telephonePart(1);
    case Source::TelephonePart2:
        return telephonePart(2);
    case Source::TelephonePart3:
        return telephonePart(3);
    case Source::Fax:
        return entry[EntryField::Fax];
    case Source::Mobile:
        return entry[EntryField::Mobile];
    case Source::EmailLine:
        return QStringLiteral("E-mail: ") + entry[EntryField::Email];
    case Source::Stroke:
        return {};
    }
    return {};
}

int xFor(const TextRow &row, const QString &text) {
    if (row.source != Source::TelephonePart1 && row.source != Source::TelephonePart2)
        return row.x;
    return row.xByPartLength[static_cast<size_t>(qBound<qsizetype>(1, text.size(), qsizetype(5)) - 1)];
}

// A text wider than the room up to the row's right edge gets the largest
// quarter-point size that fits, written with its bottom where it was.
void shrinkToRoom(const QString &text, const TextRow &row, int &y, double &size, QPaintDevice *device) {
    const int room = row.rightEdge - row.x;
    const QSizeF full = fontfit::measure(text, row.font, size, row.bold, device);
    if (full.width() <= room || room <= 0)
        return;
    double smaller = std::floor(size * room / full.width() * 4) / 4;
    QSizeF fitted = fontfit::measure(text, row.font, smaller, row.bold, device);
    while (fitted.width() > room && smaller > 1) {
        smaller -= 0.25;
        fitted = fontfit::measure(text, row.font, smaller, row.bold, device);
    }
    y += qRound(full.height() - fitted.height());
    size = smaller;
}

void writeLine(DrawTarget &target, const CardForm &card, const QString &element, int X, int t) {
    const EntryRecord entry = EntryRecord::ofElement(element);
    for (const TextRow &row : card.text) {
        if (row.source == Source::Stroke) {
            target.drawLine({row.x, t + row.dy}, {row.strokeX2, t + row.strokeDy2}, PenSpec{Qt::SolidLine, 1, Black});
            continue;
        }
        const QString text = fieldText(entry, row.source, row.literal);
        if (row.onlyIfNotEmpty && text.isEmpty())
            continue;
        const int x = xFor(row, text) + (row.fromOriginX ? X : 0);
        double size = row.size;
        int y = t + row.dy;
        if (row.size == 0) {
            const fontfit::Fitted fitted =
                fontfit::FitFontSize(text, row.fit, row.source == Source::EmailLine, target.measuringDevice());
            size = fitted.size;
            y += row.fit.direction * fitted.offset;
        }
        if (row.rightEdge > 0)
            shrinkToRoom(text, row, y, size, target.measuringDevice());
        target.drawText(text, {x, y}, FontSpec{row.font, size, row.bold}, Black);
    }
}

} // namespace

void drawForm(DrawTarget &target, Medium medium, int format, int X, int Y, const QList<QPixmap> &pictures) {
    const CardForm *card = form(medium, format);
    if (!card)
        return;
    for (const FormStep &step : card->head)
        drawStep(target, medium, step, X, Y, pictures);
    int r = Y + card->headHeight;
    for (int line = 0; line < LinesPerCard(format); ++line, r += card->linePitch)
        for (const FormStep &step : card->line)
            drawStep(target, medium, step, X, r, pictures);
    for (const FormStep &step : card->closing)
        drawStep(target, medium, step, X, r, pictures);
}

int drawEntries(DrawTarget &target, Medium medium, int format, const QStringList &entries, int first, int firstLine,
                int X, int Y) {
    const CardForm *card = form(medium, format);
    if (!card)
        return 0;
    int t = Y + (firstLine - 1) * card->textPitch;
    int placed = 0;
    for (int line = firstLine; line <= LinesPerCard(format); ++line) {
        const int index = first + placed;
        if (index < 0 || index >= entries.size() || entries.at(index).isEmpty())
            break; // past the end: this and every later line stay empty
        writeLine(target, *card, entries.at(index), X, t);
        ++placed;
        t += card->textPitch;
    }
    return placed;
}

} // namespace cardrenderer
