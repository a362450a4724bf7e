#pragma once

#include "store/categorytable.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// A card and the book's ten fields, for a sync: what a card gives under the
// import rules, and a kept card with only the book's changed fields written
// into it, so that whatever else the phone keeps there (a photo, a birthday,
// a third number, the phonetic split) survives.
namespace cardedit {

// Fields 1 to 9 of the entry the card gives under the import rules, or why it gives none.
struct Read {
    QStringList fields;
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

} // namespace cardedit
