#include "contacts/importer.h"

#include "contacts/csv.h"
#include "contacts/vcard.h"
#include "store/linefile.h"
#include "store/mdlDim.h"

#include <QFileInfo>
#include <QSet>

namespace contactimport {
namespace {

Contact fromCard(const vcard::Card &card, const QString &file) {
    Contact c;
    c.source = QStringLiteral("%1, card %2").arg(file).arg(card.number);
    const auto textOf = [&](const char *name) {
        const vcard::Property *p = card.first(QString::fromLatin1(name));
        return p ? p->text() : QString();
    };
    if (const vcard::Property *n = card.first(QStringLiteral("N"))) {
        const QStringList parts = n->components();
        c.family = parts.value(0);
        c.given = parts.value(1);
        const QString sortAs = n->param(QStringLiteral("SORT-AS"));
        if (!sortAs.isEmpty())
            c.reading = QString(sortAs).remove(u',');
    }
    c.fullName = textOf("FN");
    // The reading, as the exporters write it: iPhone and Android, 4.0's
    // SORT-AS, 3.0's SORT-STRING, and Japanese phones' SOUND;X-IRMC-N.
    const QString phonetic = textOf("X-PHONETIC-LAST-NAME") + textOf("X-PHONETIC-FIRST-NAME");
    if (!phonetic.trimmed().isEmpty())
        c.reading = phonetic;
    else if (c.reading.isEmpty() && !textOf("SORT-STRING").isEmpty())
        c.reading = textOf("SORT-STRING");
    if (c.reading.trimmed().isEmpty())
        for (const vcard::Property *sound : card.all(QStringLiteral("SOUND")))
            if (!sound->binary && sound->hasType(QStringLiteral("X-IRMC-N")))
                c.reading = sound->components().join(QString());

    // The first address: preferred, else home, else any.
    const QList<const vcard::Property *> addresses = card.all(QStringLiteral("ADR"));
    const vcard::Property *address = nullptr;
    for (const char *wanted : {"PREF", "HOME"})
        for (const vcard::Property *a : addresses)
            if (!address && (a->hasType(QString::fromLatin1(wanted)) ||
                             (QByteArray(wanted) == "PREF" && a->param(QStringLiteral("PREF")) == QLatin1String("1"))))
                address = a;
    if (!address && !addresses.isEmpty())
        address = addresses.first();
    if (address) {
        const QStringList parts = address->components(); // box; extended; street; locality; region; code; country
        c.postalCode = parts.value(5);
        c.addressParts = {parts.value(4), parts.value(3), parts.value(2), parts.value(1)};
    }

    for (const vcard::Property *tel : card.all(QStringLiteral("TEL"))) {
        Contact::PhoneKind kind = Contact::PhoneKind::Voice;
        if (tel->hasType(QStringLiteral("FAX")))
            kind = Contact::PhoneKind::Fax;
        else if (tel->hasType(QStringLiteral("CELL")))
            kind = Contact::PhoneKind::Cell;
        QString number = tel->text();
        if (number.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive)) // 4.0's URI values
            number = number.mid(4);
        c.phones.append(
            {number, kind, tel->hasType(QStringLiteral("PREF")) || !tel->param(QStringLiteral("PREF")).isEmpty()});
    }
    const QList<const vcard::Property *> emails = card.all(QStringLiteral("EMAIL"));
    for (const vcard::Property *e : emails)
        if (c.email.isEmpty() && (e->hasType(QStringLiteral("PREF")) || !e->param(QStringLiteral("PREF")).isEmpty()))
            c.email = e->text();
    if (c.email.isEmpty() && !emails.isEmpty())
        c.email = emails.first()->text();
    for (const vcard::Property *cat : card.all(QStringLiteral("CATEGORIES")))
        c.categories += cat->list();
    return c;
}

// The column of each field, found by its header.
struct Columns {
    int reading = -1, name = -1, postal = -1, address = -1, telephone = -1, fax = -1, mobile = -1, email = -1,
        category = -1;
};

Columns columnsOf(const QStringList &header) {
    Columns c;
    for (int i = 0; i < header.size(); ++i) {
        const QString h = header.at(i).trimmed().normalized(QString::NormalizationForm_KC).toLower();
        const auto is = [&](std::initializer_list<const char16_t *> names) {
            for (const char16_t *n : names)
                if (h == QString::fromUtf16(n).normalized(QString::NormalizationForm_KC).toLower())
                    return true;
            return false;
        };
        if (is({u"ふりがな", u"フリガナ", u"よみ", u"読み", u"よみがな"}))
            c.reading = i;
        else if (is({u"氏名", u"名前", u"name"}))
            c.name = i;
        else if (is({u"郵便番号", u"〒"}))
            c.postal = i;
        else if (is({u"住所", u"address"}))
            c.address = i;
        else if (is({u"電話番号", u"電話", u"tel"}))
            c.telephone = i;
        else if (is({u"fax", u"ファックス", u"fax番号"}))
            c.fax = i;
        else if (is({u"携帯電話", u"携帯", u"携帯番号", u"mobile"}))
            c.mobile = i;
        else if (is({u"メールアドレス", u"e-mail", u"email", u"メール", u"eメール"}))
            c.email = i;
        else if (is({u"分類", u"category"}))
            c.category = i;
    }
    return c;
}

} // namespace

