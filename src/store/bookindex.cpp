#include "store/bookindex.h"

#include "store/bookencoding.h"
#include "store/cp932.h"
#include "store/kanarow.h"
#include "store/linefile.h"
#include "store/loader.h"
#include "store/ordering.h"

namespace {

// The category number 1 to 10 a line's category field holds, or 0, as
// selection::categoryOf() reads the decoded field.
int categoryOfField(std::optional<QByteArrayView> field) {
    if (!field)
        return 0;
    const QByteArrayView c = *field;
    const auto digit = [](char ch) { return ch >= '0' && ch <= '9'; };
    if (c.size() == 1 && digit(c[0]))
        return c[0] == '0' ? 0 : c[0] - '0';
    if (c.size() == 2 && c[0] == '1' && c[1] == '0')
        return 10;
    // Anything else is rare: read as categoryOf() reads it.
    bool isNumber = false;
    const int category = cp932::decode(c).toInt(&isNumber);
    return isNumber && category >= 1 && category <= 10 ? category : 0;
}

// The tally tells most files; a line that reads as both code page 932 and
// UTF-8 leaves it to the whole file's check.
bool wholeFileIsCp932(const bookencoding::Tally &tally, const QByteArray &bytes) {
    return tally.isCp932() || bookencoding::check(bytes).kind == bookencoding::Kind::Cp932;
}

} // namespace

Failure BookIndex::refresh(const QString &path) {
    bool changed = false;
    if (Failure failure = linefile::readIfChanged(path, bytes_, changed); failure.failed()) {
        forget();
        return failure;
    }
    if (changed && built_ && followSameOrder())
        return {};
    if (changed || !built_)
        build();
    return {};
}

void BookIndex::clearMade() {
    built_ = false;
    entries_.clear();
    readings_.clear();
    orders_.clear();
    selections_.clear();
    searchTextMade_ = false;
    lastQuery_.reset();
    lastHits_.clear();
}

void BookIndex::forget() {
    clearMade();
    searchText_.clear();
    bytes_.clear();
}

void BookIndex::build() {
    clearMade();
    built_ = true;
    // Room reserved generously and never grown: pages never written take no memory.
    entries_.reserve(static_cast<size_t>(bytes_.size()) / 16 + 16);
    readings_.reserve(static_cast<size_t>(bytes_.size()));
    // Each reading decoded once, in one walk with finding its end, into one buffer.
    thread_local std::vector<char16_t> decoded;
    const char *start = bytes_.constData();
    bookencoding::Tally encoding(bytes_);
    mdlDim::forEachEntryLine(bytes_, [&](const mdlDim::EntryLine &line) {
        encoding.add(line.text);
        if (decoded.size() < static_cast<size_t>(line.text.size()))
            decoded.resize(static_cast<size_t>(line.text.size()));
        qsizetype taken = 0;
        const qsizetype units = cp932::decodeField(line.text, '|', decoded.data(), &taken);
        entries_.push_back({{line.text.data() - start, static_cast<int>(line.text.size()), line.number},
                            static_cast<int>(readings_.size()),
                            static_cast<int>(units),
                            qHash(line.text.first(taken))});
        readings_.insert(readings_.end(), decoded.data(), decoded.data() + units);
    });
    categories_.assign(entries_.size(), -1);
    cp932_ = wholeFileIsCp932(encoding, bytes_);
}

bool BookIndex::followSameOrder() {
    thread_local std::vector<Line> lines;
    lines.clear();
    const char *start = bytes_.constData();
    bookencoding::Tally encoding(bytes_);
    bool same = true;
    mdlDim::forEachEntryLine(bytes_, [&](const mdlDim::EntryLine &line) {
        const size_t i = lines.size();
        if (!same || i >= entries_.size()) {
            same = false;
            return;
        }
        encoding.add(line.text);
        qsizetype separator = 0;
        const qsizetype readingBytes =
            cp932::separatorPositions(line.text, '|', &separator, 1) == 1 ? separator : line.text.size();
        const Entry &before = entries_[i];
        same = qHash(line.text.first(readingBytes)) == before.readingBytesHash &&
               (categories_[i] < 0 || categoryOfField(line.category()) == categories_[i]);
        lines.push_back({line.text.data() - start, static_cast<int>(line.text.size()), line.number});
    });
    if (!same || lines.size() != entries_.size())
        return false;
    for (size_t i = 0; i < lines.size(); ++i)
        entries_[i].line = lines[i];
    // The lines the selections hold moved; the orders made of them stand.
    selections_.clear();
    searchTextMade_ = false;
    lastQuery_.reset();
    lastHits_.clear();
    cp932_ = wholeFileIsCp932(encoding, bytes_);
    return true;
}

int BookIndex::categoryOf(int i) {
    signed char &category = categories_[static_cast<size_t>(i)];
    if (category < 0) {
        const Entry &e = entries_[static_cast<size_t>(i)];
        category = static_cast<signed char>(categoryOfField(
            mdlDim::EntryLine{e.line.number, QByteArrayView(bytes_.constData() + e.line.offset, e.line.length)}
                .category()));
    }
    return category;
}

const std::vector<BookIndex::Line> &BookIndex::selection(int category, int row) {
    const auto made = selections_.find({category, row});
    if (made != selections_.end())
        return made->second;
    // Kept as the table's lines, so that a click on an unchanged book copies them as they are.
    std::vector<Line> &lines = selections_[{category, row}];
    for (int i : order(category, row))
        lines.push_back(entries_[static_cast<size_t>(i)].line);
    return lines;
}

const std::vector<int> &BookIndex::order(int category, int row) {
    const auto made = orders_.find({category, row});
    if (made != orders_.end())
        return made->second;
    thread_local std::vector<ordering::ReadingKey> keys;
    std::vector<int> kept;
    keys.clear();
    for (int i = 0; i < size(); ++i) {
        if (category != 0 && categoryOf(i) != category)
            continue;
        const QStringView r = reading(i);
        if (row != 0 && !kanarow::matches(r, row))
            continue;
        keys.push_back(ordering::readingKey(r, static_cast<int>(kept.size())));
        kept.push_back(i);
    }
    const QList<int> order =
        ordering::exchangeSortOrder(keys, [&](int k) { return reading(kept[static_cast<size_t>(k)]); });
    std::vector<int> &ordered = orders_[{category, row}];
    ordered.reserve(static_cast<size_t>(order.size()));
    for (int k : order)
        ordered.push_back(kept[static_cast<size_t>(k)]);
    return ordered;
}

void BookIndex::prepareSearch() {
    if (searchTextMade_)
        return;
    searchText_.clear();
    searchText_.reserve(size(), bytes_.size());
    for (const Entry &e : entries_)
        searchText_.add(QByteArrayView(bytes_.constData() + e.line.offset, e.line.length));
    searchTextMade_ = true;
}

const std::vector<BookIndex::Line> &BookIndex::search(const search::Query &query) {
    prepareSearch();
    std::vector<int> hits;
    searchText_.find(query, lastQuery_ && query.narrows(*lastQuery_) ? &lastHits_ : nullptr, hits);
    lastQuery_ = query;
    lastHits_ = hits;
    // In the whole list's order: marked, then picked up along it.
    std::vector<char> found(entries_.size(), 0);
    for (int e : hits)
        found[static_cast<size_t>(e)] = 1;
    found_.clear();
    for (int e : order(0, 0))
        if (found[static_cast<size_t>(e)])
            found_.push_back(entries_[static_cast<size_t>(e)].line);
    return found_;
}
