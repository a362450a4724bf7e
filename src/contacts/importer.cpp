#include "contacts/importer.h"

#include "contacts/log.h"

#include "contacts/csv.h"
#include "contacts/csvcontacts.h"
#include "contacts/exporter.h"
#include "contacts/vcard.h"
#include "store/book.h"
#include "store/cp932.h"
#include "store/entryrules.h"
#include "store/entrywriter.h"
#include "store/linefile.h"
#include "store/mdlDim.h"
#include "store/textforms.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QUuid>

#include <algorithm>

namespace contactimport {
namespace {

// Of several properties of one name (ALTID variants), the Japanese one.
const vcard::Property *japaneseVariant(const QList<const vcard::Property *> &properties) {
    for (const vcard::Property *p : properties)
        if (p->param(QStringLiteral("LANGUAGE")).startsWith(QLatin1String("ja"), Qt::CaseInsensitive))
            return p;
    return properties.isEmpty() ? nullptr : properties.first();
}

bool preferred(const vcard::Property *p) {
    return p->hasType(QStringLiteral("PREF")) || p->param(QStringLiteral("PREF")) == QLatin1String("1");
}

// 0 home or main; 1 work; 2 anything else. VOICE says no kind: iPhone marks every number so.
int rankOf(const vcard::Property *p) {
    if (p->hasType(QStringLiteral("HOME")) || p->hasType(QStringLiteral("MAIN")))
        return 0;
    return p->hasType(QStringLiteral("WORK")) ? 1 : 2;
}

// A postal address given as one text (4.0's LABEL, 3.0's LABEL property): a
// leading "〒123-4567" is its postal code, line breaks separate its parts.
Contact::Address labelAddress(const QString &label, bool preferred, int rank) {
    static const QRegularExpression postal(QStringLiteral("^\\s*〒?\\s*(\\d{3}-?\\d{4})\\s+"));
    QString text = label;
    Contact::Address a;
    // Matched on the NFKC form (full-width digits and spaces), cut from the
    // text as written: those characters keep their count under NFKC.
    const QRegularExpressionMatch m = postal.match(text.normalized(QString::NormalizationForm_KC));
    if (m.hasMatch()) {
        a.postalCode = m.captured(1);
        text = text.mid(m.capturedLength());
    }
    QStringList parts;
    static const QRegularExpression lineBreak(QStringLiteral("\\r\\n|\\n|\\r"));
    for (const QString &line : text.split(lineBreak))
        if (!line.trimmed().isEmpty())
            parts.append(line.trimmed());
    a.parts = parts;
    a.preferred = preferred;
    a.rank = rank;
    return a;
}

// Our own export names itself so; its values are the book's fields as stored.
bool isOwnExport(const vcard::Card &card) {
    const vcard::Property *id = card.first(QStringLiteral("PRODID"));
    return id && id->text() == contactexport::vcardProductId();
}

// A number or address our own export wrote from the side file, beyond the entry's own.
bool isExtra(const vcard::Property &p) {
    return p.param(QStringLiteral("X-TELBORA")) == QLatin1String("EXTRA");
}

// The UID, the title, the birthday and the notes any card may hold, and what
// only our own export writes: the honorific, joint names, the building's
// break and the New Year record.
void personFromCard(const vcard::Card &card, Contact &c) {
    const auto textOf = [&](const char *name) {
        const vcard::Property *p = card.first(QString::fromLatin1(name));
        return p ? p->text() : QString();
    };
    QString uid = textOf("UID");
    if (uid.startsWith(QLatin1String("urn:uuid:"), Qt::CaseInsensitive))
        uid = uid.mid(9);
    if (const QUuid parsed = QUuid::fromString(uid); !parsed.isNull())
        c.uid = parsed.toString(QUuid::WithoutBraces);
    people::PersonData &p = c.person;
    p.title = textOf("TITLE");
    p.birthday = c.asWritten ? textOf("BDAY") : contactentry::isoDate(textOf("BDAY"));
    p.notes = textOf("NOTE");
    p.nickname = textOf("NICKNAME");
    for (const vcard::Property *url : card.all(QStringLiteral("URL")))
        if (!url->text().trimmed().isEmpty())
            p.urls.append(url->text().trimmed());
    if (card.first(QStringLiteral("PHOTO")))
        c.notes.append(QStringLiteral("写真は取り込みません：電話帳には写真の置き場がありません"));
    if (!c.asWritten)
        return;
    p.honorific = textOf("X-TELBORA-HONORIFIC");
    for (const vcard::Property *joint : card.all(QStringLiteral("X-TELBORA-JOINT"))) {
        const QStringList parts = joint->components();
        if (p.joint.size() < people::MaxJointNames)
            p.joint.append({parts.value(0), parts.value(1), parts.value(2), parts.value(3)});
    }
    p.buildingBreak = textOf("X-TELBORA-BREAK").toInt();
    p.sender = textOf("X-TELBORA-SENDER");
    for (const vcard::Property *year : card.all(QStringLiteral("X-TELBORA-NEWYEAR"))) {
        const QStringList parts = year->components();
        contactentry::readNewYear(p, parts.value(0), parts.value(1).split(u' ', Qt::SkipEmptyParts), c.notes);
    }
}

Contact fromCard(const vcard::Card &card, const QString &file) {
    Contact c;
    c.source = QStringLiteral("「%1」%2 件目").arg(file).arg(card.number);
    c.asWritten = isOwnExport(card);
    const auto textOf = [&](const char *name) {
        const vcard::Property *p = japaneseVariant(card.all(QString::fromLatin1(name)));
        return p ? p->text() : QString();
    };
    if (const vcard::Property *n = japaneseVariant(card.all(QStringLiteral("N")))) {
        const QStringList parts = n->components();
        c.family = parts.value(0);
        c.given = parts.value(1);
        const QString sortAs = n->param(QStringLiteral("SORT-AS"));
        static const QRegularExpression sortAsParts(QStringLiteral("[;,]"));
        if (!sortAs.isEmpty())
            c.reading = contactentry::joinedReading(sortAs.split(sortAsParts));
    }
    c.fullName = textOf("FN");
    if (const vcard::Property *org = japaneseVariant(card.all(QStringLiteral("ORG")))) {
        c.organization = org->components().value(0);
        c.person.company = c.organization;
        c.person.department = org->components().mid(1).join(u' ');
    }
    personFromCard(card, c);
    c.organizationReading = textOf("X-PHONETIC-ORG");
    // The reading, as the exporters write it: iPhone and Android, 4.0's
    // SORT-AS, 3.0's SORT-STRING, and Japanese phones' SOUND;X-IRMC-N.
    if (c.asWritten) {
        c.reading = textOf("X-PHONETIC-LAST-NAME") + textOf("X-PHONETIC-FIRST-NAME");
    } else {
        const QString phonetic =
            contactentry::joinedReading({textOf("X-PHONETIC-LAST-NAME"), textOf("X-PHONETIC-FIRST-NAME")});
        if (!phonetic.isEmpty())
            c.reading = phonetic;
        else if (c.reading.isEmpty() && !textOf("SORT-STRING").isEmpty())
            c.reading = textOf("SORT-STRING");
        if (c.reading.trimmed().isEmpty())
            for (const vcard::Property *sound : card.all(QStringLiteral("SOUND")))
                if (!sound->binary && sound->hasType(QStringLiteral("X-IRMC-N")))
                    c.reading = contactentry::joinedReading(sound->components().mid(0, 2));
    }

    for (const vcard::Property *a : card.all(QStringLiteral("ADR"))) {
        const QStringList parts = a->components(); // box; extended; street; locality; region; code; country
        if (c.asWritten && isExtra(*a)) {
            c.person.addresses.append(parts.value(2));
            continue;
        }
        Contact::Address address{parts.value(5),
                                 {parts.value(4), parts.value(3), parts.value(2), parts.value(1), parts.value(0)},
                                 preferred(a),
                                 rankOf(a)};
        const bool empty = std::all_of(address.parts.begin(), address.parts.end(),
                                       [](const QString &p) { return p.trimmed().isEmpty(); });
        if (empty && address.postalCode.trimmed().isEmpty() && !a->param(QStringLiteral("LABEL")).isEmpty())
            address = labelAddress(a->param(QStringLiteral("LABEL")).replace(QLatin1String("\\n"), QLatin1String("\n")),
                                   preferred(a), rankOf(a));
        c.addresses.append(address);
    }
    if (c.addresses.isEmpty())
        for (const vcard::Property *label : card.all(QStringLiteral("LABEL")))
            c.addresses.append(labelAddress(label->text(), preferred(label), rankOf(label)));
    for (const vcard::Property *tel : card.all(QStringLiteral("TEL"))) {
        if (c.asWritten && isExtra(*tel)) {
            c.person.phones.append(tel->text());
            continue;
        }
        Contact::PhoneKind kind = Contact::PhoneKind::Voice;
        if (tel->hasType(QStringLiteral("FAX")))
            kind = Contact::PhoneKind::Fax;
        else if (tel->hasType(QStringLiteral("CELL")))
            kind = Contact::PhoneKind::Cell;
        c.phones.append({tel->text(), kind, preferred(tel), rankOf(tel)});
    }
    for (const vcard::Property *e : card.all(QStringLiteral("EMAIL"))) {
        if (c.asWritten && isExtra(*e))
            c.person.emails.append(e->text());
        else
            c.emails.append({e->text(), preferred(e), rankOf(e)});
    }
    for (const vcard::Property *cat : card.all(QStringLiteral("CATEGORIES")))
        c.categories += cat->list();
    // docomo's group name.
    for (const vcard::Property *group : card.all(QStringLiteral("X-GN")))
        c.categories += group->text();
    return c;
}

// The file's bytes as UTF-8 when they are UTF-16, with its mark or without
// (then told by the zero bytes of ASCII text); as they are otherwise.
QByteArray withoutUtf16(const QByteArray &bytes) {
    const auto decoded = [](QStringConverter::Encoding encoding, QByteArrayView utf16) {
        return QStringDecoder(encoding)(utf16).operator QString().toUtf8();
    };
    if (bytes.startsWith("\xFF\xFE"))
        return decoded(QStringConverter::Utf16LE, QByteArrayView(bytes).sliced(2));
    if (bytes.startsWith("\xFE\xFF"))
        return decoded(QStringConverter::Utf16BE, QByteArrayView(bytes).sliced(2));
    // Text without a mark: the zero bytes of tabs, commas, digits and line ends
    // mostly on one side of their pairs. UTF-8 and Shift_JIS text hold none.
    const qsizetype sample = qMin<qsizetype>(bytes.size(), 4096) & ~qsizetype(1);
    qsizetype evenZeros = 0, oddZeros = 0;
    for (qsizetype i = 0; i < sample; ++i)
        if (bytes.at(i) == 0)
            ++(i % 2 ? oddZeros : evenZeros);
    if (sample >= 4 && bytes.size() % 2 == 0) {
        // A kanji such as 一 (U+4E00) puts a zero on the other side now and then.
        if (oddZeros * 10 >= sample / 2 && oddZeros > 4 * evenZeros)
            return decoded(QStringConverter::Utf16LE, bytes);
        if (evenZeros * 10 >= sample / 2 && evenZeros > 4 * oddZeros)
            return decoded(QStringConverter::Utf16BE, bytes);
    }
    return bytes;
}

// No contacts file has a line this long; a file that does (a database dump,
// a 200 MB line) is refused before it is read into memory.
constexpr qint64 LongestLine = 8 * 1024 * 1024;

// No failure when no line of the file is longer than LongestLine; else which one is.
Failure longLineIn(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {}; // the reader says why
    qint64 lineLength = 0;
    qint64 lineNumber = 1;
    QByteArray chunk(1024 * 1024, Qt::Uninitialized);
    for (qint64 got; (got = file.read(chunk.data(), chunk.size())) > 0;) {
        for (qint64 i = 0; i < got; ++i) {
            if (chunk.at(i) == '\n') {
                lineLength = 0;
                ++lineNumber;
            } else if (++lineLength > LongestLine) {
                Failure tooLong{Failure::Kind::NotContactsFile, path, 0, QString::number(LongestLine / (1024 * 1024))};
                tooLong.line = static_cast<int>(lineNumber);
                return tooLong;
            }
        }
    }
    return {};
}

// Whether the first line that is not blank is BEGIN:VCARD.
bool isVCard(QByteArrayView bytes) {
    bytes = textforms::withoutUtf8Bom(bytes);
    for (qsizetype at = 0; at < bytes.size();) {
        qsizetype end = bytes.indexOf('\n', at);
        if (end < 0)
            end = bytes.size();
        const QByteArray line = bytes.sliced(at, end - at).trimmed().toByteArray();
        if (!line.isEmpty())
            return line.compare("BEGIN:VCARD", Qt::CaseInsensitive) == 0;
        at = end + 1;
    }
    return false;
}

} // namespace

Failure forEachContact(const QString &path, const std::function<void(const Contact &)> &visit, QStringList &notes) {
    if (Failure failure = longLineIn(path); failure.failed())
        return failure;
    QByteArray bytes;
    if (Failure failure = linefile::readAll(path, bytes); failure.failed())
        return failure;
    const QString file = QFileInfo(path).fileName();
    bytes = withoutUtf16(bytes);
    if (isVCard(bytes)) {
        if (const int cut = vcard::forEachCard(bytes, [&](const vcard::Card &card) { visit(fromCard(card, file)); }))
            notes.append(QStringLiteral("「%1」%2 件目：BEGIN:VCARD のあとに END:VCARD "
                                        "がありません（ファイルが途中で切れています）。取り込みません")
                             .arg(file)
                             .arg(cut));
        return {};
    }
    const QString text = csv::decodeFile(bytes);
    bytes.clear();
    const QList<QStringList> rows = csv::parse(text, csv::separatorOf(text));
    const csvcontacts::Columns columns(rows.value(0));
    if (rows.isEmpty() || !columns.isContactFile())
        return Failure{Failure::Kind::NotContactsFile, path, 0, {}};
    QList<int> named; // unknown columns already named
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const QStringList &row = rows.at(r);
        for (int unknown : columns.unknownColumns())
            if (!row.value(unknown).trimmed().isEmpty() && !named.contains(unknown)) {
                named.append(unknown);
                notes.append(QStringLiteral("「%1」：列「%2」は取り込みません").arg(file, rows.at(0).at(unknown)));
            }
        visit(columns.contact(row, QStringLiteral("「%1」%2 行目").arg(file).arg(r + 1)));
    }
    return {};
}

