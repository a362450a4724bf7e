#pragma once

#include "contacts/contact.h"

#include <QString>
#include <QStringList>

// Contacts in: vCard and CSV files read into contacts, made entries under the
// phone book's rules, duplicates left out.
namespace contactimport {

// The contacts of one file (vCard when it holds "BEGIN:VCARD", else CSV).
// Empty `error` on success.
QList<Contact> readFile(const QString &path, QString &error);

struct Result {
    QStringList lines;  // the entry lines to add, in order
    QStringList report; // one line per skipped contact or left-out value
    int imported = 0;
    int skipped = 0;
    int duplicates = 0;
};

// Makes entries of the contacts. `existing`: the elements or lines of the
// book, for duplicates (same reading, name and telephone); `categories`: the
// category file's slots.
Result toEntries(const QList<Contact> &contacts, const QStringList &existingLines,
                 const std::array<QString, 11> &categories, int defaultCategory);

} // namespace contactimport
