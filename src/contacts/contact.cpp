#include "contacts/contact.h"

#include "contacts/phonenumbers.h"
#include "contacts/readings.h"
#include "store/mdlDim.h"
#include "store/postalcodes.h"
#include "store/textforms.h"

#include <QDate>
#include <QRegularExpression>

#include <algorithm>

namespace contactentry {
namespace {

bool storableCharacter(QStringView c) {
    return !entryrules::keepText(c).isEmpty();
}

// Each character the code page lacks written as one it holds where there is
// one: accents left off (Müller, Παπαδόπουλος), final sigma as sigma; then
// each run still unstorable in Latin letters where ICU can (Hangul, bopomofo).
QString withStandIns(const QString &text) {
    QString plain;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString c = text.mid(i, n);
        i += n;
        if (storableCharacter(c) || entryrules::isControl(c.at(0))) {
            plain += c;
        } else if (c == u"\u03C2") {
            plain += u'\u03C3';
        } else {
            const QString bare = readings::withoutAccents(c);
            const QString decomposed = QString(c).normalized(QString::NormalizationForm_D);
            if (bare != c && storableCharacter(bare))
                plain += bare;
            else if (c.at(0).unicode() < 0x500 && decomposed.size() > 1 && storableCharacter(decomposed.left(1)))
                plain += decomposed.at(0);
            else
                plain += c;
        }
    }
    QString out;
    for (qsizetype i = 0; i < plain.size();) {
        const auto length = [&](qsizetype at) {
            return plain.at(at).isHighSurrogate() && at + 1 < plain.size() ? 2 : 1;
        };
        qsizetype end = i;
        while (end < plain.size() && !entryrules::isControl(plain.at(end)) &&
               !storableCharacter(QStringView(plain).mid(end, length(end))))
            end += length(end);
        if (end == i) {
            const qsizetype n = length(i);
            out += plain.mid(i, n);
            i += n;
            continue;
        }
        const QString run = plain.mid(i, end - i);
        const QString latin = readings::transliterated(run);
        out += !latin.isEmpty() && entryrules::keepText(latin) == latin ? latin : run;
        i = end;
    }
    return out;
}

// The store's character rule on one field: look-alikes replaced, accented
// letters the code page lacks written plain, other scripts it lacks written
// in Latin letters, line breaks made spaces; a character the code page
// cannot hold at all is dropped and named.
QString storable(const QString &text, const QString &what, bool asWritten, QStringList &notes) {
    QString flat = text;
    flat.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(u'\n', u' ').replace(u'\r', u' ');
    if (!asWritten)
        flat = flat.trimmed();
    const QString rewritten =
        QStringLiteral("%1「%2」は「%3」として保存します（電話帳に保存できない文字を書き換えました）");
    if (const QString variants = readings::withCodePageVariants(flat); variants != flat) {
        notes.append(rewritten.arg(what, flat, variants));
        flat = variants;
    }
    int dropped = 0;
    QString kept = entryrules::keepText(flat, &dropped);
    if (dropped > 0) {
        const QString plain = withStandIns(flat);
        int droppedPlain = 0;
        const QString keptPlain = entryrules::keepText(plain, &droppedPlain);
        if (droppedPlain < dropped) {
            notes.append(rewritten.arg(what, flat, keptPlain));
            kept = keptPlain;
            flat = plain;
            dropped = droppedPlain;
        }
    }
    if (dropped > 0) {
        QString lost;
        for (QChar c : flat)
            if (!kept.contains(c) && !lost.contains(c))
                lost += entryrules::isControl(c) ? QChar(0x2400 + (c.unicode() & 0x1F)) : c;
        notes.append(
            QStringLiteral("%1：電話帳に保存できない文字 %2 字（%3）を除きました").arg(what).arg(dropped).arg(lost));
    }
    return kept;
}

// The category the contact's categories name, by name or number, or 0.
// `unknown` receives a name that matched none.
int categoryNumber(const QStringList &names, const mdlDim::CategoryLines &categories, QString &unknown,
                   bool &byNumber) {
    for (const QString &raw : names) {
        const QString name = raw.trimmed();
        if (name.isEmpty())
            continue;
        for (int slot = 0; slot < 10; ++slot)
            if (mdlDim::categoryNameIn(categories[static_cast<size_t>(slot)]) == name)
                return slot + 1;
        bool isNumber = false;
        const int number = name.toInt(&isNumber);
        if (isNumber && number >= 1 && number <= 10) {
            byNumber = true;
            return number;
        }
        if (unknown.isEmpty())
            unknown = name;
    }
    return 0;
}

// The name, family name first: "family　given", the full name, or the company.
QString entryName(const Contact &c) {
    if (c.asWritten && !c.fullName.isEmpty())
        return c.fullName;
    const QString family = c.family.trimmed(), given = c.given.trimmed();
    if (!family.isEmpty() && !given.isEmpty())
        return family + QStringLiteral("　") + given;
    if (!family.isEmpty() || !given.isEmpty()) // docomo and au write the whole name in one part
        return entryNameOf(family + given);
    if (!c.fullName.trimmed().isEmpty())
        return entryNameOf(c.fullName);
    return c.organization.trimmed();
}

template <typename Value> QList<const Value *> byPreference(const QList<Value> &values) {
    QList<const Value *> ordered;
    for (const Value &v : values)
        ordered.append(&v);
    std::stable_sort(ordered.begin(), ordered.end(), [](const Value *a, const Value *b) {
        if (a->preferred != b->preferred)
            return a->preferred;
        return a->rank < b->rank;
    });
    return ordered;
}

// A business number as people write it: a label before or after it (代表,
// 直通, （自宅）, FAX: …) and an extension after it ((内)2301, 内線 2301).
struct LabelledNumber {
    QString number;
    QString label;
    QString extension;
};

LabelledNumber withoutLabel(const QString &text) {
    static const QRegularExpression extension(QStringLiteral("^(.*\\d)\\s*\\(?(?:内線|内)\\)?\\s*[:.]?\\s*(\\d+)$"));
    static const QString labels = QStringLiteral("(代表|代|直通|自宅|携帯|会社|勤務先|FAX|Fax|fax|TEL|Tel|tel)");
    static const QRegularExpression before(QStringLiteral("^\\(?") + labels +
                                           QStringLiteral("\\)?\\s*[:]?\\s*(.*\\d.*)$"));
    static const QRegularExpression after(QStringLiteral("^(.*\\d)\\s*\\(?") + labels + QStringLiteral("\\)?$"));
    LabelledNumber out{text.normalized(QString::NormalizationForm_KC).trimmed(), {}, {}};
    if (out.number.startsWith(u"tel:", Qt::CaseInsensitive)) // a vCard 4 URI, read as such
        return {text.trimmed(), {}, {}};
    if (const QRegularExpressionMatch m = extension.match(out.number); m.hasMatch()) {
        out.number = m.captured(1).trimmed();
        out.extension = m.captured(2);
    }
    if (const QRegularExpressionMatch m = before.match(out.number); m.hasMatch()) {
        out.label = m.captured(1);
        out.number = m.captured(2).trimmed();
    } else if (const QRegularExpressionMatch m2 = after.match(out.number); m2.hasMatch()) {
        out.label = m2.captured(2);
        out.number = m2.captured(1).trimmed();
    }
    if (out.label.isEmpty() && out.extension.isEmpty())
        out.number = text.trimmed();
    return out;
}

// The numbers into the three slots, by preference; every number not kept is named.
void placeNumbers(const Contact &contact, entryrules::EntryLineFields &f, QStringList &notes, QStringList &extra) {
    using phonenumbers::Slot;
    const auto slotText = [&](Slot slot) -> QString & {
        return slot == Slot::Mobile ? f.mobile : slot == Slot::Fax ? f.fax : f.telephone;
    };
    for (const Contact::Phone *phone : byPreference(contact.phones)) {
        const QString text = phone->text.trimmed();
        if (text.isEmpty())
            continue;
        // Our own export: any number the editor stored comes back as it was.
        if (contact.asWritten) {
            const Slot slot = phone->kind == Contact::PhoneKind::Fax    ? Slot::Fax
                              : phone->kind == Contact::PhoneKind::Cell ? Slot::Mobile
                                                                        : Slot::Telephone;
            static const QRegularExpression stored(QStringLiteral("^\\d+-\\d+-\\d+$"));
            QString &target = slotText(slot);
            if (target.isEmpty() && stored.match(text).hasMatch() &&
                text.size() - 2 == (slot == Slot::Mobile ? 11 : 10)) {
                target = text;
                continue;
            }
        }
        const LabelledNumber labelled = withoutLabel(text);
        const phonenumbers::Number number = phonenumbers::read(labelled.number);
        const bool fax =
            phone->kind == Contact::PhoneKind::Fax || labelled.label.compare(u"fax", Qt::CaseInsensitive) == 0;
        const Slot slot = phonenumbers::slotFor(number, fax);
        const phonenumbers::Parsed parsed = phonenumbers::fitted(number, slot);
        if (!parsed.problem.isEmpty()) {
            notes.append(QStringLiteral("電話番号「%1」は取り込みません：%2").arg(text, parsed.problem));
            continue;
        }
        if (!labelled.label.isEmpty())
            notes.append(QStringLiteral("電話番号「%1」の「%2」は書き添えなので除きました").arg(text, labelled.label));
        if (!labelled.extension.isEmpty()) {
            extra.append(parsed.stored + QStringLiteral(" 内線 ") + labelled.extension);
            notes.append(
                QStringLiteral("電話番号「%1」の内線は欄に入らないため、「詳細」のほかの電話に「%2」として残しました")
                    .arg(text, extra.last()));
        }
        QString &target = slotText(slot);
        if (!target.isEmpty()) {
            extra.append(parsed.stored);
            notes.append(
                QStringLiteral("%1「%2」は「詳細」のほかの電話に入れました").arg(phonenumbers::slotName(slot), text));
            continue;
        }
        target = parsed.stored;
        if (!parsed.dropped.isEmpty())
            notes.append(
                QStringLiteral("%1「%2」の%3は取り込みません").arg(phonenumbers::slotName(slot), text, parsed.dropped));
    }
}

// An address's parts (prefecture, city, street, building, room) as people
// write them: a space before the building and the room, and wherever two
// digits would meet (3-6 and 101); none elsewhere. Latin words each with a space.
QString joinedAddress(const QList<std::pair<qsizetype, QString>> &parts) {
    QStringList texts;
    for (const auto &part : parts)
        texts.append(part.second);
    if (isLatin(texts.join(QString())))
        return texts.join(u' ');
    QString whole;
    for (const auto &[index, text] : parts) {
        const auto isDigit = [](QChar c) {
            return QString(c).normalized(QString::NormalizationForm_KC).at(0).isDigit();
        };
        if (!whole.isEmpty() && (index >= 3 || (isDigit(whole.back()) && isDigit(text.front()))))
            whole += u' ';
        whole += text;
    }
    return whole;
}

void placeAddress(const Contact &contact, entryrules::EntryLineFields &f, QStringList &notes, QStringList &extra) {
    bool kept = false;
    for (const Contact::Address *a : byPreference(contact.addresses)) {
        QList<std::pair<qsizetype, QString>> present;
        for (qsizetype i = 0; i < a->parts.size(); ++i)
            if (const QString &part = a->parts.at(i); contact.asWritten ? !part.isEmpty() : !part.trimmed().isEmpty())
                present.append({i, contact.asWritten ? part : part.trimmed()});
        const QString code = a->postalCode.trimmed();
        if (present.isEmpty() && code.isEmpty())
            continue;
        const QString whole = joinedAddress(present);
        if (kept) {
            extra.append((code + u' ' + whole).trimmed());
            notes.append(QStringLiteral("住所「%1」は「詳細」のほかの住所に入れました").arg(extra.last()));
            continue;
        }
        kept = true;
        QString address = whole;
        // The postal code as 3 + 4 digits; another code stays at the start of the address.
        // Digits of other scripts are no postal code.
        const QString digits = asciiDigits(code);
        if (digits.size() == 7)
            f.postalCode = postalcodes::withHyphen(digits);
        else if (!code.isEmpty()) {
            address = (code + u' ' + address).trimmed();
            notes.append(QStringLiteral("郵便番号「%1」は 7 桁でないため、住所の先頭に書きました").arg(code));
        }
        f.address = storable(address, QStringLiteral("住所"), contact.asWritten, notes);
    }
}

// A missing postal code filled from an address Japan Post's table matches
// with one code, and named; never for our own export, which is kept as it was.
void fillPostalCode(const Contact &contact, entryrules::EntryLineFields &f, QStringList &notes) {
    if (contact.asWritten || !f.postalCode.isEmpty() || f.address.trimmed().isEmpty())
        return;
    const postalcodes::Table *table = postalcodes::Table::installed();
    if (!table)
        return;
    const QList<postalcodes::Area> found = table->forAddress(f.address);
    if (found.size() != 1) {
        if (!isLatin(f.address))
            notes.append(QStringLiteral("郵便番号がなく、住所から一つに決められないため空のままです"));
        return;
    }
    f.postalCode = postalcodes::withHyphen(found.first().code);
    notes.append(QStringLiteral("郵便番号がないため、住所から「%1」を入れました").arg(f.postalCode));
}

void placeEmail(const Contact &contact, entryrules::EntryLineFields &f, QStringList &notes, QStringList &extra) {
    for (const Contact::Email *e : byPreference(contact.emails)) {
        const QString text = contact.asWritten ? e->text : e->text.trimmed();
        if (text.trimmed().isEmpty())
            continue;
        if (!f.email.isEmpty()) {
            extra.append(text);
            notes.append(QStringLiteral("メール「%1」は「詳細」のほかのメールに入れました").arg(text));
        } else
            f.email = storable(text, QStringLiteral("メール"), contact.asWritten, notes);
    }
}

// A reading guessed from the name, read as a person's name where the
// family and given names are known; empty when nothing could be read.
QString guessedReading(const Contact &contact, const QString &name, QStringList &notes) {
    using readings::NamePart;
    QString family = contact.family.trimmed(), given = contact.given.trimmed();
    const bool person = !family.isEmpty() || !given.isEmpty() || !contact.fullName.trimmed().isEmpty();
    if (family.isEmpty() && given.isEmpty() && person)
        std::tie(family, given) = familyAndGiven(name);
    readings::Guess guess;
    // A family-name column with no given name beside it is still a family name (平野 is ひらの, not へいや).
    if (!contact.family.trimmed().isEmpty() && contact.given.trimmed().isEmpty())
        guess = readings::guess(family, NamePart::Family);
    if (guess.reading.isEmpty() && person && !family.isEmpty() && !given.isEmpty()) {
        const readings::Guess f = readings::guess(family, NamePart::Family),
                              g = readings::guess(given, NamePart::Given);
        if (!f.reading.isEmpty() && !g.reading.isEmpty())
            guess = {joinedReading({f.reading, g.reading}), f.perCharacter || g.perCharacter,
                     f.transliterated || g.transliterated};
    }
    if (guess.reading.isEmpty())
        guess = readings::guess(name);
    if (guess.reading.isEmpty()) {
        // Nobody is lost for a reading: the name in Latin letters, however poor.
        guess.reading = readings::transliterated(name).simplified();
        guess.transliterated = true;
    }
    if (guess.reading.isEmpty())
        return {};
    const QString how = guess.transliterated ? QStringLiteral("（ラテン文字に転写）")
                        : guess.perCharacter ? QStringLiteral("（辞書にない語は一字ずつ）")
                                             : QString();
    notes.append(QStringLiteral("読みを推測しました：%1%2").arg(storedReading(guess.reading), how));
    return guess.reading;
}

QString skipReasonFor(entryrules::EntryFault fault, const entryrules::EntryLineFields &f) {
    using entryrules::EntryFault;
    switch (fault) {
    case EntryFault::None:
        return {};
    case EntryFault::NoReading:
    case EntryFault::BadReadingStart:
        return QStringLiteral("ふりがな「%1」が英字かかなで始まりません").arg(f.reading);
    case EntryFault::NoName:
        return QStringLiteral("氏名がありません");
    case EntryFault::UnnamedCategory:
        return QStringLiteral("分類 %1 にはまだ名前がありません").arg(f.category);
    default: // the numbers were made to fit; anything else is the editor's own message
        return entryrules::faultMessage(fault);
    }
}

} // namespace