QList<Contact> readFile(const QString &path, Failure &error) {
    QList<Contact> contacts;
    QStringList notes;
    error = forEachContact(
        path, [&](const Contact &c) { contacts.append(c); }, notes);
    return contacts;
}

namespace {

enum Field { Reading, Name, PostalCode, Address, Telephone, Fax, Mobile, Email };

QString folded(const QString &text) {
    QString out;
    for (QChar c : text.normalized(QString::NormalizationForm_KC))
        if (!c.isSpace())
            out += c.toLower();
    return out;
}

// How a value of a field is compared: numbers by their digits, the rest folded.
QString comparable(int field, const QString &value) {
    return field == Telephone || field == Fax || field == Mobile || field == PostalCode
               ? contactentry::asciiDigits(value)
               : folded(value);
}

QStringList fieldsOf(const QString &line) {
    QStringList fields = line.split(u'|');
    while (fields.size() < 10)
        fields.append(QString());
    return fields;
}

QStringList converted(const entryrules::EntryLineFields &f) {
    return {f.reading, f.name, f.postalCode, f.address, f.telephone, f.fax, f.mobile, f.email};
}

const char16_t *const FieldNames[] = {u"ふりがな", u"氏名", u"郵便番号", u"住所", u"電話", u"FAX", u"携帯", u"メール"};

} // namespace

