#pragma once

#include "render/cardlayout.h"

#include <QList>
#include <QPixmap>
#include <QStringList>

class DrawTarget;

// Walks a card's tables: one walk for the form, one for the entries' text,
// drawn on the target handed in: the printer for paper, a picture area for
// the preview.
namespace cardrenderer {

// The ruled lines and form pictures of a whole card.
void drawForm(DrawTarget &target, cardlayout::Medium medium, int format, int X, int Y, const QList<QPixmap> &pictures);

// Writes entries[first], entries[first + 1], ... on the card's lines from
// `firstLine` on, up to its last line or the first entry that is missing or
// empty. Returns how many entries it placed; changes nothing else.
int drawEntries(DrawTarget &target, cardlayout::Medium medium, int format, const QStringList &entries, int first,
                int firstLine, int X, int Y);

} // namespace cardrenderer
