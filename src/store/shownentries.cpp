#include "store/shownentries.h"

#include "store/cp932.h"

#include <cstdio>
#include <vector>

namespace mdlDim {

QString ShownEntries::at(qsizetype i) const {
    const Line &line = lines_[static_cast<size_t>(i)];
    // Decoded into a buffer first, so the element is allocated at its exact
    // size: a two-byte character is one unit.
    thread_local std::vector<char16_t> units;
    char digits[12];
    const int prefix = std::snprintf(digits, sizeof digits, "%d|", line.number);
    units.resize(static_cast<size_t>(prefix + line.length));
    std::copy(digits, digits + prefix, units.data());
    const qsizetype decoded =
        cp932::decodeInto(QByteArrayView(buffer_.constData() + line.offset, line.length), units.data() + prefix);
    return QString(reinterpret_cast<const QChar *>(units.data()), prefix + decoded);
}

QString ShownEntries::value(qsizetype i) const {
    return i >= 0 && i < size() ? at(i) : QString();
}

QByteArrayView ShownEntries::bytesAt(qsizetype i) const {
    const Line &line = lines_[static_cast<size_t>(i)];
    return QByteArrayView(buffer_.constData() + line.offset, line.length);
}

LoadedLine ShownEntries::loadedLine(qsizetype i) const {
    if (i < 0 || i >= size())
        return {};
    return {numberAt(i), bytesAt(i).toByteArray()};
}

QStringList ShownEntries::toList() const {
    QStringList elements;
    elements.reserve(size());
    for (qsizetype i = 0; i < size(); ++i)
        elements.append(at(i));
    return elements;
}

void ShownEntries::clear() {
    lines_.clear();
    buffer_.resize(0);
}

} // namespace mdlDim
