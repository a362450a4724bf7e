#include "store/loader.h"

#include "store/cp932.h"
#include "store/linefile.h"

#include <QFileInfo>

namespace mdlDim {

QString loadTables(const QString &entryPath, const QString &categoryPath, const std::array<QString, 11> &previous,
                   LoadedTables &out) {
    if (!cp932::available())
        return QStringLiteral("文字コード（シフトJIS）の変換が使えません。\rデータを読み込めません。");
    QByteArray data;
    if (QString error = linefile::readAll(entryPath, data); !error.isEmpty())
        return error;
    // Decoded as a whole: LF and CR are never part of a two-byte character, so
    // the lines are the same as when each line is decoded on its own.
    const QString text = cp932::decode(data);
    out.entries.clear();
    int lineNumber = 0;
    linefile::forEachLine(text, [&](qsizetype start, qsizetype length) {
        ++lineNumber;
        if (length > 0)
            out.entries.append(QString::number(lineNumber) + QLatin1Char('|') +
                               QStringView(text).mid(start, length).toString());
    });

    if (QString error = linefile::readAll(categoryPath, data); !error.isEmpty())
        return error;
    const QList<QByteArray> categoryLines = linefile::splitLines(data);
    if (categoryLines.size() > static_cast<qsizetype>(previous.size()))
        return QStringLiteral("「%1」が壊れています。\r%2行を超えています。")
            .arg(QFileInfo(categoryPath).fileName())
            .arg(previous.size());
    out.categories = previous;
    for (qsizetype slot = 0; slot < categoryLines.size(); ++slot)
        out.categories[static_cast<size_t>(slot)] = cp932::decode(categoryLines.at(slot));
    return {};
}

} // namespace mdlDim
