#include "store/postalcodes.h"

#include "store/linefile.h"
#include "store/textforms.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

namespace postalcodes {

QString digitsOf(QStringView code) {
    QString digits;
    for (const QChar c : code)
        if (textforms::isDigit(c.unicode()))
            digits.append(QChar(textforms::asciiDigit(c.unicode())));
    return digits.size() == 7 ? digits : QString();
}
namespace {

// The fields of a code line after its code: town, street, office.
QList<QStringView> restFields(QStringView rest) {
    QList<QStringView> fields;
    for (QStringView f : rest.split(u'\t'))
        fields.append(f);
    while (fields.size() < 3)
        fields.append(QStringView());
    return fields;
}

uint32_t codeNumber(QByteArrayView digits, bool *ok) {
    uint32_t n = 0;
    *ok = digits.size() == 7;
    for (char c : digits) {
        *ok = *ok && c >= '0' && c <= '9';
        n = n * 10 + static_cast<uint32_t>(c - '0');
    }
    return n;
}

} // namespace

void Table::clear() {
    bytes_.clear();
    rows_.clear();
    areas_.clear();
    cities_.clear();
    citiesByStart_.clear();
    longestStart_ = 0;
}

Failure Table::load(const QString &path) {
    clear();
    const auto damaged = [&] {
        clear();
        return Failure{Failure::Kind::PostalTableDamaged, path};
    };
    if (Failure failure = linefile::readAll(path, bytes_); failure.failed()) {
        clear();
        return failure;
    }
    // A table an editor or a copy turned to CR LF reads as it was made.
    if (bytes_.contains('\r'))
        bytes_.replace("\r\n", "\n");
    if (!QByteArrayView(bytes_).isValidUtf8())
        return damaged();
    const char *data = bytes_.constData();
    qsizetype at = 0;
    qsizetype counted = -1; // the converter's count of code lines, from its last line
    while (at < bytes_.size()) {
        qsizetype end = bytes_.indexOf('\n', at);
        if (end < 0)
            end = bytes_.size();
        const QByteArrayView line(data + at, end - at);
        if (line.startsWith('@')) {
            const qsizetype tab = line.indexOf('\t');
            if (tab < 0)
                return damaged();
            areas_.push_back({QString::fromUtf8(line.sliced(1, tab - 1)), QString::fromUtf8(line.sliced(tab + 1))});
        } else if (line.startsWith("#codes\t")) {
            bool ok = false;
            counted = line.sliced(7).toLongLong(&ok);
            if (!ok || end + 1 < bytes_.size())
                return damaged(); // the count is the last line
        } else if (!line.startsWith('#') && !line.isEmpty()) {
            bool ok = false;
            const uint32_t code = codeNumber(line.first(std::min<qsizetype>(7, line.size())), &ok);
            if (!ok || areas_.empty() || line.size() < 8 || line[7] != '\t')
                return damaged();
            rows_.push_back({code, static_cast<uint32_t>(at + 8), static_cast<uint32_t>(areas_.size() - 1)});
        }
        at = end + 1;
    }
    // Cut short, emptied or made by an older converter: not trusted.
    if (counted <= 0 || counted != static_cast<qsizetype>(rows_.size()))
        return damaged();
    // Made sorted by code; kept so whatever made it.
    std::stable_sort(rows_.begin(), rows_.end(), [](const Row &a, const Row &b) { return a.code < b.code; });
    return {};
}

QByteArrayView Table::lineAt(const Row &row) const {
    const char *data = bytes_.constData();
    const char *end = static_cast<const char *>(std::memchr(data + row.offset, '\n', bytes_.size() - row.offset));
    return QByteArrayView(data + row.offset, (end ? end : data + bytes_.size()) - (data + row.offset));
}

Area Table::areaOf(const Row &row) const {
    const QString rest = QString::fromUtf8(lineAt(row));
    const QList<QStringView> fields = restFields(rest);
    const CityArea &city = areas_[row.area];
    return {QStringLiteral("%1").arg(row.code, 7, 10, QLatin1Char('0')),
            city.prefecture,
            city.city,
            fields.at(0).toString(),
            fields.at(1).toString(),
            fields.at(2).toString()};
}

QList<Area> Table::lookUp(QStringView code) const {
    const QByteArray digits = code.toLatin1();
    bool ok = false;
    const uint32_t n = codeNumber(digits, &ok);
    QList<Area> found;
    if (!ok)
        return found;
    auto it = std::lower_bound(rows_.begin(), rows_.end(), n, [](const Row &r, uint32_t c) { return r.code < c; });
    for (; it != rows_.end() && it->code == n; ++it)
        found.append(areaOf(*it));
    return found;
}

namespace {

// Wards renamed since the addresses people keep were written: Hamamatsu's
// seven wards became three on 1 January 2024 (浜松市「区の再編」). 北区 went
// partly to each of two; the town decides.
struct RenamedWard {
    const char16_t *prefecture;
    const char16_t *former;
    const char16_t *now;
};
constexpr RenamedWard renamedWards[] = {
    {u"静岡県", u"浜松市中区", u"浜松市中央区"},   {u"静岡県", u"浜松市東区", u"浜松市中央区"},
    {u"静岡県", u"浜松市西区", u"浜松市中央区"},   {u"静岡県", u"浜松市南区", u"浜松市中央区"},
    {u"静岡県", u"浜松市北区", u"浜松市中央区"},   {u"静岡県", u"浜松市北区", u"浜松市浜名区"},
    {u"静岡県", u"浜松市浜北区", u"浜松市浜名区"},
};

int kanjiDigitValue(QChar c) {
    for (int d = 0; d < 10; ++d)
        if (c == textforms::KanjiDigits[d])
            return d;
    return -1;
}

// Digits (1, 10) and kanji written digit by digit with a 〇 (一〇) as kanji
// numbers (十); other text, and runs of more than four digits, as they are.
QString numbersAsKanji(const QString &text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const bool ascii = text[i] >= u'0' && text[i] <= u'9';
        const auto digitAt = [&](qsizetype at) {
            return ascii ? (text[at] >= u'0' && text[at] <= u'9' ? text[at].unicode() - u'0' : -1)
                         : kanjiDigitValue(text[at]);
        };
        qsizetype end = i;
        int value = 0;
        bool zero = false;
        for (; end < text.size() && digitAt(end) >= 0; ++end) {
            zero |= digitAt(end) == 0;
            if (end - i < 4) // a longer run is kept as written, so its value is never needed
                value = value * 10 + digitAt(end);
        }
        const qsizetype length = end - i;
        // Kanji digits without a 〇 (二十, 三) are already written as numbers.
        if (length > 0 && length <= 4 && (ascii || (zero && length > 1)))
            out.append(textforms::kanjiNumber(value));
        else
            out.append(QStringView(text).sliced(i, std::max<qsizetype>(length, 1)));
        i += std::max<qsizetype>(length, 1);
    }
    return out;
}

// A town part without the 大字 or 字 some addresses put before it.
QString withoutAza(QString rest) {
    if (rest.startsWith(u"大字"))
        rest.remove(0, 2);
    else if (rest.startsWith(u'字'))
        rest.remove(0, 1);
    return rest;
}

// Kyoto's addresses name the streets before the town (寺町通御池上る上本能寺前町):
// the text after the last direction, or empty when there is none.
QString afterStreetDirections(const QString &rest) {
    qsizetype after = -1;
    for (QStringView direction : {u"上る", u"上ル", u"下る", u"下ル", u"西入", u"東入", u"南入", u"北入"}) {
        const qsizetype at = rest.lastIndexOf(direction);
        if (at < 0)
            continue;
        qsizetype end = at + direction.size();
        if (direction.endsWith(u'入') && end < rest.size() && (rest[end] == u'る' || rest[end] == u'ル'))
            ++end;
        after = std::max(after, end);
    }
    return after < 0 ? QString() : rest.sliced(after);
}

} // namespace