bool isLatin(const QString &text) {
    bool letters = false;
    for (QChar c : text) {
        if (c.unicode() >= 0x250)
            return false;
        letters = letters || c.isLetter();
    }
    return letters;
}

QString joinedReading(const QStringList &parts) {
    QString reading;
    for (const QString &raw : parts) {
        const QString part = raw.trimmed();
        if (part.isEmpty())
            continue;
        const bool space = !reading.isEmpty() && isLatin(part) && isLatin(reading);
        reading += (space ? QStringLiteral(" ") : QString()) + part;
    }
    return reading;
}

void readNewYear(people::PersonData &person, const QString &year, const QStringList &words, QStringList &notes) {
    people::NewYear marks{year.trimmed().toInt()};
    if (!people::NewYear::isYear(marks.year)) {
        notes.append(
            QStringLiteral("年賀状の記録「%1 %2」は取り込みません：年が正しくありません").arg(year, words.join(u' ')));
        return;
    }
    for (const QString &word : marks.setWords(words))
        notes.append(QStringLiteral("年賀状 %1 年の印「%2」は取り込みません：このプログラムの知らない印です")
                         .arg(marks.year)
                         .arg(word));
    person.yearRecord(marks.year) = marks;
}

QString isoDate(const QString &text) {
    static const QRegularExpression date(
        QStringLiteral("^(\\d{4})(?:[/.\\-年](\\d{1,2})[/.\\-月](\\d{1,2})日?|(\\d{2})(\\d{2}))$"));
    const QString folded = text.normalized(QString::NormalizationForm_KC).trimmed();
    const QRegularExpressionMatch m = date.match(folded);
    if (!m.hasMatch())
        return text.trimmed();
    const int month = (m.captured(2).isEmpty() ? m.captured(4) : m.captured(2)).toInt();
    const int day = (m.captured(3).isEmpty() ? m.captured(5) : m.captured(3)).toInt();
    if (!QDate(m.captured(1).toInt(), month, day).isValid())
        return text.trimmed();
    return QStringLiteral("%1-%2-%3")
        .arg(m.captured(1))
        .arg(month, 2, 10, QLatin1Char('0'))
        .arg(day, 2, 10, QLatin1Char('0'));
}