QList<Contact> readFile(const QString &path, QString &error) {
    QByteArray bytes;
    error = linefile::readAll(path, bytes);
    if (!error.isEmpty())
        return {};
    const QString file = QFileInfo(path).fileName();
    QList<Contact> contacts;
    if (bytes.toUpper().contains("BEGIN:VCARD")) {
        for (const vcard::Card &card : vcard::parse(bytes))
            contacts.append(fromCard(card, file));
        return contacts;
    }
    const QList<QStringList> rows = csv::parse(csv::decodeFile(bytes));
    if (rows.isEmpty())
        return {};
    const Columns col = columnsOf(rows.first());
    if (col.reading < 0 && col.name < 0) {
        error =
            QStringLiteral("%1: neither a vCard file nor a CSV file with a header row (ふりがな, 氏名, ...)").arg(file);
        return {};
    }
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const QStringList &row = rows.at(r);
        const auto at = [&](int column) { return column >= 0 ? row.value(column) : QString(); };
        Contact c;
        c.source = QStringLiteral("%1, row %2").arg(file).arg(r + 1);
        c.reading = at(col.reading);
        c.fullName = at(col.name);
        c.postalCode = at(col.postal);
        c.addressParts = {at(col.address)};
        if (!at(col.telephone).isEmpty())
            c.phones.append({at(col.telephone), Contact::PhoneKind::Voice, false});
        if (!at(col.fax).isEmpty())
            c.phones.append({at(col.fax), Contact::PhoneKind::Fax, false});
        if (!at(col.mobile).isEmpty())
            c.phones.append({at(col.mobile), Contact::PhoneKind::Cell, false});
        c.email = at(col.email);
        if (!at(col.category).isEmpty())
            c.categories = {at(col.category)};
        contacts.append(c);
    }
    return contacts;
}

Result toEntries(const QList<Contact> &contacts, const QStringList &existingLines,
                 const std::array<QString, 11> &categories, int defaultCategory) {
    const auto key = [](const QString &reading, const QString &name, const QString &telephone) {
        return reading + u'\x1f' + name + u'\x1f' + telephone;
    };
    const QString bar = QStringLiteral("|");
    QSet<QString> known;
    for (const QString &line : existingLines)
        known.insert(
            key(mdlDim::GetField(line, bar, 1), mdlDim::GetField(line, bar, 2), mdlDim::GetField(line, bar, 5)));
    Result result;
    for (const Contact &contact : contacts) {
        const contactentry::Converted converted = contactentry::toEntry(contact, categories, defaultCategory);
        if (!converted.skipReason.isEmpty()) {
            result.report.append(QStringLiteral("skipped %1: %2").arg(contact.source, converted.skipReason));
            ++result.skipped;
            continue;
        }
        const auto &f = converted.fields;
        if (known.contains(key(f.reading, f.name, f.telephone))) {
            ++result.duplicates;
            continue;
        }
        known.insert(key(f.reading, f.name, f.telephone));
        for (const QString &note : converted.notes)
            result.report.append(QStringLiteral("%1: %2").arg(contact.source, note));
        result.lines.append(entryrules::entryLine(f));
        ++result.imported;
    }
    return result;
}

} // namespace contactimport