QString foldedPlace(QStringView text) {
    // Kana, kanji and ASCII are as NFKC leaves them: most names skip it.
    const bool plain = std::all_of(text.begin(), text.end(), [](QChar c) {
        return c.unicode() < 0x80 || (c >= u'\u3041' && c <= u'\u3096') || (c >= u'\u30A1' && c <= u'\u30FA') ||
               c == u'ー' || (c >= u'\u4E00' && c <= u'\u9FFF');
    });
    QString folded = plain ? text.toString() : text.toString().normalized(QString::NormalizationForm_KC);
    folded.remove(u' ');
    for (QChar &c : folded)
        switch (c.unicode()) {
        case u'ヶ':
        case u'ヵ':
        case u'が':
        case u'ガ':
            c = u'ケ';
            break;
        case u'ノ':
        case u'之':
            c = u'の';
            break;
        default:
            break;
        }
    return numbersAsKanji(folded);
}

void Table::indexCities() const {
    if (!cities_.empty())
        return;
    QHash<QString, size_t> cityOf;
    for (size_t i = 0; i < rows_.size(); ++i) {
        const CityArea &area = areas_[rows_[i].area];
        const QString key = area.prefecture + u'\t' + area.city;
        auto at = cityOf.constFind(key);
        if (at == cityOf.cend()) {
            at = cityOf.insert(key, cities_.size());
            cities_.push_back({area.prefecture, area.city, false, {}, {}, false});
        }
        const QByteArrayView line = lineAt(rows_[i]);
        const qsizetype tab = line.indexOf('\t');
        // A large office's code has its street and name after the town.
        if (tab < 0 || line.sliced(tab) != "\t\t")
            continue;
        City &city = cities_[*at];
        city.hasTowns |= tab > 0;
        city.towns.push_back({static_cast<uint32_t>(i), 0, 0});
    }
    const auto indexAs = [this](const QString &start, const City *city) {
        const QString folded = foldedPlace(start);
        std::vector<const City *> &cities = citiesByStart_[folded];
        if (std::find(cities.begin(), cities.end(), city) == cities.end())
            cities.push_back(city);
        longestStart_ = std::max(longestStart_, folded.size());
    };
    for (const City &city : cities_) {
        if (city.city.isEmpty())
            continue;
        indexAs(city.prefecture + city.city, &city);
        indexAs(city.city, &city);
        // 虻田郡洞爺湖町 is often written 洞爺湖町.
        if (const qsizetype gun = city.city.indexOf(u'郡'); gun > 0 && gun + 1 < city.city.size()) {
            indexAs(city.prefecture + city.city.sliced(gun + 1), &city);
            indexAs(city.city.sliced(gun + 1), &city);
        }
        for (const RenamedWard &ward : renamedWards)
            if (city.prefecture == QStringView(ward.prefecture) && city.city == QStringView(ward.now)) {
                indexAs(city.prefecture + QString::fromUtf16(ward.former), &city);
                indexAs(QString::fromUtf16(ward.former), &city);
            }
    }
}