Contact contactOfCard(const vcard::Card &card, const QString &source) {
    Contact c = fromCard(card, QString());
    c.source = source;
    return c;
}

Importer::Importer(const QList<BookEntry> &book, const mdlDim::CategoryLines &categories, int defaultCategory)
    : categories_(categories), defaultCategory_(defaultCategory), book_(book) {
    people_.reserve(static_cast<size_t>(book.size()));
    for (qsizetype i = 0; i < book.size(); ++i) {
        known_.insert(duplicateKey(book.at(i).line), {QString(), static_cast<int>(i)});
        people_.push_back({static_cast<int>(i)});
        remember(static_cast<int>(i), fieldsOf(book.at(i).line).at(Name), book.at(i).uid);
    }
}

Importer::Importer(const QStringList &existingLines, const mdlDim::CategoryLines &categories, int defaultCategory)
    : Importer(
          [&] {
              QList<BookEntry> book;
              for (const QString &line : existingLines)
                  book.append({line, {}, {}});
              return book;
          }(),
          categories, defaultCategory) {}

QString Importer::duplicateKey(const QString &line) {
    QStringList fields = fieldsOf(line);
    fields[0] = contactentry::storedReading(fields.at(0));
    return fields.mid(0, 9).join(u'|');
}

const QString &Importer::lineOf(const Known &k) const {
    return k.added >= 0    ? result_.lines.at(k.added)
           : k.update >= 0 ? result_.updates.at(k.update).line
                           : book_.at(k.book).line;
}

