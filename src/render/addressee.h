#pragma once

#include "store/people.h"

#include <QList>
#include <QString>

// Who a postcard or an envelope is written to, as a household addresses it:
// the head of the entry with the 敬称, the joint names (連名) beside it, a
// company written apart from the person at it.
namespace addressee {

// One column of the name block.
struct NameColumn {
    QString family;       // empty: under the head's family name (or a name with no split)
    QString given;        // or the whole name when it has no space to split at
    QString honorific;    // empty: none
    bool company = false; // a line of the company's: smaller, without honorific

    bool operator==(const NameColumn &) const = default;
};

// The name block's columns, right to left as they are read: the company's
// lines, the head, the joint names. The person's 敬称 decides; without one a
// company gets 御中 and a person 様, an honorific stored at the name's end is
// kept, and 御中 never stands beside another. Five joint names and more are
// written 「ご家族様」.
QList<NameColumn> nameColumns(const QString &name, const people::PersonData &person);
// A sender's: the name, and the joint names as "given" or "family given"; no honorific.
QList<NameColumn> senderColumns(const QString &name, const QStringList &joint);

// An address as it is written on the card: without a 〒 mark or postal code
// that was typed into it, half-width katakana made full-width, and the
// building's part apart when the person's data holds where it breaks.
struct Address {
    QString text;       // before the break; the whole when there is none
    QString building;   // after it
    QString postalCode; // a code that was typed into the address
};
Address cardAddress(const QString &stored, int buildingBreak);

} // namespace addressee
