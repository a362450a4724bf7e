#include "store/loader.h"

#include "store/bookencoding.h"
#include "store/categorytable.h"
#include "store/cp932.h"

#include <QFileInfo>

namespace mdlDim {
QString converterMissing() {
    return QStringLiteral("文字コード（シフトJIS）の変換が使えません。\rデータを読み込めません。");
}

std::optional<QByteArrayView> EntryLine::category() const {
    qsizetype bars[9];
    const int found = cp932::separatorPositions(text, '|', bars, 9);
    if (found < 8)
        return std::nullopt;
    const qsizetype start = bars[7] + 1;
    return text.sliced(start, (found == 9 ? bars[8] : text.size()) - start);
}

QString readEntryFile(const QString &path, ShownEntries &table) {
    table.clear();
    if (!cp932::available())
        return converterMissing();
    if (QString error = describe(linefile::readAll(path, table.buffer())); !error.isEmpty())
        return error;
    if (QString refused = bookencoding::readRefusal(path, table.buffer()); !refused.isEmpty()) {
        table.clear();
        return refused;
    }
    return {};
}

QString readCategories(const QString &path, const mdlDim::CategoryLines &previous, mdlDim::CategoryLines &categories,
                       QList<QByteArray> &lines) {
    if (!cp932::available())
        return converterMissing();
    QByteArray data;
    if (QString error = describe(linefile::readAll(path, data)); !error.isEmpty())
        return error;
    if (QString refused = bookencoding::readRefusal(path, data); !refused.isEmpty())
        return refused;
    lines = linefile::splitLines(data);
    if (lines.size() > static_cast<qsizetype>(previous.size()))
        return QStringLiteral("「%1」が壊れています。\r%2行を超えています。")
            .arg(QFileInfo(path).fileName())
            .arg(previous.size());
    categories = previous;
    for (qsizetype slot = 0; slot < lines.size(); ++slot)
        categories[static_cast<size_t>(slot)] = cp932::decode(lines.at(slot));
    return {};
}

QString loadTables(const QString &entryPath, const QString &categoryPath, const mdlDim::CategoryLines &previous,
                   LoadedTables &out) {
    if (QString error = readEntryFile(entryPath, out.entries); !error.isEmpty())
        return error;
    const char *start = out.entries.buffer().constData();
    forEachEntryLine(out.entries.buffer(), [&](const EntryLine &line) {
        out.entries.lines().push_back({line.text.data() - start, static_cast<int>(line.text.size()), line.number});
    });
    return readCategories(categoryPath, previous, out.categories, out.categoryLines);
}

} // namespace mdlDim