Importer::Person Importer::personOf(const Known &k) const {
    if (k.added >= 0)
        return {fieldsOf(lineOf(k)), result_.people.value(k.added)};
    return {fieldsOf(lineOf(k)), k.update >= 0 ? result_.updates.at(k.update).data : book_.at(k.book).data};
}

void Importer::remember(int known, const QString &name, const QString &uid) {
    if (const QString key = folded(name); !key.isEmpty())
        byName_.insert(qHash(key), known);
    if (!uid.isEmpty())
        byUid_.insert(uid, known);
}

namespace {

// What a person can be known by, each value as it is compared.
struct Evidence {
    QSet<QString> personal;  // mobiles and e-mails: one person's own
    QSet<QString> landlines; // telephones and faxes: a household's
    QString address;
};

bool isMobileDigits(const QString &digits) {
    return digits.size() == 11 && digits.startsWith(u'0') && QStringView(u"789").contains(digits.at(1)) &&
           digits.at(2) == u'0';
}

Evidence evidenceOf(const QStringList &fields, const QStringList &phones, const QStringList &emails) {
    Evidence e;
    for (const QString &n : QStringList{fields.at(Telephone), fields.at(Fax), fields.at(Mobile)} + phones) {
        const QString digits = contactentry::asciiDigits(n);
        if (digits.size() >= 6)
            (isMobileDigits(digits) ? e.personal : e.landlines).insert(digits);
    }
    for (const QString &m : QStringList{fields.at(Email)} + emails)
        if (!folded(m).isEmpty())
            e.personal.insert(u'@' + folded(m));
    e.address = folded(fields.at(Address));
    return e;
}

// How strongly two people are one: a mobile or an e-mail in common, then a
// landline, then the address. A differing mobile or e-mail on both sides
// outweighs a shared landline or address: a family shares those.
enum class Rank { None, Address, Landline, Personal };

Rank rankOf(const Evidence &card, const Evidence &entry) {
    if (card.personal.intersects(entry.personal))
        return Rank::Personal;
    if (!card.personal.isEmpty() && !entry.personal.isEmpty())
        return Rank::None;
    if (card.landlines.intersects(entry.landlines))
        return Rank::Landline;
    if (!card.address.isEmpty() && card.address == entry.address)
        return Rank::Address;
    return Rank::None;
}

} // namespace

