#pragma once

#include "contacts/contact.h"

#include <QString>

#include <optional>

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
    Person,      // a text of the side data: part is a PersonText
    JointName,   // 連名: group is its number (1 to 5), part a JointPart
    NewYearMark, // group is the year, part a NewYearMarkKind
};
enum PersonText { Honorific, Department, JobTitle, Birthday, Notes, Nickname, Url };
enum JointPart { JointWhole, JointReading, JointHonorific };
// What a year's column says: its cell names the marks (出, 受, 喪中), or the
// header does and the cell only says yes.
enum NewYearMarkKind { MarksInCell, SentMark, ReceivedMark, MourningMark };
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

// Postcard software's numbered and dated columns: 連名2, 連名2ふりがな,
// 連名2敬称; 2025年賀状, 2025年 受, R7 出, 令和7年喪中. Null for others.
std::optional<ColumnMeaning> postcardColumn(const QString &normalised);

// The year a text names (2025, 令和7, R7, 平成31, H31) and the text without it.
std::optional<std::pair<int, QString>> yearIn(const QString &text);

} // namespace csvcontacts
