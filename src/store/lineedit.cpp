#include "store/lineedit.h"

#include "store/linefile.h"

LineEdit::LineEdit(const QByteArray &data) : data_(data) {
    const char *bytes = data_.constData();
    const qsizetype size = data_.size();
    linefile::forEachLine(data_, true, [&](qsizetype start, qsizetype length) {
        qsizetype end = start + length;
        if (end < size && bytes[end] == '\r')
            ++end;
        if (end < size && bytes[end] == '\n')
            ++end;
        lines_.push_back({static_cast<int>(start), static_cast<int>(length), static_cast<int>(end)});
    });
}

QByteArrayView LineEdit::at(qsizetype i) const {
    const Line &line = lines_[static_cast<size_t>(i)];
    if (line.replacement >= 0)
        return replacements_[static_cast<size_t>(line.replacement)];
    return QByteArrayView(data_.constData() + line.offset, line.length);
}

void LineEdit::replace(qsizetype i, const QByteArray &bytes) {
    Line &line = lines_[static_cast<size_t>(i)];
    line.replacement = static_cast<int>(replacements_.size());
    replacements_.push_back(bytes);
}

void LineEdit::removeAt(qsizetype i) {
    lines_.erase(lines_.begin() + i);
}

void LineEdit::append(const QByteArray &bytes) {
    lines_.push_back({0, static_cast<int>(bytes.size()), -1, static_cast<int>(replacements_.size())});
    replacements_.push_back(bytes);
}

QList<QByteArray> LineEdit::toList() const {
    QList<QByteArray> lines;
    for (qsizetype i = 0; i < size(); ++i)
        lines.append(at(i).toByteArray());
    return lines;
}

std::vector<QByteArrayView> LineEdit::content() const {
    std::vector<QByteArrayView> out;
    // Unchanged lines that lie one after the other and end in CR LF go as one run.
    qsizetype runStart = -1;
    qsizetype runEnd = -1;
    const char *bytes = data_.constData();
    const auto flush = [&] {
        if (runStart >= 0)
            out.emplace_back(bytes + runStart, runEnd - runStart);
        runStart = -1;
    };
    for (const Line &line : lines_) {
        const qsizetype lineEnd = line.offset + line.length;
        const bool asRead = line.replacement < 0 && line.end == lineEnd + 2 && bytes[lineEnd] == '\r';
        if (asRead) {
            if (runStart < 0 || runEnd != line.offset) {
                flush();
                runStart = line.offset;
            }
            runEnd = line.end;
            continue;
        }
        flush();
        out.push_back(line.replacement >= 0 ? QByteArrayView(replacements_[static_cast<size_t>(line.replacement)])
                                            : QByteArrayView(bytes + line.offset, line.length));
        out.emplace_back("\r\n", 2);
    }
    flush();
    return out;
}