int Importer::samePerson(const Contact &contact, const contactentry::Converted &c, QString *tie) const {
    if (!contact.uid.isEmpty())
        if (const auto found = byUid_.constFind(contact.uid); found != byUid_.constEnd())
            return *found;
    const QString name = folded(c.fields.name);
    QList<int> sameName;
    for (auto found = byName_.constFind(qHash(name)); found != byName_.cend() && found.key() == qHash(name); ++found) {
        const Known &k = people_[static_cast<size_t>(*found)];
        // Entries of our own export were entries of one book: two of them stay two.
        if (contact.asWritten && k.added >= 0)
            continue;
        if (folded(fieldsOf(lineOf(k)).at(Name)) == name)
            sameName.prepend(*found); // the hash gives the latest first
    }

    if (sameName.isEmpty())
        return -1;
    const QStringList mine = converted(c.fields);
    const Evidence card = evidenceOf(mine, c.extraPhones, c.extraEmails);
    // The best evidence wins; two entries with the same best are a tie, named and never decided by order.
    Rank best = Rank::None;
    QList<int> bestOnes;
    for (int candidate : sameName) {
        const Person p = personOf(people_[static_cast<size_t>(candidate)]);
        const Rank rank = rankOf(card, evidenceOf(p.fields, p.data.phones, p.data.emails));
        if (rank == Rank::None || rank < best)
            continue;
        if (rank > best)
            bestOnes.clear();
        best = rank;
        bestOnes.append(candidate);
    }
    if (bestOnes.size() == 1)
        return bestOnes.first();
    if (bestOnes.size() > 1) {
        if (tie)
            *tie = QStringLiteral("同じ名前で%1の同じ人が %2 人います")
                       .arg(best == Rank::Personal   ? QStringLiteral("携帯かメール")
                            : best == Rank::Landline ? QStringLiteral("電話番号")
                                                     : QStringLiteral("住所"))
                       .arg(bestOnes.size());
        return -1;
    }
    // The same name and reading, and nothing set on both sides that differs.
    for (int candidate : sameName) {
        const Person p = personOf(people_[static_cast<size_t>(candidate)]);
        if (contactentry::storedReading(p.fields.at(Reading)) != contactentry::storedReading(mine.at(Reading)))
            continue;
        bool contradicts = false;
        for (int f = PostalCode; f <= Email && !contradicts; ++f) {
            const QString a = comparable(f, p.fields.at(f)), b = comparable(f, mine.at(f));
            contradicts = !a.isEmpty() && !b.isEmpty() && a != b;
        }
        if (!contradicts)
            return candidate;
    }
    return -1;
}

