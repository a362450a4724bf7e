#include "render/addressee.h"

#include "store/textforms.h"

#include <QRegularExpression>

namespace addressee {
namespace {

const QString Sama = QStringLiteral("様");
const QString Onchu = QStringLiteral("御中");
constexpr int FamilyWordFrom = 5; // joint names from which 「ご家族様」 stands for them

bool isSpace(QChar c) {
    return c == u' ' || c == u'\u3000';
}

QStringList wordsOf(const QString &text) {
    QStringList words;
    QString word;
    for (const QChar c : text) {
        if (!isSpace(c)) {
            word.append(c);
        } else if (!word.isEmpty()) {
            words.append(word);
            word.clear();
        }
    }
    if (!word.isEmpty())
        words.append(word);
    return words;
}

// The honorific written at the name's end as stored, taken off it.
QString takeStoredHonorific(QString &name) {
    for (const char16_t *kept : {u"様", u"御中", u"殿", u"先生", u"各位"}) {
        const QString honorific = QString::fromUtf16(kept);
        if (name.endsWith(honorific) && name.size() > honorific.size()) {
            name = name.chopped(honorific.size()).trimmed();
            return honorific;
        }
    }
    return {};
}

// Holds kanji or kana: "Japan" after "株式会社ACME" is no person's name.
bool isJapanese(const QString &text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        return textforms::isKana(c) || (c >= u'\u4E00' && c <= u'\u9FFF') || c == u'々';
    });
}

// A company's name followed by a person's ("株式会社山田製作所　山田太郎"):
// the company's words and the person's (one or two words, no legal form).
bool splitCompanyAndPerson(const QStringList &words, QString &company, QString &person) {
    for (qsizetype at = std::max<qsizetype>(1, words.size() - 2); at < words.size(); ++at) {
        const QString front = words.mid(0, at).join(u'　');
        const QString rest = words.mid(at).join(u'　');
        const QString folded = front.normalized(QString::NormalizationForm_KC);
        if (textforms::isCompanyName(front) && !textforms::withoutLegalForms(folded).trimmed().isEmpty() &&
            !textforms::isCompanyName(rest) && isJapanese(rest)) {
            company = front;
            person = rest;
            return true;
        }
    }
    return false;
}

// A person's name as family and given names; given names joined by ・ or 、
// ("山田　太郎・花子") are more people of the family.
QList<NameColumn> personColumns(const QString &name) {
    const QStringList words = wordsOf(name);
    NameColumn head;
    if (words.size() >= 2) {
        head.family = words.first();
        head.given = words.mid(1).join(u'　');
    } else {
        head.given = name;
    }
    static const QRegularExpression joiner(QStringLiteral("[・、，,]"));
    const QStringList givens = head.given.split(joiner, Qt::SkipEmptyParts);
    if (head.family.isEmpty() || givens.size() < 2)
        return {head};
    QList<NameColumn> columns;
    for (const QString &given : givens)
        columns.append({columns.isEmpty() ? head.family : QString(), given.trimmed(), {}, false});
    return columns;
}

NameColumn companyLine(const QString &text) {
    return {{}, text, {}, true};
}

} // namespace

