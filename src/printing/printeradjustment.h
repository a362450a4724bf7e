#pragma once

#include "render/cardprinter.h"
#include "store/settingsfile.h"

#include <QHash>
#include <QPointF>
#include <QString>

#include <functional>

class QSettings;

// Where each printer puts a card: an offset in millimetres (right and down
// positive, -10.0 to +10.0 in steps of 0.1) kept per CUPS queue in
// "telbora.ini" in the book's folder. The data files are never touched.
namespace printeradjustment {

inline constexpr double LimitMm = 10.0;
inline constexpr CardPrinter::Sheet Sheets[] = {CardPrinter::Sheet::Card, CardPrinter::Sheet::Postcard,
                                                CardPrinter::Sheet::LongEnvelope, CardPrinter::Sheet::WesternEnvelope,
                                                CardPrinter::Sheet::LabelSheet};
// What the adjustment window calls a sheet.
QString sheetName(CardPrinter::Sheet sheet);

// telbora.ini, as the store reads and writes it.
inline QString settingsPath() {
    return settingsfile::path();
}
inline QString changeSettings(const std::function<void(QSettings &)> &change) {
    return describe(settingsfile::change(change));
}
inline bool readSettings(const std::function<void(QSettings &)> &read) {
    return settingsfile::read(read);
}

// The offset kept for `queue` and `sheet`; none (0, 0) when there is none,
// and a sheet without its own takes the cards' (the printer's own offset).
// A damaged file, or a value that is no number or out of range, is ignored:
// `warning` receives why, in words for the user.
QPointF load(const QString &queue, CardPrinter::Sheet sheet = CardPrinter::Sheet::Card, QString *warning = nullptr);
// The offset of every sheet for `queue`, as load() gives each, in one read of the file.
using Offsets = QHash<CardPrinter::Sheet, QPointF>;
Offsets loadAll(const QString &queue, QString *warning = nullptr);
// Whether `sheet` has an offset of its own for `queue`.
bool hasOwn(const QString &queue, CardPrinter::Sheet sheet);

// Keeps `offsetMm` for `queue` and `sheet`, every other one as it was,
// written the safe way (a new file renamed over the old). Empty on success, else why not.
QString save(const QString &queue, QPointF offsetMm, CardPrinter::Sheet sheet = CardPrinter::Sheet::Card);

// The printer the user chose in the adjustment window: a CUPS queue, or a
// folder for PDF files (then `queue` is empty). Empty when none was chosen.
struct Chosen {
    QString queue;
    QString pdfFolder;
};
Chosen loadChoice();
QString saveChoice(const Chosen &chosen);

} // namespace printeradjustment
