#pragma once

#include "render/verticaltext.h"
#include "store/people.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

class DrawTarget;
class EntryRecord;

// The address side of a Japanese postcard (はがき, 100 × 148 mm, portrait):
// the recipient's postal code in Japan Post's red boxes, the address and the
// name written vertically, and the sender in the lower left.
namespace postcard {

inline constexpr double WidthMm = 100.0;
inline constexpr double HeightMm = 148.0;

// What the address side is written on: a postcard, or an envelope written
// upright (the 私製 forms' code boxes, where a postcard has them from the
// top-right corner; the sender goes on an envelope's back).
enum class Form { Postcard, LongEnvelope, WesternEnvelope };
QSizeF sheetMm(Form form);

// The pre-printed red box of the recipient's code digit `digit` (0 to 6), in
// millimetres from the sheet's top-left.
QRectF codeBoxMm(int digit, Form form = Form::Postcard);
// The box of the sender's code digit `digit` (0 to 6) printed on Japan
// Post's own postcards (年賀はがき, 通常はがき): 4 × 6 mm, in two groups of
// three and four, low at the left.
QRectF senderCodeBoxMm(int digit);

struct Sender {
    QString name;
    QString postalCode;
    QString address;
    QStringList joint; // more of the family: "花子", or "佐藤　花子" with another family name
    bool isEmpty() const { return name.isEmpty() && postalCode.isEmpty() && address.isEmpty(); }
    bool operator==(const Sender &) const = default;
};

// Whom one postcard is for: the entry and the person's data (敬称, 連名,
// company, the address's building break).
struct Recipient {
    QString name;
    QString postalCode;
    QString address;
    people::PersonData person;
    static Recipient of(const EntryRecord &entry, people::PersonData person = {});
};

struct Options {
    verticaltext::Numerals numerals = verticaltext::Numerals::KanjiDigits;
    // Names of up to four characters a part spread evenly down their cells (均等割り).
    bool spreadNames = true;
    // Postcards set in the printer's tray at a time: one prompt and one job each.
    int stackSize = DefaultStackSize;
    static constexpr int DefaultStackSize = 20;
};

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
Placement centredIn(const QRectF &area, Form form = Form::Postcard);
// A sheet of `sheetMm` as large as fits `area`, centred in it.
Placement centredIn(const QRectF &area, QSizeF sheetMm);

// The sheet's edge and the red code boxes, for the preview; paper has them printed.
void drawSheet(DrawTarget &target, Placement at, Form form = Form::Postcard);
// What is printed on one postcard for `recipient`.
void drawAddressSide(DrawTarget &target, const Recipient &recipient, const Sender &sender, const Options &options,
                     Placement at, Form form = Form::Postcard);

} // namespace postcard
