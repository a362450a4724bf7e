#pragma once

#include "contacts/contact.h"

#include <QStringList>

// Contacts from CSV rows, the columns found by their headers as Google
// Contacts (current and older), Outlook (Japanese and English), Thunderbird
// Japanese spreadsheets, address and postcard software
// and Windows' mail program name them; headers are compared without regard
// to case, width or spaces.
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
    enum class Role {
        Family,
        Given,
        Middle,
        FullName,
        ReadingFamily,
        ReadingGiven,
        ReadingMiddle,
        ReadingFull,
        Organization,
        OrganizationReading,
        Phone,
        PhoneLabel,
        Email,
        EmailLabel,
        AddressPart,
        AddressLabel,
        Category,
    };
    enum Part { Postal, Prefecture, City, Street, Building, PoBox, Formatted };
    struct Column {
        int index;
        Role role;
        int group = 0; // Google's "Phone 2", Outlook's home or business: one value per group
        Contact::PhoneKind kind = Contact::PhoneKind::Voice;
        int rank = 2;
        int part = Street;
    };
    QList<Column> columns_;
    QList<int> unknown_;
    QStringList headers_;
    bool known_ = false;
    bool ownExport_ = false; // the header telbora-contacts writes: names are as the book stored them
};

} // namespace csvcontacts
