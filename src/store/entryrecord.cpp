#include "store/entryrecord.h"

namespace {

// The n-th piece (from 0) of `text` between "|", or nothing.
QStringView piece(QStringView text, int n) {
    qsizetype start = 0;
    for (int skipped = 0; skipped < n; ++skipped) {
        const qsizetype bar = text.indexOf(u'|', start);
        if (bar < 0)
            return {};
        start = bar + 1;
    }
    const qsizetype end = text.indexOf(u'|', start);
    return text.sliced(start, (end < 0 ? text.size() : end) - start);
}

} // namespace

EntryRecord EntryRecord::ofLine(QStringView line) {
    EntryRecord record;
    qsizetype start = 0;
    for (QString &field : record.fields_) {
        if (start > line.size())
            break;
        qsizetype end = line.indexOf(u'|', start);
        if (end < 0)
            end = line.size();
        field = line.sliced(start, end - start).toString();
        start = end + 1;
    }
    return record;
}

EntryRecord EntryRecord::ofElement(QStringView element) {
    const qsizetype bar = element.indexOf(u'|');
    EntryRecord record = ofLine(bar < 0 ? QStringView() : element.sliced(bar + 1));
    record.lineNumber_ = (bar < 0 ? element : element.first(bar)).toString();
    return record;
}

QString fieldOfLine(QStringView line, EntryField field) {
    return piece(line, static_cast<int>(field)).toString();
}

QString fieldOfElement(QStringView element, EntryField field) {
    return piece(element, static_cast<int>(field) + 1).toString();
}

QString lineNumberOfElement(QStringView element) {
    return piece(element, 0).toString();
}
