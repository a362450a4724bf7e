#pragma once

#include "render/postcard.h"

#include <QRectF>
#include <QSizeF>

class DrawTarget;

// Address labels on A4 sheets, written across: the postal code, the address
// (the building on a line of its own), then the names with their honorifics.
namespace labels {

struct SheetLayout {
    int columns;
    int rows;
    QSizeF labelMm;
    double leftMm; // the first column's left edge
    double topMm;  // the first row's top edge
    int perSheet() const { return columns * rows; }
};
// The common A4 sheets: 24 labels (3 × 8, 66 × 33.9 mm) and 12 (2 × 6, 86.4 × 42.3 mm).
SheetLayout layoutOf(int perSheet);

// Label `index` (0 from the top-left, across then down) of a sheet, in millimetres.
QRectF cellMm(const SheetLayout &layout, int index);

// One label's text for `recipient` in `cellMm` on `target`, placed as a sheet at `at`.
void drawLabel(DrawTarget &target, const postcard::Recipient &recipient, const QRectF &cellMm, postcard::Placement at);

// The sheet's edge and, lightly, its labels' edges: for the preview.
void drawSheet(DrawTarget &target, const SheetLayout &layout, postcard::Placement at);

} // namespace labels
