#include "contacts/csvcontacts.h"

#include "contacts/csvheaders.h"
#include "contacts/exporter.h"

#include <QMap>
#include <QRegularExpression>

#include <algorithm>

namespace csvcontacts {
namespace {

// Several values in one cell: Google joins them with ":::", people with
// line breaks, slashes or semicolons.
QStringList valuesIn(const QString &cell) {
    static const QRegularExpression separators(QStringLiteral("\\s*(?::::|\\n|/|;|、)\\s*"));
    QStringList values;
    for (const QString &v : cell.split(separators))
        if (!v.trimmed().isEmpty())
            values.append(v.trimmed());
    return values;
}

// A label as Google writes it ("* Mobile", "Work Fax", "自宅"): the kind and rank it says.
void applyLabel(const QString &label, Contact::PhoneKind *kind, int &rank, bool &preferred) {
    QString l = label.trimmed().toLower();
    if (l.startsWith(u'*')) {
        preferred = true;
        l = l.mid(1).trimmed();
    }
    if (kind) {
        if (l.contains(QLatin1String("fax")) || l.contains(QStringLiteral("ファックス")))
            *kind = Contact::PhoneKind::Fax;
        else if (l.contains(QLatin1String("mobile")) || l.contains(QLatin1String("cell")) ||
                 l.contains(QStringLiteral("携帯")))
            *kind = Contact::PhoneKind::Cell;
    }
    if (l.contains(QLatin1String("work")) || l.contains(QLatin1String("business")) ||
        l.contains(QStringLiteral("会社")) || l.contains(QStringLiteral("勤務")))
        rank = 1;
    else if (l.contains(QLatin1String("home")) || l.contains(QLatin1String("main")) ||
             l.contains(QStringLiteral("自宅")))
        rank = 0;
}

} // namespace

Columns::Columns(const QStringList &header) {
    // Our export, this copy's or an earlier one's with fewer columns at the end.
    const QStringList own = contactexport::csvHeader();
    withPerson_ = header.size() > contactexport::csvHeaderOfTheFields().size() && header.size() <= own.size() &&
                  header == own.first(header.size());
    ownExport_ = withPerson_ || header == contactexport::csvHeaderOfTheFields();
    personColumn_ = static_cast<int>(contactexport::csvHeaderOfTheFields().size());
    headers_ = header;
    for (int i = 0; i < (withPerson_ ? personColumn_ : header.size()); ++i) {
        const QString h = normalisedHeader(header.at(i));
        if (const ColumnMeaning *meaning = meaningOfHeader(h)) {
            columns_.append({i, *meaning});
            known_ = true;
        } else if (addNumberedColumn(i, h)) {
            known_ = true;
        } else if (const std::optional<ColumnMeaning> postcard = postcardColumn(h); postcard) {
            columns_.append({i, *postcard});
        } else if (!h.isEmpty()) {
            unknown_.append(i);
        }
    }
}

bool Columns::addNumberedColumn(int index, const QString &h) {
    static const QRegularExpression numbered(
        QStringLiteral("^(phone|e-mail|email|address)(\\d+)-(value|label|type|street|city|region|postalcode|"
                       "extendedaddress|pobox|formatted)$"));
    static const QMap<QString, int> addressParts = {{QStringLiteral("street"), Street},
                                                    {QStringLiteral("city"), City},
                                                    {QStringLiteral("region"), Prefecture},
                                                    {QStringLiteral("postalcode"), Postal},
                                                    {QStringLiteral("extendedaddress"), Building},
                                                    {QStringLiteral("pobox"), PoBox},
                                                    {QStringLiteral("formatted"), Formatted}};
    const QRegularExpressionMatch m = numbered.match(h);
    if (!m.hasMatch())
        return false;
    const QString what = m.captured(1), field = m.captured(3);
    // Numbers 1000 and on, e-mails 2000, addresses 3000: one group for each numbered value.
    int group = 2000 + m.captured(2).toInt();
    if (what == QLatin1String("phone"))
        group -= 1000;
    else if (what == QLatin1String("address"))
        group += 1000;
    const bool label = field == QLatin1String("label") || field == QLatin1String("type");
    if (what == QLatin1String("phone")) {
        columns_.append({index, {label ? Role::PhoneLabel : Role::Phone, group}});
    } else if (what == QLatin1String("address")) {
        if (label)
            columns_.append({index, {Role::AddressLabel, group}});
        else if (addressParts.contains(field))
            columns_.append(
                {index, {Role::AddressPart, group, Contact::PhoneKind::Voice, 2, addressParts.value(field)}});
        else
            unknown_.append(index); // the country
    } else if (field == QLatin1String("value") || label) {
        columns_.append({index, {label ? Role::EmailLabel : Role::Email, group}});
    }
    return true;
}

namespace {

// The values of one group of columns (Google's "Phone 2", Outlook's home or
// business), gathered from a row before they become the contact's.
struct Group {
    QStringList phones;
    Contact::PhoneKind kind = Contact::PhoneKind::Voice;
    int rank = 2;
    QString label;
    QStringList emails;
    QString parts[Formatted + 1];
    bool isAddress = false, isPhone = false, isEmail = false;
};

// The parts of a name and its reading, as the row gives them.
struct NameParts {
    QStringList reading = QStringList(3); // family, given, middle
    QString middle;
};

// A cell of a name or reading column; false for any other column.
bool takeName(Contact &c, NameParts &parts, Role role, const QString &cell) {
    switch (role) {
    case Role::Family:
        c.family = cell;
        return true;
    case Role::Given:
        c.given = cell;
        return true;
    case Role::Middle:
        parts.middle = cell;
        return true;
    case Role::FullName:
        c.fullName = cell;
        return true;
    case Role::ReadingFamily:
        parts.reading[0] = cell;
        return true;
    case Role::ReadingGiven:
        parts.reading[1] = cell;
        return true;
    case Role::ReadingMiddle:
        parts.reading[2] = cell;
        return true;
    case Role::ReadingFull:
        c.reading = cell;
        return true;
    case Role::Organization:
        c.organization = cell;
        return true;
    case Role::OrganizationReading:
        c.organizationReading = cell;
        return true;
    default:
        return false;
    }
}

// A category cell: names between ":::", ";" or ","; Google's own groups
// ("* myContacts", "* starred") are no categories.
void takeCategories(Contact &c, const QString &cell) {
    static const QRegularExpression separators(QStringLiteral("\\s*(?::::|;|,)\\s*"));
    for (const QString &name : cell.split(separators))
        if (!name.trimmed().isEmpty() && !name.trimmed().startsWith(u'*'))
            c.categories.append(name.trimmed());
}

// The first of a cell's values is kept; a second in the same cell is named, not kept.
template <typename Keep> void keepFirst(Contact &c, const QStringList &values, const QString &secondNote, Keep keep) {
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i == 0)
            keep(values.at(i));
        else
            c.notes.append(secondNote.arg(values.at(i)));
    }
}

