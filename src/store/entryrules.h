#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// The rules every stored character obeys, for the editor's boxes and for
// anything else that writes entries. Widget-free.
namespace entryrules {

// The editor's box lengths in characters, for typing and pasting (a stored
// field may be longer: it opens whole).
constexpr int ReadingLimit = 15;
constexpr int NameLimit = 15;
// An address with its building and room: what two columns of a postcard hold.
constexpr int AddressLimit = 40;
constexpr int EmailLimit = 30;
constexpr int CategoryNameLimit = 6;
// The digit boxes: the postal code's two, and a number's three parts.
constexpr int PostalDigits[2] = {3, 4};
constexpr int NumberPartDigits[3] = {4, 4, 4};
constexpr int MobilePartDigits[3] = {3, 4, 4};

// CR, LF, TAB, NUL and the other C0 and C1 control characters, and DEL.
bool isControl(QChar c);

// The text as the data files can keep it: a character code page 932 stores as
// another character becomes that character (U+301C 〜 becomes ～); "|" and "'",
// control characters and characters the code page cannot hold are dropped.
// `dropped`, when given, receives how many characters were dropped.
QString keepText(QStringView text, int *dropped = nullptr);

// The hyphens people and input methods write between a number's digit
// groups ("-", "－", "‐", "−", "ー", "ｰ" …).
bool isNumberHyphen(QChar c);

// The digits 0 to 9 of the text, nothing else.
QString keepDigits(QStringView text, int *dropped = nullptr);

// Whether the reading may begin with its first character: A to z (codes 65
// to 122) or あ to ン (0x82A0 to 0x8393) in code page 932.
bool isValidFuriganaStart(QStringView reading);

// The entry as the editor's checks see it: the texts, the digit counts of
// the number groups, and the category choice (0 to 9, -1 for none) with the
// name of a chosen user category.
struct EntryValues {
    QString reading;
    QString name;
    int postalDigits = 0;
    int telephoneDigits = 0;
    int faxDigits = 0;
    int mobileDigits = 0;
    int categoryChoice = -1;
    QString userCategoryName;
};

// The checks of storing, in their order; the first that fails is the answer.
enum class EntryFault {
    None,
    NoReading,
    BadReadingStart,
    NoName,
    BadPostalCode,
    BadTelephone,
    BadFax,
    BadMobile,
    NoCategory,
    UnnamedCategory,
};
EntryFault checkEntry(const EntryValues &entry);
// The editor's message for a fault.
QString faultMessage(EntryFault fault);

// Number parts joined by "-", or empty when any part is empty.
QString joinedParts(const QStringList &parts);
// Part `n` (from 1) of a number stored as parts joined by "-"; empty when it has none.
QString numberPart(const QString &number, int n);

// The ten fields of an entry line: reading, name, postal code, address,
// telephone, fax, mobile, e-mail, category number (1 to 10), printed flag.
struct EntryLineFields {
    QString reading, name, postalCode, address, telephone, fax, mobile, email;
    int category = 1;
};
// The entry line as stored: ten fields joined by "|", printed flag "F".
QString entryLine(const EntryLineFields &fields);

} // namespace entryrules
