#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// vCard 2.1, 3.0 and 4.0 as phones and mail programs write them: folded lines
// (leading white space, and quoted-printable soft breaks), CHARSET=
// (Shift_JIS, UTF-8, ISO-8859-1), quoted-printable and base64 values, escapes,
// grouped properties, parameters in any case, several cards to a file.
namespace vcard {

struct Property {
    QString group;                             // "item1" of "item1.TEL", else empty
    QString name;                              // upper case
    QStringList types;                         // TYPE values and 2.1's bare parameters, upper case
    QList<std::pair<QString, QString>> params; // other parameters, names upper case
    QString value;                             // decoded text, escapes still in place
    bool binary = false;                       // a base64 picture or sound: never decoded into text

    QString param(const QString &name) const;
    bool hasType(const QString &type) const { return types.contains(type); }
    // The value with its escapes undone.
    QString text() const;
    // A structured value (N, ADR) split on unescaped ";", each part unescaped.
    QStringList components() const;
    // A list value (CATEGORIES) split on unescaped ",", each part unescaped.
    QStringList list() const;
};

struct Card {
    int number = 0; // 1 for the file's first card
    QList<Property> properties;

    const Property *first(const QString &name) const;
    QList<const Property *> all(const QString &name) const;
};

// Calls visit(card) for each card in turn, so that a file of many cards is
// never held as cards all at once. Returns the number of a last card that
// has no END:VCARD (a cut-off file), else 0; that card is not visited.
int forEachCard(const QByteArray &bytes, const std::function<void(const Card &)> &visit);

// Escapes a text value for writing.
QString escaped(const QString &text);
// A vCard line folded at 75 octets of UTF-8 (never inside a character),
// each physical line ended by CR LF.
QByteArray folded(const QString &line);

} // namespace vcard