// The group's address from its parts, or from its one formatted text when it has no parts.
void addAddress(Contact &c, const Group &g, bool preferred) {
    Contact::Address a;
    a.postalCode = g.parts[Postal];
    a.parts = {g.parts[Prefecture], g.parts[City], g.parts[Street], g.parts[Building], g.parts[PoBox]};
    const bool anyPart = std::any_of(a.parts.begin(), a.parts.end(), [](const QString &p) { return !p.isEmpty(); });
    if (!anyPart && !g.parts[Formatted].isEmpty())
        a.parts = {QString(g.parts[Formatted]).replace(u'\n', u' ')};
    a.preferred = preferred;
    a.rank = g.rank;
    c.addresses.append(a);
}

// Whether a cell of a yes-or-no column says yes: postcard software writes
// ○, 1 or the mark itself; ×, 0 or nothing for no.
bool saysYes(const QString &cell) {
    static const QStringList no = {QStringLiteral("0"),     QStringLiteral("×"),    QStringLiteral("x"),
                                   QStringLiteral("false"), QStringLiteral("no"),   QStringLiteral("いいえ"),
                                   QStringLiteral("無"),    QStringLiteral("なし"), QStringLiteral("-"),
                                   QStringLiteral("ー"),    QStringLiteral("未")};
    const QString folded = cell.normalized(QString::NormalizationForm_KC).trimmed().toLower();
    return !folded.isEmpty() && !no.contains(folded);
}

// A New Year column's cell into the year's record; what it cannot say is named.
void takeNewYearMark(Contact &c, const ColumnMeaning &m, const QString &header, const QString &cell) {
    if (!saysYes(cell))
        return;
    int year = m.group;
    if (year == 0) { // 喪中 with no year in its header: the cell must say which
        const std::optional<std::pair<int, QString>> dated = yearIn(cell);
        if (!dated) {
            c.notes.append(
                QStringLiteral("列「%1」の「%2」は取り込みません：何年の喪中か書かれていません").arg(header, cell));
            return;
        }
        year = dated->first;
    }
    if (!people::NewYear::isYear(year)) {
        c.notes.append(QStringLiteral("列「%1」は取り込みません：年が正しくありません").arg(header));
        return;
    }
    people::NewYear marks{year};
    marks.sent = m.part == SentMark;
    marks.received = m.part == ReceivedMark;
    marks.mourning = m.part == MourningMark;
    if (m.part == MarksInCell) {
        marks.sent = cell.contains(u'出') || cell.contains(u'送');
        marks.received = cell.contains(u'受') || cell.contains(u'来');
        marks.mourning = cell.contains(u'喪');
        marks.kanchuSent = cell.contains(u"寒中");
        if (marks.words().isEmpty()) {
            c.notes.append(
                QStringLiteral("列「%1」の「%2」は取り込みません：出・受・喪中のどれか分かりません").arg(header, cell));
            return;
        }
    }
    c.person.yearRecord(year).addMarks(marks);
}

