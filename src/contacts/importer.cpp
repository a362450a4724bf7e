#include "contacts/importer.h"

#include "contacts/csv.h"
#include "contacts/csvcontacts.h"
#include "contacts/exporter.h"
#include "contacts/vcard.h"
#include "store/book.h"
#include "store/entrywriter.h"
#include "store/linefile.h"
#include "store/mdlDim.h"
#include "store/textforms.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
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
    p.birthday = textOf("BDAY");
    p.notes = textOf("NOTE");
    if (!c.asWritten)
        return;
    p.honorific = textOf("X-TELBORA-HONORIFIC");
    for (const vcard::Property *joint : card.all(QStringLiteral("X-TELBORA-JOINT"))) {
        const QStringList parts = joint->components();
        if (p.joint.size() < people::MaxJointNames)
            p.joint.append({parts.value(0), parts.value(1), parts.value(2), parts.value(3)});
    }
    p.buildingBreak = textOf("X-TELBORA-BREAK").toInt();
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
        Contact::Address address{parts.value(5), {parts.value(4), parts.value(3), parts.value(2), parts.value(1),
                                                  parts.value(0)}, preferred(a), rankOf(a)};
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

// Empty when no line of the file is longer than LongestLine; else why not.
QString longLineIn(const QString &path) {
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
                return QStringLiteral("「%1」の %2 行目が %3 MB を超えています。連絡先のファイルではありません。")
                    .arg(QFileInfo(path).fileName())
                    .arg(lineNumber)
                    .arg(LongestLine / (1024 * 1024));
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

QString forEachContact(const QString &path, const std::function<void(const Contact &)> &visit, QStringList &notes) {
    if (QString error = longLineIn(path); !error.isEmpty())
        return error;
    QByteArray bytes;
    if (QString error = linefile::readAll(path, bytes); !error.isEmpty())
        return error;
    const QString file = QFileInfo(path).fileName();
    bytes = withoutUtf16(bytes);
    if (isVCard(bytes)) {
        if (const int cut = vcard::forEachCard(bytes, [&](const vcard::Card &card) { visit(fromCard(card, file)); }))
            notes.append(QStringLiteral("「%1」%2 件目：BEGIN:VCARD のあとに END:VCARD がありません（ファイルが途中で切れています）。取り込みません")
                             .arg(file)
                             .arg(cut));
        return {};
    }
    const QString text = csv::decodeFile(bytes);
    bytes.clear();
    const QList<QStringList> rows = csv::parse(text, csv::separatorOf(text));
    const csvcontacts::Columns columns(rows.value(0));
    if (rows.isEmpty() || !columns.isContactFile())
        return QStringLiteral("「%1」は連絡先のファイルではありません（vCard でも、名前・よみ・電話・メールの列がある CSV "
                              "でもありません）。")
            .arg(file);
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

QList<Contact> readFile(const QString &path, QString &error) {
    QList<Contact> contacts;
    QStringList notes;
    error = forEachContact(path, [&](const Contact &c) { contacts.append(c); }, notes);
    return contacts;
}

Importer::Importer(const QStringList &existingLines, const mdlDim::CategoryLines &categories, int defaultCategory)
    : categories_(categories), defaultCategory_(defaultCategory) {
    for (const QString &line : existingLines)
        known_.insert(duplicateKey(line), QStringLiteral("電話帳にあります"));
}

QString Importer::duplicateKey(const QString &line) {
    QStringList fields = line.split(u'|');
    while (fields.size() < 10)
        fields.append(QString());
    fields[0] = contactentry::storedReading(fields.at(0));
    return fields.mid(0, 9).join(u'|');
}

void Importer::add(const Contact &contact) {
    const contactentry::Converted converted = contactentry::toEntry(contact, categories_, defaultCategory_);
    if (!converted.skipReason.isEmpty()) {
        result_.report.append(QStringLiteral("%1：取り込みません：%2").arg(contact.source, converted.skipReason));
        ++result_.skipped;
        return;
    }
    const QString line = entryrules::entryLine(converted.fields);
    const QString key = duplicateKey(line);
    if (const auto earlier = known_.constFind(key); earlier != known_.constEnd()) {
        result_.report.append(QStringLiteral("%1：重複のため取り込みません：%2 は%3").arg(contact.source, converted.fields.name,
                                                                                     *earlier));
        ++result_.duplicates;
        return;
    }
    known_.insert(key, contact.source + QStringLiteral("と同じです"));
    for (const QString &note : converted.notes)
        result_.report.append(QStringLiteral("%1：%2").arg(contact.source, note));
    result_.lines.append(line);
    result_.people.append(contact.person);
    result_.uids.append(contact.uid);
    ++result_.imported;
}

BookImport importIntoBook(Book &target, const QStringList &files, int defaultCategory, bool dryRun) {
    BookImport out;
    if (files.isEmpty()) {
        out.error = QStringLiteral("取り込む vCard か CSV のファイルを指定して下さい。");
        return out;
    }
    if (!dryRun && !target.readOnlyReason().isEmpty()) {
        out.error = target.readOnlyRefusal();
        return out;
    }
    QString error;
    if (!target.load(&error)) {
        out.error = error;
        return out;
    }
    if (defaultCategory > 5 && target.categoryName(defaultCategory - 1).isEmpty()) {
        out.error = QStringLiteral("分類 %1 にはまだ名前がありません。電話帳で名前を付けてから取り込んで下さい。")
                        .arg(defaultCategory);
        return out;
    }
    QStringList book;
    for (const QString &element : std::as_const(target.entries()))
        book.append(element.mid(element.indexOf(u'|') + 1));
    // Contact by contact: a file of many cards is never held as contacts all at once.
    Importer importer(book, target.categories(), defaultCategory);
    book.clear();
    QStringList fileNotes;
    for (const QString &file : files) {
        if (QString failed = forEachContact(file, [&](const Contact &c) { importer.add(c); }, fileNotes);
            !failed.isEmpty()) {
            out.error = failed;
            return out;
        }
    }
    const Result &result = importer.result();
    out.report = fileNotes + result.report;
    const QString counts =
        QStringLiteral("%1 件、見送り %2 件、重複 %3 件").arg(result.imported).arg(result.skipped).arg(result.duplicates);
    if (dryRun) {
        for (const QString &line : result.lines)
            out.report.append(QStringLiteral("取り込む予定：") + line);
        out.summary = QStringLiteral("取り込み予定 ") + counts + QStringLiteral("（試しのため、電話帳には何も書いていません）");
        return out;
    }
    if (!result.lines.isEmpty()) {
        const EntryWriter::Result written = target.appendEntries(result.lines, result.people, result.uids);
        if (!written) {
            out.error = written.message;
            out.report.clear();
            return out;
        }
        out.report += written.peopleMessages();
    }
    out.summary = QStringLiteral("取り込み ") + counts;
    out.imported = result.imported;
    return out;
}

} // namespace contactimport
