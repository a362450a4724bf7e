#pragma once

#include "render/cardprinter.h"
#include "render/postcard.h"

#include <QList>
#include <QString>

// What the print set-up writes addresses on besides cards: postcards,
// envelopes, A4 sheets of labels.
namespace addressmedium {

enum class Kind { Postcard, LongEnvelope, WesternEnvelope, Labels24, Labels12 };
inline constexpr Kind Kinds[] = {Kind::Postcard, Kind::LongEnvelope, Kind::WesternEnvelope, Kind::Labels24,
                                 Kind::Labels12};

// As the print set-up lists it: 「はがき」, 「封筒 長形3号」, 「ラベル 24 面」.
QString caption(Kind kind);
// As the paper prompt names it: 「はがき」, 「長形3号の封筒」, 「A4 ラベル用紙」.
QString paperName(Kind kind);
CardPrinter::Sheet sheet(Kind kind);
postcard::Form form(Kind kind);
// Labels a sheet holds; 0 for a postcard or an envelope (one address a sheet).
int labelsPerSheet(Kind kind);
// Whether what is printed is a New Year card sent (出): postcards and labels for them, not envelopes.
bool marksSent(Kind kind);

// Each sheet's addressees, as indexes into them: one a sheet, or a sheet of
// labels, the first sheet from label `firstLabel` (1 up) on.
QList<QList<qsizetype>> sheetsOf(qsizetype addressees, Kind kind, int firstLabel);
// The label cell of the `k`th addressee on sheet `sheet`.
int labelCell(Kind kind, int firstLabel, qsizetype sheet, qsizetype k);

} // namespace addressmedium