QList<NameColumn> nameColumns(const QString &storedName, const people::PersonData &person) {
    QString name = textforms::fullWidthKana(storedName.trimmed());
    if (name.isEmpty())
        return {}; // no name: no 様 standing alone
    const QString storedHonorific = takeStoredHonorific(name);
    const QString ownHonorific = person.honorific.trimmed().isEmpty() ? storedHonorific : person.honorific.trimmed();
    QString department = person.department.trimmed();
    if (!person.title.trimmed().isEmpty())
        department += (department.isEmpty() ? QString() : QStringLiteral("　")) + person.title.trimmed();

    QList<NameColumn> columns;
    QString company, personName;
    const bool isCompany = textforms::isCompanyName(name);
    if (isCompany && splitCompanyAndPerson(wordsOf(name), company, personName)) {
        columns.append(companyLine(company));
    } else if (!isCompany && !person.company.trimmed().isEmpty() && person.company.trimmed() != name) {
        columns.append(companyLine(textforms::fullWidthKana(person.company.trimmed())));
        personName = name;
    }
    if (!department.isEmpty() && (isCompany || !columns.isEmpty()))
        columns.append(companyLine(textforms::fullWidthKana(department)));

    QString headFamily;
    if (!personName.isEmpty() || !isCompany) {
        QList<NameColumn> people = personColumns(personName.isEmpty() ? name : personName);
        for (NameColumn &c : people)
            c.honorific = ownHonorific.isEmpty() ? Sama : ownHonorific;
        headFamily = people.first().family;
        columns += people;
    } else {
        // The company is the addressee: its name whole, with 御中 unless it has its own.
        columns.prepend({{}, name, ownHonorific.isEmpty() ? Onchu : ownHonorific, false});
    }

    QList<NameColumn> joint;
    for (const people::JointName &j : person.joint) {
        const QString given = textforms::fullWidthKana(j.given.trimmed());
        const QString family = textforms::fullWidthKana(j.family.trimmed());
        if (given.isEmpty() && family.isEmpty())
            continue;
        NameColumn c{family == headFamily ? QString() : family, given, j.honorific.trimmed(), false};
        if (c.honorific.isEmpty())
            c.honorific = Sama;
        joint.append(c);
    }
    if (joint.size() >= FamilyWordFrom)
        joint = {NameColumn{{}, QStringLiteral("ご家族"), Sama, false}};
    columns += joint;

    // 御中 is for a company as a whole: beside a person, the company is written
    // as a line of its own without it.
    const bool anyPerson = std::any_of(columns.begin(), columns.end(), [](const NameColumn &c) {
        return !c.company && !c.honorific.isEmpty() && c.honorific != Onchu;
    });
    if (anyPerson)
        for (NameColumn &c : columns)
            if (c.honorific == Onchu)
                c = companyLine(c.family.isEmpty() ? c.given : c.family + QStringLiteral("　") + c.given);
    return columns;
}

QList<NameColumn> senderColumns(const QString &name, const QStringList &joint) {
    QList<NameColumn> columns = personColumns(textforms::fullWidthKana(name.trimmed()));
    const QString headFamily = columns.first().family;
    for (const QString &j : joint) {
        const QStringList words = wordsOf(textforms::fullWidthKana(j));
        if (words.isEmpty())
            continue;
        if (words.size() >= 2 && words.first() != headFamily)
            columns.append({words.first(), words.mid(1).join(u'　'), {}, false});
        else
            columns.append({{}, words.size() >= 2 ? words.mid(1).join(u'　') : words.first(), {}, false});
    }
    return columns;
}

Address cardAddress(const QString &stored, int buildingBreak) {
    QString text = stored;
    qsizetype breakAt = buildingBreak > 0 && buildingBreak < text.size() ? buildingBreak : -1;
    Address address;
    // "〒150-0002", or a code at the very start: the card has boxes for it.
    static const QRegularExpression code(
        QStringLiteral("(?:^[\\s\\x{3000}]*〒?|〒)[\\s\\x{3000}]*([0-9０-９]{3})[-－‐ー−]?([0-9０-９]{4})(?![0-9０-９])"
                       "[\\s\\x{3000}]*"));
    if (const QRegularExpressionMatch m = code.match(text); m.hasMatch()) {
        for (const QChar c : m.captured(1) + u'-' + m.captured(2))
            address.postalCode.append(QChar(textforms::asciiDigit(c.unicode())));
        if (breakAt >= m.capturedEnd())
            breakAt -= m.capturedLength();
        else if (breakAt > m.capturedStart())
            breakAt = -1;
        text.remove(m.capturedStart(), m.capturedLength());
    }
    const auto kana = [](const QString &part) { return textforms::fullWidthKana(part.trimmed()); };
    if (breakAt > 0 && breakAt < text.size()) {
        address.text = kana(text.left(breakAt));
        address.building = kana(text.mid(breakAt));
    } else {
        address.text = kana(text);
    }
    return address;
}

} // namespace addressee