QStringList Importer::merge(Person &p, const Contact &contact, const contactentry::Converted &c,
                            QStringList &kept) const {
    QStringList added;
    const QStringList mine = converted(c.fields);
    const auto name = [](int field) { return QString::fromUtf16(FieldNames[field]); };
    const auto already = [&](int field, const QString &value) {
        const QString key = comparable(field, value);
        const QStringList &extras = field == Email     ? p.data.emails
                                    : field == Address ? p.data.addresses
                                                       : p.data.phones;
        const QList<int> same = field == Email     ? QList<int>{Email}
                                : field == Address ? QList<int>{Address}
                                                   : QList<int>{Telephone, Fax, Mobile};
        for (int f : same)
            if (comparable(f, p.fields.at(f)) == key)
                return true;
        // A further address is kept with its postal code before it.
        return std::any_of(extras.begin(), extras.end(), [&](const QString &e) {
            const QString held = comparable(field, e);
            return held == key || (field == Address && !key.isEmpty() && held.endsWith(key));
        });
    };
    // A value the person lacks, beside the entry's: a further number, e-mail or address.
    const auto keepFurther = [&](int field, const QStringList &values) {
        QStringList &extras = field == Email ? p.data.emails : field == Address ? p.data.addresses : p.data.phones;
        const QString label = field == Email     ? QStringLiteral("メール")
                              : field == Address ? QStringLiteral("住所")
                                                 : QStringLiteral("電話");
        for (const QString &value : values)
            if (!value.trimmed().isEmpty() && !already(field, value)) {
                extras.append(value);
                added.append(QStringLiteral("ほかの%1「%2」").arg(label, value));
            }
    };
    // The address and its postal code travel together.
    if (const QString address = mine.at(Address); !address.isEmpty() && !already(Address, address)) {
        if (p.fields.at(Address).isEmpty()) {
            p.fields[Address] = address;
            added.append(QStringLiteral("住所「%1」").arg(address));
            if (p.fields.at(PostalCode).isEmpty() && !mine.at(PostalCode).isEmpty()) {
                p.fields[PostalCode] = mine.at(PostalCode);
                added.append(QStringLiteral("郵便番号「%1」").arg(mine.at(PostalCode)));
            }
        } else {
            keepFurther(Address, {(mine.at(PostalCode) + u' ' + address).trimmed()});
        }
    } else if (!mine.at(PostalCode).isEmpty() && p.fields.at(PostalCode).isEmpty() &&
               (address.isEmpty() || comparable(Address, address) == comparable(Address, p.fields.at(Address)))) {
        p.fields[PostalCode] = mine.at(PostalCode);
        added.append(QStringLiteral("郵便番号「%1」").arg(mine.at(PostalCode)));
    }
    for (int f : {Telephone, Fax, Mobile, Email}) {
        const QString value = mine.at(f);
        if (value.isEmpty() || already(f, value))
            continue;
        if (p.fields.at(f).isEmpty()) {
            p.fields[f] = value;
            added.append(QStringLiteral("%1「%2」").arg(name(f), value));
        } else {
            keepFurther(f, {value});
        }
    }
    const people::PersonData &theirs = contact.person;
    keepFurther(Telephone, c.extraPhones + theirs.phones);
    keepFurther(Email, c.extraEmails + theirs.emails);
    keepFurther(Address, c.extraAddresses + theirs.addresses);
    // What the side file holds: filled where empty, never overwritten.
    const std::pair<QString people::PersonData::*, const char16_t *> texts[] = {
        {&people::PersonData::honorific, u"敬称"},  {&people::PersonData::company, u"会社名"},
        {&people::PersonData::department, u"部署"}, {&people::PersonData::title, u"役職"},
        {&people::PersonData::birthday, u"誕生日"}, {&people::PersonData::notes, u"メモ"},
        {&people::PersonData::nickname, u"呼び名"}, {&people::PersonData::sender, u"差出人"}};
    for (const auto &[member, label] : texts) {
        const QString &value = theirs.*member;
        if (value.isEmpty() || value == p.data.*member)
            continue;
        if ((p.data.*member).isEmpty()) {
            p.data.*member = value;
            added.append(QStringLiteral("%1「%2」").arg(QString::fromUtf16(label), value));
        } else {
            kept.append(QStringLiteral("%1「%2」は取り込みません：「%3」が登録済みです")
                            .arg(QString::fromUtf16(label), value, p.data.*member));
        }
    }
    for (const QString &url : theirs.urls)
        if (!p.data.urls.contains(url)) {
            p.data.urls.append(url);
            added.append(QStringLiteral("URL「%1」").arg(url));
        }
    if (p.data.joint.isEmpty() && !theirs.joint.isEmpty()) {
        p.data.joint = theirs.joint;
        added.append(QStringLiteral("連名 %1 人").arg(theirs.joint.size()));
    }
    for (const people::NewYear &year : theirs.years) {
        people::NewYear &mine_ = p.data.yearRecord(year.year);
        const people::NewYear before = mine_;
        mine_.addMarks(year);
        if (!(mine_ == before))
            added.append(QStringLiteral("年賀状 %1 年の記録").arg(year.year));
    }
    p.data.years.removeIf([](const people::NewYear &y) { return y.words().isEmpty(); });
    if (p.data.buildingBreak == 0 && theirs.buildingBreak > 0 && !added.isEmpty())
        p.data.buildingBreak = theirs.buildingBreak;
    return added;
}

