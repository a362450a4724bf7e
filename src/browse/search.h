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

private:
    QString folded_;
    QString digits_; // set when the query is a number
    // Reused from line to line: a search walks the whole file at each key.
    mutable std::vector<char16_t> decoded_;
};

} // namespace search
