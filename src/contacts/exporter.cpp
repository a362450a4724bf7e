#include "contacts/exporter.h"

#include "contacts/contact.h"
#include "contacts/csv.h"
#include "contacts/readings.h"
#include "contacts/vcard.h"
#include "store/cp932.h"
#include "store/entryrecord.h"
#include "store/mdlDim.h"

#include <QHash>
#include <QUuid>

#include <optional>

namespace contactexport {
namespace {

QString field(const QString &line, EntryField f) {
    return fieldOfLine(line, f);
}

} // namespace

QString categoryName(const QString &number, const mdlDim::CategoryLines &categories) {
    bool isNumber = false;
    const int n = number.toInt(&isNumber);
    if (!isNumber || n < 1 || n > 10)
        return {};
    const QString name = mdlDim::categoryNameIn(categories[static_cast<size_t>(n - 1)]);
    return name.isEmpty() ? QString::number(n) : name;
}

namespace {

// What the side file holds beside the ten fields, as vCard properties.
void addPerson(const people::PersonData &p, QStringList &out) {
    using vcard::escaped;
    const auto add = [&](const char *name, const QString &value) {
        if (!value.isEmpty())
            out.append(QLatin1String(name) + u':' + escaped(value));
    };
    if (!p.company.isEmpty() || !p.department.isEmpty())
        out.append(QStringLiteral("ORG:%1;%2").arg(escaped(p.company), escaped(p.department)));
    add("TITLE", p.title);
    add("BDAY", p.birthday);
    add("NOTE", p.notes);
    add("NICKNAME", p.nickname);
    for (const QString &url : p.urls)
        add("URL", url);
    for (const QString &phone : p.phones)
        out.append(QStringLiteral("TEL;TYPE=VOICE;X-TELBORA=EXTRA:") + escaped(phone));
    for (const QString &email : p.emails)
        out.append(QStringLiteral("EMAIL;X-TELBORA=EXTRA:") + escaped(email));
    for (const QString &address : p.addresses)
        out.append(QStringLiteral("ADR;X-TELBORA=EXTRA:;;%1;;;;").arg(escaped(address)));
    add("X-TELBORA-HONORIFIC", p.honorific);
    for (const people::JointName &j : p.joint)
        out.append(QStringLiteral("X-TELBORA-JOINT:%1;%2;%3;%4")
                       .arg(escaped(j.given), escaped(j.family), escaped(j.reading), escaped(j.honorific)));
    if (p.buildingBreak > 0)
        out.append(QStringLiteral("X-TELBORA-BREAK:%1").arg(p.buildingBreak));
    add("X-TELBORA-SENDER", p.sender);
    for (const people::NewYear &y : p.years)
        out.append(QStringLiteral("X-TELBORA-NEWYEAR:%1;%2").arg(y.year).arg(y.words().join(u' ')));
}

} // namespace

std::pair<QString, QString> phoneticParts(const QString &reading, const QString &family, const QString &given) {
    if (family.isEmpty() || given.isEmpty() || contactentry::isLatin(reading))
        return {reading, {}};
    const QString folded = readings::hiragana(reading);
    const QString familyReading = readings::guess(family, readings::NamePart::Family).reading;
    if (familyReading.isEmpty() || folded.size() != reading.size() || folded.size() <= familyReading.size() ||
        !folded.startsWith(familyReading))
        return {reading, {}};
    return {reading.left(familyReading.size()), reading.mid(familyReading.size())};
}

QByteArray vcardOf(const Entry &entry, const mdlDim::CategoryLines &categories) {
    using vcard::escaped;
    const QString &line = entry.line;
    const QString name = field(line, EntryField::Name);
    // The editor's entries put a full-width space between family and given names.
    const auto [family, given] = contactentry::familyAndGiven(name);
    QStringList out = {QStringLiteral("BEGIN:VCARD"),
                       QStringLiteral("VERSION:3.0"),
                       QStringLiteral("PRODID:") + vcardProductId(),
                       QStringLiteral("UID:urn:uuid:") + entry.uid,
                       QStringLiteral("N:%1;%2;;;").arg(escaped(family), escaped(given)),
                       QStringLiteral("FN:") + escaped(name),
                       QStringLiteral("SORT-STRING:") + escaped(field(line, EntryField::Reading))};
    const auto [phoneticFamily, phoneticGiven] = phoneticParts(field(line, EntryField::Reading), family, given);
    out.insert(out.size() - 1, QStringLiteral("X-PHONETIC-LAST-NAME:") + escaped(phoneticFamily));
    if (!phoneticGiven.isEmpty())
        out.insert(out.size() - 1, QStringLiteral("X-PHONETIC-FIRST-NAME:") + escaped(phoneticGiven));
    const auto tel = [&](EntryField number, const char *type) {
        if (!field(line, number).isEmpty())
            out.append(QStringLiteral("TEL;TYPE=%1:%2").arg(QLatin1String(type), escaped(field(line, number))));
    };
    tel(EntryField::Telephone, "HOME");
    tel(EntryField::Fax, "FAX");
    tel(EntryField::Mobile, "CELL");
    if (!field(line, EntryField::PostalCode).isEmpty() || !field(line, EntryField::Address).isEmpty())
        out.append(QStringLiteral("ADR:;;%1;;;%2;")
                       .arg(escaped(field(line, EntryField::Address)), escaped(field(line, EntryField::PostalCode))));
    if (!field(line, EntryField::Email).isEmpty())
        out.append(QStringLiteral("EMAIL:") + escaped(field(line, EntryField::Email)));
    const QString category = categoryName(field(line, EntryField::Category), categories);
    if (!category.isEmpty())
        out.append(QStringLiteral("CATEGORIES:") + escaped(category));
    addPerson(entry.person, out);
    out.append(QStringLiteral("END:VCARD"));
    QByteArray bytes;
    for (const QString &l : out)
        bytes += vcard::folded(l);
    return bytes;
}

namespace {

// What importing the entry would give, when it is not the entry itself.
QString comesBackDifferently(const QString &line, const mdlDim::CategoryLines &categories) {
    Contact c;
    c.asWritten = true;
    c.reading = field(line, EntryField::Reading);
    c.fullName = field(line, EntryField::Name);
    std::tie(c.family, c.given) = contactentry::familyAndGiven(field(line, EntryField::Name));
    if (!field(line, EntryField::PostalCode).isEmpty() || !field(line, EntryField::Address).isEmpty())
        c.addresses.append({field(line, EntryField::PostalCode), {field(line, EntryField::Address)}, false, 0});
    c.phones = {{field(line, EntryField::Telephone), Contact::PhoneKind::Voice, false, 0},
                {field(line, EntryField::Fax), Contact::PhoneKind::Fax, false, 0},
                {field(line, EntryField::Mobile), Contact::PhoneKind::Cell, false, 0}};
    c.emails = {{field(line, EntryField::Email), false, 0}};
    c.categories = {categoryName(field(line, EntryField::Category), categories)};
    const contactentry::Converted back = contactentry::toEntry(c, categories, 1);
    if (!back.skipReason.isEmpty())
        return back.skipReason;
    QStringList expected = line.split(u'|').mid(0, 9);
    while (expected.size() < 9)
        expected.append(QString());
    const QStringList got = entryrules::entryLine(back.fields).split(u'|').mid(0, 9);
    if (got != expected)
        return back.notes.isEmpty() ? QStringLiteral("%1 として戻ります").arg(got.join(u'|'))
                                    : back.notes.join(QStringLiteral("; "));
    return {};
}

QString entryLabel(int index, const QString &line) {
    return QStringLiteral("%1 件目（%2）").arg(index + 1).arg(field(line, EntryField::Name));
}

} // namespace

QString vcardProductId() {
    return QStringLiteral("-//Telbora//telbora-contacts//JA");
}

QStringList csvHeaderOfTheFields() {
    return {QStringLiteral("ふりがな"), QStringLiteral("氏名"),           QStringLiteral("郵便番号"),
            QStringLiteral("住所"),     QStringLiteral("電話番号"),       QStringLiteral("FAX"),
            QStringLiteral("携帯電話"), QStringLiteral("メールアドレス"), QStringLiteral("分類")};
}

QStringList csvHeader() {
    return csvHeaderOfTheFields() +
           QStringList{QStringLiteral("UID"),          QStringLiteral("敬称"),         QStringLiteral("連名"),
                       QStringLiteral("会社名"),       QStringLiteral("部署"),         QStringLiteral("役職"),
                       QStringLiteral("誕生日"),       QStringLiteral("メモ"),         QStringLiteral("ほかの電話"),
                       QStringLiteral("ほかのメール"), QStringLiteral("年賀状"),       QStringLiteral("住所の区切り"),
                       QStringLiteral("ほかの住所"),   QStringLiteral("ニックネーム"), QStringLiteral("URL"),
                       QStringLiteral("差出人")};
}

// In a cell, each joint name and each year is a line of its own; a joint
// name's parts (given name, family name, reading, honorific) are separated by tabs.
QStringList personCells(const QString &uid, const people::PersonData &p) {
    QStringList joint;
    for (const people::JointName &j : p.joint)
        joint.append(QStringList{j.given, j.family, j.reading, j.honorific}.join(u'\t'));
    QStringList years;
    for (const people::NewYear &y : p.years)
        if (!y.words().isEmpty())
            years.append(QString::number(y.year) + u' ' + y.words().join(u' '));
    return {uid,
            p.honorific,
            joint.join(u'\n'),
            p.company,
            p.department,
            p.title,
            p.birthday,
            p.notes,
            p.phones.join(u'\n'),
            p.emails.join(u'\n'),
            years.join(u'\n'),
            p.buildingBreak > 0 ? QString::number(p.buildingBreak) : QString(),
            p.addresses.join(u'\n'),
            p.nickname,
            p.urls.join(u'\n'),
            p.sender};
}

void readPersonCells(const QStringList &cells, QString &uid, people::PersonData &p, QStringList &notes) {
    const auto lines = [](const QString &cell) { return cell.isEmpty() ? QStringList() : cell.split(u'\n'); };
    if (const QUuid parsed = QUuid::fromString(cells.value(0).trimmed()); !parsed.isNull())
        uid = parsed.toString(QUuid::WithoutBraces);
    p.honorific = cells.value(1);
    for (const QString &line : lines(cells.value(2))) {
        const QStringList parts = line.split(u'\t');
        if (p.joint.size() < people::MaxJointNames)
            p.joint.append({parts.value(0), parts.value(1), parts.value(2), parts.value(3)});
    }
    p.company = cells.value(3);
    p.department = cells.value(4);
    p.title = cells.value(5);
    p.birthday = cells.value(6);
    p.notes = cells.value(7);
    p.phones = lines(cells.value(8));
    p.emails = lines(cells.value(9));
    for (const QString &line : lines(cells.value(10))) {
        const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
        contactentry::readNewYear(p, words.value(0), words.mid(1), notes);
    }
    p.buildingBreak = std::max(0, cells.value(11).toInt());
    p.addresses = lines(cells.value(12));
    p.nickname = cells.value(13);
    p.urls = lines(cells.value(14));
    p.sender = cells.value(15);
}

Exported exportEntries(const QStringList &lines, const mdlDim::CategoryLines &categories, Format format,
                       Encoding encoding) {
    QList<Entry> entries;
    QHash<QString, int> seen; // identical entries, each with its own UID
    for (const QString &line : lines) {
        const people::Anchor anchor = people::anchorOf(line);
        entries.append({line, people::seededUid(anchor, seen[anchor.join(u'|')]++), {}});
    }
    return exportEntries(entries, categories, format, encoding);
}

Exported exportEntries(const QList<Entry> &entries, const mdlDim::CategoryLines &categories, Format format,
                       Encoding encoding) {
    QStringList lines;
    for (const Entry &entry : entries)
        lines.append(entry.line);
    Exported out;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        if (line.contains(QChar(0xFFFD)))
            out.notices.append(QStringLiteral("%1：シフトJIS でないバイトがあり、\uFFFD として書き出します")
                                   .arg(entryLabel(static_cast<int>(i), line)));
        else if (const QString why = comesBackDifferently(line, categories); !why.isEmpty())
            out.notices.append(QStringLiteral("%1：取り込み直すと同じには戻りません：%2")
                                   .arg(entryLabel(static_cast<int>(i), line), why));
    }
    if (format == Format::VCard) {
        for (const Entry &entry : entries)
            out.bytes += vcardOf(entry, categories);
        return out;
    }
    const auto encoded = [&](const QString &text, int index) -> std::optional<QByteArray> {
        if (encoding == Encoding::Utf8)
            return text.toUtf8();
        std::optional<QByteArray> bytes = cp932::encode(text);
        if (!bytes) {
            out.failure = {Failure::Kind::NotWritableInEncoding, {}, 0, entryLabel(index, lines.value(index))};
            out.error = describe(out.failure);
        }
        return bytes;
    };
    out.bytes = encoding == Encoding::Utf8 ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    out.bytes += *encoded(csv::row(csvHeader()), -1);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        const EntryRecord entry = EntryRecord::ofLine(line);
        QStringList row;
        for (EntryField f : {EntryField::Reading, EntryField::Name, EntryField::PostalCode, EntryField::Address,
                             EntryField::Telephone, EntryField::Fax, EntryField::Mobile, EntryField::Email})
            row.append(entry[f]);
        row.append(categoryName(entry[EntryField::Category], categories));
        row += personCells(entries.at(i).uid, entries.at(i).person);
        const std::optional<QByteArray> bytes = encoded(csv::row(row), static_cast<int>(i));
        if (!bytes) {
            out.bytes.clear();
            return out;
        }
        out.bytes += *bytes;
    }
    return out;
}

} // namespace contactexport
