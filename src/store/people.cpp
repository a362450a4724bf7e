#include "store/people.h"

#include "store/linefile.h"

#include <QHash>
#include <QUuid>

#include <algorithm>
#include <cstring>
#include <map>

namespace people {
namespace {

constexpr char Header[] = "#telbora-people\t1\tbook=";
constexpr int AnchorFields = 9;
constexpr int FirstAnchorColumn = 2; // after the UID and the line's hash
constexpr int FirstDataColumn = FirstAnchorColumn + AnchorFields;

QByteArray escaped(QStringView text) {
    QByteArray out;
    for (char c : text.toUtf8()) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::optional<QString> unescaped(QByteArrayView bytes) {
    if (!bytes.contains('\\'))
        return QString::fromUtf8(bytes);
    QByteArray out;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\\') {
            out += bytes[i];
            continue;
        }
        if (++i == bytes.size())
            return std::nullopt;
        switch (bytes[i]) {
        case '\\':
            out += '\\';
            break;
        case 't':
            out += '\t';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        default:
            return std::nullopt;
        }
    }
    return QString::fromUtf8(out);
}

QList<QByteArrayView> columnsOf(QByteArrayView line) {
    QList<QByteArrayView> columns;
    qsizetype start = 0;
    for (qsizetype tab; (tab = line.indexOf('\t', start)) >= 0; start = tab + 1)
        columns.append(line.sliced(start, tab - start));
    columns.append(line.sliced(start));
    return columns;
}

// Sets what the column says; false when this copy does not know it.
bool setItem(PersonData &d, const QString &key, const QString &value) {
    static const QHash<QString, QString PersonData::*> texts = {
        {QStringLiteral("honorific"), &PersonData::honorific},   {QStringLiteral("company"), &PersonData::company},
        {QStringLiteral("department"), &PersonData::department}, {QStringLiteral("title"), &PersonData::title},
        {QStringLiteral("birthday"), &PersonData::birthday},     {QStringLiteral("notes"), &PersonData::notes},
        {QStringLiteral("nickname"), &PersonData::nickname},     {QStringLiteral("sender"), &PersonData::sender}};
    if (auto text = texts.find(key); text != texts.end()) {
        d.*text.value() = value;
        return true;
    }
    static const QHash<QString, QStringList PersonData::*> lists = {{QStringLiteral("tel"), &PersonData::phones},
                                                                    {QStringLiteral("email"), &PersonData::emails},
                                                                    {QStringLiteral("adr"), &PersonData::addresses},
                                                                    {QStringLiteral("url"), &PersonData::urls}};
    if (auto list = lists.find(key); list != lists.end()) {
        if (!value.isEmpty()) // an empty one is nothing, and is not written again
            (d.*list.value()).append(value);
        return true;
    }
    bool number = false;
    if (key == u"break") {
        const int at = value.toInt(&number);
        if (number && at > 0)
            d.buildingBreak = at;
        return number && at > 0;
    }
    if (key.startsWith(u"newyear.")) {
        const int year = key.mid(8).toInt(&number);
        NewYear y{year};
        if (!number || !NewYear::isYear(year) || !y.setWords(value.split(u',')).isEmpty())
            return false;
        d.yearRecord(year) = y;
        return true;
    }
    if (key.startsWith(u"joint")) {
        const qsizetype dot = key.indexOf(u'.');
        const int n = key.mid(5, dot - 5).toInt(&number);
        static const QStringList parts = {QStringLiteral("given"), QStringLiteral("family"), QStringLiteral("reading"),
                                          QStringLiteral("honorific")};
        const qsizetype part = dot < 0 ? -1 : parts.indexOf(key.mid(dot + 1));
        if (!number || n < 1 || n > MaxJointNames || part < 0)
            return false;
        // A later name before an earlier one (another program's order) still has its place.
        while (d.joint.size() < n)
            d.joint.append(JointName());
        JointName &j = d.joint[n - 1];
        QString *set = std::array{&j.given, &j.family, &j.reading, &j.honorific}[static_cast<size_t>(part)];
        *set = value;
        return true;
    }
    return false;
}

// The UID's 128 bits, when the text is one as written (8-4-4-4-12 hex digits).
std::optional<std::pair<quint64, quint64>> uidBits(QByteArrayView text) {
    static const auto hexValue = [] {
        std::array<signed char, 256> table;
        table.fill(-1);
        for (int c = 0; c < 10; ++c)
            table['0' + c] = static_cast<signed char>(c);
        for (int c = 0; c < 6; ++c)
            table['a' + c] = table['A' + c] = static_cast<signed char>(10 + c);
        return table;
    }();
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-')
        return std::nullopt;
    quint64 halves[2] = {0, 0};
    int digits = 0;
    int bad = 0;
    for (qsizetype i = 0; i < 36; ++i) {
        if (i == 8 || i == 13 || i == 18 || i == 23)
            continue;
        const int value = hexValue[static_cast<unsigned char>(text[i])];
        bad |= value;
        quint64 &half = halves[digits++ / 16];
        half = half << 4 | static_cast<quint64>(value & 0xF);
    }
    if (bad < 0)
        return std::nullopt;
    return std::pair{halves[0], halves[1]};
}

bool isKey(QByteArrayView key) {
    return !key.isEmpty() && std::all_of(key.begin(), key.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.';
    });
}

