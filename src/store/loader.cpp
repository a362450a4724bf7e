#include "store/loader.h"

#include "store/bookencoding.h"
#include "store/categorytable.h"
#include "store/cp932.h"

namespace mdlDim {
std::optional<QByteArrayView> EntryLine::category() const {
    qsizetype bars[9];
    const int found = cp932::separatorPositions(text, '|', bars, 9);
    if (found < 8)
        return std::nullopt;
    const qsizetype start = bars[7] + 1;
    return text.sliced(start, (found == 9 ? bars[8] : text.size()) - start);
}

Failure readEntryFile(const QString &path, ShownEntries &table) {
    table.clear();
    if (!cp932::available())
        return {Failure::Kind::NoCodec, path};
    if (Failure failure = linefile::readAll(path, table.buffer()); failure.failed())
        return failure;
    if (Failure refused = bookencoding::readRefusal(path, table.buffer()); refused.failed()) {
        table.clear();
        return refused;
    }
    return {};
}

Failure readCategories(const QString &path, const mdlDim::CategoryLines &previous, mdlDim::CategoryLines &categories,
                       QList<QByteArray> &lines) {
    if (!cp932::available())
        return {Failure::Kind::NoCodec, path};
    QByteArray data;
    if (Failure failure = linefile::readAll(path, data); failure.failed())
        return failure;
    if (Failure refused = bookencoding::readRefusal(path, data); refused.failed())
        return refused;
    lines = linefile::splitLines(data);
    if (lines.size() > static_cast<qsizetype>(previous.size())) {
        Failure tooLong{Failure::Kind::TooManyLines, path};
        tooLong.line = static_cast<int>(previous.size());
        return tooLong;
    }
    categories = previous;
    for (qsizetype slot = 0; slot < lines.size(); ++slot)
        categories[static_cast<size_t>(slot)] = cp932::decode(lines.at(slot));
    return {};
}

Failure loadTables(const QString &entryPath, const QString &categoryPath, const mdlDim::CategoryLines &previous,
                   LoadedTables &out) {
    if (Failure failure = readEntryFile(entryPath, out.entries); failure.failed())
        return failure;
    const char *start = out.entries.buffer().constData();
    forEachEntryLine(out.entries.buffer(), [&](const EntryLine &line) {
        out.entries.lines().push_back({line.text.data() - start, static_cast<int>(line.text.size()), line.number});
    });
    return readCategories(categoryPath, previous, out.categories, out.categoryLines);
}

} // namespace mdlDim