QString asciiDigits(const QString &text) {
    QString out;
    for (QChar c : text.normalized(QString::NormalizationForm_KC))
        if (c >= u'0' && c <= u'9')
            out += c;
    return out;
}

std::pair<QString, QString> familyAndGiven(const QString &name) {
    const qsizetype space = name.indexOf(u'\u3000');
    return space < 0 ? std::pair{name, QString()} : std::pair{name.left(space), name.mid(space + 1)};
}

QString entryNameOf(const QString &single) {
    static const QRegularExpression twoParts(QStringLiteral("^(\\S+)[ \u3000]+(\\S+)$"));
    const QString name = single.trimmed();
    const QRegularExpressionMatch m = twoParts.match(name);
    return m.hasMatch() ? m.captured(1) + QStringLiteral("　") + m.captured(2) : name;
}

QString storedReading(const QString &phonetic) {
    // The spacing voiced marks would become a space and a combining mark, which
    // the code page lacks: they are kept aside through the normalisation.
    QString reading = QString(phonetic).replace(u'\u309B', u'\uE09B').replace(u'\u309C', u'\uE09C');
    reading =
        reading.normalized(QString::NormalizationForm_KC).replace(u'\uE09B', u'\u309B').replace(u'\uE09C', u'\u309C');
    reading = readings::hiragana(reading);
    if (std::any_of(reading.begin(), reading.end(), textforms::isKana))
        reading.removeIf([](QChar c) { return c.isSpace(); });
    else
        reading = reading.simplified();
    // ゔ is not in the code page and ヴ may not begin a reading: う and the voiced mark.
    reading.replace(u'\u3094', QStringLiteral("う゛"));
    return reading;
}

