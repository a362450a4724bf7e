#pragma once

#include <QString>
#include <QStringView>

#include <array>

// The fields of an entry as its line in the entry file holds them, between
// "|": reading, name, postal code, address, telephone, fax, mobile, e-mail,
// category and the printed mark. In memory an entry is an element: its line
// number, "|", and the line.
enum class EntryField { Reading, Name, PostalCode, Address, Telephone, Fax, Mobile, Email, Category, Printed };
inline constexpr int EntryFieldCount = 10;

// An entry's fields, split once; a missing field is empty, fields after the
// printed mark are not kept.
class EntryRecord {
public:
    static EntryRecord ofLine(QStringView line);
    static EntryRecord ofElement(QStringView element);

    const QString &operator[](EntryField field) const { return fields_[static_cast<size_t>(field)]; }
    // The element's line number as written before its line; empty for a line.
    const QString &lineNumber() const { return lineNumber_; }

private:
    std::array<QString, EntryFieldCount> fields_;
    QString lineNumber_;
};

// One field alone, where a place needs no other.
QString fieldOfLine(QStringView line, EntryField field);
QString fieldOfElement(QStringView element, EntryField field);
// The line number an element carries, as written.
QString lineNumberOfElement(QStringView element);
