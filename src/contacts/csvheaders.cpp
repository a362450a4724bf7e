#include "contacts/csvheaders.h"

#include <QHash>
#include <QRegularExpression>

namespace csvcontacts {
namespace {

using PhoneKind = Contact::PhoneKind;

// Every name programs give a column, "|" between them, and what it holds.
// To read another program's files, add its headers here.
struct HeaderAliases {
    const char16_t *names;
    ColumnMeaning meaning;
};

const HeaderAliases Aliases[] = {
    {u"First Name|Given Name|名|氏名 (名)", {Role::Given}},
    {u"Last Name|Family Name|姓|苗字|氏|氏名 (姓)", {Role::Family}},
    {u"Middle Name|Additional Name|ミドル ネーム", {Role::Middle}},
    {u"Name|Display Name|氏名|名前|Full Name|表示名|宛名", {Role::FullName}},
    {u"Phonetic Last Name|Family Name Yomi|姓フリガナ|姓ふりがな|姓かな|姓カナ|姓よみ|姓 (ふりがな)|姓 (フリガナ)|"
     u"フリガナ (姓)|ふりがな (姓)|氏フリガナ|氏ふりがな|セイ",
     {Role::ReadingFamily}},
    {u"Phonetic First Name|Given Name Yomi|名フリガナ|名前フリガナ|名ふりがな|名かな|名カナ|名よみ|名 (ふりがな)|名 "
     u"(フリガナ)|フリガナ (名)|ふりがな (名)|メイ",
     {Role::ReadingGiven}},
    {u"Phonetic Middle Name|Additional Name Yomi", {Role::ReadingMiddle}},
    {u"Yomi Name|ふりがな|フリガナ|よみ|よみがな|読み|読みがな|かな|カナ", {Role::ReadingFull}},
    {u"Organization Name|Organization 1 - Name|Company|会社名|会社|勤務先", {Role::Organization}},
    {u"会社名フリガナ|会社名ふりがな|Organization 1 - Yomi Name|Phonetic Organization Name",
     {Role::OrganizationReading}},
    // Numbers.
    {u"Home Phone|自宅電話|電話|電話番号|TEL|自宅電話番号|自宅TEL|電話 (自宅)",
     {Role::Phone, 101, PhoneKind::Voice, 0}},
    {u"Home Phone 2|自宅電話 2", {Role::Phone, 102, PhoneKind::Voice, 0}},
    {u"Business Phone|Work Phone|会社電話|勤務先電話|会社TEL", {Role::Phone, 201, PhoneKind::Voice, 1}},
    {u"Business Phone 2|会社電話 2", {Role::Phone, 202, PhoneKind::Voice, 1}},
    {u"Mobile Phone|Mobile Number|携帯電話|携帯|携帯番号|携帯電話番号|携帯TEL|携帯電話 (自宅)",
     {Role::Phone, 103, PhoneKind::Cell, 0}},
    {u"Home Fax|自宅 FAX|自宅ファックス|FAX|Fax Number|ファックス|FAX番号|自宅FAX",
     {Role::Phone, 104, PhoneKind::Fax, 0}},
    {u"Business Fax|会社 FAX|会社ファックス|会社FAX", {Role::Phone, 204, PhoneKind::Fax, 1}},
    {u"Primary Phone|Other Phone|Company Main Phone|その他の電話|その他電話|代表電話", {Role::Phone, 301}},
    // E-mail.
    {u"E-mail Address|Primary Email|電子メール "
     u"アドレス|メール|メールアドレス|E-mail|Email|Eメール|Eメールアドレス|自宅E-mail|自宅メール",
     {Role::Email, 111, PhoneKind::Voice, 0}},
    {u"E-mail 2 Address|Secondary Email|電子メール 2 アドレス|会社E-mail|会社メール", {Role::Email, 112}},
    {u"E-mail 3 Address|電子メール 3 アドレス", {Role::Email, 113}},
    // Addresses: home (group 121), work (221).
    // Japanese address and postcard software: 自宅住所1 is the street, 2 and 3 what follows.
    {u"Home Street|Home Address|番地 (自宅)|番地|住所|住所1|自宅住所1|自宅住所|自宅所在地 (番地)|自宅所在地",
     {Role::AddressPart, 121, PhoneKind::Voice, 0, Street}},
    {u"Home Street 2|Home Address 2|住所2|建物名|建物名等|番地 2 (自宅)|自宅住所2|自宅所在地 (建物名)",
     {Role::AddressPart, 121, PhoneKind::Voice, 0, Building}},
    {u"住所3|自宅住所3|番地 3 (自宅)", {Role::AddressPart, 121, PhoneKind::Voice, 0, PoBox}},
    {u"Home City|市町村 (自宅)|市区町村 (自宅)|市区町村|市町村|自宅所在地 (市区町村)",
     {Role::AddressPart, 121, PhoneKind::Voice, 0, City}},
    {u"Home State|都道府県 (自宅)|都道府県|自宅所在地 (都道府県)",
     {Role::AddressPart, 121, PhoneKind::Voice, 0, Prefecture}},
    {u"Home Postal Code|Home ZipCode|郵便番号 (自宅)|郵便番号|〒|自宅〒|自宅郵便番号|〒番号|郵便|自宅所在地 (郵便番号)",
     {Role::AddressPart, 121, PhoneKind::Voice, 0, Postal}},
    {u"Business Street|Work Address|番地 (会社)|会社住所1|会社住所",
     {Role::AddressPart, 221, PhoneKind::Voice, 1, Street}},
    {u"Business Street 2|Work Address 2|番地 2 (会社)|会社住所2",
     {Role::AddressPart, 221, PhoneKind::Voice, 1, Building}},
    {u"会社住所3", {Role::AddressPart, 221, PhoneKind::Voice, 1, PoBox}},
    {u"Business City|Work City|市町村 (会社)|市区町村 (会社)", {Role::AddressPart, 221, PhoneKind::Voice, 1, City}},
    {u"Business State|Work State|都道府県 (会社)", {Role::AddressPart, 221, PhoneKind::Voice, 1, Prefecture}},
    {u"Business Postal Code|Work ZipCode|郵便番号 (会社)|会社〒|会社郵便番号",
     {Role::AddressPart, 221, PhoneKind::Voice, 1, Postal}},
    {u"Labels|Group Membership|分類|分類項目|Categories|Category|グループ|カテゴリ|カテゴリー", {Role::Category}},
    // What the book keeps beside the ten fields.
    {u"敬称|宛名敬称|本人敬称", {Role::Person, 0, PhoneKind::Voice, 2, Honorific}},
    {u"Department|部署|部署名|所属|会社部署", {Role::Person, 0, PhoneKind::Voice, 2, Department}},
    {u"Job Title|Title|役職|役職名|肩書|肩書き", {Role::Person, 0, PhoneKind::Voice, 2, JobTitle}},
    {u"Birthday|誕生日|生年月日", {Role::Person, 0, PhoneKind::Voice, 2, Birthday}},
    {u"Notes|Note|メモ|備考|ノート", {Role::Person, 0, PhoneKind::Voice, 2, Notes}},
    {u"Nickname|ニックネーム|愛称|呼び名", {Role::Person, 0, PhoneKind::Voice, 2, Nickname}},
    {u"Web Page|Website|Personal Web Page|Business Web Page|Website 1 - Value|Web ページ|Webページ|ホームページ|"
     u"ウェブサイト|URL",
     {Role::Person, 0, PhoneKind::Voice, 2, Url}},
    {u"喪中", {Role::NewYearMark, 0, PhoneKind::Voice, 2, MourningMark}},
};

} // namespace

QString normalisedHeader(const QString &header) {
    QString h = header.normalized(QString::NormalizationForm_KC).toLower();
    h.remove(QRegularExpression(QStringLiteral("\\s")));
    return h;
}

namespace {
// A header as people vary it: without brackets, and without a 1 at its end
// when only one such column is meant (電話番号１, TEL1, E-mail1).
QString looseHeader(const QString &normalised) {
    QString h = normalised;
    h.remove(QRegularExpression(QStringLiteral("[()\\[\\]【】「」]")));
    if (h.size() > 1 && h.endsWith(u'1') && !h.at(h.size() - 2).isDigit())
        h.chop(1);
    return h;
}
} // namespace

const ColumnMeaning *meaningOfHeader(const QString &normalised) {
    using Map = QHash<QString, const ColumnMeaning *>;
    static const std::pair<Map, Map> byHeader = [] {
        std::pair<Map, Map> m;
        for (const HeaderAliases &aliases : Aliases)
            for (const QString &name : QString::fromUtf16(aliases.names).split(u'|')) {
                m.first.insert(normalisedHeader(name), &aliases.meaning);
                if (!m.second.contains(looseHeader(normalisedHeader(name))))
                    m.second.insert(looseHeader(normalisedHeader(name)), &aliases.meaning);
            }
        return m;
    }();
    if (const ColumnMeaning *exact = byHeader.first.value(normalised, nullptr))
        return exact;
    return byHeader.second.value(looseHeader(normalised), nullptr);
}

std::optional<std::pair<int, QString>> yearIn(const QString &text) {
    // 2025, 令和7 or R7 (2025), 平成31 or H31.
    static const QRegularExpression dated(QStringLiteral("((?:19|20)\\d\\d)|(令和|r|平成|h)(\\d{1,2})"));
    const QString folded = normalisedHeader(text);
    const QRegularExpressionMatch m = dated.match(folded);
    if (!m.hasMatch())
        return std::nullopt;
    const QString era = m.captured(2);
    const int year =
        era.isEmpty() ? m.captured(1).toInt() : m.captured(3).toInt() + (era == u"令和" || era == u"r" ? 2018 : 1988);
    return std::pair{year, QString(folded).remove(m.capturedStart(), m.capturedLength())};
}

std::optional<ColumnMeaning> postcardColumn(const QString &normalised) {
    static const QRegularExpression brackets(QStringLiteral("[()\\[\\]【】「」]"));
    const QString h = QString(normalised).remove(brackets);
    static const QRegularExpression joint(
        QStringLiteral("^連名([1-5])?(ふりがな|フリガナ|よみ|よみがな|読み|かな|カナ|敬称)?$"));
    if (const QRegularExpressionMatch m = joint.match(h); m.hasMatch()) {
        const QString what = m.captured(2);
        const int part = what.isEmpty() ? JointWhole : what == u"敬称" ? JointHonorific : JointReading;
        return ColumnMeaning{Role::JointName, m.captured(1).isEmpty() ? 1 : m.captured(1).toInt(), PhoneKind::Voice, 2,
                             part};
    }
    const std::optional<std::pair<int, QString>> dated = yearIn(h);
    if (!dated)
        return std::nullopt;
    const auto &[year, rest] = *dated;
    const bool sent = rest.contains(u'出') || rest.contains(u'送') || rest.contains(u"差し出し");
    const bool received = rest.contains(u'受') || rest.contains(u'来');
    int kind = MarksInCell;
    if (rest.contains(u"喪中"))
        kind = MourningMark;
    else if (sent && !received)
        kind = SentMark;
    else if (received && !sent)
        kind = ReceivedMark;
    else if (!(sent && received) && !rest.contains(u"年賀"))
        return std::nullopt; // a date that is not about New Year cards
    return ColumnMeaning{Role::NewYearMark, year, PhoneKind::Voice, 2, kind};
}

} // namespace csvcontacts
