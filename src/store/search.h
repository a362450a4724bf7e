#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <vector>

// Finding entries as the user types. A search looks at an entry's reading,
// name, postal code, address, telephone, fax, mobile and e-mail, never at its
// category or printed mark. Hiragana, katakana and half-width katakana match
// each other, full-width and half-width Latin letters and digits match each
// other, Latin letters match in either case. A number (digits, with spaces,
// hyphens or brackets between) is compared by its digits alone with the
// digits of the postal code, telephone, fax and mobile, whatever their hyphens.
namespace search {

// The text as it is compared: hiragana for every kana (half-width voiced
// marks joined to their kana), half-width Latin letters in lower case and
// digits for their full-width forms, one half-width space for either space.
QString fold(QStringView text);

class Query {
public:
    explicit Query(QStringView typed);
    bool isEmpty() const { return folded_.isEmpty(); }
    // Whether the entry line (code page 932 bytes) matches.
    bool matches(QByteArrayView line) const;
    // Whether every entry this query matches is among those `earlier` matched:
    // the same kind of query, typed further.
    bool narrows(const Query &earlier) const;

private:
    QString folded_;
    QString digits_; // set when the query is a number
    // Reused from line to line: a search walks the whole file at each key.
    mutable std::vector<char16_t> decoded_;

    friend class Index;
};

// The searchable text of a whole book, folded once while the entry file stays
// the same: each entry's folded fields, and the digits of its number fields,
// one after the other, each closed by "|" (no query holds one). Kept as
// code page 932 bytes, half the memory of UTF-16: folded text holds no
// katakana, so ゔ ゕ ゖ, which the code page lacks, are kept as ヴ ヵ ヶ.
class Index {
public:
    void clear();
    // Room for `entries` entries of `bytes` bytes in all, reserved so that
    // it is never grown: pages never written take no memory.
    void reserve(int entries, qsizetype bytes);
    // Adds the next entry, from its line (code page 932 bytes).
    void add(QByteArrayView line);
    int size() const { return static_cast<int>(foldedStart_.size()) - 1; }
    // The entries `query` matches, in the order they were added; only those of
    // `within` (in that order) when given.
    void find(const Query &query, const std::vector<int> *within, std::vector<int> &hits) const;

private:
    std::vector<char> folded_{};
    std::vector<char> digits_{};
    std::vector<int> foldedStart_{0};
    std::vector<int> digitsStart_{0};
    std::vector<char16_t> decoded_{};
    std::vector<char16_t> folding_{};
};

} // namespace search
