#include "contacts/contact.h"

#include "contacts/phonenumbers.h"
#include "contacts/readings.h"
#include "store/mdlDim.h"

#include <QRegularExpression>

#include <algorithm>

namespace contactentry {
namespace {

bool isKana(QChar c) {
    return (c >= u'\u3041' && c <= u'\u30FF');
}

// The store's character rule on one field: look-alikes replaced, accented
// letters the code page lacks written plain, line breaks made spaces; a
// character the code page cannot hold at all is dropped and named.
QString storable(const QString &text, const QString &what, QStringList &notes) {
    QString flat = readings::withCodePageVariants(text);
    flat.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(u'\n', u' ').replace(u'\r', u' ');
    flat = flat.trimmed();
    int dropped = 0;
    QString kept = entryrules::keepText(flat, &dropped);
    if (dropped > 0) {
        const QString plain = readings::withoutAccents(flat);
        int droppedPlain = 0;
        const QString keptPlain = entryrules::keepText(plain, &droppedPlain);
        if (droppedPlain < dropped) {
            notes.append(QStringLiteral("%1 \"%2\" written as \"%3\": accents the phone book cannot store")
                             .arg(what, flat, keptPlain));
            kept = keptPlain;
            dropped = droppedPlain;
        }
    }
    if (dropped > 0) {
        QString lost;
        for (QChar c : flat)
            if (!kept.contains(c) && !lost.contains(c))
                lost += c;
        notes.append(QStringLiteral("%1: %2 character(s) the phone book cannot store left out (%3)")
                         .arg(what)
                         .arg(dropped)
                         .arg(lost));
    }
    return kept;
}

// The category the contact's categories name, by name or number, or 0.
// `unknown` receives a name that matched none.
int categoryNumber(const QStringList &names, const std::array<QString, 11> &categories, QString &unknown,
                   bool &byNumber) {
    for (const QString &raw : names) {
        const QString name = raw.trimmed();
        if (name.isEmpty())
            continue;
        for (int slot = 0; slot < 10; ++slot)
            if (mdlDim::categoryNameIn(categories[static_cast<size_t>(slot)]) == name)
                return slot + 1;
        bool isNumber = false;
        const int number = name.toInt(&isNumber);
        if (isNumber && number >= 1 && number <= 10) {
            byNumber = true;
            return number;
        }
        if (unknown.isEmpty())
            unknown = name;
    }
    return 0;
}

// The name, family name first: "family　given", the full name's two words
// joined the same way, or the company.
QString entryName(const Contact &c) {
    const QString family = c.family.simplified(), given = c.given.simplified();
    if (!family.isEmpty() && !given.isEmpty())
        return family + QStringLiteral("　") + given;
    if (!family.isEmpty() || !given.isEmpty())
        return family + given;
    if (c.nameAsWritten && !c.fullName.trimmed().isEmpty())
        return c.fullName.trimmed();
    QString full = c.fullName.simplified();
    full.replace(QRegularExpression(QStringLiteral("[ \u3000]+")), QStringLiteral(" "));
    const QStringList words = full.split(u' ', Qt::SkipEmptyParts);
    if (words.size() == 2)
        return words.at(0) + QStringLiteral("　") + words.at(1);
    if (!full.isEmpty())
        return full;
    return c.organization.simplified();
}

template <typename Value> QList<const Value *> byPreference(const QList<Value> &values) {
    QList<const Value *> ordered;
    for (const Value &v : values)
        ordered.append(&v);
    std::stable_sort(ordered.begin(), ordered.end(), [](const Value *a, const Value *b) {
        if (a->preferred != b->preferred)
            return a->preferred;
        return a->rank < b->rank;
    });
    return ordered;
}

QString slotName(phonenumbers::Slot slot) {
    return slot == phonenumbers::Slot::Mobile ? QStringLiteral("mobile")
           : slot == phonenumbers::Slot::Fax  ? QStringLiteral("fax")
                                              : QStringLiteral("telephone");
}

// The numbers into the three slots, by preference; every number not kept is named.
void placeNumbers(const Contact &contact, entryrules::EntryLineFields &f, QStringList &notes) {
    using phonenumbers::Slot;
    const auto left = [&](const QString &what, const QString &value, const QString &why) {
        notes.append(QStringLiteral("%1 \"%2\" left out: %3").arg(what, value, why));
    };
    const auto slotText = [&](Slot slot) -> QString & {
        return slot == Slot::Mobile ? f.mobile : slot == Slot::Fax ? f.fax : f.telephone;
    };
    for (const Contact::Phone *phone : byPreference(contact.phones)) {
        const QString text = phone->text.trimmed();
        if (text.isEmpty())
            continue;
        // A fax stays a fax; a mobile number under a plain TEL is a mobile; a
        // number marked CELL is a mobile when it fits the mobile boxes, else
        // (a landline marked CELL) a telephone.
        const phonenumbers::Number number = phonenumbers::read(text);
        Slot slot = Slot::Telephone;
        if (phone->kind == Contact::PhoneKind::Fax)
            slot = Slot::Fax;
        else if (phone->kind == Contact::PhoneKind::Cell)
            slot = phonenumbers::fitted(number, Slot::Mobile).problem.isEmpty() ? Slot::Mobile : Slot::Telephone;
        else if (number.mobile)
            slot = Slot::Mobile;
        const phonenumbers::Parsed parsed = phonenumbers::fitted(number, slot);
        if (!parsed.problem.isEmpty()) {
            left(slotName(slot), text, parsed.problem);
            continue;
        }
        QString &target = slotText(slot);
        if (!target.isEmpty()) {
            left(slotName(slot), text, QStringLiteral("another %1 is kept").arg(slotName(slot)));
            continue;
        }
        target = parsed.stored;
        if (!parsed.dropped.isEmpty())
            notes.append(QStringLiteral("%1 \"%2\": %3 left out").arg(slotName(slot), text, parsed.dropped));
    }
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

QString joinedReading(const QStringList &parts) {
    QString reading;
    for (const QString &raw : parts) {
        const QString part = raw.trimmed();
        if (part.isEmpty())
            continue;
        const bool space = !reading.isEmpty() && isLatin(part) && isLatin(reading);
        reading += (space ? QStringLiteral(" ") : QString()) + part;
    }
    return reading;
}

std::pair<QString, QString> familyAndGiven(const QString &name) {
    const qsizetype space = name.indexOf(u'\u3000');
    return space < 0 ? std::pair{name, QString()} : std::pair{name.left(space), name.mid(space + 1)};
}

QString storedReading(const QString &phonetic) {
    // The spacing voiced marks would become a space and a combining mark, which
    // the code page lacks: they are kept aside through the normalisation.
    QString reading = QString(phonetic).replace(u'\u309B', u'\uE09B').replace(u'\u309C', u'\uE09C');
    reading = reading.normalized(QString::NormalizationForm_KC).replace(u'\uE09B', u'\u309B').replace(u'\uE09C', u'\u309C');
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
    // ゔ is not in the code page and ヴ may not begin a reading: う and the voiced mark.
    reading.replace(u'\u3094', QStringLiteral("う゛"));
    if (reading.startsWith(u'\u30F4'))
        reading.replace(0, 1, QStringLiteral("う゛"));
    return reading;
}

Converted toEntry(const Contact &contact, const std::array<QString, 11> &categories, int defaultCategory) {
    Converted out;
    entryrules::EntryLineFields &f = out.fields;
    QStringList &notes = out.notes;
    notes += contact.notes;

    const bool company = contact.family.trimmed().isEmpty() && contact.given.trimmed().isEmpty() &&
                         contact.fullName.trimmed().isEmpty();
    const QString name = entryName(contact);
    f.name = storable(name, QStringLiteral("name"), notes);

    QString reading = storedReading(company ? contact.organizationReading : contact.reading);
    if (reading.isEmpty()) {
        // A Latin name reads as it is written, family name first.
        const QString latin = (contact.family.simplified() + u' ' + contact.given.simplified()).trimmed();
        if (isLatin(latin))
            reading = latin;
        else if (latin.isEmpty() && isLatin(name))
            reading = name.simplified();
    }
    if (reading.isEmpty() && !name.isEmpty()) {
        reading = storedReading(readings::guess(f.name));
        if (!reading.isEmpty())
            notes.append(QStringLiteral("reading guessed: %1").arg(reading));
    }
    if (isLatin(reading))
        reading = reading.simplified();
    f.reading = storable(reading, QStringLiteral("reading"), notes);
    if (f.reading.isEmpty()) {
        out.skipReason = QStringLiteral("no reading (furigana) that the phone book can use");
        return out;
    }

    // One address: the preferred, else home, else work, else the first.
    bool addressKept = false;
    for (const Contact::Address *a : byPreference(contact.addresses)) {
        QStringList present;
        for (const QString &part : a->parts)
            if (!part.simplified().isEmpty())
                present.append(part.simplified());
        const QString code = a->postalCode.trimmed();
        if (present.isEmpty() && code.isEmpty())
            continue;
        const QString whole = present.join(isLatin(present.join(QString())) ? QStringLiteral(" ") : QString());
        if (addressKept) {
            notes.append(QStringLiteral("address \"%1\" left out: no slot for a second address")
                             .arg((code + u' ' + whole).trimmed()));
            continue;
        }
        addressKept = true;
        QString address = whole;
        // The postal code as 3 + 4 digits; another code stays at the start of the address.
        QString digits;
        for (QChar c : code.normalized(QString::NormalizationForm_KC))
            if (c.isDigit())
                digits += c;
        if (digits.size() == 7)
            f.postalCode = digits.left(3) + u'-' + digits.mid(3);
        else if (!code.isEmpty())
            address = (code + u' ' + address).trimmed();
        f.address = storable(address, QStringLiteral("address"), notes);
    }

    placeNumbers(contact, f, notes);

    for (const Contact::Email *e : byPreference(contact.emails)) {
        const QString text = e->text.trimmed();
        if (text.isEmpty())
            continue;
        if (!f.email.isEmpty())
            notes.append(QStringLiteral("e-mail \"%1\" left out: another e-mail is kept").arg(text));
        else
            f.email = storable(text, QStringLiteral("e-mail"), notes);
    }

    QString unknown;
    bool byNumber = false;
    f.category = categoryNumber(contact.categories, categories, unknown, byNumber);
    if (f.category == 0) {
        f.category = defaultCategory;
        if (!unknown.isEmpty())
            notes.append(QStringLiteral("category \"%1\" is none of the book's: put in category %2")
                             .arg(unknown)
                             .arg(defaultCategory));
    }

    entryrules::EntryValues values;
    values.reading = f.reading;
    values.name = f.name;
    values.postalDigits = f.postalCode.isEmpty() ? 0 : 7;
    values.telephoneDigits = f.telephone.isEmpty() ? 0 : 10;
    values.faxDigits = f.fax.isEmpty() ? 0 : 10;
    values.mobileDigits = f.mobile.isEmpty() ? 0 : 11;
    values.categoryChoice = f.category - 1;
    // An unnamed category given by its number (our own export) is taken as it is.
    values.userCategoryName = byNumber ? QStringLiteral("-")
                                       : mdlDim::categoryNameIn(categories[static_cast<size_t>(f.category - 1)]);
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
