#pragma once

#include <QPointF>
#include <QRectF>
#include <QString>

class DrawTarget;
class EntryRecord;

// The address side of a Japanese postcard (はがき, 100 × 148 mm, portrait):
// the recipient's postal code in Japan Post's red boxes, the address and the
// name written vertically, and the sender in the lower left.
namespace postcard {

inline constexpr double WidthMm = 100.0;
inline constexpr double HeightMm = 148.0;

// The pre-printed red box of the recipient's code digit `digit` (0 to 6), in
// millimetres from the sheet's top-left.
QRectF codeBoxMm(int digit);

struct Sender {
    QString name;
    QString postalCode;
    QString address;
    bool isEmpty() const { return name.isEmpty() && postalCode.isEmpty() && address.isEmpty(); }
};

struct Options {
    // Digits in addresses as kanji numerals; else Arabic digits set upright.
    bool kanjiNumerals = true;
    // Postcards set in the printer's tray at a time: one prompt and one job each.
    int stackSize = DefaultStackSize;
    static constexpr int DefaultStackSize = 20;
};

// 「様」, or 「御中」 for a company's name (one that carries a legal form);
// nothing when the name as stored already ends in an honorific.
QString honorificFor(const QString &name);

// An address as one column, or two broken at a natural point: before the
// building's name, else after the house number (番地), else before it, else
// after the last place name (市, 区, 町, ...).
struct AddressColumns {
    QString first;
    QString second;
};
AddressColumns splitAddress(const QString &address);

// Where a sheet lands on a target: its top-left in twips and its scale (1 on paper).
struct Placement {
    QPointF origin;
    double scale = 1.0;
};

// The sheet as large as fits `area` (twips), centred in it.
Placement centredIn(const QRectF &area);

// The sheet's edge and the red code boxes, for the preview; paper has them printed.
void drawSheet(DrawTarget &target, Placement at);
// What is printed on one postcard for `recipient`.
void drawAddressSide(DrawTarget &target, const EntryRecord &recipient, const Sender &sender, const Options &options,
                     Placement at);

} // namespace postcard
