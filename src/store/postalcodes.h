#pragma once

#include "store/failure.h"

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
    // Reads the table at `path`. None on success, else why not (the table is then empty).
    Failure load(const QString &path);
    int size() const { return static_cast<int>(rows_.size()); }

    // The areas of a code of seven digits (several when it covers several
    // towns); none for an unknown code.
    QList<Area> lookUp(QStringView code) const;
    // The codes an address belongs to: those of the longest town its text
    // begins with after its prefecture (which may be left out) and city; the
    // city's own code when the address names no town. Towns are compared as
    // people write them (see foldedPlace). Large offices' codes are left out.
    // One area: a unique match; several: the candidates; none: no city
    // matched, or a town the table does not know.
    QList<Area> forAddress(QStringView address) const;
    // Whether `area` (one of a code's) is where `address` lies, by the same
    // matching: its town begins the address's, or it is the city's own code
    // and no town of the city does.
    bool fits(QStringView address, const Area &area) const;

    // The table installed with the programs: share/telbora/postal.tsv beside
    // the program, or data/postal.tsv in the build; TELBORA_POSTAL_TABLE
    // names another. Loaded on first use; null when there is none.
    static const Table *installed();
    // Where installed() looked, for a message.
    static QString installedPath();
    // Why installed() is null (missing, or damaged and so not trusted), in
    // words for the user; empty when it is there.
    static Failure installedProblem();

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
    // A city's towns as foldedPlace makes them, large offices left out; their
    // text is kept together in the city's, as the table has some 120,000.
    struct Town {
        uint32_t row; // in rows_
        uint32_t start;
        uint32_t length;
    };
    struct City {
        QString prefecture;
        QString city;
        bool hasTowns = false;
        // Folded on the city's first look-up (foldTowns).
        mutable std::vector<Town> towns;
        mutable QString townText;
        mutable bool townsFolded = false;
        QStringView folded(const Town &town) const { return QStringView(townText).sliced(town.start, town.length); }
    };
    // An address split where its city ends.
    struct Place {
        std::vector<const City *> cities; // several where a city name is not unique
        QString rest;                     // after the city, folded, without 大字/字
        QString afterStreet;              // in Kyoto: after the street directions
    };
    void clear();
    // The fields after a row's code, as the table holds them.
    QByteArrayView lineAt(const Row &row) const;
    Area areaOf(const Row &row) const;
    void indexCities() const;
    void foldTowns(const City &city) const;
    Place placeOf(QStringView address) const;
    // The rows of the longest towns `rest` begins with (the city's own code
    // when that is the longest), one per code, and the towns' length.
    struct Towns {
        std::vector<uint32_t> rows;
        qsizetype length = -1;
    };
    Towns longestTowns(const Place &place, QStringView rest) const;
    // The longest towns of the address (in Kyoto, after its streets).
    Towns townsOf(const Place &place) const;

    QByteArray bytes_;
    std::vector<Row> rows_;
    std::vector<CityArea> areas_;
    // Made on the first address looked up: the cities with their towns, and
    // the cities by how an address may begin (prefecture + city, or city
    // alone; without a 郡; a ward's former name).
    mutable std::vector<City> cities_;
    mutable QHash<QString, std::vector<const City *>> citiesByStart_;
    mutable qsizetype longestStart_ = 0;
};

// A place name as people write it, folded so that its ways compare equal:
// widths (NFKC), no spaces, ヶ/ケ/ヵ/が/ガ, の/ノ/之, and numbers as kanji
// (北10条西, 北１０条西, 北一〇条西 and 北十条西 are one).
QString foldedPlace(QStringView text);

} // namespace postalcodes