void Table::foldTowns(const City &city) const {
    if (city.townsFolded)
        return;
    for (Town &town : city.towns) {
        const QByteArrayView line = lineAt(rows_[town.row]);
        const QString folded = withoutAza(foldedPlace(QString::fromUtf8(line.first(line.indexOf('\t')))));
        town.start = static_cast<uint32_t>(city.townText.size());
        town.length = static_cast<uint32_t>(folded.size());
        city.townText.append(folded);
    }
    city.townsFolded = true;
}

Table::Place Table::placeOf(QStringView typed) const {
    indexCities();
    const QString address = foldedPlace(typed);
    // The city the address begins with, with its prefecture or without: the
    // longest start wins (市 before 区); a city name several prefectures have
    // gives all of them.
    Place place;
    for (qsizetype cityEnd = std::min(address.size(), longestStart_); cityEnd > 0; --cityEnd)
        if (const auto found = citiesByStart_.constFind(address.first(cityEnd)); found != citiesByStart_.cend()) {
            place.cities = found.value();
            place.rest = withoutAza(address.sliced(cityEnd));
            place.afterStreet = afterStreetDirections(place.rest);
            break;
        }
    return place;
}

Table::Towns Table::longestTowns(const Place &place, QStringView rest) const {
    std::vector<uint32_t> matched;
    qsizetype longest = -1;
    for (const City *city : place.cities) {
        foldTowns(*city);
        for (const Town &town : city->towns) {
            const QStringView name = city->folded(town);
            if (name.size() < longest || !rest.startsWith(name))
                continue;
            if (name.size() > longest) {
                matched.clear();
                longest = name.size();
            }
            if (std::none_of(matched.begin(), matched.end(),
                             [&](uint32_t m) { return rows_[m].code == rows_[town.row].code; }))
                matched.push_back(town.row);
        }
    }
    return {matched, longest};
}

