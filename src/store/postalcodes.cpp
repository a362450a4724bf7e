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
    rowsOfCity_.clear();
    citiesByStart_.clear();
    longestStart_ = 0;
}

QString Table::load(const QString &path) {
    clear();
    const auto damaged = [&] {
        clear();
        return QStringLiteral("郵便番号の表「%1」が壊れています。").arg(QDir::toNativeSeparators(path));
    };
    if (QString error = linefile::readAll(path, bytes_); !error.isEmpty()) {
        clear();
        return error;
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

void Table::indexCities() const {
    if (!rowsOfCity_.isEmpty())
        return;
    for (int i = 0; i < size(); ++i) {
        const CityArea &city = areas_[rows_[static_cast<size_t>(i)].area];
        rowsOfCity_[city.prefecture + u'\t' + city.city].push_back(i);
    }
    for (auto it = rowsOfCity_.cbegin(); it != rowsOfCity_.cend(); ++it) {
        const qsizetype tab = it.key().indexOf(u'\t');
        const QString prefecture = it.key().first(tab), city = it.key().sliced(tab + 1);
        for (const QString &start : {prefecture + city, city}) {
            if (start.isEmpty())
                continue;
            citiesByStart_[start].push_back(&it.value());
            longestStart_ = std::max(longestStart_, start.size());
        }
    }
}

QList<Area> Table::forAddress(QStringView typed) const {
    indexCities();
    // Compared without spaces, which people put between the parts.
    const QString address = comparedAddress(typed);
    // The city the address begins with, with its prefecture or without: the
    // longest start wins (市 before 区); a city name several prefectures have
    // gives all of them.
    const std::vector<const std::vector<int> *> *cities = nullptr;
    qsizetype cityEnd = std::min(address.size(), longestStart_);
    for (; cityEnd > 0; --cityEnd)
        if (const auto found = citiesByStart_.constFind(address.first(cityEnd)); found != citiesByStart_.cend()) {
            cities = &found.value();
            break;
        }
    QList<Area> found;
    if (!cities)
        return found;
    // The longest town the rest begins with; the city's own code (no town)
    // when none. Compared as the table's UTF-8 bytes, so that only the rows
    // that match are made into areas.
    const QByteArray rest = QStringView(address).sliced(cityEnd).toUtf8();
    qsizetype longest = -1;
    bool hasTowns = false;
    std::vector<const Row *> matched;
    for (const std::vector<int> *rows : *cities)
        for (int i : *rows) {
            const Row &row = rows_[static_cast<size_t>(i)];
            const QByteArrayView line = lineAt(row);
            const qsizetype tab = line.indexOf('\t');
            // A large office's code has its street and name after the town.
            if (tab < 0 || line.sliced(tab) != "\t\t")
                continue;
            const QByteArrayView town = line.first(tab);
            hasTowns |= !town.isEmpty();
            if (!QByteArrayView(rest).startsWith(town) || town.size() < longest)
                continue;
            if (town.size() > longest) {
                matched.clear();
                longest = town.size();
            }
            if (std::none_of(matched.begin(), matched.end(), [&](const Row *m) { return m->code == row.code; }))
                matched.push_back(&row);
        }
    // A town written that the table does not know: the city's catch-all code
    // (xxx-0000) would be another town's, so none is given.
    if (longest == 0 && hasTowns && !rest.isEmpty())
        return found;
    for (const Row *row : matched)
        found.append(areaOf(*row));
    return found;
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
    QString problem;
};

const Installed &installedOnce() {
    static const Installed installed = [] {
        const QString path = Table::installedPath();
        if (!QFileInfo::exists(path))
            return Installed{nullptr,
                             QStringLiteral("郵便番号の表がありません。\r%1").arg(QDir::toNativeSeparators(path))};
        auto *made = new Table; // lives for the whole run
        if (QString error = made->load(path); !error.isEmpty()) {
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

QString Table::installedProblem() {
    return installedOnce().problem;
}

} // namespace postalcodes
