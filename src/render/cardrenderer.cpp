#include "render/cardrenderer.h"

#include "render/fontfit.h"
#include "store/mdlDim.h"
#include "ui/twips.h"

using namespace cardlayout;

namespace cardrenderer {
namespace {

void drawStep(const Primitives &draw, Medium medium, const FormStep &step, int X, int base,
              const QList<QPixmap> &pictures) {
    const QPixmap picture = pictures.value(step.picture);
    const int x1 = X + step.at.x(), y1 = base + step.at.y();
    const int x2 = X + step.end.x(), y2 = base + step.end.y();
    switch (step.kind) {
    case FormStep::Picture:
        draw.picture(picture, QRect(QPoint(x1, y1), step.size));
        break;
    case FormStep::NaturalPicture:
        draw.picture(picture, QRect(x1, y1, picture.width() * twips::PerPixel, picture.height() * twips::PerPixel));
        break;
    case FormStep::Thick:
        draw.line(QStringLiteral("Line"), y1, y2, x1, x2, medium == Medium::Paper ? 3 : 2, 0, 0, 0);
        break;
    case FormStep::Grey:
        draw.line(QStringLiteral("Line"), y1, y2, x1, x2, step.width, 190, 190, 190);
        break;
    case FormStep::Dotted:
        draw.line(QStringLiteral("PL"), y1, y2, x1, x2, 1, 0, 0, 0);
        break;
    }
}

QString fieldText(const QString &element, Source source, const QString &literal) {
    const auto field = [&](int n) { return mdlDim::GetField(element, QStringLiteral("|"), n); };
    const auto telephonePart = [&](int n) { return mdlDim::GetField(field(6), QStringLiteral("-"), n); };
    switch (source) {
    case Source::Literal:
        return literal;
    case Source::Name:
        return field(3);
    case Source::PostalCode:
        return field(4);
    case Source::Address:
        return field(5);
    case Source::Telephone:
        return field(6);
    case Source::TelephonePart1:
        return telephonePart(1);
    case Source::TelephonePart2:
        return telephonePart(2);
    case Source::TelephonePart3:
        return telephonePart(3);
    case Source::Fax:
        return field(7);
    case Source::Mobile:
        return field(8);
    case Source::EmailLine:
        return QStringLiteral("E-mail: ") + field(9);
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

void writeLine(const Primitives &draw, const CardForm &card, const QString &element, int X, int t) {
    for (const TextRow &row : card.text) {
        if (row.source == Source::Stroke) {
            draw.line(QStringLiteral("Line"), t + row.dy, t + row.strokeDy2, row.x, row.strokeX2, 1, 0, 0, 0);
            continue;
        }
        const QString text = fieldText(element, row.source, row.literal);
        if (row.onlyIfNotEmpty && text.isEmpty())
            continue;
        const int x = xFor(row, text) + (row.fromOriginX ? X : 0);
        double size = row.size;
        int y = t + row.dy;
        if (row.size == 0) {
            QPaintDevice *device = draw.measuringDevice ? draw.measuringDevice() : nullptr;
            const fontfit::Fitted fitted = fontfit::FitFontSize(text, row.fit, row.source == Source::EmailLine, device);
            size = fitted.size;
            y += row.fit.direction * fitted.offset;
        }
        draw.text(text, x, y, row.font, size, row.bold, 0, 0, 0);
    }
}

} // namespace

void drawForm(const Primitives &draw, Medium medium, int format, int X, int Y, const QList<QPixmap> &pictures) {
    const CardForm *card = form(medium, format);
    if (!card)
        return;
    for (const FormStep &step : card->head)
        drawStep(draw, medium, step, X, Y, pictures);
    int r = Y + card->headHeight;
    for (int line = 0; line < LinesPerCard(format); ++line, r += card->linePitch)
        for (const FormStep &step : card->line)
            drawStep(draw, medium, step, X, r, pictures);
    for (const FormStep &step : card->closing)
        drawStep(draw, medium, step, X, r, pictures);
}

void drawEntries(const Primitives &draw, Medium medium, int format, int X, int Y, int startLine, bool markPrinted) {
    const CardForm *card = form(medium, format);
    if (!card)
        return;
    const int firstLine = mdlDim::CurrentCard == 1 ? startLine : 1;
    int t = Y + (firstLine - 1) * card->textPitch;
    QStringList &table = mdlDim::PrintTable;
    for (int line = firstLine; line <= LinesPerCard(format); ++line) {
        const int index = mdlDim::PrintIndex;
        if (index < 0 || index >= table.size() || table.at(index).isEmpty())
            continue; // past the end: this and every later line stay empty
        writeLine(draw, *card, table.at(index), X, t);
        if (markPrinted)
            table[index] = mdlDim::SetField(table.at(index), 11, QStringLiteral("T")); // the entry's field 10
        ++mdlDim::PrintIndex;
        t += card->textPitch;
    }
}

} // namespace cardrenderer
