#include "floor.h"

#include "browse/ordering.h"
#include "store/cp932.h"

#include <QFile>

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

int floorSelection(const QString &entryPath) {
    static QByteArray buffer;
    static std::vector<ordering::ReadingKey> keys;
    static std::vector<char16_t> reading(4096);
    const int fd = ::open(QFile::encodeName(entryPath).constData(), O_RDONLY);
    if (fd < 0)
        return -1;
    const off_t size = ::lseek(fd, 0, SEEK_END);
    buffer.resize(size);
    ssize_t filled = 0;
    while (filled < size) {
        const ssize_t got = ::pread(fd, buffer.data() + filled, static_cast<size_t>(size - filled), filled);
        if (got <= 0)
            break;
        filled += got;
    }
    ::close(fd);

    keys.clear();
    const char *data = buffer.constData();
    const char *end = data + filled;
    for (const char *line = data; line < end;) {
        const char *lf = static_cast<const char *>(std::memchr(line, '\n', static_cast<size_t>(end - line)));
        const char *lineEnd = lf ? lf : end;
        const char *bar = static_cast<const char *>(std::memchr(line, '|', static_cast<size_t>(lineEnd - line)));
        const qsizetype length = (bar ? bar : lineEnd) - line;
        const qsizetype units = cp932::decodeInto(QByteArrayView(line, std::min<qsizetype>(length, 4096)), reading.data());
        keys.push_back(ordering::readingKey(QStringView(reading.data(), units), static_cast<int>(keys.size())));
        line = lineEnd + 1;
    }
    std::sort(keys.begin(), keys.end(), [](const ordering::ReadingKey &a, const ordering::ReadingKey &b) {
        if (a.high != b.high)
            return a.high < b.high;
        if (a.low != b.low)
            return a.low < b.low;
        return a.index < b.index;
    });
    return static_cast<int>(keys.size());
}