// A side-data text as its cell holds it; URLs one by one, between spaces or ";".
void takePersonText(Contact &c, int part, const QString &cell) {
    if (part == Url) {
        static const QRegularExpression separators(QStringLiteral("\\s+|:::|;"));
        c.person.urls += cell.split(separators, Qt::SkipEmptyParts);
        return;
    }
    if (part == Birthday) {
        c.person.birthday = contactentry::isoDate(cell);
        return;
    }
    QString people::PersonData::*const members[] = {&people::PersonData::honorific, &people::PersonData::department,
                                                    &people::PersonData::title,     &people::PersonData::birthday,
                                                    &people::PersonData::notes,     &people::PersonData::nickname};
    c.person.*members[part] = cell;
}

// Joint names as postcard software writes them: 連名1 to 5, each with its
// reading and honorific; a name with a space carries its own family name.
struct JointCells {
    QString name, reading, honorific;
};
void addJointNames(Contact &c, const QMap<int, JointCells> &joint) {
    for (const JointCells &j : joint) {
        if (j.name.isEmpty() && j.reading.isEmpty())
            continue;
        const auto [family, given] = contactentry::familyAndGiven(contactentry::entryNameOf(j.name));
        people::JointName name{given.isEmpty() ? family : given, given.isEmpty() ? QString() : family,
                               contactentry::storedReading(j.reading), j.honorific};
        // The entry's own family name is not written again, nor its reading.
        const qsizetype space = j.reading.trimmed().indexOf(QRegularExpression(QStringLiteral("\\s")));
        if (!name.family.isEmpty() && name.family == c.family) {
            name.family.clear();
            if (space > 0)
                name.reading = contactentry::storedReading(j.reading.trimmed().mid(space));
        }
        c.person.joint.append(name);
    }
}

} // namespace

Contact Columns::contact(const QStringList &row, const QString &source) const {
    Contact c;
    c.source = source;
    c.asWritten = ownExport_;
    // Our own export's cells are the fields as stored: never trimmed or split.
    const auto values = [&](const QString &cell) { return ownExport_ ? QStringList{cell} : valuesIn(cell); };
    NameParts names;
    QMap<int, Group> groups;
    QMap<int, JointCells> joint;
    for (const Column &col : columns_) {
        const QString cell = ownExport_ ? row.value(col.index) : row.value(col.index).trimmed();
        if (cell.isEmpty())
            continue;
        if (cell.size() > contactentry::SwallowedFile) {
            c.skipReason =
                QStringLiteral(
                    "列「%1」の値が %2 字あります（閉じていない引用符がファイルの残りを取り込んだおそれがあります）")
                    .arg(headers_.value(col.index))
                    .arg(cell.size());
            return c;
        }
        const ColumnMeaning &m = col.meaning;
        if (takeName(c, names, m.role, cell))
            continue;
        Group &g = groups[m.group];
        switch (m.role) {
        case Role::Phone:
            g.isPhone = true;
            g.phones = values(cell);
            g.kind = m.kind;
            g.rank = m.rank;
            break;
        case Role::PhoneLabel:
        case Role::EmailLabel:
        case Role::AddressLabel:
            g.label = cell;
            break;
        case Role::Email:
            g.isEmail = true;
            g.emails = values(cell);
            g.rank = m.rank;
            break;
        case Role::AddressPart:
            g.isAddress = true;
            g.rank = m.rank;
            g.parts[m.part] = cell;
            break;
        case Role::Category:
            takeCategories(c, cell);
            break;
        case Role::Person:
            takePersonText(c, m.part, cell);
            break;
        case Role::JointName:
            (m.part == JointWhole     ? joint[m.group].name
             : m.part == JointReading ? joint[m.group].reading
                                      : joint[m.group].honorific) = cell;
            break;
        case Role::NewYearMark:
            takeNewYearMark(c, m, headers_.value(col.index), cell);
            break;
        default:
            break;
        }
    }
    if (withPerson_)
        contactexport::readPersonCells(row.mid(personColumn_), c.uid, c.person, c.notes);
    if (!names.middle.isEmpty())
        c.given = (c.given + u' ' + names.middle).trimmed();
    if (c.reading.isEmpty())
        c.reading = contactentry::joinedReading(names.reading);
    addJointNames(c, joint);

    for (Group &g : groups) {
        Contact::PhoneKind kind = g.kind;
        bool preferred = false;
        applyLabel(g.label, g.isPhone ? &kind : nullptr, g.rank, preferred);
        if (g.isPhone)
            keepFirst(c, g.phones, QStringLiteral("電話番号「%1」は取り込みません：一つの欄に二つ目の番号です"),
                      [&](const QString &phone) {
                          c.phones.append({phone, kind, preferred, g.rank});
                      });
        if (g.isEmail)
            keepFirst(c, g.emails, QStringLiteral("メール「%1」は取り込みません：一つの欄に二つ目のメールです"),
                      [&](const QString &email) {
                          c.emails.append({email, preferred, g.rank});
                      });
        if (g.isAddress)
            addAddress(c, g, preferred);
    }
    return c;
}

} // namespace csvcontacts
