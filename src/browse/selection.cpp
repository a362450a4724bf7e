#include "browse/selection.h"

#include "browse/kanarow.h"
#include "browse/ordering.h"
#include "browse/search.h"
#include "store/cp932.h"
#include "store/loader.h"
#include "store/mdlDim.h"

namespace selection {

int categoryOf(const QString &element) {
    bool isNumber = false;
    const int category = mdlDim::GetField(element, QStringLiteral("|"), 10).toInt(&isNumber);
    return isNumber && category >= 1 && category <= 10 ? category : 0;
}

QString readingOf(const QString &element) {
    return mdlDim::GetField(element, QStringLiteral("|"), 2);
}

QStringList select(const QStringList &elements, int category, int row) {
    QStringList kept;
    QList<QString> readings;
    for (const QString &element : elements) {
        if (category != 0 && categoryOf(element) != category)
            continue;
        QString reading = readingOf(element);
        if (row != 0 && !kanarow::matches(reading, row))
            continue;
        kept.append(element);
        readings.append(std::move(reading));
    }
    QStringList ordered;
    ordered.reserve(kept.size());
    for (int index : ordering::exchangeSortOrder(readings))
        ordered.append(kept.at(index));
    return ordered;
}

namespace {

// As categoryOf() on the element: 1 to 10, or 0.
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

// What a selection works with, kept from click to click so that its memory
// is not given back and taken again each time.
struct Workspace {
    std::vector<ordering::ReadingKey> keys;
    std::vector<mdlDim::ShownEntries::Line> kept;
    std::vector<char16_t> reading;
};

} // namespace

namespace {

// A selection from disk: EntryTable becomes the lines for which keepLine(line)
// and then keepReading(its decoded reading) say yes, in the order of their readings.
template <typename KeepLine, typename KeepReading>
bool loadKept(KeepLine keepLine, KeepReading keepReading, QString *error) {
    static Workspace work;
    mdlDim::ShownEntries &table = mdlDim::EntryTable;
    mdlDim::EntryCount = 0;
    mdlDim::PrintTable.clear();
    // The entry file first: when both files are missing, it is the one named.
    QString failure = mdlDim::readEntryFile(mdlDim::entryFilePath(), table);
    std::array<QString, mdlDim::CategorySlots> categories;
    QList<QByteArray> categoryLines;
    if (failure.isEmpty())
        failure = mdlDim::readCategories(mdlDim::categoryFilePath(), mdlDim::CategoryTable, categories, categoryLines);
    if (!failure.isEmpty()) {
        table.clear();
        if (error)
            *error = failure;
        return false;
    }

    // Each kept line's place in the buffer and its reading's sort key: only
    // the readings are decoded, and no line becomes a string.
    work.keys.clear();
    work.kept.clear();
    const char *start = table.buffer().constData();
    mdlDim::forEachEntryLine(table.buffer(), [&](const mdlDim::EntryLine &line) {
        if (!keepLine(line))
            return;
        const QByteArrayView bytes = line.reading();
        if (work.reading.size() < static_cast<size_t>(bytes.size()))
            work.reading.resize(static_cast<size_t>(bytes.size()));
        const QStringView reading(work.reading.data(), cp932::decodeInto(bytes, work.reading.data()));
        if (!keepReading(reading))
            return;
        work.keys.push_back(ordering::readingKey(reading, static_cast<int>(work.kept.size())));
        work.kept.push_back({line.text.data() - start, static_cast<int>(line.text.size()), line.number});
    });

    const QList<int> order = ordering::exchangeSortOrder(work.keys, [&](int i) {
        const mdlDim::ShownEntries::Line &line = work.kept[static_cast<size_t>(i)];
        return cp932::decode(mdlDim::EntryLine{line.number, QByteArrayView(start + line.offset, line.length)}.reading());
    });
    std::vector<mdlDim::ShownEntries::Line> &shown = table.lines();
    shown.reserve(work.kept.size());
    for (int index : order)
        shown.push_back(work.kept[static_cast<size_t>(index)]);
    mdlDim::EntryCount = static_cast<int>(shown.size());
    mdlDim::CategoryTable = categories;
    mdlDim::CategoryFileLines = std::move(categoryLines);
    return true;
}

} // namespace

bool loadSelection(int category, int row, QString *error) {
    return loadKept(
        [&](const mdlDim::EntryLine &line) {
            return category == 0 || categoryOfField(line.category()) == category;
        },
        [&](QStringView reading) { return row == 0 || kanarow::matches(reading, row); }, error);
}

bool loadSearch(const search::Query &query, QString *error) {
    return loadKept([&](const mdlDim::EntryLine &line) { return query.matches(line.text); },
                    [](QStringView) { return true; }, error);
}

} // namespace selection
