#pragma once

#include "contacts/contact.h"
#include "contacts/csvheaders.h"

#include <QStringList>

// Contacts from CSV rows, the columns found by their headers (csvheaders.h);
// headers are compared without regard to case, width or spaces.
namespace csvcontacts {

class Columns {
public:
    explicit Columns(const QStringList &header);
    // Whether any column says something of a contact (a name, reading, number or e-mail).
    bool isContactFile() const { return known_; }
    // The contact of one row; `source` names it in the report.
    Contact contact(const QStringList &row, const QString &source) const;
    // The columns that say nothing the phone book keeps (連名, 敬称, a country …).
    const QList<int> &unknownColumns() const { return unknown_; }

private:
    struct Column {
        int index;
        ColumnMeaning meaning;
    };
    // Google's numbered columns: "Phone 1 - Value", "E-mail 2 - Label", "Address 1 - Postal Code".
    bool addNumberedColumn(int index, const QString &normalised);
    QList<Column> columns_;
    int personColumn_ = 0; // where the per-person columns begin
    QList<int> unknown_;
    QStringList headers_;
    bool known_ = false;
    bool ownExport_ = false;  // the header telbora-contacts writes: names are as the book stored them
    bool withPerson_ = false; // ... with the UID and the per-person columns after the fields
};

} // namespace csvcontacts
