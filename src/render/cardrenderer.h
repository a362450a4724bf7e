#pragma once

#include "render/cardlayout.h"

#include <QList>
#include <QPixmap>
#include <functional>

// Walks a card's tables: one walk for the form, one for the entries' text.
// The drawing itself goes through the primitives the caller hands in, the
// printer's for paper and a picture area's for the preview.
namespace cardrenderer {

struct Primitives {
    std::function<void(const QString &style, int y1, int y2, int x1, int x2, int width, int red, int green, int blue)>
        line;
    std::function<void(const QString &text, int x, int y, const QString &font, double size, bool bold, int red,
                       int green, int blue)>
        text;
    std::function<void(const QPixmap &picture, const QRect &area)> picture;
    // The device fitted text is measured on; null (or no function) for the screen.
    std::function<QPaintDevice *()> measuringDevice;
};

// The ruled lines and form pictures of a whole card.
void drawForm(const Primitives &draw, cardlayout::Medium medium, int format, int X, int Y,
              const QList<QPixmap> &pictures);

// Writes the card's entries from PrintTable[PrintIndex] on, beginning at
// StartLine on card 1 and at line 1 on later cards; advances PrintIndex and,
// when `markPrinted`, sets each written element's print mark to "T".
void drawEntries(const Primitives &draw, cardlayout::Medium medium, int format, int X, int Y, int startLine,
                 bool markPrinted);

} // namespace cardrenderer
