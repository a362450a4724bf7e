#include "contacts/csvcontacts.h"

#include "contacts/exporter.h"

#include <QMap>
#include <QRegularExpression>

namespace csvcontacts {
namespace {

// A header as compared: compatibility forms folded, lower case, no spaces.
QString normalised(const QString &header) {
    QString h = header.normalized(QString::NormalizationForm_KC).toLower();
    h.remove(QRegularExpression(QStringLiteral("\\s")));
    return h;
}

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
    using K = Contact::PhoneKind;
    struct Fixed {
        Role role;
        int group;
        K kind;
        int rank;
        int part;
    };
    // Groups: 100 + n for home, 200 + n for work, 300 for others; Google's numbered groups are n.
    static const QMap<QString, Fixed> fixed = [] {
        QMap<QString, Fixed> m;
        const auto add = [&](std::initializer_list<const char16_t *> names, Fixed f) {
            for (const char16_t *n : names)
                m.insert(normalised(QString::fromUtf16(n)), f);
        };
        add({u"First Name", u"Given Name", u"名"}, {Role::Given, 0, K::Voice, 2, 0});
        add({u"Last Name", u"Family Name", u"姓", u"苗字"}, {Role::Family, 0, K::Voice, 2, 0});
        add({u"Middle Name", u"Additional Name", u"ミドル ネーム"}, {Role::Middle, 0, K::Voice, 2, 0});
        add({u"Name", u"Display Name", u"氏名", u"名前", u"Full Name", u"表示名"}, {Role::FullName, 0, K::Voice, 2, 0});
        add({u"Phonetic Last Name", u"Family Name Yomi", u"姓フリガナ", u"姓ふりがな", u"姓かな", u"姓カナ", u"姓よみ",
             u"姓 (ふりがな)", u"姓 (フリガナ)"},
            {Role::ReadingFamily, 0, K::Voice, 2, 0});
        add({u"Phonetic First Name", u"Given Name Yomi", u"名フリガナ", u"名前フリガナ", u"名ふりがな", u"名かな",
             u"名カナ", u"名よみ", u"名 (ふりがな)", u"名 (フリガナ)"},
            {Role::ReadingGiven, 0, K::Voice, 2, 0});
        add({u"Phonetic Middle Name", u"Additional Name Yomi"}, {Role::ReadingMiddle, 0, K::Voice, 2, 0});
        add({u"Yomi Name", u"ふりがな", u"フリガナ", u"よみ", u"よみがな", u"読み", u"読みがな", u"かな", u"カナ"},
            {Role::ReadingFull, 0, K::Voice, 2, 0});
        add({u"Organization Name", u"Organization 1 - Name", u"Company", u"会社名", u"会社", u"勤務先"},
            {Role::Organization, 0, K::Voice, 2, 0});
        add({u"会社名フリガナ", u"会社名ふりがな", u"Organization 1 - Yomi Name", u"Phonetic Organization Name"},
            {Role::OrganizationReading, 0, K::Voice, 2, 0});
        // Numbers.
        add({u"Home Phone", u"自宅電話", u"電話", u"電話番号", u"TEL", u"自宅電話番号", u"自宅TEL"},
            {Role::Phone, 101, K::Voice, 0, 0});
        add({u"Home Phone 2", u"自宅電話 2"}, {Role::Phone, 102, K::Voice, 0, 0});
        add({u"Business Phone", u"Work Phone", u"会社電話", u"勤務先電話", u"会社TEL"}, {Role::Phone, 201, K::Voice, 1, 0});
        add({u"Business Phone 2", u"会社電話 2"}, {Role::Phone, 202, K::Voice, 1, 0});
        add({u"Mobile Phone", u"Mobile Number", u"携帯電話", u"携帯", u"携帯番号", u"携帯電話番号"},
            {Role::Phone, 103, K::Cell, 0, 0});
        add({u"Home Fax", u"自宅 FAX", u"自宅ファックス", u"FAX", u"Fax Number", u"ファックス", u"FAX番号", u"自宅FAX"},
            {Role::Phone, 104, K::Fax, 0, 0});
        add({u"Business Fax", u"会社 FAX", u"会社ファックス", u"会社FAX"}, {Role::Phone, 204, K::Fax, 1, 0});
        add({u"Primary Phone", u"Other Phone", u"Company Main Phone", u"その他の電話", u"代表電話"},
            {Role::Phone, 301, K::Voice, 2, 0});
        // E-mail.
        add({u"E-mail Address", u"Primary Email", u"電子メール アドレス", u"メール", u"メールアドレス", u"E-mail",
             u"Email", u"Eメール", u"自宅E-mail", u"自宅メール"},
            {Role::Email, 111, K::Voice, 0, 0});
        add({u"E-mail 2 Address", u"Secondary Email", u"電子メール 2 アドレス", u"会社E-mail", u"会社メール"},
            {Role::Email, 112, K::Voice, 2, 0});
        add({u"E-mail 3 Address", u"電子メール 3 アドレス"}, {Role::Email, 113, K::Voice, 2, 0});
        // Addresses: home (group 121), work (221).
        // Japanese address and postcard software: 自宅住所1 is the street, 2 and 3 what follows.
        add({u"Home Street", u"Home Address", u"番地 (自宅)", u"番地", u"住所", u"住所1", u"自宅住所1", u"自宅住所"},
            {Role::AddressPart, 121, K::Voice, 0, Street});
        add({u"Home Street 2", u"Home Address 2", u"住所2", u"建物名", u"番地 2 (自宅)", u"自宅住所2"},
            {Role::AddressPart, 121, K::Voice, 0, Building});
        add({u"住所3", u"自宅住所3"}, {Role::AddressPart, 121, K::Voice, 0, PoBox});
        add({u"Home City", u"市町村 (自宅)", u"市区町村 (自宅)", u"市区町村", u"市町村"},
            {Role::AddressPart, 121, K::Voice, 0, City});
        add({u"Home State", u"都道府県 (自宅)", u"都道府県"}, {Role::AddressPart, 121, K::Voice, 0, Prefecture});
        add({u"Home Postal Code", u"Home ZipCode", u"郵便番号 (自宅)", u"郵便番号", u"〒", u"自宅〒", u"自宅郵便番号"},
            {Role::AddressPart, 121, K::Voice, 0, Postal});
        add({u"Business Street", u"Work Address", u"番地 (会社)", u"会社住所1", u"会社住所"},
            {Role::AddressPart, 221, K::Voice, 1, Street});
        add({u"Business Street 2", u"Work Address 2", u"番地 2 (会社)", u"会社住所2"},
            {Role::AddressPart, 221, K::Voice, 1, Building});
        add({u"会社住所3"}, {Role::AddressPart, 221, K::Voice, 1, PoBox});
        add({u"Business City", u"Work City", u"市町村 (会社)", u"市区町村 (会社)"},
            {Role::AddressPart, 221, K::Voice, 1, City});
        add({u"Business State", u"Work State", u"都道府県 (会社)"}, {Role::AddressPart, 221, K::Voice, 1, Prefecture});
        add({u"Business Postal Code", u"Work ZipCode", u"郵便番号 (会社)", u"会社〒", u"会社郵便番号"},
            {Role::AddressPart, 221, K::Voice, 1, Postal});
        add({u"Labels", u"Group Membership", u"分類", u"分類項目", u"Categories", u"Category", u"グループ", u"カテゴリ",
             u"カテゴリー"},
            {Role::Category, 0, K::Voice, 2, 0});
        return m;
    }();
    // Google's numbered columns: "Phone 1 - Value", "E-mail 2 - Label", "Address 1 - Postal Code".
    static const QRegularExpression numbered(
        QStringLiteral("^(phone|e-mail|email|address)(\\d+)-(value|label|type|street|city|region|postalcode|"
                       "extendedaddress|pobox|formatted)$"));
    ownExport_ = header == contactexport::csvHeader();
    headers_ = header;
    for (int i = 0; i < header.size(); ++i) {
        const QString h = normalised(header.at(i));
        if (const auto f = fixed.constFind(h); f != fixed.constEnd()) {
            columns_.append({i, f->role, f->group, f->kind, f->rank, f->part});
            known_ = true;
            continue;
        }
        const QRegularExpressionMatch m = numbered.match(h);
        if (!m.hasMatch()) {
            if (!h.isEmpty())
                unknown_.append(i);
            continue;
        }
        const QString what = m.captured(1), field = m.captured(3);
        const int group = 1000 * (what == QLatin1String("phone") ? 1 : what == QLatin1String("address") ? 3 : 2) +
                          m.captured(2).toInt();
        const bool label = field == QLatin1String("label") || field == QLatin1String("type");
        if (what == QLatin1String("phone")) {
            columns_.append({i, label ? Role::PhoneLabel : Role::Phone, group});
        } else if (what == QLatin1String("address")) {
            static const QMap<QString, int> parts = {{QStringLiteral("street"), Street},
                                                     {QStringLiteral("city"), City},
                                                     {QStringLiteral("region"), Prefecture},
                                                     {QStringLiteral("postalcode"), Postal},
                                                     {QStringLiteral("extendedaddress"), Building},
                                                     {QStringLiteral("pobox"), PoBox},
                                                     {QStringLiteral("formatted"), Formatted}};
            if (label)
                columns_.append({i, Role::AddressLabel, group});
            else if (parts.contains(field))
                columns_.append({i, Role::AddressPart, group, Contact::PhoneKind::Voice, 2, parts.value(field)});
            else
                unknown_.append(i); // the country
        } else if (field == QLatin1String("value") || label) {
            columns_.append({i, label ? Role::EmailLabel : Role::Email, group});
        }
        known_ = true;
    }
}

Contact Columns::contact(const QStringList &row, const QString &source) const {
    Contact c;
    c.source = source;
    c.asWritten = ownExport_;
    // Our own export's cells are the fields as stored: never trimmed or split.
    const auto values = [&](const QString &cell) { return ownExport_ ? QStringList{cell} : valuesIn(cell); };
    QStringList readingParts(3); // family, given, middle
    QString middle;
    // The values of each numbered group, gathered before they become the contact's.
    struct Group {
        QStringList phones;
        Contact::PhoneKind kind = Contact::PhoneKind::Voice;
        int rank = 2;
        bool preferred = false;
        QString label;
        QStringList emails;
        QString parts[Formatted + 1];
        bool isAddress = false, isPhone = false, isEmail = false;
    };
    QMap<int, Group> groups;
    for (const Column &col : columns_) {
        const QString cell = ownExport_ ? row.value(col.index) : row.value(col.index).trimmed();
        if (cell.isEmpty())
            continue;
        if (cell.size() > contactentry::SwallowedFile) {
            c.skipReason = QStringLiteral("列「%1」の値が %2 字あります（閉じていない引用符がファイルの残りを取り込んだおそれがあります）")
                               .arg(headers_.value(col.index))
                               .arg(cell.size());
            return c;
        }
        Group &g = groups[col.group];
        switch (col.role) {
        case Role::Family:
            c.family = cell;
            break;
        case Role::Given:
            c.given = cell;
            break;
        case Role::Middle:
            middle = cell;
            break;
        case Role::FullName:
            c.fullName = cell;
            break;
        case Role::ReadingFamily:
            readingParts[0] = cell;
            break;
        case Role::ReadingGiven:
            readingParts[1] = cell;
            break;
        case Role::ReadingMiddle:
            readingParts[2] = cell;
            break;
        case Role::ReadingFull:
            c.reading = cell;
            break;
        case Role::Organization:
            c.organization = cell;
            break;
        case Role::OrganizationReading:
            c.organizationReading = cell;
            break;
        case Role::Phone:
            g.isPhone = true;
            g.phones = values(cell);
            g.kind = col.kind;
            g.rank = col.rank;
            break;
        case Role::PhoneLabel:
        case Role::EmailLabel:
        case Role::AddressLabel:
            g.label = cell;
            break;
        case Role::Email:
            g.isEmail = true;
            g.emails = values(cell);
            g.rank = col.rank;
            break;
        case Role::AddressPart:
            g.isAddress = true;
            g.rank = col.rank;
            g.parts[col.part] = cell;
            break;
        case Role::Category:
            static const QRegularExpression categorySeparators(QStringLiteral("\\s*(?::::|;|,)\\s*"));
            for (const QString &name : cell.split(categorySeparators))
                // Google's own groups ("* myContacts", "* starred") are no categories.
                if (!name.trimmed().isEmpty() && !name.trimmed().startsWith(u'*'))
                    c.categories.append(name.trimmed());
            break;
        }
    }
    if (!middle.isEmpty())
        c.given = (c.given + u' ' + middle).trimmed();
    if (c.reading.isEmpty())
        c.reading = contactentry::joinedReading(readingParts);

    for (auto it = groups.begin(); it != groups.end(); ++it) {
        Group &g = *it;
        Contact::PhoneKind kind = g.kind;
        bool preferred = false;
        applyLabel(g.label, g.isPhone ? &kind : nullptr, g.rank, preferred);
        if (g.isPhone) {
            for (qsizetype i = 0; i < g.phones.size(); ++i) {
                if (i == 0)
                    c.phones.append({g.phones.at(i), kind, preferred, g.rank});
                else
                    c.notes.append(QStringLiteral("電話番号「%1」は取り込みません：一つの欄に二つ目の番号です").arg(g.phones.at(i)));
            }
        }
        if (g.isEmail) {
            for (qsizetype i = 0; i < g.emails.size(); ++i) {
                if (i == 0)
                    c.emails.append({g.emails.at(i), preferred, g.rank});
                else
                    c.notes.append(QStringLiteral("メール「%1」は取り込みません：一つの欄に二つ目のメールです").arg(g.emails.at(i)));
            }
        }
        if (g.isAddress) {
            Contact::Address a;
            a.postalCode = g.parts[Postal];
            a.parts = {g.parts[Prefecture], g.parts[City], g.parts[Street], g.parts[Building], g.parts[PoBox]};
            bool anyPart = false;
            for (const QString &p : a.parts)
                anyPart = anyPart || !p.isEmpty();
            if (!anyPart && !g.parts[Formatted].isEmpty())
                a.parts = {QString(g.parts[Formatted]).replace(u'\n', u' ')};
            a.preferred = preferred;
            a.rank = g.rank;
            c.addresses.append(a);
        }
    }
    return c;
}

} // namespace csvcontacts
