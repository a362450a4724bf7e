#pragma once

#include "render/drawtarget.h"

#include <QPointF>
#include <QString>

class QPainter;

// Japanese vertical writing (縦書き): characters down a column, one cell each,
// in the font's vertical forms (its `vert` substitutions, through HarfBuzz:
// ー ～ （） 「」 、。 turned, small kana moved up and right), Latin letters and
// digits upright and centred.
namespace verticaltext {

// How an address's numbers are written: as typed (a two-digit number then
// stands across one cell), or in kanji numerals, digit by digit (10 → 一〇)
// or counted (10 → 十).
enum class Numerals { Arabic, KanjiDigits, KanjiCounted };

// Text as it is written down a column: a hyphen or long sound mark between
// two digits becomes "―", which stands upright there, and the numbers
// become `numerals` (1-2-3 → 一―二―三). A place's number (北10条) and a
// floor or 丁目 are counted (北十条, 二十五階) in kanji either way; a
// place's number also when Arabic numerals are chosen.
QString forColumn(const QString &text, Numerals numerals);

// How far `text` runs down a column of `font`, in twips.
double length(const QString &text, const FontSpec &font);
// `text` down a column centred on `topCentre.x()`, the top of its first cell
// at `topCentre.y()`. A number of exactly two digits stands across one cell
// (縦中横).
GlyphRun column(const QString &text, const FontSpec &font, QPointF topCentre);

// `text` written across (not down) on one baseline, its advance centred on
// `centre.x()` and its capital height on `centre.y()`: digits set in boxes.
GlyphRun centred(const QString &text, const FontSpec &font, QPointF centre);

// Paints a run with a painter whose units are `devicePerTwip` to a twip.
void paint(QPainter &painter, const GlyphRun &run, QColor colour, double devicePerTwip);

} // namespace verticaltext
