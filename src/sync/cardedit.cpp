#include "sync/cardedit.h"

#include "contacts/contact.h"
#include "contacts/exporter.h"
#include "contacts/importer.h"
#include "contacts/vcard.h"
#include "store/entryrecord.h"
#include "store/entryrules.h"

#include <QRegularExpression>

namespace cardedit {
namespace {

constexpr int Reading = 0, Name = 1, PostalCode = 2, Address = 3, Telephone = 4, Fax = 5, Mobile = 6, Email = 7,
              Category = 8;

// One content line of a card, unfolded.
struct Line {
    QString text;
    QString name;   // upper case, without its group
    QString params; // upper case, as written
    QString value;  // raw, escapes in place
};

Line lineOf(const QString &text) {
    Line l{text, {}, {}, {}};
    bool quoted = false;
    qsizetype colon = -1;
    for (qsizetype i = 0; i < text.size() && colon < 0; ++i) {
        if (text.at(i) == u'"')
            quoted = !quoted;
        else if (text.at(i) == u':' && !quoted)
            colon = i;
    }
    const QString head = colon < 0 ? text : text.left(colon);
    l.value = colon < 0 ? QString() : text.mid(colon + 1);
    QString name = head.section(u';', 0, 0);
    if (const qsizetype dot = name.indexOf(u'.'); dot >= 0)
        name = name.mid(dot + 1);
    l.name = name.toUpper();
    l.params = head.section(u';', 1).toUpper();
    return l;
}

QList<Line> linesOf(const QByteArray &card) {
    static const QRegularExpression fold(QStringLiteral("\\r?\\n[ \\t]"));
    static const QRegularExpression end(QStringLiteral("\\r?\\n"));
    QList<Line> out;
    for (const QString &text : QString::fromUtf8(card).replace(fold, QString()).split(end))
        if (!text.isEmpty())
            out.append(lineOf(text));
    return out;
}

// The card's text again, each line folded as vCard folds it.
QByteArray textOf(const QList<Line> &lines) {
    QByteArray out;
    for (const Line &l : lines)
        out += vcard::folded(l.text);
    return out;
}

// A structured value's components, unescaped.
QStringList componentsOf(const QString &value) {
    QStringList parts{QString()};
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == u'\\' && i + 1 < value.size()) {
            const QChar next = value.at(++i);
            parts.last() += next == u'n' || next == u'N' ? QChar(u'\n') : next;
        } else if (c == u';') {
            parts.append(QString());
        } else {
            parts.last() += c;
        }
    }
    return parts;
}

QString structured(const QStringList &parts) {
    QStringList escaped;
    for (const QString &p : parts)
        escaped.append(vcard::escaped(p));
    return escaped.join(u';');
}

bool isExtra(const Line &l) {
    return l.params.contains(QLatin1String("X-TELBORA=EXTRA"));
}

int telephoneField(const Line &l) {
    return l.params.contains(QLatin1String("FAX"))    ? Fax
           : l.params.contains(QLatin1String("CELL")) ? Mobile
                                                      : Telephone;
}

QString folded(const QString &text) {
    QString out;
    for (const QChar c : text.normalized(QString::NormalizationForm_KC))
        if (!c.isSpace())
            out += c.toLower();
    return out;
}

// The line holding a field's value: the one that holds `base`, else the
// first such line marked preferred, else the first; -1 when there is none.
qsizetype lineHolding(const QList<Line> &lines, const std::function<bool(const Line &)> &isSlot,
                      const std::function<bool(const Line &)> &holdsBase) {
    qsizetype first = -1, preferred = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Line &l = lines.at(i);
        if (!isSlot(l) || isExtra(l))
            continue;
        if (holdsBase(l))
            return i;
        if (first < 0)
            first = i;
        if (preferred < 0 && l.params.contains(QLatin1String("PREF")))
            preferred = i;
    }
    return preferred >= 0 ? preferred : first;
}

void setValue(QList<Line> &lines, qsizetype at, const QString &value) {
    Line &l = lines[at];
    const qsizetype colon = l.text.size() - l.value.size() - 1;
    l.text = l.text.left(colon + 1) + value;
    l.value = value;
}

// Inserts before END:VCARD.
void append(QList<Line> &lines, const QString &text) {
    qsizetype at = lines.size();
    while (at > 0 && lines.at(at - 1).name != QLatin1String("END"))
        --at;
    lines.insert(at > 0 ? at - 1 : lines.size(), lineOf(text));
}

void setSimple(QList<Line> &lines, const QString &name, const QString &value) {
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (lines.at(i).name == name) {
            if (value.isEmpty())
                lines.removeAt(i);
            else
                setValue(lines, i, vcard::escaped(value));
            return;
        }
    if (!value.isEmpty())
        append(lines, name + u':' + vcard::escaped(value));
}

