#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

class Book;

// Two-way sync of the book with one CardDAV address book. What both sides
// agreed on last time (syncstate) tells who changed what: a field changed on
// one side goes to the other; the same field changed on both is a conflict,
// never settled without the user. Cards go out as the server last returned
// them with only the book's changed fields written in.
namespace cardsync {

// How a first sync pairs the two sides.
enum class First {
    Match,    // entries and cards paired by UID, else by name with a number or reading
    Upload,   // the book to an empty address book
    Download, // the address book to an empty book
};

struct Account {
    QUrl url;
    QString user;
    QString password;
};

// A field changed on both sides since the last sync.
struct Conflict {
    QString uid;
    QString name;
    int field = 0; // 0 to 8: the entry's field; 9 on: a detail (cardedit::detailsOf's order)
    QString pc;
    QString phone;
};

// The user's answer to a conflict: the phone's value, or the PC's.
struct Choice {
    QString uid;
    int field = 0;
    bool takePhone = false;
};

// The side a conflict is settled for, from the command line.
enum class Side { Neither, Pc, Phone };

struct Options {
    First first = First::Match;
    // The user chose `first`: without that, a first sync between a book and
    // an address book that both hold contacts asks which is meant.
    bool firstChosen = true;
    bool dryRun = false;
    // Deleting more than half of the linked cards, or all of them, only when the user says so.
    bool allowMassDelete = false;
    QList<Choice> choices;
    // Conflicts settled for one side: all of them, or only those of the entries named.
    Side take = Side::Neither;
    QStringList takeNames;
    // Called as the sync goes: a short text of the step.
    std::function<void(const QString &)> progress;
};

struct Report {
    QString error; // why the sync stopped; what finished before it is kept
    // Stopped before writing anything: most of the linked entries are gone from the book.
    bool refusedMassDelete = false;
    QStringList lines; // one line for each change, refusal and conflict
    int sent = 0;
    int received = 0;
    int deleted = 0;
    int unsent = 0; // changes the server did not take; the next sync tries them again
    QList<Conflict> conflicts;
    // 送信 N 件、受信 M 件、削除 D 件、競合 C 件
    QString summary() const;
};

// The field's name as the user knows it ("電話番号").
QString fieldName(int field);

// Syncs the loaded, locked book with the account's address book.
Report run(Book &book, const Account &account, const Options &options);

} // namespace cardsync
