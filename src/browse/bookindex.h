#pragma once

#include "browse/search.h"
#include "store/shownentries.h"

#include <QByteArray>
#include <QStringView>

#include <map>
#include <optional>
#include <utility>
#include <vector>

// What the selections and searches of the browsing window need of the entry
// file, made once for each content of the file: every click reads the file
// again, and when its bytes are the ones read last time (compared byte for
// byte, never by time stamp), the orders and the folded search text made
// from them are used again.
class BookIndex {
public:
    // Makes the index of `bytes`, unless they are the bytes it was made of.
    // True when it was made anew. `bytes` may be swapped with the memory of
    // an earlier content, for the next read to reuse.
    bool use(QByteArray &bytes);
    const QByteArray &bytes() const { return bytes_; }
    int size() const { return static_cast<int>(entries_.size()); }

    // The entries of `category` (0: all) whose reading begins in kana row
    // `row` (0: all), in exactly the order of the list's exchange sort.
    const std::vector<int> &selection(int category, int row);
    // The entries `query` matches, in the order of the whole list. A query
    // typed further than the last looks only through the last one's finds.
    std::vector<int> search(const search::Query &query);

    // Entry `i` as the table of shown entries keeps it.
    mdlDim::ShownEntries::Line line(int i) const;
    QStringView reading(int i) const;

    // The index every selection shares.
    static BookIndex &shared();

private:
    struct Entry {
        qsizetype offset;
        int length;
        int number;
        int readingStart;
        int readingLength;
    };
    void build();
    int categoryOf(int i);

    QByteArray bytes_;
    bool built_ = false;
    std::vector<Entry> entries_;
    std::vector<char16_t> readings_;
    std::vector<signed char> categories_; // -1 until asked
    std::map<std::pair<int, int>, std::vector<int>> selections_;
    search::Index searchText_;
    bool searchTextMade_ = false;
    std::optional<search::Query> lastQuery_;
    std::vector<int> lastHits_; // in entry order
};
