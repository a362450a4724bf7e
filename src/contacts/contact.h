#pragma once

#include "store/entryrules.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>

// A contact as read from a vCard or a CSV row, before it becomes an entry.
struct Contact {
    QString source;  // where it came from, for the report: "file.vcf, card 3"
    QString reading; // the phonetic name as given (any kana, any width)
    QString family;  // N's family and given names
    QString given;
    QString fullName; // FN, or a CSV's whole name
    QString postalCode;
    QStringList addressParts; // in Japanese order: region, locality, street, extended
    enum class PhoneKind { Voice, Fax, Cell };
    struct Phone {
        QString text;
        PhoneKind kind;
        bool preferred;
    };
    QList<Phone> phones;
    QString email;
    QStringList categories;
};

namespace contactentry {

// A phonetic name as the phone book stores readings: half-width katakana
// widened, katakana turned into hiragana (ヴ, ヵ and ヶ stay), and no spaces
// in a kana reading.
QString storedReading(const QString &phonetic);

// Whether the text is written in Latin letters only (with spaces and marks).
bool isLatin(const QString &text);

struct Converted {
    QString skipReason; // empty when the contact became an entry
    entryrules::EntryLineFields fields;
    QStringList notes; // what was left out of the entry, for the report
};

// The entry for a contact under the editor's rules and the store's character
// rule. `categories`: the category file's slots; `defaultCategory` 1 to 10 for
// a contact whose categories name none of them.
Converted toEntry(const Contact &contact, const std::array<QString, 11> &categories, int defaultCategory);

} // namespace contactentry
