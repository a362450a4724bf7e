#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <vector>

// Japan Post's postal codes, from the table installed with the programs
// (scripts/make-postal-table.py makes it). Read once into memory; nothing is
// ever fetched from the network.
namespace postalcodes {

// One code's area: a large office's own code also has its street and name.
struct Area {
    QString code; // seven digits
    QString prefecture;
    QString city;
    QString town;
    QString street;
    QString office;
    // The address it stands for: 都道府県 + 市区町村 + 町域 (+ the office's street).
    QString address() const { return prefecture + city + town + street; }
};

// A code of seven digits as the book stores and shows it: "100-0001".
inline QString withHyphen(const QString &code) {
    return code.left(3) + u'-' + code.mid(3);
}

// The seven digits of a postal code as stored ("100-0001", full-width digits
// too), in ASCII; empty unless it holds exactly seven.
QString digitsOf(QStringView code);

// An address as the table compares it: without the spaces people put between its parts.
inline QString comparedAddress(QStringView address) {
    return address.toString().remove(u' ').remove(u'\u3000');
}

class Table {
public:
    // Reads the table at `path`. Empty on success, else why not (the table is then empty).
    QString load(const QString &path);
    int size() const { return static_cast<int>(rows_.size()); }

    // The areas of a code of seven digits (several when it covers several
    // towns); none for an unknown code.
    QList<Area> lookUp(QStringView code) const;
    // The codes an address belongs to: those of the longest town its text
    // begins with after its prefecture (which may be left out) and city; the
    // city's own code when no town matches. Large offices' codes are left out.
    // One area: a unique match; several: the candidates; none: no city matched.
    QList<Area> forAddress(QStringView address) const;

    // The table installed with the programs: share/telbora/postal.tsv beside
    // the program, or data/postal.tsv in the build; TELBORA_POSTAL_TABLE
    // names another. Loaded on first use; null when there is none.
    static const Table *installed();
    // Where installed() looked, for a message.
    static QString installedPath();
    // Why installed() is null (missing, or damaged and so not trusted), in
    // words for the user; empty when it is there.
    static QString installedProblem();

private:
    struct Row {
        uint32_t code;
        uint32_t offset; // of the town field in bytes_
        uint32_t area;   // in areas_
    };
    struct CityArea {
        QString prefecture;
        QString city;
    };
    void clear();
    // The fields after a row's code, as the table holds them.
    QByteArrayView lineAt(const Row &row) const;
    Area areaOf(const Row &row) const;
    void indexCities() const;

    QByteArray bytes_;
    std::vector<Row> rows_;
    std::vector<CityArea> areas_;
    // Made on the first address looked up: the rows of each city, and the
    // cities by how an address may begin (prefecture + city, or city alone).
    mutable QHash<QString, std::vector<int>> rowsOfCity_;
    mutable QHash<QString, std::vector<const std::vector<int> *>> citiesByStart_;
    mutable qsizetype longestStart_ = 0;
};

} // namespace postalcodes
