#include "floor.h"

#include "store/cp932.h"
#include "store/linefile.h"
#include "store/ordering.h"

#include <QFile>

#include <cstring>
#include <vector>

int floorSelection(const QString &entryPath) {
    static QByteArray buffer;
    static std::vector<ordering::ReadingKey> keys;
    static std::vector<char16_t> readings;
    static std::vector<qsizetype> starts;
    if (!describe(linefile::readAll(entryPath, buffer)).isEmpty())
        return -1;
    keys.clear();
    starts.clear();
    readings.resize(static_cast<size_t>(buffer.size()));
    qsizetype filled = 0;
    const char *data = buffer.constData();
    const char *end = data + buffer.size();
    for (const char *line = data; line < end;) {
        const char *lf = static_cast<const char *>(std::memchr(line, '\n', static_cast<size_t>(end - line)));
        const char *lineEnd = lf ? lf : end;
        qsizetype taken = 0;
        const qsizetype units =
            cp932::decodeField(QByteArrayView(line, lineEnd - line), '|', readings.data() + filled, &taken);
        keys.push_back(
            ordering::readingKey(QStringView(readings.data() + filled, units), static_cast<int>(keys.size())));
        starts.push_back(filled);
        filled += units;
        line = lineEnd + 1;
    }
    starts.push_back(filled);
    // The radix sort and the order of equal readings, as the list's order needs them.
    const QList<int> order = ordering::exchangeSortOrder(keys, [&](int i) {
        return QStringView(readings.data() + starts[static_cast<size_t>(i)],
                           starts[static_cast<size_t>(i) + 1] - starts[static_cast<size_t>(i)]);
    });
    return static_cast<int>(order.size());
}

bool floorUnchanged(const QString &entryPath) {
    static QByteArray last;
    bool changed = false;
    describe(linefile::readIfChanged(entryPath, last, changed));
    return !changed;
}

void floorRewrite(const QString &entryPath) {
    static QByteArray bytes;
    if (describe(linefile::readAll(entryPath, bytes)).isEmpty())
        describe(linefile::replaceWithContent(entryPath, bytes));
}
