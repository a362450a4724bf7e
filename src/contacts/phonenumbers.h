#pragma once

#include <QString>
#include <QStringList>

// Telephone numbers as the phone book stores them: Japanese numbers in three
// digit groups joined by "-", split where the national numbering plan splits
// them (Google's libphonenumber and its metadata).
namespace phonenumbers {

enum class Slot { Telephone, Fax, Mobile };

struct Parsed {
    QString stored;   // as the store keeps it ("03-1234-5678"), empty with a problem
    QString problem;  // why it cannot be kept, for the report
    QString dropped;  // a part left out and kept nowhere (an extension), for the report
};

// A number as libphonenumber reads it (once: reading is the costly part).
struct Number {
    QString problem;         // not a number, or not a Japanese one
    QString dropped;         // an extension, kept nowhere
    QString digits;          // the national digits, 0 first
    QStringList planGroups;  // split at the hyphens of the national format
    QStringList writtenGroups; // the text's own three groups, when it has them
    bool mobile = false;     // a mobile or IP-phone number
};
Number read(const QString &text);
// The number for `slot`'s boxes, from what read() made of it.
Parsed fitted(const Number &number, Slot slot);

// The number for `slot`'s boxes: 10 digits for telephone and fax, 11 for
// mobile. A number written in three groups that fit the boxes keeps its
// groups; any other Japanese number (national, +81, tel: URI) is split at the
// hyphens of its national format; a number of another country is not kept.
Parsed parse(const QString &text, Slot slot);


} // namespace phonenumbers
