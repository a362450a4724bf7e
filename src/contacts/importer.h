#pragma once

#include "contacts/contact.h"
#include "contacts/vcard.h"
#include "store/categorytable.h"
#include "store/failure.h"

class Book;

#include <QHash>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

// Contacts in: vCard and CSV files read contact by contact, made entries
// under the phone book's rules, duplicates left out.
namespace contactimport {

// Calls visit(contact) for each contact of the file, in order. A file is
// vCard when its first non-empty line is BEGIN:VCARD (in any case; UTF-8,
// UTF-16 or code page 932), otherwise CSV with a header row that names its
// columns as Google Contacts, Outlook, Thunderbird or a Japanese spreadsheet
// do. No failure on success; otherwise why the file was not read (it cannot
// be read, or it is no contacts file). `notes` receives what concerns the
// file as a whole (a card cut off).
Failure forEachContact(const QString &path, const std::function<void(const Contact &)> &visit, QStringList &notes);

// One card as a contact, under the rules a file's cards are read by; `source` names it in reports.
Contact contactOfCard(const vcard::Card &card, const QString &source);

// The contacts of one file, all at once (for small files and tests).
QList<Contact> readFile(const QString &path, Failure &error);

// A book entry an import changed: its index among the book's entries, its line and data now.
struct Update {
    int entry;
    QString line;
    people::PersonData data;
};

struct Result {
    QStringList lines;                         // the entry lines to add, in order
    people::DataOfNew people;                  // the lines' per-person data, where there is some
    QStringList uids;                          // each line's UID from its file, or empty
    QList<Update> updates;                     // the book's entries changed, each once
    QList<std::pair<int, QString>> categories; // user categories to name first: slot (5 to 9) and line
    QStringList report;                        // one line per skipped contact, duplicate, update and left-out value
    int imported = 0;
    int updated = 0;
    int skipped = 0;
    int duplicates = 0;
};

// An entry of the book as an import sees it.
struct BookEntry {
    QString line;
    QString uid;
    people::PersonData data;
};

// Makes entries of contacts one at a time; one person stays one entry. A
// contact is the same person as an entry (of the book, or one this import
// added) when it carries the entry's UID; when the names are equal, spaces
// and widths folded, and it is the one entry with the best evidence in common
// (a mobile or an e-mail, then a landline, then an address); or
// when name and reading are equal and no value contradicts. Such a contact
// fills the entry's empty fields; a value differing from a filled one is kept
// as a further number, e-mail or address; nothing is overwritten. A contact
// that brings nothing new, or whose line equals one already there, is a duplicate.
class Importer {
public:
    // `book`: the book's entries; `categories`: the category file's slots.
    Importer(const QList<BookEntry> &book, const mdlDim::CategoryLines &categories, int defaultCategory);
    Importer(const QStringList &existingLines, const mdlDim::CategoryLines &categories, int defaultCategory);
    // Where a contact went: the book's entry it matched (`book`) or the new
    // line it became (`added`); both -1 when it was skipped.
    struct Placed {
        int book = -1;
        int added = -1;
    };
    Placed add(const Contact &contact);
    const Result &result() const { return result_; }
    Result takeResult() { return std::move(result_); }

private:
    // A person the import knows: an entry of the book, or one it adds. Its
    // line and data live there (or among the updates), never twice.
    struct Known {
        int book = -1;   // its index among the book's entries
        int added = -1;  // its index among the lines to add, when this import made it
        int update = -1; // its index among the updates, when this import changed it
    };
    // A person's fields (ten or more) and data, to compare and to fill.
    struct Person {
        QStringList fields;
        people::PersonData data;
    };
    static QString duplicateKey(const QString &line);
    // A category the contact names that the book lacks takes a free user category.
    bool nameNewCategory(const Contact &contact);
    const QString &lineOf(const Known &known) const;
    Person personOf(const Known &known) const;
    void remember(int known, const QString &name, const QString &uid);
    // The person the contact is, ranked by evidence (a UID, then a mobile or
    // an e-mail, then a landline, then an address); -1 for a new person, with
    // `tie` saying why when two are equally likely.
    int samePerson(const Contact &contact, const contactentry::Converted &converted, QString *tie) const;
    // What the contact brings that the person lacks, each named; `kept`
    // gets what differs and was left as it was.
    QStringList merge(Person &person, const Contact &contact, const contactentry::Converted &converted,
                      QStringList &kept) const;

    mdlDim::CategoryLines categories_;
    int defaultCategory_;
    Placed placed(int person) const;
    // key → the source it came from (empty for the book) and the person it is
    QHash<QString, std::pair<QString, int>> known_;
    QList<BookEntry> book_;
    std::vector<Known> people_;      // the book's entries, then those this import adds
    QMultiHash<size_t, int> byName_; // by the folded name's hash; the names are compared when found
    QHash<QString, int> byUid_;
    Result result_;
};

// Files imported into the book in mdlDim::AppDir, as telbora-contacts and a
// drop on the browsing window do: the book loaded, every file read, the new
// lines appended in one safe write (none with `dryRun`).
struct BookImport {
    Failure failure;    // why nothing was imported; the rest is empty then
    QString error;      // the same in words
    QStringList report; // the report's lines (with `dryRun`, also each line it would add)
    QString summary;    // 取り込み N 件、更新 U 件、見送り M 件、重複 K 件
    int imported = 0;
    int updated = 0;
};
// UIDs taken from the files are kept unless an entry of the book has one already.
BookImport importIntoBook(Book &book, const QStringList &files, int defaultCategory, bool dryRun = false);

} // namespace contactimport
