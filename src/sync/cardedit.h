#pragma once

#include "store/categorytable.h"
#include "store/people.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// A card and the book's ten fields, for a sync: what a card gives under the
// import rules, and a kept card with only the book's changed fields written
// into it, so that whatever else the phone keeps there (a photo, a birthday,
// a third number, the phonetic split) survives.
namespace cardedit {

// The details a sync carries beside the nine fields, in this order: the
// birthday, the notes, the nickname, the company, the department, the title,
// the URLs (one a line), the honorific (敬称). As `QStringList`s of
// `DetailCount` values.
constexpr int DetailCount = 8;
QStringList detailsOf(const people::PersonData &person);
// `person` with the details set to `details`.
void setDetails(people::PersonData &person, const QStringList &details);
// The detail's name as the user knows it ("誕生日").
QString detailName(int detail);

// Fields 1 to 9 of the entry the card gives under the import rules, or why it gives none.
struct Read {
    QStringList fields;
    QStringList details; // as detailsOf() gives them
    QStringList notes;
    QString skipReason;
    QString uid; // the card's UID when it is a UUID
};
// `defaultCategory`: the category of a card that names none the book has.
Read fieldsOfCard(const QByteArray &card, const mdlDim::CategoryLines &categories, int defaultCategory,
                  const QString &source);

// The kept card with the fields that differ between `base` and `now` (fields
// 1 to 9) written into the properties that held them; every other property
// stays as the server returned it. Properties the book does not hold are never removed.
QByteArray withChanges(const QByteArray &kept, const QStringList &base, const QStringList &now,
                       const mdlDim::CategoryLines &categories);
// The card with the details that differ between `base` and `now` written in
// (BDAY, NOTE, NICKNAME, ORG, TITLE, URL); a detail emptied is taken out.
QByteArray withDetails(const QByteArray &card, const QStringList &base, const QStringList &now);

} // namespace cardedit