void writeName(QList<Line> &lines, const QString &name) {
    const auto [family, given] = contactentry::familyAndGiven(name);
    // A card must keep its FN (servers refuse one without), even an empty one.
    const auto fn =
        std::find_if(lines.begin(), lines.end(), [](const Line &l) { return l.name == QLatin1String("FN"); });
    if (fn == lines.end())
        append(lines, QStringLiteral("FN:") + vcard::escaped(name));
    else
        setValue(lines, fn - lines.begin(), vcard::escaped(name));
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (lines.at(i).name == QLatin1String("N")) {
            QStringList parts = componentsOf(lines.at(i).value);
            while (parts.size() < 5)
                parts.append(QString());
            parts[0] = family;
            parts[1] = given;
            setValue(lines, i, structured(parts));
            return;
        }
    append(lines, QStringLiteral("N:") + structured({family, given, {}, {}, {}}));
}

void writeReading(QList<Line> &lines, const QString &reading, const QString &name) {
    const auto [family, given] = contactentry::familyAndGiven(name);
    const auto [phoneticFamily, phoneticGiven] = contactexport::phoneticParts(reading, family, given);
    setSimple(lines, QStringLiteral("X-PHONETIC-LAST-NAME"), phoneticFamily);
    setSimple(lines, QStringLiteral("X-PHONETIC-FIRST-NAME"), phoneticGiven);
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (lines.at(i).name == QLatin1String("SORT-STRING"))
            setValue(lines, i, vcard::escaped(reading));
}

// A number, an e-mail: the line that held the base value takes the new one.
void writeOne(QList<Line> &lines, int field, const QString &base, const QString &now) {
    const bool isMail = field == Email;
    const auto same = [&](const QString &value) {
        return isMail ? value.trimmed().compare(base.trimmed(), Qt::CaseInsensitive) == 0
                      : contactentry::asciiDigits(value) == contactentry::asciiDigits(base);
    };
    const qsizetype at = base.isEmpty()
                             ? -1
                             : lineHolding(
                                   lines,
                                   [&](const Line &l) {
                                       return isMail ? l.name == QLatin1String("EMAIL")
                                                     : l.name == QLatin1String("TEL") && telephoneField(l) == field;
                                   },
                                   [&](const Line &l) { return same(componentsOf(l.value).join(u';')); });
    if (at >= 0 && now.isEmpty())
        lines.removeAt(at);
    else if (at >= 0)
        setValue(lines, at, vcard::escaped(now));
    else if (!now.isEmpty())
        append(lines, (isMail            ? QStringLiteral("EMAIL;TYPE=INTERNET:")
                       : field == Fax    ? QStringLiteral("TEL;TYPE=FAX:")
                       : field == Mobile ? QStringLiteral("TEL;TYPE=CELL:")
                                         : QStringLiteral("TEL;TYPE=HOME:")) +
                          vcard::escaped(now));
}

void writeAddress(QList<Line> &lines, const QStringList &base, const QStringList &now) {
    const auto holdsBase = [&](const Line &l) {
        const QStringList parts = componentsOf(l.value);
        const QString street = parts.value(4) + parts.value(3) + parts.value(2) + parts.value(1);
        return base.at(Address).isEmpty()
                   ? contactentry::asciiDigits(parts.value(5)) == contactentry::asciiDigits(base.at(PostalCode))
                   : folded(street) == folded(base.at(Address));
    };
    const bool hadOne = !base.at(Address).isEmpty() || !base.at(PostalCode).isEmpty();
    const qsizetype at = hadOne ? lineHolding(
                                      lines, [](const Line &l) { return l.name == QLatin1String("ADR"); }, holdsBase)
                                : -1;
    if (now.at(Address).isEmpty() && now.at(PostalCode).isEmpty()) {
        if (at >= 0)
            lines.removeAt(at);
        return;
    }
    if (at < 0) {
        append(lines, QStringLiteral("ADR;TYPE=HOME:") +
                          structured({{}, {}, now.at(Address), {}, {}, now.at(PostalCode), {}}));
        return;
    }
    QStringList parts = componentsOf(lines.at(at).value);
    while (parts.size() < 7)
        parts.append(QString());
    if (now.at(Address) != base.at(Address)) {
        parts[0] = parts[1] = parts[3] = parts[4] = QString();
        parts[2] = now.at(Address);
    }
    parts[5] = now.at(PostalCode);
    setValue(lines, at, structured(parts));
}

void writeCategory(QList<Line> &lines, const QString &before, const QString &after) {
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines.at(i).name != QLatin1String("CATEGORIES"))
            continue;
        QStringList names = vcard::Property{{}, {}, {}, {}, lines.at(i).value, false}.list();
        if (!before.isEmpty() && !names.contains(before))
            continue;
        names.removeAll(before);
        if (!after.isEmpty() && !names.contains(after))
            names.prepend(after);
        QStringList escaped;
        for (const QString &n : names)
            escaped.append(vcard::escaped(n));
        if (escaped.isEmpty())
            lines.removeAt(i);
        else
            setValue(lines, i, escaped.join(u','));
        return;
    }
    if (!after.isEmpty())
        append(lines, QStringLiteral("CATEGORIES:") + vcard::escaped(after));
}

} // namespace

