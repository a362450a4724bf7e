#pragma once

#include "store/categorytable.h"
#include "store/entryrules.h"
#include "store/people.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>

// A contact as read from a vCard or a CSV row, before it becomes an entry:
// every value the file gave, in file order, each with what the file said of it.
struct Contact {
    QString source;  // where it came from, for the report: "file.vcf, card 3"
    QString reading; // the phonetic name as given (any kana, any width)
    QString family;  // the family and given names
    QString given;
    QString fullName; // FN, or a CSV's whole name
    // Our own export: every value is the entry's field as it was stored, taken
    // as written (spaces at the ends, several e-mails in one box, katakana).
    bool asWritten = false;
    QString organization;
    QString organizationReading;
    QString uid; // the card's UID when it is a UUID: the entry keeps it
    // What the book keeps beside the ten fields: company, title, birthday,
    // notes and, from our own export, everything the side file held.
    people::PersonData person;

    // Kind rank of a value: 0 home or main; 1 work; 2 anything else (VOICE says no kind).
    struct Address {
        QString postalCode;
        QStringList parts; // in Japanese order: prefecture, city, street, building
        bool preferred = false;
        int rank = 2;
    };
    QList<Address> addresses;
    enum class PhoneKind { Voice, Fax, Cell };
    struct Phone {
        QString text;
        PhoneKind kind = PhoneKind::Voice;
        bool preferred = false;
        int rank = 2;
    };
    QList<Phone> phones;
    struct Email {
        QString text;
        bool preferred = false;
        int rank = 2;
    };
    QList<Email> emails;
    QStringList categories;
    // Said while reading the contact (a second number in one cell), for the report.
    QStringList notes;
    // Set when the contact cannot become an entry whatever its values (a
    // cell that swallowed the rest of the file).
    QString skipReason;
};

namespace contactentry {

// A value this long is no field but a file swallowed by an unclosed quote.
constexpr int SwallowedFile = 1000;

// A phonetic name as the phone book stores readings: half-width katakana
// widened, katakana turned into hiragana, no spaces in a kana reading, a ヴ
// at the start written う゛ (a reading must begin with あ to ん or a letter).
// Also how the duplicate check folds readings.
QString storedReading(const QString &phonetic);

// Whether the text is written in Latin letters only (with spaces and marks).
bool isLatin(const QString &text);

// Phonetic parts (family, given, ...) joined: kana run together, Latin words with one space.
QString joinedReading(const QStringList &parts);

// One year of the New Year record as an export wrote it, into `person`: the
// marks this program knows are kept; what it cannot keep is said in `notes`.
void readNewYear(people::PersonData &person, const QString &year, const QStringList &words, QStringList &notes);

// A date as YYYY-MM-DD when written as year, month and day (1970/5/3,
// 1970.05.03, 1970年5月3日, 19700503); any other text as it is.
QString isoDate(const QString &text);

// The ASCII digits of the text, full-width ones included; digits of other scripts are left out.
QString asciiDigits(const QString &text);

// A stored name split at its full-width space into family and given names.
std::pair<QString, QString> familyAndGiven(const QString &name);

// The name as entries write it: a half-width space between two parts becomes "　".
QString entryNameOf(const QString &single);

struct Converted {
    QString skipReason; // empty when the contact became an entry
    entryrules::EntryLineFields fields;
    QStringList notes; // each value left out of the entry, and why; what was guessed
    // Numbers, e-mails and addresses beyond the entry's slots, for the side file.
    QStringList extraPhones, extraEmails, extraAddresses;
};

// The category a contact names that the book lacks, when it names no category
// the book has (nor one by its number); empty otherwise.
QString unknownCategory(const Contact &contact, const mdlDim::CategoryLines &categories);

// The entry for a contact under the editor's rules and the store's character
// rule. Each slot takes the first usable value by preference (marked
// preferred, then home or main, then work, then file order); every
// other value is named in the notes. `categories`: the category file's
// slots; `defaultCategory` 1 to 10 for a contact whose categories name none.
Converted toEntry(const Contact &contact, const mdlDim::CategoryLines &categories, int defaultCategory);

} // namespace contactentry
