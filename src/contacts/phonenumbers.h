#pragma once

#include <QString>
#include <QStringList>

// Telephone numbers as the phone book stores them: Japanese numbers in three
// digit groups joined by "-". Only the digits the text gave are kept: "+81"
// (or 81 after 00 or 010) becomes the trunk 0 and nothing else is ever added.
// Groups come from the text when they fit the boxes, else from the national
// numbering plan (Google's libphonenumber), else the digits are split to fit.
namespace phonenumbers {

enum class Slot { Telephone, Fax, Mobile };

struct Parsed {
    QString stored;  // as the store keeps it ("03-1234-5678"), empty with a problem
    QString problem; // why it cannot be kept, for the report
    QString dropped; // a part left out and kept nowhere (an extension, digits after a pause)
};

struct Number {
    QString problem;           // not a number, or not a Japanese one with its area code
    QString dropped;           // an extension or the dialling after a pause, kept nowhere
    QString digits;            // the national digits, 0 first
    QStringList writtenGroups; // the text's own digit groups of the national number
};
Number read(const QString &text);

// The slot a number goes to: a fax stays a fax; otherwise 11 digits fit
// only the mobile boxes and 10 the telephone boxes (a landline marked CELL).
Slot slotFor(const Number &number, bool markedFax);

// The number for `slot`'s boxes (10 digits for telephone and fax, 11 for mobile).
Parsed fitted(const Number &number, Slot slot);
Parsed parse(const QString &text, Slot slot);

// "電話", "FAX", "携帯電話": the slot as the report names it.
QString slotName(Slot slot);

} // namespace phonenumbers