// Why one record line is not one this program wrote; None when it is.
Failure::Kind recordProblem(QByteArrayView line) {
    for (qsizetype i = line.indexOf('\\'); i >= 0; i = line.indexOf('\\', i + 2))
        if (i + 1 == line.size() || !std::strchr("\\tnr", line[i + 1]))
            return Failure::Kind::SideBadEscape;
    int column = 0;
    for (qsizetype tab = line.indexOf('\t'); tab >= 0;) {
        ++column;
        const qsizetype start = tab + 1;
        tab = line.indexOf('\t', start);
        if (column == 1) {
            const QByteArrayView hash = line.sliced(start, (tab < 0 ? line.size() : tab) - start);
            if (hash.size() != 16 || !std::all_of(hash.begin(), hash.end(), [](char c) {
                    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
                }))
                return Failure::Kind::SideBadHash;
        }
        if (column < FirstDataColumn)
            continue;
        const QByteArrayView text = line.sliced(start, (tab < 0 ? line.size() : tab) - start);
        const qsizetype equals = text.indexOf('=');
        if (equals < 0 || !isKey(text.first(equals)))
            return Failure::Kind::SideNotKeyValue;
    }
    if (column < FirstDataColumn - 1)
        return Failure::Kind::SideTooFewColumns;
    return Failure::Kind::None;
}

// Whether the bytes are UTF-8, ASCII runs taken eight bytes at a time.
bool isUtf8(QByteArrayView bytes) {
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const unsigned char *end = p + bytes.size();
    const auto continues = [](unsigned char c) { return (c & 0xC0) == 0x80; };
    while (p < end) {
        if (end - p >= 8) {
            quint64 word;
            std::memcpy(&word, p, 8);
            if ((word & 0x8080808080808080ULL) == 0) {
                p += 8;
                continue;
            }
        }
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
        } else if (c >= 0xC2 && c <= 0xDF) {
            if (end - p < 2 || !continues(p[1]))
                return false;
            p += 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            // No overlong forms (E0 80..9F) and no surrogates (ED A0..BF).
            if (end - p < 3 || !continues(p[1]) || !continues(p[2]) || (c == 0xE0 && p[1] < 0xA0) ||
                (c == 0xED && p[1] > 0x9F))
                return false;
            p += 3;
        } else if (c >= 0xF0 && c <= 0xF4) {
            if (end - p < 4 || !continues(p[1]) || !continues(p[2]) || !continues(p[3]) || (c == 0xF0 && p[1] < 0x90) ||
                (c == 0xF4 && p[1] > 0x8F))
                return false;
            p += 4;
        } else {
            return false;
        }
    }
    return true;
}