namespace {

// A reading the file gives always wins over a guess; a Latin name reads as
// it is written, family name first; else the reading is guessed from the name.
QString readingFor(const Contact &contact, const QString &name, QStringList &notes) {
    if (contact.asWritten)
        return contact.reading;
    // A company's card: no person's name, its FN (when any) the company's.
    const bool company =
        contact.family.trimmed().isEmpty() && contact.given.trimmed().isEmpty() &&
        (contact.fullName.trimmed().isEmpty() || contact.fullName.trimmed() == contact.organization.trimmed());
    QString reading = storedReading(
        company && !contact.organizationReading.trimmed().isEmpty() ? contact.organizationReading : contact.reading);
    if (reading.isEmpty()) {
        const QString latin = (contact.family.simplified() + u' ' + contact.given.simplified()).trimmed();
        if (isLatin(latin))
            reading = latin;
        else if (latin.isEmpty() && isLatin(name))
            reading = name.simplified();
    }
    if (reading.isEmpty() && !name.isEmpty())
        reading = storedReading(guessedReading(contact, name, notes));
    return reading;
}

// Without a name: the reading, the e-mail's local part or a number stands
// for it, and says so. False when there is nothing to stand for it.
bool giveStandInName(entryrules::EntryLineFields &f, QStringList &notes) {
    if (!f.name.isEmpty())
        return true;
    if (!f.reading.isEmpty()) {
        f.name = f.reading;
        notes.append(QStringLiteral("氏名がないため、ふりがな「%1」を氏名にしました").arg(f.name));
        return true;
    }
    if (!f.email.isEmpty()) {
        f.name = f.reading = f.email.left(f.email.indexOf(u'@')).trimmed();
        notes.append(QStringLiteral("氏名がないため、メールの「%1」を氏名とふりがなにしました").arg(f.name));
        return true;
    }
    for (const QString *number : {&f.telephone, &f.mobile, &f.fax}) {
        if (number->isEmpty())
            continue;
        f.name = *number;
        f.reading = QStringLiteral("TEL ") + *number;
        notes.append(
            QStringLiteral("氏名がないため、番号「%1」を氏名、「%2」をふりがなにしました").arg(f.name, f.reading));
        return true;
    }
    return false;
}

// A field longer than the editor's box is stored whole and named; one over a
// thousand characters is a file swallowed by an unclosed quote: the reason to skip it.
QString checkLengths(const entryrules::EntryLineFields &f, QStringList &notes) {
    const std::pair<const QString *, std::pair<const char16_t *, int>> limits[] = {
        {&f.reading, {u"ふりがな", entryrules::ReadingLimit}},
        {&f.name, {u"氏名", entryrules::NameLimit}},
        {&f.address, {u"住所", entryrules::AddressLimit}},
        {&f.email, {u"メール", entryrules::EmailLimit}}};
    for (const auto &[value, what] : limits) {
        const QString label = QString::fromUtf16(what.first);
        if (value->size() > SwallowedFile)
            return QStringLiteral(
                       "%1が %2 字あります（閉じていない引用符がファイルの残りを取り込んだおそれがあります）")
                .arg(label)
                .arg(value->size());
        if (value->size() > what.second)
            notes.append(QStringLiteral("%1は %2 字で入力欄（%3 字）より長いため、そのまま保存しました")
                             .arg(label)
                             .arg(value->size())
                             .arg(what.second));
    }
    return {};
}

// The entry's category: the contact's when the book has it, else the default, named.
int placeCategory(const Contact &contact, const mdlDim::CategoryLines &categories, int defaultCategory,
                  QStringList &notes, bool &byNumber) {
    QString unknown;
    const int category = categoryNumber(contact.categories, categories, unknown, byNumber);
    if (category != 0)
        return category;
    if (!unknown.isEmpty())
        notes.append(
            QStringLiteral("分類「%1」は電話帳にないため、分類 %2 に入れました").arg(unknown).arg(defaultCategory));
    return defaultCategory;
}

// Why the editor would refuse the entry, or empty.
QString entryFault(const entryrules::EntryLineFields &f, const mdlDim::CategoryLines &categories, bool byNumber) {
    entryrules::EntryValues values;
    values.reading = f.reading;
    values.name = f.name;
    values.postalDigits = f.postalCode.isEmpty() ? 0 : 7;
    values.telephoneDigits = f.telephone.isEmpty() ? 0 : 10;
    values.faxDigits = f.fax.isEmpty() ? 0 : 10;
    values.mobileDigits = f.mobile.isEmpty() ? 0 : 11;
    values.categoryChoice = f.category - 1;
    // An unnamed category given by its number (our own export) is taken as it is.
    values.userCategoryName =
        byNumber ? QStringLiteral("-") : mdlDim::categoryNameIn(categories[static_cast<size_t>(f.category - 1)]);
    return skipReasonFor(entryrules::checkEntry(values), f);
}

} // namespace

