#pragma once

#include "contacts/contact.h"

#include <QString>

// What the columns of a contacts spreadsheet hold, by their headers as Google
// Contacts (current and older), Outlook (Japanese and English), Thunderbird,
// Japanese address and postcard software and Windows' mail program name them.
namespace csvcontacts {

enum class Role {
    Family,
    Given,
    Middle,
    FullName,
    ReadingFamily,
    ReadingGiven,
    ReadingMiddle,
    ReadingFull,
    Organization,
    OrganizationReading,
    Phone,
    PhoneLabel,
    Email,
    EmailLabel,
    AddressPart,
    AddressLabel,
    Category,
};
// The part of an address a column holds.
enum Part { Postal, Prefecture, City, Street, Building, PoBox, Formatted };

// A column's meaning. Columns of one group make one value: groups 101 to 199
// are home, 201 to 299 work, 301 others; Google's numbered columns get their own.
struct ColumnMeaning {
    Role role;
    int group = 0;
    Contact::PhoneKind kind = Contact::PhoneKind::Voice;
    int rank = 2; // 0 home, 1 work, 2 other: the order values are preferred in
    int part = Street;
};

// A header as compared: compatibility forms folded, lower case, no spaces.
QString normalisedHeader(const QString &header);

// The meaning of a header with a fixed name (compared normalised), or null.
const ColumnMeaning *meaningOfHeader(const QString &normalised);

} // namespace csvcontacts