Read fieldsOfCard(const QByteArray &card, const mdlDim::CategoryLines &categories, int defaultCategory,
                  const QString &source) {
    Read out;
    bool seen = false;
    vcard::forEachCard(card, [&](const vcard::Card &c) {
        if (seen)
            return;
        seen = true;
        const Contact contact = contactimport::contactOfCard(c, source);
        const contactentry::Converted converted = contactentry::toEntry(contact, categories, defaultCategory);
        out.skipReason = converted.skipReason;
        out.notes = contact.notes + converted.notes;
        out.uid = contact.uid;
        out.details = detailsOf(contact.person);
        if (converted.skipReason.isEmpty())
            out.fields = entryrules::entryLine(converted.fields).split(u'|').mid(0, 9);
        // A reading the card does not carry is the importer's guess, not the phone's:
        // the book's own reading goes out instead.
        if (contact.reading.trimmed().isEmpty() && !out.fields.isEmpty())
            out.fields[0].clear();
    });
    if (!seen)
        out.skipReason = QStringLiteral("vCard として読めません");
    return out;
}

QStringList detailsOf(const people::PersonData &p) {
    return {p.birthday, p.notes, p.nickname, p.company, p.department, p.title, p.urls.join(u'\n'), p.honorific};
}

void setDetails(people::PersonData &p, const QStringList &d) {
    p.birthday = d.value(0);
    p.notes = d.value(1);
    p.nickname = d.value(2);
    p.company = d.value(3);
    p.department = d.value(4);
    p.title = d.value(5);
    p.urls = d.value(6).split(u'\n', Qt::SkipEmptyParts);
    p.honorific = d.value(7);
}

QString detailName(int detail) {
    static const char16_t *const names[] = {u"誕生日", u"メモ", u"呼び名", u"会社名",
                                            u"部署",   u"役職", u"URL",    u"敬称"};
    return detail >= 0 && detail < DetailCount ? QString::fromUtf16(names[detail]) : QString();
}

QByteArray withDetails(const QByteArray &card, const QStringList &base, const QStringList &now) {
    QList<Line> lines = linesOf(card);
    const auto changed = [&](int d) { return base.value(d) != now.value(d); };
    const char *const simple[] = {"BDAY", "NOTE", "NICKNAME"};
    for (int d = 0; d < 3; ++d)
        if (changed(d))
            setSimple(lines, QString::fromLatin1(simple[d]), now.value(d));
    if (changed(3) || changed(4)) {
        const auto org =
            std::find_if(lines.begin(), lines.end(), [](const Line &l) { return l.name == QLatin1String("ORG"); });
        const QString value = structured({now.value(3), now.value(4)});
        if (now.value(3).isEmpty() && now.value(4).isEmpty()) {
            if (org != lines.end())
                lines.erase(org);
        } else if (org == lines.end()) {
            append(lines, QStringLiteral("ORG:") + value);
        } else {
            setValue(lines, org - lines.begin(), value);
        }
    }
    if (changed(5))
        setSimple(lines, QStringLiteral("TITLE"), now.value(5));
    if (changed(6)) {
        const QStringList was = base.value(6).split(u'\n', Qt::SkipEmptyParts);
        const QStringList is = now.value(6).split(u'\n', Qt::SkipEmptyParts);
        lines.removeIf([&](const Line &l) {
            return l.name == QLatin1String("URL") && was.contains(l.value.trimmed()) && !is.contains(l.value.trimmed());
        });
        for (const QString &url : is)
            if (!was.contains(url))
                append(lines, QStringLiteral("URL:") + url);
    }
    if (changed(7))
        setSimple(lines, QStringLiteral("X-TELBORA-HONORIFIC"), now.value(7));
    return textOf(lines);
}

QByteArray withChanges(const QByteArray &kept, const QStringList &base, const QStringList &now,
                       const mdlDim::CategoryLines &categories) {
    QList<Line> lines = linesOf(kept);
    const auto changed = [&](int f) { return base.value(f) != now.value(f); };
    if (changed(Name))
        writeName(lines, now.at(Name));
    if (changed(Reading) || (changed(Name) && !now.at(Reading).isEmpty()))
        writeReading(lines, now.at(Reading), now.at(Name));
    if (changed(PostalCode) || changed(Address))
        writeAddress(lines, base, now);
    for (int f : {Telephone, Fax, Mobile, Email})
        if (changed(f))
            writeOne(lines, f, base.at(f), now.at(f));
    if (changed(Category))
        writeCategory(lines, contactexport::categoryName(base.at(Category), categories),
                      contactexport::categoryName(now.at(Category), categories));
    return textOf(lines);
}

} // namespace cardedit
