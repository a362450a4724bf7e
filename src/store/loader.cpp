#include "store/loader.h"

#include "store/cp932.h"
#include "store/linefile.h"

#include <QFileInfo>

#include <vector>

namespace mdlDim {
namespace {

QString converterMissing() {
    return QStringLiteral("文字コード（シフトJIS）の変換が使えません。\rデータを読み込めません。");
}

} // namespace

std::optional<QByteArrayView> EntryLine::category() const {
    qsizetype bars[9];
    const int found = cp932::separatorPositions(text, '|', bars, 9);
    if (found < 8)
        return std::nullopt;
    const qsizetype start = bars[7] + 1;
    return text.sliced(start, (found == 9 ? bars[8] : text.size()) - start);
}

QString EntryLine::element() const {
    // Decoded into a buffer first, so the element is allocated at its exact
    // size: a two-byte character is one unit, and a table of 100,000 elements
    // would otherwise carry that slack in every one.
    thread_local std::vector<char16_t> buffer;
    const QString prefix = QString::number(number);
    buffer.resize(static_cast<size_t>(prefix.size() + 1 + text.size()));
    std::copy(prefix.utf16(), prefix.utf16() + prefix.size(), buffer.data());
    buffer[static_cast<size_t>(prefix.size())] = u'|';
    const qsizetype decoded = cp932::decodeInto(text, buffer.data() + prefix.size() + 1);
    return QString(reinterpret_cast<const QChar *>(buffer.data()), prefix.size() + 1 + decoded);
}

QString forEachEntryLine(const QString &path, const std::function<void(const EntryLine &)> &visit) {
    if (!cp932::available())
        return converterMissing();
    return linefile::forEachLineOf(path, [&](int number, QByteArrayView text) { visit(EntryLine{number, text}); });
}

QString readCategories(const QString &path, const std::array<QString, 11> &previous,
                       std::array<QString, 11> &categories) {
    if (!cp932::available())
        return converterMissing();
    QByteArray data;
    if (QString error = linefile::readAll(path, data); !error.isEmpty())
        return error;
    const QList<QByteArray> lines = linefile::splitLines(data);
    if (lines.size() > static_cast<qsizetype>(previous.size()))
        return QStringLiteral("「%1」が壊れています。\r%2行を超えています。")
            .arg(QFileInfo(path).fileName())
            .arg(previous.size());
    categories = previous;
    for (qsizetype slot = 0; slot < lines.size(); ++slot)
        categories[static_cast<size_t>(slot)] = cp932::decode(lines.at(slot));
    return {};
}

QString loadTables(const QString &entryPath, const QString &categoryPath, const std::array<QString, 11> &previous,
                   LoadedTables &out) {
    out.entries.clear();
    out.bytes.clear();
    if (QString error = forEachEntryLine(entryPath,
                                         [&](const EntryLine &line) {
                                             out.entries.append(line.element());
                                             out.bytes.append(line.text.toByteArray());
                                         });
        !error.isEmpty())
        return error;
    return readCategories(categoryPath, previous, out.categories);
}

} // namespace mdlDim