Table::Towns Table::townsOf(const Place &place) const {
    // In Kyoto the town follows the streets; an address without them, or
    // whose text after them names no town, is read from the city on.
    Towns matched;
    if (!place.afterStreet.isEmpty())
        matched = longestTowns(place, place.afterStreet);
    if (matched.length <= 0)
        matched = longestTowns(place, place.rest);
    return matched;
}

QList<Area> Table::forAddress(QStringView typed) const {
    const Place place = placeOf(typed);
    const Towns matched = townsOf(place);
    // A town written that the table does not know: the city's catch-all code
    // (xxx-0000) would be another town's, so none is given.
    const bool hasTowns =
        std::any_of(place.cities.begin(), place.cities.end(), [](const City *c) { return c->hasTowns; });
    QList<Area> found;
    if (matched.length == 0 && hasTowns && !place.rest.isEmpty())
        return found;
    for (uint32_t row : matched.rows)
        found.append(areaOf(rows_[row]));
    return found;
}

bool Table::fits(QStringView address, const Area &area) const {
    const Place place = placeOf(address);
    const bool inCity = std::any_of(place.cities.begin(), place.cities.end(), [&](const City *c) {
        return c->prefecture == area.prefecture && c->city == area.city;
    });
    if (!inCity)
        return false;
    const Towns matched = townsOf(place);
    // The city's own code: where the address names none of its towns.
    if (area.town.isEmpty())
        return matched.length <= 0;
    const uint32_t code = area.code.toUInt();
    if (std::any_of(matched.rows.begin(), matched.rows.end(), [&](uint32_t r) { return rows_[r].code == code; }))
        return true;
    const QString town = withoutAza(foldedPlace(area.town));
    // A building's own code (大手町ＪＡビル２階), where the address writes the
    // building after the number: its town begins the address, the building follows.
    for (const City *city : place.cities)
        for (const Town &t : city->towns) {
            const QStringView base = city->folded(t);
            if (!base.isEmpty() && base.size() < town.size() && town.startsWith(base) && place.rest.startsWith(base) &&
                place.rest.indexOf(QStringView(town).sliced(base.size()), base.size()) >= 0)
                return true;
        }
    return false;
}

QString Table::installedPath() {
    if (const QString named = qEnvironmentVariable("TELBORA_POSTAL_TABLE"); !named.isEmpty())
        return named;
    const QDir program(QCoreApplication::applicationDirPath());
    for (const QString &candidate :
         {program.filePath(QStringLiteral("../share/telbora/postal.tsv")),
          program.filePath(QStringLiteral("data/postal.tsv")), program.filePath(QStringLiteral("../data/postal.tsv"))})
        if (QFileInfo(candidate).isFile())
            return QDir::cleanPath(candidate);
    return QDir::cleanPath(program.filePath(QStringLiteral("../share/telbora/postal.tsv")));
}

namespace {
// The installed table, loaded once for the whole run, or why there is none.
struct Installed {
    const Table *table = nullptr;
    Failure problem;
};

const Installed &installedOnce() {
    static const Installed installed = [] {
        const QString path = Table::installedPath();
        if (!QFileInfo::exists(path))
            return Installed{nullptr, {Failure::Kind::PostalTableMissing, path}};
        auto *made = new Table; // lives for the whole run
        if (Failure error = made->load(path); error.failed()) {
            delete made;
            return Installed{nullptr, error};
        }
        return Installed{made, {}};
    }();
    return installed;
}
} // namespace

const Table *Table::installed() {
    return installedOnce().table;
}

Failure Table::installedProblem() {
    return installedOnce().problem;
}

} // namespace postalcodes
