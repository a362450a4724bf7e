#pragma once

#include "store/categorytable.h"
#include "store/failure.h"
#include "store/people.h"

#include <QByteArray>
#include <QStringList>
#include <array>

// Contacts out: the phone book's entries as vCard 3.0 or CSV.
namespace contactexport {

enum class Format { VCard, Csv };
enum class Encoding { Utf8, Cp932 };

// The CSV header: the columns of an entry in the file's order, then its UID
// and the per-person data.
QStringList csvHeader();
// The header exports had before they carried the per-person data: read as our own too.
QStringList csvHeaderOfTheFields();
// The per-person columns of a row (after the fields), and back.
QStringList personCells(const QString &uid, const people::PersonData &person);
void readPersonCells(const QStringList &cells, QString &uid, people::PersonData &person, QStringList &notes);
// The PRODID of the vCards written here: an import takes their values as written.
QString vcardProductId();

struct Exported {
    QByteArray bytes;
    Failure failure;     // set when an entry cannot be written in the encoding: nothing may be written then
    QString error;       // the same in words
    QStringList notices; // entries that would not come back whole on import, and why
};

// One entry to write: its line (without line number), its identity and the
// per-person data the side file holds for it.
struct Entry {
    QString line;
    QString uid;
    people::PersonData person;
};
// One entry as a vCard 3.0 in UTF-8, with CR LF line ends.
QByteArray vcardOf(const Entry &entry, const mdlDim::CategoryLines &categories);
// The category's name for field 9's number, or the number when it has none;
// empty for no category.
QString categoryName(const QString &number, const mdlDim::CategoryLines &categories);
// The reading split where the family name's reading ends, as phones keep it
// (X-PHONETIC-LAST-NAME and -FIRST-NAME); all of it as the family part when
// the family name's reading is not where it begins.
std::pair<QString, QString> phoneticParts(const QString &reading, const QString &family, const QString &given);

// `entries`: what to write; `categories`: the category
// file's slots, whose names stand for the category numbers (an unnamed
// category is written as its number). vCard is always UTF-8; CSV is UTF-8
// with a byte-order mark (as Excel wants it) or code page 932.
Exported exportEntries(const QList<Entry> &entries, const mdlDim::CategoryLines &categories, Format format,
                       Encoding encoding);
// Lines alone, each with the UID a book without a side file gives it.
Exported exportEntries(const QStringList &lines, const mdlDim::CategoryLines &categories, Format format,
                       Encoding encoding);

} // namespace contactexport
