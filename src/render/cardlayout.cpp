#include "render/cardlayout.h"

#include "render/fonts.h"

namespace cardlayout {
namespace {

using K = FormStep::Kind;
using S = Source;

const QString &Gothic = fonts::UiGothic;
const QString &Arial = fonts::Arial;

FormStep picture(int index, int x, int y, int w, int h) {
    return {K::Picture, index, {x, y}, {w, h}, {}};
}
FormStep natural(int index, int x, int y) {
    return {K::NaturalPicture, index, {x, y}, {}, {}};
}
FormStep line(K kind, int x1, int y1, int x2, int y2, int width = 1) {
    return {kind, 0, {x1, y1}, {}, {x2, y2}, width};
}
FormStep thick(int x1, int y1, int x2, int y2) {
    return line(K::Thick, x1, y1, x2, y2);
}
FormStep grey(int x1, int y1, int x2, int y2, int width = 1) {
    return line(K::Grey, x1, y1, x2, y2, width);
}
FormStep dotted(int x1, int y1, int x2, int y2) {
    return line(K::Dotted, x1, y1, x2, y2);
}

TextRow text(S source, int x, int dy, const QString &font, double size, bool bold, bool fromX = false) {
    return {source, {}, x, {}, fromX, dy, font, size, bold};
}
TextRow literal(const QString &s, int x, int dy, double size, bool fromX = false) {
    TextRow row = text(S::Literal, x, dy, Gothic, size, true, fromX);
    row.literal = s;
    return row;
}
TextRow ifNotEmpty(TextRow row) {
    row.onlyIfNotEmpty = true;
    return row;
}
TextRow byLength(S part, std::array<int, 5> xs, int dy, double size) {
    TextRow row = text(part, 0, dy, Gothic, size, true);
    row.xByPartLength = xs;
    return row;
}
TextRow fitted(TextRow row, Fit fit) {
    row.size = 0;
    row.fit = fit;
    return row;
}
// Paper cards are 6930 twips wide, the preview's 5220; text keeps a small margin.
constexpr int PaperRightEdge = 6870;
constexpr int PreviewRightEdge = 5180;
TextRow address(TextRow row, int rightEdge) {
    row.rightEdge = rightEdge;
    return row;
}
TextRow stroke(int x1, int dy1, int x2, int dy2) {
    TextRow row = text(S::Stroke, x1, dy1, {}, 0, false);
    row.strokeX2 = x2;
    row.strokeDy2 = dy2;
    return row;
}

// The paper closing: four small marks under the last line and the closing mark.
QList<FormStep> paperClosing(int closingDy) {
    return {picture(4, 1360, 150, 28, 28), picture(4, 2830, 150, 28, 28), picture(4, 4310, 150, 28, 28),
            picture(4, 5770, 150, 28, 28), picture(5, 6240, closingDy, 574, 120)};
}

const QList<FormStep> PaperHead = {picture(1, 6020, 0, 760, 159), thick(0, 140, 2270, 140), thick(0, 210, 6930, 210)};

QList<FormStep> previewHead(int format) {
    return {format == 0 ? picture(1, 4500, 0, 700, 150) : natural(1, 4520, -20), thick(0, 190, 5220, 190)};
}

const std::array<CardForm, FormatCount> PaperForms = {{
    {PaperHead,
     {picture(2, 2740, 160, 246, 200), picture(3, 4270, 240, 34, 36), picture(3, 5560, 240, 34, 36),
      dotted(2670, 530, 6930, 530), dotted(0, 1060, 6930, 1060), thick(0, 1590, 6930, 1590)},
     paperClosing(70),
     1590,
     210,
     {literal(QStringLiteral("FAX:"), 2720, 846, 16, true),
      byLength(S::TelephonePart1, {3285, 3460, 3345, 3250, 3285}, 280, 18),
      byLength(S::TelephonePart2, {4620, 4730, 4620, 4580, 4620}, 280, 18),
      fitted(text(S::Name, 120, 738, Gothic, 0, false, true), {2670, 20, 2, -1}),
      text(S::TelephonePart3, 5820, 280, Gothic, 18, true, true), text(S::Fax, 3450, 820, Gothic, 18, true, true),
      literal(QStringLiteral("〒"), 100, 1440, 11, true),
      ifNotEmpty(text(S::PostalCode, 400, 1420, Gothic, 12, true, true)),
      address(text(S::Address, 1600, 1420, Gothic, 12, true, true), PaperRightEdge)},
     1584},
    {PaperHead,
     {picture(6, 5120, 55, 260, 220), picture(7, 5130, 395, 260, 220), grey(5040, 325, 6930, 325),
      grey(5040, 15, 5040, 665), grey(0, 665, 6930, 665), picture(8, 80, 765, 320, 290), grey(0, 1135, 6930, 1135),
      picture(9, 80, 1265, 230, 249), grey(2170, 1135, 2170, 1585), picture(10, 2330, 1275, 284, 220),
      thick(0, 1585, 6930, 1585)},
     paperClosing(60),
     1585,
     210,
     {text(S::Name, 120, 420, Gothic, 15, true), text(S::Telephone, 5500, 260, Arial, 11, true),
      text(S::Fax, 5500, 590, Arial, 11, true), literal(QStringLiteral("〒"), 450, 1050, 9),
      ifNotEmpty(text(S::PostalCode, 680, 1030, Gothic, 10, true)),
      address(text(S::Address, 1700, 1020, Gothic, 12, true), PaperRightEdge),
      text(S::Mobile, 470, 1470, Arial, 11, true),
      fitted(text(S::EmailLine, 2710, 1600, Gothic, 0, false), {4220, 13, 2, -1})},
     1585},
    {PaperHead,
     {picture(6, 4590, 96, 260, 220), picture(7, 4590, 486, 260, 220), grey(4500, 396, 6930, 396),
      grey(4500, 16, 4500, 776), thick(0, 792, 6930, 792)},
     paperClosing(60),
     792,
     210,
     {text(S::Name, 150, 480, Gothic, 13, true), text(S::Telephone, 4980, 260, Arial, 14, true),
      text(S::Fax, 4980, 650, Arial, 14, true)},
     792},
    {PaperHead,
     {picture(6, 4570, 150, 260, 220), picture(8, 80, 630, 290, 238), grey(0, 490, 6930, 490),
      grey(4460, 10, 4460, 490), thick(0, 1000, 6930, 1000)},
     paperClosing(60),
     1000,
     210,
     {text(S::Name, 110, 340, Gothic, 13, true), text(S::Telephone, 5000, 320, Arial, 14, true),
      literal(QStringLiteral("〒"), 430, 870, 9), ifNotEmpty(text(S::PostalCode, 650, 850, Gothic, 11, true)),
      address(text(S::Address, 1780, 840, Gothic, 12, true), PaperRightEdge)},
     999},
}};

const std::array<CardForm, FormatCount> PreviewForms = {{
    {previewHead(0),
     {picture(2, 2270, 80, 246, 200), picture(3, 3280, 150, 45, 45), picture(3, 4220, 150, 45, 45),
      dotted(2190, 330, 5220, 330), dotted(0, 670, 5220, 670), thick(0, 1020, 5220, 1020)},
     {picture(5, 4650, 60, 580, 120)},
     1020,
     190,
     // Parts of other lengths than 2 to 4: a short part stands where a
     // 2-character one does, a long one starts where a 4-character one does;
     // a part of five or more digits then runs on past the 4-digit end and
     // can reach the mark after it.
     {literal(QStringLiteral("FAX:"), 2350, 840, 12), literal(QStringLiteral("〒"), 130, 1210, 9),
      byLength(S::TelephonePart1, {2930, 2930, 2810, 2650, 2650}, 480, 14),
      byLength(S::TelephonePart2, {3700, 3700, 3630, 3540, 3540}, 480, 14),
      fitted(text(S::Name, 120, 730, Gothic, 0, true), {2070, 15, 4, -1}),
      text(S::TelephonePart3, 4490, 480, Gothic, 14, true), text(S::Fax, 2930, 820, Gothic, 14, true),
      ifNotEmpty(text(S::PostalCode, 350, 1220, Gothic, 9, true)),
      address(text(S::Address, 1335, 1220, Gothic, 9, true), PreviewRightEdge)},
     1020},
    {previewHead(1),
     {natural(6, 3910, 35), natural(7, 3930, 240), grey(3840, 210, 5220, 210), grey(3840, 0, 3840, 430),
      grey(0, 430, 5220, 430), natural(8, 50, 480), grey(0, 730, 5220, 730), natural(9, 50, 800),
      grey(1630, 730, 1630, 1020), natural(10, 1780, 810), thick(0, 1020, 5220, 1020)},
     {picture(5, 4650, 60, 580, 120)},
     1020,
     190,
     {stroke(430, 1010, 540, 1010), stroke(430, 1040, 540, 1040), stroke(475, 1040, 475, 1110),
      text(S::Name, 120, 570, Gothic, 11, true), text(S::Telephone, 4250, 500, Gothic, 8, false),
      text(S::Fax, 4250, 700, Gothic, 8, false), ifNotEmpty(text(S::PostalCode, 570, 970, Arial, 7, true)),
      address(text(S::Address, 1230, 960, Gothic, 9, true), PreviewRightEdge),
      text(S::Mobile, 400, 1260, Gothic, 8, false),
      fitted(text(S::EmailLine, 2130, 1250, Gothic, 0, false), {3120, 10, 16, +1})},
     1020},
    {previewHead(2),
     {natural(6, 3410, 50), natural(7, 3430, 295), grey(3390, 250, 5220, 250, 2), grey(3390, 10, 3390, 490),
      thick(0, 510, 5220, 510)},
     {picture(5, 4650, 60, 580, 120)},
     510,
     190,
     {text(S::Name, 150, 610, Gothic, 10, true), text(S::Telephone, 3750, 450, Arial, 12, true),
      text(S::Fax, 3750, 700, Arial, 12, true)},
     510},
    {previewHead(3),
     {natural(6, 3420, 70), natural(8, 0, 380), grey(0, 300, 5220, 300), grey(3360, 0, 3360, 300),
      thick(0, 648, 5220, 648)},
     {picture(5, 4650, 70, 580, 120)},
     648,
     190,
     {stroke(390, 920, 500, 920), stroke(390, 890, 500, 890), stroke(430, 920, 430, 1000),
      text(S::Name, 110, 510, Gothic, 10, true), text(S::Telephone, 3750, 480, Arial, 12, true),
      ifNotEmpty(text(S::PostalCode, 530, 830, Arial, 9, false)),
      address(text(S::Address, 1360, 850, Gothic, 9, true), PreviewRightEdge)},
     648},
}};

} // namespace

int LinesPerCard(int format) {
    static constexpr int lines[FormatCount] = {6, 6, 12, 9};
    return format >= 0 && format < FormatCount ? lines[format] : 0;
}

const CardForm *form(Medium medium, int format) {
    if (format < 0 || format >= FormatCount)
        return nullptr;
    return medium == Medium::Paper ? &PaperForms[static_cast<size_t>(format)]
                                   : &PreviewForms[static_cast<size_t>(format)];
}

int cardCount(int entries, int startLine, int format) {
    const int lines = LinesPerCard(format);
    if (lines == 0)
        return 1;
    const int used = entries + startLine - 1;
    return qMax(1, (used + lines - 1) / lines);
}

int firstIndexOfCard(int card, int startLine, int format) {
    return card <= 1 ? 0 : (card - 1) * LinesPerCard(format) - startLine + 1;
}

} // namespace cardlayout
