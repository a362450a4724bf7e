// Random entry lines and a typed query through the find box's search: what
// the book's folded copy finds must be what matching each line finds, and a
// query typed further must find the same among the last finds as in the
// whole book.
#include "fuzzcheck.h"
#include "store/cp932.h"
#include "store/linefile.h"
#include "store/search.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QList>

#include <cstdio>
#include <cstdlib>

namespace {

// What a scan of every line finds.
std::vector<int> scanned(const search::Query &query, const QList<QByteArray> &lines) {
    std::vector<int> found;
    for (int i = 0; i < lines.size(); ++i)
        if (query.matches(lines.at(i)))
            found.push_back(i);
    return found;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzedDataProvider input(data, size);
    // The query as typed (UTF-8 here, any characters), then what is typed after it.
    const QString typed = QString::fromUtf8(QByteArray::fromStdString(input.ConsumeRandomLengthString(24)));
    const QString more = QString::fromUtf8(QByteArray::fromStdString(input.ConsumeRandomLengthString(8)));
    const QList<QByteArray> lines =
        linefile::splitLines(QByteArray::fromStdString(input.ConsumeRemainingBytesAsString()));

    search::Index index;
    for (const QByteArray &line : lines)
        index.add(line);
    check(index.size() == lines.size(), "an entry for each line");

    const search::Query first(typed);
    std::vector<int> hits;
    index.find(first, nullptr, hits);
    check(hits == scanned(first, lines), "the folded copy finds what a scan finds");

    const search::Query further(typed + more);
    std::vector<int> narrowed;
    if (further.narrows(first)) {
        index.find(further, &hits, narrowed);
        check(narrowed == scanned(further, lines),
              "a query typed further finds among the last finds what a scan finds");
    }
    return 0;
}