bool Importer::nameNewCategory(const Contact &contact) {
    const QString name = contactentry::unknownCategory(contact, categories_);
    // As the editor's box for a category name takes it.
    if (name.isEmpty() || name.size() > entryrules::CategoryNameLimit || name.contains(u'|') || !cp932::encode(name) ||
        std::any_of(name.begin(), name.end(), entryrules::isControl))
        return false;
    for (int slot = mdlDim::FixedCategoryCount; slot < 10; ++slot)
        if (mdlDim::categoryNameIn(categories_[static_cast<size_t>(slot)]).isEmpty()) {
            categories_[static_cast<size_t>(slot)] = QString::number(slot + 1) + u'|' + name;
            result_.categories.append({slot, categories_[static_cast<size_t>(slot)]});
            result_.report.append(QStringLiteral("%1：分類「%2」が電話帳にないため、分類 %3 として作りました")
                                      .arg(contact.source, name)
                                      .arg(slot + 1));
            return true;
        }
    return false;
}

Importer::Placed Importer::placed(int person) const {
    if (person < 0)
        return {};
    const Known &k = people_[static_cast<size_t>(person)];
    return {k.added >= 0 ? -1 : k.book, k.added};
}

Importer::Placed Importer::add(const Contact &given) {
    // A CSV's company column, like vCard's ORG, is kept with the person.
    Contact contact = given;
    if (contact.person.company.isEmpty())
        contact.person.company = contact.organization;
    contactentry::Converted converted = contactentry::toEntry(contact, categories_, defaultCategory_);
    if (!converted.skipReason.isEmpty()) {
        result_.report.append(QStringLiteral("%1：取り込みません：%2").arg(contact.source, converted.skipReason));
        ++result_.skipped;
        return {};
    }
    QString line = entryrules::entryLine(converted.fields);
    const QString key = duplicateKey(line);
    if (const auto earlier = known_.constFind(key); earlier != known_.constEnd()) {
        result_.report.append(QStringLiteral("%1：重複のため取り込みません：%2 は%3")
                                  .arg(contact.source, converted.fields.name,
                                       earlier->first.isEmpty() ? QStringLiteral("電話帳にあります")
                                                                : earlier->first + QStringLiteral("と同じです")));
        ++result_.duplicates;
        return placed(earlier->second);
    }
    QString tie;
    const int same = samePerson(contact, converted, &tie);
    if (!tie.isEmpty())
        result_.report.append(QStringLiteral("%1：%2 がどの人か決められません（%3）。新しい人として取り込みます")
                                  .arg(contact.source, converted.fields.name, tie));
    known_.insert(key, {contact.source, same >= 0 ? same : static_cast<int>(people_.size())});
    if (same >= 0) {
        Known &k = people_[static_cast<size_t>(same)];
        Person p = personOf(k);
        QStringList kept;
        const QStringList added = merge(p, contact, converted, kept);
        for (const QString &note : kept)
            result_.report.append(QStringLiteral("%1：%2").arg(contact.source, note));
        if (added.isEmpty()) {
            result_.report.append(QStringLiteral("%1：重複のため取り込みません：%2 は%3")
                                      .arg(contact.source, converted.fields.name,
                                           k.added >= 0 ? QStringLiteral("この取り込みで登録する人と同じです")
                                                        : QStringLiteral("電話帳にあります")));
            ++result_.duplicates;
            return placed(same);
        }
        for (const QString &note : converted.notes)
            result_.report.append(QStringLiteral("%1：%2").arg(contact.source, note));
        const QString merged = p.fields.join(u'|');
        result_.report.append(
            QStringLiteral("%1：%2 は%3同じ人です。%4を加えました")
                .arg(contact.source, p.fields.at(Name),
                     k.added >= 0 ? QStringLiteral("この取り込みで登録する人と") : QStringLiteral("電話帳の人と"),
                     added.join(u'、')));
        if (k.added >= 0) {
            result_.lines[k.added] = merged;
            if (p.data.isEmpty())
                result_.people.remove(k.added);
            else
                result_.people[k.added] = p.data;
        } else if (k.update >= 0) {
            result_.updates[k.update] = {k.book, merged, p.data};
        } else {
            k.update = static_cast<int>(result_.updates.size());
            result_.updates.append({k.book, merged, p.data});
        }
        ++result_.updated; // each card once, whichever entry it went into
        known_.insert(duplicateKey(merged), {contact.source, same});
        return placed(same);
    }
    // A new person: a category the book lacks is made for them.
    if (nameNewCategory(contact)) {
        converted = contactentry::toEntry(contact, categories_, defaultCategory_);
        line = entryrules::entryLine(converted.fields);
        known_.insert(duplicateKey(line), {contact.source, static_cast<int>(people_.size())});
    }
    for (const QString &note : converted.notes)
        result_.report.append(QStringLiteral("%1：%2").arg(contact.source, note));
    people::PersonData data = contact.person;
    data.phones += converted.extraPhones;
    data.emails += converted.extraEmails;
    data.addresses += converted.extraAddresses;
    people_.push_back({-1, static_cast<int>(result_.lines.size())});
    remember(static_cast<int>(people_.size() - 1), converted.fields.name, contact.uid);
    if (!data.isEmpty())
        result_.people.insert(result_.lines.size(), data);
    result_.lines.append(line);
    result_.uids.append(contact.uid);
    ++result_.imported;
    return placed(static_cast<int>(people_.size() - 1));
}