// How alike two values of one field are, from 0 to 1: edit distance over the
// longer length; long values (an address) compare their first 64 characters.
double similarity(QStringView a, QStringView b) {
    if (a == b)
        return 1.0;
    if (a.isEmpty() || b.isEmpty())
        return 0.0;
    a = a.first(std::min<qsizetype>(a.size(), 64));
    b = b.first(std::min<qsizetype>(b.size(), 64));
    std::vector<int> row(static_cast<size_t>(b.size() + 1));
    for (size_t j = 0; j < row.size(); ++j)
        row[j] = static_cast<int>(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = static_cast<int>(i);
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const int above = row[static_cast<size_t>(j)];
            row[static_cast<size_t>(j)] =
                std::min({above + 1, row[static_cast<size_t>(j - 1)] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return 1.0 - static_cast<double>(row.back()) / static_cast<double>(std::max(a.size(), b.size()));
}

enum Field { Reading, Name, PostalCode, Address, Telephone, Fax, Mobile, Email, Category };
// What is a person's own beside the name: a shared one says it is the same person.
constexpr Field OwnFields[] = {PostalCode, Address, Telephone, Fax, Mobile, Email};
// What each field says about who the entry is: a category says nothing.
constexpr double Weight[AnchorFields] = {2, 3, 1, 2, 2, 1, 2, 2, 0};

// How surely `now` is an edit of `before`, from 0 to 1; 0 when it is not
// surely the same person, however much else is alike (a family shares an
// address and a telephone). `inPlace`: the one line changed between
// unchanged neighbours, where the one entry gone stood; there the same name
// is enough, so that a person whose only number another program changed
// stays that person.
double sameness(const Anchor &before, const Anchor &now, bool inPlace = false) {
    double score = 0;
    double total = 0;
    std::array<double, AnchorFields> alike{};
    for (int f = 0; f < AnchorFields; ++f) {
        const QString &a = before.at(f);
        const QString &b = now.at(f);
        // A number is the same number or another one, however many digits agree.
        const bool text = f == Reading || f == Name || f == Address;
        alike[static_cast<size_t>(f)] = text ? similarity(a, b) : a == b && !a.isEmpty() ? 1.0 : 0.0;
        if (!a.isEmpty() || !b.isEmpty()) {
            total += Weight[f];
            score += Weight[f] * alike[static_cast<size_t>(f)];
        }
    }
    const auto sameOwn = [&](Field f) { return !before.at(f).isEmpty() && before.at(f) == now.at(f); };
    const bool named = alike[Name] >= 0.7 || (alike[Reading] >= 0.7 && !now.at(Reading).isEmpty());
    // A name alone is no proof: two people share one. Something of their own
    // must be the same too, unless one side has nothing of its own at all.
    const auto hasOwn = [](const Anchor &a) {
        return std::any_of(std::begin(OwnFields), std::end(OwnFields), [&](Field f) { return !a.at(f).isEmpty(); });
    };
    const bool sharesOwn = std::any_of(std::begin(OwnFields), std::end(OwnFields), sameOwn);
    if (total == 0 ||
        !((named && (sharesOwn || inPlace || !hasOwn(before) || !hasOwn(now))) || sameOwn(Mobile) || sameOwn(Email)))
        return 0;
    const double ratio = score / total;
    return ratio >= 0.6 ? ratio : 0;
}

// Pairs the `lines` of `now` with the `candidates` of `before`, the surest
// first; a pair too unlike stays apart.
void pairAlike(const std::vector<Anchor> &before, const std::vector<Anchor> &now, const std::vector<int> &lines,
               const std::vector<int> &candidates, std::vector<int> &match, std::vector<bool> &taken,
               bool inPlace = false) {
    struct Pair {
        double score;
        int distance;
        int line;
        int candidate;
    };
    // Equally sure pairs keep the lines' order: identical lines pair in order of occurrence.
    std::vector<Pair> pairs;
    for (size_t l = 0; l < lines.size(); ++l)
        for (size_t c = 0; c < candidates.size(); ++c)
            if (const double score =
                    sameness(before[static_cast<size_t>(candidates[c])], now[static_cast<size_t>(lines[l])], inPlace);
                score > 0)
                pairs.push_back({score, static_cast<int>(l > c ? l - c : c - l), lines[l], candidates[c]});
    std::sort(pairs.begin(), pairs.end(), [](const Pair &a, const Pair &b) {
        return a.score != b.score ? a.score > b.score : a.distance < b.distance;
    });
    for (const Pair &p : pairs) {
        if (match[static_cast<size_t>(p.line)] >= 0 || taken[static_cast<size_t>(p.candidate)])
            continue;
        match[static_cast<size_t>(p.line)] = p.candidate;
        taken[static_cast<size_t>(p.candidate)] = true;
    }
}

QString keyOf(const Anchor &anchor) {
    return anchor.join(QChar(0x1F));
}

} // namespace

QList<std::pair<QString, QString>> itemsOf(const PersonData &d) {
    QList<std::pair<QString, QString>> items;
    const auto add = [&](const QString &key, const QString &value) {
        if (!value.isEmpty())
            items.append({key, value});
    };
    add(QStringLiteral("honorific"), d.honorific);
    for (qsizetype i = 0; i < d.joint.size(); ++i) {
        const QString prefix = QStringLiteral("joint%1.").arg(i + 1);
        const JointName &j = d.joint.at(i);
        // The given name is written even when empty, so that the person's place in the list stays.
        items.append({prefix + QStringLiteral("given"), j.given});
        add(prefix + QStringLiteral("family"), j.family);
        add(prefix + QStringLiteral("reading"), j.reading);
        add(prefix + QStringLiteral("honorific"), j.honorific);
    }
    add(QStringLiteral("company"), d.company);
    add(QStringLiteral("department"), d.department);
    add(QStringLiteral("title"), d.title);
    add(QStringLiteral("birthday"), d.birthday);
    add(QStringLiteral("notes"), d.notes);
    add(QStringLiteral("nickname"), d.nickname);
    for (const QString &url : d.urls)
        add(QStringLiteral("url"), url);
    for (const QString &phone : d.phones)
        add(QStringLiteral("tel"), phone);
    for (const QString &email : d.emails)
        add(QStringLiteral("email"), email);
    for (const QString &address : d.addresses)
        add(QStringLiteral("adr"), address);
    if (d.buildingBreak > 0)
        add(QStringLiteral("break"), QString::number(d.buildingBreak));
    add(QStringLiteral("sender"), d.sender);
    for (const NewYear &y : d.years)
        if (!y.words().isEmpty())
            items.append({QStringLiteral("newyear.%1").arg(y.year), y.words().join(u',')});
    items.append(d.unknown);
    return items;
}

QStringList NewYear::words() const {
    QStringList out;
    for (auto [on, word] : {std::pair{sent, "sent"},
                            {received, "received"},
                            {mourning, "mourning"},
                            {kanchuSent, "kanchu"},
                            {doNotSend, "skip"}})
        if (on)
            out.append(QLatin1String(word));
    return out;
}

QStringList NewYear::setWords(const QStringList &words) {
    QStringList unknown;
    for (const QString &word : words) {
        bool *set = word == u"sent"       ? &sent
                    : word == u"received" ? &received
                    : word == u"mourning" ? &mourning
                    : word == u"kanchu"   ? &kanchuSent
                    : word == u"skip"     ? &doNotSend
                                          : nullptr;
        if (set)
            *set = true;
        else
            unknown.append(word);
    }
    return unknown;
}

NewYear &PersonData::yearRecord(int year) {
    for (NewYear &y : years)
        if (y.year == year)
            return y;
    const auto at = std::find_if(years.begin(), years.end(), [&](const NewYear &y) { return y.year > year; });
    return *years.insert(at, NewYear{year});
}

Anchor anchorOf(QStringView line) {
    Anchor fields;
    qsizetype start = 0;
    for (int f = 0; f < AnchorFields; ++f) {
        const qsizetype bar = start <= line.size() ? line.indexOf(u'|', start) : -1;
        fields.append(start > line.size() ? QString() : line.mid(start, bar < 0 ? -1 : bar - start).toString());
        start = bar < 0 ? line.size() + 1 : bar + 1;
    }
    return fields;
}

QString seededUid(const Anchor &anchor, int occurrence) {
    static const QUuid space = QUuid::fromString(QStringLiteral("{5b0c1d8e-6a0e-4c55-9c1e-7e1b0a7e5f31}"));
    // As earlier exports hashed a line of the program's own: its fields 1 to 9.
    const QString fields = anchor.join(u'|');
    return QUuid::createUuidV5(space, fields + u'#' + QString::number(occurrence)).toString(QUuid::WithoutBraces);
}

QString randomUid() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

Record::Record(const QString &uid, quint64 lineHash, const Anchor &anchor, const PersonData &data) {
    line_ = uid.toLatin1() + '\t' + QByteArray::number(lineHash, 16).rightJustified(16, '0');
    for (int f = 0; f < AnchorFields; ++f)
        line_ += '\t' + escaped(anchor.value(f));
    for (const auto &[key, value] : itemsOf(data))
        line_ += '\t' + key.toLatin1() + '=' + escaped(value);
}

QString Record::uid() const {
    const qsizetype tab = line_.indexOf('\t');
    return QString::fromLatin1(tab < 0 ? QByteArrayView(line_) : QByteArrayView(line_).first(tab));
}

quint64 Record::lineHash() const {
    return QByteArrayView(line_).sliced(37, 16).toULongLong(nullptr, 16);
}

Anchor Record::anchor() const {
    const QList<QByteArrayView> columns = columnsOf(line_);
    Anchor anchor;
    for (int f = FirstAnchorColumn; f < FirstDataColumn; ++f)
        anchor.append(unescaped(columns.value(f)).value_or(QString()));
    return anchor;
}

PersonData Record::data() const {
    const QList<QByteArrayView> columns = columnsOf(line_);
    PersonData data;
    for (qsizetype i = FirstDataColumn; i < columns.size(); ++i) {
        const qsizetype equals = columns.at(i).indexOf('=');
        const QString key = QString::fromLatin1(columns.at(i).first(std::max<qsizetype>(equals, 0)));
        const QString value = unescaped(columns.at(i).sliced(equals + 1)).value_or(QString());
        if (!setItem(data, key, value))
            data.unknown.append({key, value});
    }
    return data;
}

namespace {

// A journal line: "@", the book's hash after the write, a tab, then an
// entry's record or the UID of a deleted entry. Empty when `line` is none.
struct JournalLine {
    quint64 bookHash = 0;
    std::pair<quint64, quint64> uid;
    QByteArray record; // empty: the entry was deleted
};

std::optional<JournalLine> journalLineOf(const QByteArray &line, Failure::Kind &problem) {
    bool isHex = false;
    JournalLine out;
    if (line.size() >= 18 && line[17] == '\t')
        out.bookHash = line.mid(1, 16).toULongLong(&isHex, 16);
    if (!isHex) {
        problem = Failure::Kind::SideBadJournalLine;
        return std::nullopt;
    }
    const QByteArray payload = line.mid(18);
    const std::optional<std::pair<quint64, quint64>> uid =
        uidBits(QByteArrayView(payload).first(std::min<qsizetype>(payload.size(), 36)));
    if (!uid || (payload.size() > 36 && payload[36] != '\t')) {
        problem = Failure::Kind::SideBadUid;
        return std::nullopt;
    }
    out.uid = *uid;
    if (payload.size() > 36) {
        if (problem = recordProblem(payload); problem != Failure::Kind::None)
            return std::nullopt;
        out.record = payload;
    }
    return out;
}

} // namespace

Failure SideFile::parse(const QByteArray &input, SideFile &out) {
    out = SideFile();
    const auto at = [](qsizetype line, Failure::Kind what) {
        Failure damage{what};
        damage.line = static_cast<int>(line);
        return damage;
    };
    // A journal line a kill cut short, without its line end, was never written.
    QByteArray bytes = input;
    if (!bytes.isEmpty() && !bytes.endsWith('\n')) {
        const qsizetype last = bytes.lastIndexOf('\n') + 1;
        if (last > 0 && bytes[last] == '@')
            bytes.truncate(last);
    }
    if (!isUtf8(bytes))
        return {Failure::Kind::SideNotUtf8};
    QList<QByteArray> lines = linefile::splitLines(bytes);
    if (lines.isEmpty() || !lines.first().startsWith(Header))
        return at(1, Failure::Kind::SideNoHeader);
    bool isHex = false;
    out.bookHash = lines.first().mid(qsizetype(std::strlen(Header))).toULongLong(&isHex, 16);
    if (!isHex)
        return at(1, Failure::Kind::SideBadHeader);
    qsizetype journal = 1;
    while (journal < lines.size() && !lines.at(journal).startsWith('@'))
        ++journal;
    std::vector<std::pair<std::pair<quint64, quint64>, int>> uids; // sorted to find one twice
    uids.reserve(static_cast<size_t>(journal));
    out.records.reserve(static_cast<size_t>(journal - 1));
    for (qsizetype i = 1; i < journal; ++i) {
        const QByteArray &line = lines.at(i);
        const std::optional<std::pair<quint64, quint64>> uid =
            uidBits(QByteArrayView(line).first(std::min<qsizetype>(line.size(), 36)));
        if (!uid || (line.size() > 36 && line[36] != '\t'))
            return at(i + 1, Failure::Kind::SideBadUid);
        if (const Failure::Kind problem = recordProblem(line); problem != Failure::Kind::None)
            return at(i + 1, problem);
        uids.emplace_back(*uid, static_cast<int>(i + 1));
    }
    std::sort(uids.begin(), uids.end());
    for (size_t k = 1; k < uids.size(); ++k)
        if (uids[k].first == uids[k - 1].first)
            return at(uids[k].second, Failure::Kind::SideUidTwice);
    for (qsizetype i = 1; i < journal; ++i)
        out.records.push_back(Record::ofLine(std::move(lines[i])));
    if (journal == lines.size())
        return {};

    // The journal: writes since the file was last written whole, in order.
    // An entry is found among the records by the sorted UIDs, or among those the journal added.
    std::map<std::pair<quint64, quint64>, size_t> added;
    const auto indexOf = [&](const std::pair<quint64, quint64> &uid) -> std::optional<size_t> {
        if (const auto found = added.find(uid); found != added.end())
            return found->second;
        const auto found = std::lower_bound(uids.cbegin(), uids.cend(), std::make_pair(uid, 0));
        if (found != uids.cend() && found->first == uid &&
            !out.records[static_cast<size_t>(found->second - 2)].isNull())
            return static_cast<size_t>(found->second - 2);
        return std::nullopt;
    };
    for (qsizetype i = journal; i < lines.size(); ++i) {
        Failure::Kind problem = Failure::Kind::None;
        const std::optional<JournalLine> change =
            lines.at(i).startsWith('@') ? journalLineOf(lines.at(i), problem) : std::nullopt;
        if (!change && i == lines.size() - 1 && lines.at(i).startsWith('@'))
            break; // the last write's line, damaged as it was cut short: the book is found again
        if (!change)
            return at(i + 1, problem == Failure::Kind::None ? Failure::Kind::SideRecordAfterJournal : problem);
        const std::optional<size_t> found = indexOf(change->uid);
        if (change->record.isEmpty()) {
            if (!found)
                return at(i + 1, Failure::Kind::SideNoUidToDelete);
            out.records[*found] = Record();
            added.erase(change->uid);
        } else if (found) {
            out.records[*found] = Record::ofLine(change->record);
        } else {
            added.emplace(change->uid, out.records.size());
            out.records.push_back(Record::ofLine(change->record));
        }
        out.bookHash = change->bookHash;
        ++out.journalLines;
    }
    std::erase_if(out.records, [](const Record &r) { return r.isNull(); });
    return {};
}

SideFile SideFile::salvage(const QByteArray &bytes) {
    SideFile out;
    if (!isUtf8(bytes))
        return out;
    std::map<std::pair<quint64, quint64>, size_t> at; // UID → its record
    const auto keep = [&](const std::pair<quint64, quint64> &uid, QByteArray line) {
        if (const auto found = at.find(uid); found != at.end())
            out.records[found->second] = Record::ofLine(std::move(line));
        else {
            at.emplace(uid, out.records.size());
            out.records.push_back(Record::ofLine(std::move(line)));
        }
    };
    const QList<QByteArray> lines = linefile::splitLines(bytes);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray &line = lines.at(i);
        if (line.startsWith('@')) {
            Failure::Kind problem = Failure::Kind::None;
            const std::optional<JournalLine> change = journalLineOf(line, problem);
            if (!change)
                continue;
            if (!change->record.isEmpty())
                keep(change->uid, change->record);
            else if (const auto found = at.find(change->uid); found != at.end())
                out.records[found->second] = Record();
            continue;
        }
        const std::optional<std::pair<quint64, quint64>> uid =
            uidBits(QByteArrayView(line).first(std::min<qsizetype>(line.size(), 36)));
        if (!uid || line.size() <= 36 || line[36] != '\t' || recordProblem(line) != Failure::Kind::None)
            continue;
        if (at.count(*uid) == 0) // a UID found twice: the first keeps it
            keep(*uid, line);
    }
    std::erase_if(out.records, [](const Record &r) { return r.isNull(); });
    return out;
}

QByteArray SideFile::journalLine(quint64 bookHash, const QByteArray &recordOrUid) {
    return '@' + QByteArray::number(bookHash, 16).rightJustified(16, '0') + '\t' + recordOrUid + "\r\n";
}

QByteArray SideFile::header() const {
    return Header + QByteArray::number(bookHash, 16).rightJustified(16, '0') + "\r\n";
}

QByteArray SideFile::toBytes() const {
    qsizetype size = 64;
    for (const Record &r : records)
        size += r.line().size() + 2;
    QByteArray bytes;
    bytes.reserve(size);
    bytes += header();
    for (const Record &r : records)
        bytes += r.line() + "\r\n";
    return bytes;
}

quint64 lineHash(QByteArrayView line) {
    if (line.size() >= 2 && line[line.size() - 2] == '|' && (line.back() == 'T' || line.back() == 'F'))
        line.chop(2);
    // Two words at a time in two chains, so that the multiplications overlap.
    quint64 a = 0xcbf29ce484222325ULL ^ static_cast<quint64>(line.size());
    quint64 b = 0x9e3779b97f4a7c15ULL;
    const char *p = line.data();
    qsizetype left = line.size();
    for (; left >= 16; left -= 16, p += 16) {
        quint64 w1, w2;
        std::memcpy(&w1, p, 8);
        std::memcpy(&w2, p + 8, 8);
        a = (a ^ w1) * 0x100000001b3ULL;
        b = (b ^ w2) * 0xff51afd7ed558ccdULL;
        a ^= a >> 29;
        b ^= b >> 31;
    }
    if (left >= 8) { // the last eight bytes, overlapping what was taken
        quint64 w;
        std::memcpy(&w, p + left - 8, 8);
        a = (a ^ w) * 0x100000001b3ULL;
        left -= 8;
    }
    for (; left > 0; --left, ++p)
        b = (b ^ static_cast<unsigned char>(*p)) * 0xff51afd7ed558ccdULL;
    const quint64 h = (a ^ (b * 0xc4ceb9fe1a85ec53ULL)) * 0x100000001b3ULL;
    return (h ^ (h >> 32)) | 1; // never 0, which a blank line is
}

quint64 foldedHash(const std::vector<quint64> &lineHashes) {
    quint64 hash = 0x84222325cbf29ce4ULL;
    for (quint64 h : lineHashes)
        if (h != 0)
            hash = ((hash ^ h) * 0x100000001b3ULL) ^ (hash >> 31);
    return hash;
}

std::vector<int> attach(const std::vector<Anchor> &before, const std::vector<Anchor> &now) {
    std::vector<int> match(now.size(), -1);
    std::vector<bool> taken(before.size(), false);
    // Unchanged lines first: a line found once before and once now is the same
    // entry. Identical lines are left to the pass by position below.
    QHash<QString, std::vector<int>> byKey; // before's indices of each key, in order
    for (size_t i = 0; i < before.size(); ++i)
        byKey[keyOf(before[i])].push_back(static_cast<int>(i));
    std::vector<QString> keys(now.size());
    QHash<QString, int> timesNow;
    for (size_t j = 0; j < now.size(); ++j)
        ++timesNow[keys[j] = keyOf(now[j])];
    const auto pair = [&](size_t j, int i) {
        match[j] = i;
        taken[static_cast<size_t>(i)] = true;
    };
    for (size_t j = 0; j < now.size(); ++j)
        if (const auto found = byKey.constFind(keys[j]);
            found != byKey.constEnd() && found->size() == 1 && timesNow.value(keys[j]) == 1)
            pair(j, found->front());
    // Then each stretch of changed lines against the unmatched lines between
    // the same unchanged neighbours before.
    constexpr size_t MaxPairs = 250'000;
    for (size_t j = 0; j < now.size();) {
        if (match[j] >= 0) {
            ++j;
            continue;
        }
        const int from = j == 0 ? -1 : match[j - 1];
        std::vector<int> lines;
        while (j < now.size() && match[j] < 0)
            lines.push_back(static_cast<int>(j++));
        const int to = j < now.size() ? match[j] : static_cast<int>(before.size());
        std::vector<int> candidates;
        for (int i = from + 1; i < to; ++i)
            if (!taken[static_cast<size_t>(i)])
                candidates.push_back(i);
        if (lines.size() * candidates.size() <= MaxPairs)
            pairAlike(before, now, lines, candidates, match, taken, lines.size() == 1 && candidates.size() == 1);
    }
    // What is left (a book sorted anew, a block too large) pairs with what
    // shares a name, a reading, a mobile number or an e-mail address.
    QHash<QString, std::vector<int>> byValue;
    for (size_t i = 0; i < before.size(); ++i)
        if (!taken[i])
            for (Field f : {Name, Reading, Mobile, Email})
                if (!before[i].at(f).isEmpty())
                    byValue[QString::number(f) + before[i].at(f)].push_back(static_cast<int>(i));
    for (size_t j = 0; j < now.size(); ++j) {
        if (match[j] >= 0)
            continue;
        std::vector<int> candidates;
        for (Field f : {Name, Reading, Mobile, Email})
            if (!now[j].at(f).isEmpty())
                for (int i : byValue.value(QString::number(f) + now[j].at(f)))
                    if (!taken[static_cast<size_t>(i)] && candidates.size() < 64)
                        candidates.push_back(i);
        pairAlike(before, now, {static_cast<int>(j)}, candidates, match, taken);
    }
    // Identical lines still apart pair in order of occurrence.
    for (size_t j = 0; j < now.size(); ++j) {
        if (match[j] >= 0)
            continue;
        for (int i : byKey.value(keys[j]))
            if (!taken[static_cast<size_t>(i)]) {
                pair(j, i);
                break;
            }
    }
    // Which of identical lines took which entry was a tie: they take them in
    // order of occurrence, the first lines first.
    QHash<QString, std::vector<size_t>> groups;
    for (size_t j = 0; j < now.size(); ++j)
        if (timesNow.value(keys[j]) > 1)
            groups[keys[j]].push_back(j);
    for (const std::vector<size_t> &group : std::as_const(groups)) {
        std::vector<int> found;
        for (size_t j : group)
            if (match[j] >= 0)
                found.push_back(match[j]);
        std::sort(found.begin(), found.end());
        for (size_t k = 0; k < group.size(); ++k)
            match[group[k]] = k < found.size() ? found[k] : -1;
    }
    // The same for lines that continue identical lines, edited or not.
    QHash<QString, std::vector<size_t>> continuing;
    for (size_t j = 0; j < now.size(); ++j)
        if (match[j] >= 0)
            if (const QString &was = keyOf(before[static_cast<size_t>(match[j])]); byKey.value(was).size() > 1)
                continuing[was].push_back(j);
    for (const std::vector<size_t> &group : std::as_const(continuing)) {
        std::vector<int> found;
        for (size_t j : group)
            found.push_back(match[j]);
        std::sort(found.begin(), found.end());
        for (size_t k = 0; k < group.size(); ++k)
            match[group[k]] = found[k];
    }
    return match;
}

} // namespace people
