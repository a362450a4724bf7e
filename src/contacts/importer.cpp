#include "contacts/importer.h"

#include "contacts/csv.h"
#include "contacts/csvcontacts.h"
#include "contacts/vcard.h"
#include "store/linefile.h"
#include "store/mdlDim.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

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

// 0 home, voice or main; 1 work; 2 anything else.
int rankOf(const vcard::Property *p) {
    if (p->hasType(QStringLiteral("HOME")) || p->hasType(QStringLiteral("VOICE")) || p->hasType(QStringLiteral("MAIN")))
        return 0;
    return p->hasType(QStringLiteral("WORK")) ? 1 : 2;
}

Contact fromCard(const vcard::Card &card, const QString &file) {
    Contact c;
    c.source = QStringLiteral("%1, card %2").arg(file).arg(card.number);
    const auto textOf = [&](const char *name) {
        const vcard::Property *p = japaneseVariant(card.all(QString::fromLatin1(name)));
        return p ? p->text() : QString();
    };
    if (const vcard::Property *n = japaneseVariant(card.all(QStringLiteral("N")))) {
        const QStringList parts = n->components();
        c.family = parts.value(0);
        c.given = parts.value(1);
        const QString sortAs = n->param(QStringLiteral("SORT-AS"));
        if (!sortAs.isEmpty())
            c.reading = contactentry::joinedReading(sortAs.split(QRegularExpression(QStringLiteral("[;,]"))));
    }
    c.fullName = textOf("FN");
    if (const vcard::Property *org = japaneseVariant(card.all(QStringLiteral("ORG"))))
        c.organization = org->components().value(0);
    c.organizationReading = textOf("X-PHONETIC-ORG");
    // The reading, as the exporters write it: iPhone and Android, 4.0's
    // SORT-AS, 3.0's SORT-STRING, and Japanese phones' SOUND;X-IRMC-N.
    const QString phonetic = contactentry::joinedReading({textOf("X-PHONETIC-LAST-NAME"), textOf("X-PHONETIC-FIRST-NAME")});
    if (!phonetic.isEmpty())
        c.reading = phonetic;
    else if (c.reading.isEmpty() && !textOf("SORT-STRING").isEmpty())
        c.reading = textOf("SORT-STRING");
    if (c.reading.trimmed().isEmpty())
        for (const vcard::Property *sound : card.all(QStringLiteral("SOUND")))
            if (!sound->binary && sound->hasType(QStringLiteral("X-IRMC-N")))
                c.reading = contactentry::joinedReading(sound->components().mid(0, 2));

    for (const vcard::Property *a : card.all(QStringLiteral("ADR"))) {
        const QStringList parts = a->components(); // box; extended; street; locality; region; code; country
        c.addresses.append({parts.value(5), {parts.value(4), parts.value(3), parts.value(2), parts.value(1),
                                             parts.value(0)}, preferred(a), rankOf(a)});
    }
    for (const vcard::Property *tel : card.all(QStringLiteral("TEL"))) {
        Contact::PhoneKind kind = Contact::PhoneKind::Voice;
        if (tel->hasType(QStringLiteral("FAX")))
            kind = Contact::PhoneKind::Fax;
        else if (tel->hasType(QStringLiteral("CELL")))
            kind = Contact::PhoneKind::Cell;
        c.phones.append({tel->text(), kind, preferred(tel), rankOf(tel)});
    }
    for (const vcard::Property *e : card.all(QStringLiteral("EMAIL")))
        c.emails.append({e->text(), preferred(e), rankOf(e)});
    for (const vcard::Property *cat : card.all(QStringLiteral("CATEGORIES")))
        c.categories += cat->list();
    // docomo's group name.
    for (const vcard::Property *group : card.all(QStringLiteral("X-GN")))
        c.categories += group->text();
    return c;
}

// The file's bytes as UTF-8 when they are UTF-16 (with its mark); as they are otherwise.
QByteArray withoutUtf16(const QByteArray &bytes) {
    if (bytes.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringConverter::Utf16LE)(bytes.mid(2)).operator QString().toUtf8();
    if (bytes.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringConverter::Utf16BE)(bytes.mid(2)).operator QString().toUtf8();
    return bytes;
}

// Whether the first line that is not blank is BEGIN:VCARD.
bool isVCard(QByteArrayView bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
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
    QByteArray bytes;
    if (QString error = linefile::readAll(path, bytes); !error.isEmpty())
        return error;
    const QString file = QFileInfo(path).fileName();
    bytes = withoutUtf16(bytes);
    if (isVCard(bytes)) {
        if (const int cut = vcard::forEachCard(bytes, [&](const vcard::Card &card) { visit(fromCard(card, file)); }))
            notes.append(QStringLiteral("%1, card %2: BEGIN:VCARD without END:VCARD (the file is cut off): skipped")
                             .arg(file)
                             .arg(cut));
        return {};
    }
    const QList<QStringList> rows = csv::parse(csv::decodeFile(bytes));
    const csvcontacts::Columns columns(rows.value(0));
    if (rows.isEmpty() || !columns.isContactFile())
        return QStringLiteral("「%1」は連絡先のファイルではありません（vCard でも、名前・よみ・電話・メールの列がある CSV "
                              "でもありません）。")
            .arg(file);
    for (qsizetype r = 1; r < rows.size(); ++r)
        visit(columns.contact(rows.at(r), QStringLiteral("%1, row %2").arg(file).arg(r + 1)));
    return {};
}

QList<Contact> readFile(const QString &path, QString &error) {
    QList<Contact> contacts;
    QStringList notes;
    error = forEachContact(path, [&](const Contact &c) { contacts.append(c); }, notes);
    return contacts;
}

Importer::Importer(const QStringList &existingLines, const std::array<QString, 11> &categories, int defaultCategory)
    : categories_(categories), defaultCategory_(defaultCategory) {
    for (const QString &line : existingLines)
        known_.insert(duplicateKey(line), QStringLiteral("an entry of the book"));
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
        result_.report.append(QStringLiteral("skipped %1: %2").arg(contact.source, converted.skipReason));
        ++result_.skipped;
        return;
    }
    const QString line = entryrules::entryLine(converted.fields);
    const QString key = duplicateKey(line);
    if (const auto earlier = known_.constFind(key); earlier != known_.constEnd()) {
        result_.report.append(QStringLiteral("duplicate %1: %2 is %3 already").arg(contact.source, converted.fields.name,
                                                                                   *earlier));
        ++result_.duplicates;
        return;
    }
    known_.insert(key, contact.source);
    for (const QString &note : converted.notes)
        result_.report.append(QStringLiteral("%1: %2").arg(contact.source, note));
    result_.lines.append(line);
    ++result_.imported;
}

Result toEntries(const QList<Contact> &contacts, const QStringList &existingLines,
                 const std::array<QString, 11> &categories, int defaultCategory) {
    Importer importer(existingLines, categories, defaultCategory);
    for (const Contact &c : contacts)
        importer.add(c);
    return importer.result();
}

} // namespace contactimport