BookImport importIntoBook(Book &target, const QStringList &files, int defaultCategory, bool dryRun) {
    BookImport out;
    const auto fail = [&out](const Failure &failure) {
        out.failure = failure;
        out.error = describe(failure);
        out.report.clear();
        return out;
    };
    if (files.isEmpty())
        return fail({Failure::Kind::NoContactsFiles});
    if (!dryRun && !target.readOnlyReason().isEmpty())
        return fail(target.readOnlyRefusal());
    if (Failure failure; !target.load(&failure))
        return fail(failure);
    if (defaultCategory > 5 && target.categoryName(defaultCategory - 1).isEmpty())
        return fail({Failure::Kind::CategoryUnnamed, target.categoryPath(), 0, QString::number(defaultCategory)});
    // Each entry with its identity: a dry run writes nothing, not even the side file's catch-up.
    const QString readOnly = target.readOnlyReason();
    if (dryRun)
        target.setReadOnlyReason(QStringLiteral("試し"));
    QString damaged;
    const Failure attached = target.attachPeople(&damaged);
    target.setReadOnlyReason(readOnly);
    // What matching needs (the book's copy, the indexes) is gone before the
    // write, which holds the whole book at once.
    Result result;
    QStringList fileNotes;
    {
        const std::vector<people::Record> records = target.records();
        if (attached.failed())
            return fail(attached);
        if (records.size() != static_cast<size_t>(target.entries().size()))
            return fail({Failure::Kind::ChangedElsewhere, target.entryPath(), 0, {}});
        QList<BookEntry> book;
        book.reserve(target.entries().size());
        for (qsizetype i = 0; i < target.entries().size(); ++i) {
            const QString element = target.entries().at(i);
            const people::Record &record = records[static_cast<size_t>(i)];
            book.append({element.mid(element.indexOf(u'|') + 1), record.uid(), record.data()});
        }
        // Contact by contact: a file of many cards is never held as contacts all at once.
        Importer importer(book, target.categories(), defaultCategory);
        book.clear();
        for (const QString &file : files) {
            if (const Failure failed = forEachContact(
                    file, [&](const Contact &c) { importer.add(c); }, fileNotes);
                failed.failed()) {
                qCInfo(lcContacts).noquote() << "not read" << file << describe(failed);
                return fail(failed);
            }
        }
        result = importer.takeResult();
    }
    out.report = fileNotes + result.report;
    if (!damaged.isEmpty())
        out.report.prepend(damaged);
    const QString counts = QStringLiteral("%1 件、更新 %2 件、見送り %3 件、重複 %4 件")
                               .arg(result.imported)
                               .arg(result.updated)
                               .arg(result.skipped)
                               .arg(result.duplicates);
    if (dryRun) {
        for (const Update &update : result.updates)
            out.report.append(QStringLiteral("更新する予定：") + update.line);
        for (const QString &line : result.lines)
            out.report.append(QStringLiteral("取り込む予定：") + line);
        out.summary =
            QStringLiteral("取り込み予定 ") + counts + QStringLiteral("（試しのため、電話帳には何も書いていません）");
        return out;
    }
    // The new categories first: the entries name them.
    for (const auto &[slot, line] : result.categories)
        if (const EntryWriter::Result named = target.writeCategory(slot, line); !named)
            return fail(named.failure);
    if (!result.lines.isEmpty() || !result.updates.isEmpty()) {
        QList<Book::EntryUpdate> updates;
        for (const Update &update : result.updates)
            updates.append({target.entries().loadedLine(update.entry), update.line, update.data});
        const EntryWriter::Result written =
            target.updateAndAppend(updates, std::move(result.lines), result.people, result.uids);
        if (!written)
            return fail(written.failure);
        out.report += written.peopleMessages();
    }
    out.summary = QStringLiteral("取り込み ") + counts;
    out.imported = result.imported;
    out.updated = result.updated;
    return out;
}

} // namespace contactimport
