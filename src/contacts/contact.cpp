#include "contacts/contact.h"

#include "contacts/phonenumbers.h"
#include "store/mdlDim.h"

#include <QRegularExpression>

namespace contactentry {
namespace {

bool isKana(QChar c) {
    return (c >= u'\u3041' && c <= u'\u30FF');
}

// The store's character rule on one field: look-alikes replaced, characters
// the code page cannot hold dropped (and noted), line breaks made spaces.
QString storable(const QString &text, const QString &what, QStringList &notes) {
    QString flat = text;
    flat.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(u'\n', u' ').replace(u'\r', u' ');
    int dropped = 0;
    const QString kept = entryrules::keepText(flat.trimmed(), &dropped);
    if (dropped > 0)
        notes.append(
            QStringLiteral("%1: %2 character(s) the phone book cannot store were left out").arg(what).arg(dropped));
    return kept;
}

// 1 to 10 when one of the contact's categories is a category's name or number.
int categoryNumber(const QStringList &names, const std::array<QString, 11> &categories) {
    for (const QString &raw : names) {
        const QString name = raw.trimmed();
        if (name.isEmpty())
            continue;
        for (int slot = 0; slot < 10; ++slot)
            if (mdlDim::categoryNameIn(categories[static_cast<size_t>(slot)]) == name)
                return slot + 1;
        bool isNumber = false;
        const int number = name.toInt(&isNumber);
        if (isNumber && number >= 1 && number <= 10)
            return number;
    }
    return 0;
}

const Contact::Phone *pick(const QList<const Contact::Phone *> &phones) {
    for (const Contact::Phone *p : phones)
        if (p->preferred)
            return p;
    return phones.isEmpty() ? nullptr : phones.first();
}

} // namespace

bool isLatin(const QString &text) {
    bool letters = false;
    for (QChar c : text) {
        if (c.unicode() >= 0x250)
            return false;
        letters = letters || c.isLetter();
    }
    return letters;
}

QString storedReading(const QString &phonetic) {
    QString reading = phonetic.normalized(QString::NormalizationForm_KC);
    bool kana = false;
    for (QChar &c : reading) {
        if (c >= u'\u30A1' && c <= u'\u30F3')
            c = QChar(c.unicode() - 0x60);
        kana = kana || isKana(c);
    }
    if (kana)
        reading.remove(QRegularExpression(QStringLiteral("\\s")));
    else
        reading = reading.simplified();
    return reading;
}

Converted toEntry(const Contact &contact, const std::array<QString, 11> &categories, int defaultCategory) {
    Converted out;
    entryrules::EntryLineFields &f = out.fields;
    QStringList &notes = out.notes;

    // The name: family and given names joined as the editor's entries are, else the full name.
    QString name;
    if (!contact.family.trimmed().isEmpty() && !contact.given.trimmed().isEmpty())
        name = contact.family.trimmed() + QStringLiteral("　") + contact.given.trimmed();
    else if (!contact.family.trimmed().isEmpty() || !contact.given.trimmed().isEmpty())
        name = (contact.family + contact.given).trimmed();
    else
        name = contact.fullName.trimmed();
    f.name = storable(name, QStringLiteral("name"), notes);

    QString reading = storedReading(contact.reading);
    if (reading.isEmpty()) {
        // A Latin name reads as it is written, family name first.
        const QString latin = (contact.family.trimmed() + u' ' + contact.given.trimmed()).trimmed();
        if (isLatin(latin))
            reading = latin.simplified();
        else if (latin.isEmpty() && isLatin(contact.fullName))
            reading = contact.fullName.simplified();
    }
    f.reading = storable(reading, QStringLiteral("reading"), notes);
    if (f.reading.isEmpty()) {
        out.skipReason = QStringLiteral("no reading (furigana) that the phone book can use");
        return out;
    }

    // The postal code as 3 + 4 digits; another code stays at the start of the address.
    QString address;
    const QStringList parts = contact.addressParts;
    QStringList present;
    for (const QString &part : parts)
        if (!part.trimmed().isEmpty())
            present.append(part.trimmed());
    const bool latinAddress = isLatin(present.join(QString()));
    address = present.join(latinAddress ? QStringLiteral(" ") : QString());
    if (!contact.postalCode.trimmed().isEmpty()) {
        const phonenumbers::Digits code = phonenumbers::digitsOf(contact.postalCode);
        if (code.digits.size() == 7)
            f.postalCode = code.digits.left(3) + u'-' + code.digits.mid(3);
        else
            address = (contact.postalCode.trimmed() + u' ' + address).trimmed();
    }
    f.address = storable(address, QStringLiteral("address"), notes);

    // Numbers by kind, the preferred one first; an 11-digit mobile number that
    // came as a plain telephone fills an empty mobile slot.
    QList<const Contact::Phone *> voice, fax, cell;
    for (const Contact::Phone &phone : contact.phones) {
        if (phone.kind == Contact::PhoneKind::Fax)
            fax.append(&phone);
        else if (phone.kind == Contact::PhoneKind::Cell ||
                 phonenumbers::isMobile(phonenumbers::digitsOf(phone.text).digits))
            cell.append(&phone);
        else
            voice.append(&phone);
    }
    const auto number = [&](const QList<const Contact::Phone *> &phones, int digits, const QString &what) {
        const Contact::Phone *chosen = pick(phones);
        if (!chosen)
            return QString();
        const QString text = phonenumbers::formatted(chosen->text, digits);
        if (text.isEmpty())
            notes.append(QStringLiteral("%1 %2 left out: not %3 digits").arg(what, chosen->text.trimmed()).arg(digits));
        return text;
    };
    f.telephone = number(voice, 10, QStringLiteral("telephone"));
    f.fax = number(fax, 10, QStringLiteral("fax"));
    f.mobile = number(cell, 11, QStringLiteral("mobile"));
    f.email = storable(contact.email, QStringLiteral("e-mail"), notes);

    f.category = categoryNumber(contact.categories, categories);
    if (f.category == 0)
        f.category = defaultCategory;

    entryrules::EntryValues values;
    values.reading = f.reading;
    values.name = f.name;
    values.postalDigits = f.postalCode.isEmpty() ? 0 : 7;
    values.telephoneDigits = f.telephone.isEmpty() ? 0 : 10;
    values.faxDigits = f.fax.isEmpty() ? 0 : 10;
    values.mobileDigits = f.mobile.isEmpty() ? 0 : 11;
    values.categoryChoice = f.category - 1;
    values.userCategoryName = mdlDim::categoryNameIn(categories[static_cast<size_t>(f.category - 1)]);
    using entryrules::EntryFault;
    const EntryFault fault = entryrules::checkEntry(values);
    switch (fault) {
    case EntryFault::None:
        break;
    case EntryFault::NoReading:
    case EntryFault::BadReadingStart:
        out.skipReason = QStringLiteral("reading \"%1\" does not begin with a letter or a kana").arg(f.reading);
        break;
    case EntryFault::NoName:
        out.skipReason = QStringLiteral("no name");
        break;
    case EntryFault::UnnamedCategory:
        out.skipReason = QStringLiteral("category %1 has no name yet").arg(f.category);
        break;
    default: // the numbers were made to fit; anything else is the editor's own message
        out.skipReason = entryrules::faultMessage(fault);
    }
    return out;
}

} // namespace contactentry
