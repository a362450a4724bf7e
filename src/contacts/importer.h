#pragma once

#include "contacts/contact.h"
#include "store/categorytable.h"

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
// do. Empty on success; otherwise why the file was not read (no contacts file).
// `notes` receives what concerns the file as a whole (a card cut off).
QString forEachContact(const QString &path, const std::function<void(const Contact &)> &visit, QStringList &notes);

// The contacts of one file, all at once (for small files and tests).
QList<Contact> readFile(const QString &path, QString &error);

struct Result {
    QStringList lines;  // the entry lines to add, in order
    QList<people::PersonData> people; // each line's per-person data
    QStringList uids;                 // each line's UID from its file, or empty
    QStringList report; // one line per skipped contact, duplicate and left-out value
    int imported = 0;
    int skipped = 0;
    int duplicates = 0;
};

// Makes entries of contacts one at a time. A contact is a duplicate only when
// the line it would write equals one of the book's (or an earlier contact's)
// in every field but the printed mark, readings compared with their kana folded.
class Importer {
public:
    // `existingLines`: the book's entry lines; `categories`: the category file's slots.
    Importer(const QStringList &existingLines, const mdlDim::CategoryLines &categories, int defaultCategory);
    void add(const Contact &contact);
    const Result &result() const { return result_; }

private:
    static QString duplicateKey(const QString &line);

    mdlDim::CategoryLines categories_;
    int defaultCategory_;
    QHash<QString, QString> known_; // key → where it came from ("the book" or a source)
    Result result_;
};

// Files imported into the book in mdlDim::AppDir, as telbora-contacts and a
// drop on the browsing window do: the book loaded, every file read, the new
// lines appended in one safe write (none with `dryRun`).
struct BookImport {
    QString error;      // why nothing was imported; the rest is empty then
    QStringList report; // the report's lines (with `dryRun`, also each line it would add)
    QString summary;    // 取り込み N 件、見送り M 件、重複 K 件
    int imported = 0;
};
// UIDs taken from the files are kept unless an entry of the book has one already.
BookImport importIntoBook(Book &book, const QStringList &files, int defaultCategory, bool dryRun = false);

} // namespace contactimport
