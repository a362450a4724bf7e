#include "store/mdlDim.h"

#include "store/loader.h"

#include <QCoreApplication>

namespace mdlDim {
namespace {
QString appDirOverride;
}

QString GetField(const QString &text, const QString &delim, int n) {
    if (delim.isEmpty())
        return {};
    // Works on the text in place; the end of the text acts as the delimiter
    // that closes the last field.
    const QStringView s(text);
    qsizetype start = 0;
    for (int round = 1; round < n; ++round) {
        const qsizetype found = s.indexOf(delim, start);
        if (found < 0) {
            start = s.size();
            break;
        }
        start = found + delim.size();
    }
    const qsizetype end = s.indexOf(delim, start);
    return (end >= 0 ? s.mid(start, end - start) : s.mid(start)).toString();
}

QString SetField(const QString &text, int n, const QString &value) {
    QStringList fields = text.split(QLatin1Char('|'));
    while (fields.size() < n)
        fields.append(QString());
    fields[n - 1] = value;
    return fields.join(QLatin1Char('|'));
}

QString AppDir() {
    QString dir = appDirOverride.isEmpty() ? QCoreApplication::applicationDirPath() : appDirOverride;
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

void setDataDirectory(const QString &dir) {
    appDirOverride = dir;
}

bool LoadData(QString *error) {
    LoadedTables tables;
    const QString failure = loadTables(entryFilePath(), categoryFilePath(), CategoryTable, tables);
    if (failure.isEmpty()) {
        EntryTable = std::move(tables.entries);
        EntryCount = static_cast<int>(EntryTable.size());
        PrintTable.clear();
        CategoryTable = tables.categories;
        CategoryFileLines = std::move(tables.categoryLines);
        return true;
    }
    if (error)
        *error = failure;
    return false;
}

} // namespace mdlDim