QString unknownCategory(const Contact &contact, const mdlDim::CategoryLines &categories) {
    QString unknown;
    bool byNumber = false;
    return categoryNumber(contact.categories, categories, unknown, byNumber) == 0 ? unknown : QString();
}

Converted toEntry(const Contact &contact, const mdlDim::CategoryLines &categories, int defaultCategory) {
    Converted out;
    if (!contact.skipReason.isEmpty()) {
        out.skipReason = contact.skipReason;
        return out;
    }
    entryrules::EntryLineFields &f = out.fields;
    QStringList &notes = out.notes;
    notes += contact.notes;
    placeAddress(contact, f, notes, out.extraAddresses);
    fillPostalCode(contact, f, notes);
    placeNumbers(contact, f, notes, out.extraPhones);
    placeEmail(contact, f, notes, out.extraEmails);
    f.name = storable(entryName(contact), QStringLiteral("氏名"), contact.asWritten, notes);
    f.reading = storable(readingFor(contact, f.name, notes), QStringLiteral("ふりがな"), contact.asWritten, notes);
    if (!giveStandInName(f, notes)) {
        out.skipReason = QStringLiteral("名前・ふりがな・電話番号・メールのどれもありません");
        return out;
    }
    if (out.skipReason = checkLengths(f, notes); !out.skipReason.isEmpty())
        return out;
    bool byNumber = false;
    f.category = placeCategory(contact, categories, defaultCategory, notes, byNumber);
    out.skipReason = entryFault(f, categories, byNumber);
    return out;
}

} // namespace contactentry
