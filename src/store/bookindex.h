#pragma once

#include "store/failure.h"
#include "store/search.h"
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
    using Line = mdlDim::ShownEntries::Line;

    // Reads the entry file at `path` and makes the index anew when its bytes
    // are not the ones it was made of. Empty on success, else why not; the
    // index is then empty. Nobody else should hold bytes() meanwhile, so that
    // the file is read into that very memory.
    Failure refresh(const QString &path);
    const QByteArray &bytes() const { return bytes_; }
    // Whether the bytes are code page 932, as bookencoding tells, found in the
    // walk that made the index.
    bool isCp932() const { return cp932_; }
    int size() const { return static_cast<int>(entries_.size()); }

    // The entries of `category` (0: all) whose reading begins in kana row
    // `row` (0: all), in exactly the order of the list's exchange sort.
    const std::vector<Line> &selection(int category, int row);
    // The entries `query` matches, in the order of the whole list. A query
    // typed further than the last looks only through the last one's finds.
    const std::vector<Line> &search(const search::Query &query);
    // Makes the search's folded text now, when it is not made, so that the
    // first key typed into the find box finds it ready.
    void prepareSearch();

    QStringView reading(int i) const {
        const Entry &e = entries_[static_cast<size_t>(i)];
        return QStringView(readings_.data() + e.readingStart, e.readingLength);
    }

private:
    struct Entry {
        Line line; // as the table of shown entries keeps it
        int readingStart;
        int readingLength;
        size_t readingBytesHash; // of the reading field's bytes as read
    };

    // Empties everything made from the bytes; the memory stays for the next.
    void clearMade();
    void forget();
    void build();
    // When the file changed but no entry's reading or category did, nor their
    // number (a store that keeps both, a printed mark, another program's
    // edit of a number), the orders stand: only where each line lies is
    // found again. False, with nothing changed, otherwise.
    bool followSameOrder();
    int categoryOf(int i);
    // Entry indices in the order of the list of category `category` and row `row`.
    const std::vector<int> &order(int category, int row);

    QByteArray bytes_;
    bool built_ = false;
    bool cp932_ = true;
    std::vector<Entry> entries_;
    std::vector<char16_t> readings_;
    std::vector<signed char> categories_; // -1 until asked
    std::map<std::pair<int, int>, std::vector<int>> orders_;
    std::map<std::pair<int, int>, std::vector<Line>> selections_;
    std::vector<Line> found_;
    search::Index searchText_;
    bool searchTextMade_ = false;
    std::optional<search::Query> lastQuery_;
    std::vector<int> lastHits_; // in entry order
};
