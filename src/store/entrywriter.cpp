#include "store/entrywriter.h"

#include "store/bookencoding.h"
#include "store/cp932.h"
#include "store/entryrules.h"
#include "store/lineedit.h"
#include "store/linefile.h"
#include "store/mdlDim.h"

#include <QFileInfo>

#include <functional>
#include <vector>

namespace EntryWriter {
namespace {

Result failed(const QString &message) {
    Result result;
    result.ok = false;
    result.message = message;
    return result;
}

Result notEncodable(const QString &path) {
    return failed(QStringLiteral("「%1」に保存できない文字があります。").arg(QFileInfo(path).fileName()));
}

// Reads the file's lines, lets `change` edit them and writes the result back
// through the safe rewrite. A change that sets `untouched` leaves the file as
// it is, not even rewritten.
Result rewrite(const QString &path, const std::function<Result(LineEdit &, bool &untouched)> &change) {
    if (!mdlDim::ReadOnlyReason.isEmpty())
        return failed(readOnlyRefusal());
    // Kept from one write to the next: a book's worth of fresh memory costs a page fault every 4 KiB.
    thread_local QByteArray data;
    if (QString error = linefile::readAll(path, data); !error.isEmpty())
        return failed(error);
    LineEdit lines(data);
    // Code page 932 lines added to a file in another encoding could never be told apart again.
    if (QString refused = bookencoding::writeRefusal(path, lines); !refused.isEmpty())
        return failed(refused);
    bool untouched = false;
    if (Result changed = change(lines, untouched); !changed || untouched)
        return changed;
    if (QString error = linefile::replaceWithPieces(path, lines.content()); !error.isEmpty())
        return failed(error);
    return {};
}

Result changedElsewhere(const QString &message = ChangedElsewhere) {
    Result result = failed(message);
    result.changedElsewhere = true;
    return result;
}

// The index in `lines` of the loaded line: its own place while it still holds
// the loaded bytes, else the one line that does; -1 when none or several do.
qsizetype find(const LineEdit &lines, const mdlDim::LoadedLine &loaded) {
    if (loaded.bytes.isEmpty()) // only non-empty lines are loaded; a blank line is never an entry
        return -1;
    const qsizetype at = loaded.number - 1;
    if (at >= 0 && at < lines.size() && lines.at(at) == loaded.bytes)
        return at;
    qsizetype found = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines.at(i) != loaded.bytes)
            continue;
        if (found >= 0)
            return -1;
        found = i;
    }
    return found;
}

// A line a writer may write: text the code page holds, without line ends or
// other control characters.
std::optional<QByteArray> encodeLine(const QString &line) {
    for (QChar c : line)
        if (entryrules::isControl(c))
            return std::nullopt;
    return cp932::encode(line);
}

} // namespace

std::optional<QByteArray> withField(const QByteArray &line, int n, QByteArrayView value) {
    std::vector<qsizetype> separators(static_cast<size_t>(n));
    bool loneLead = false;
    const int found = cp932::separatorPositions(line, '|', separators.data(), n, &loneLead);
    if (found + 1 < n) {
        if (loneLead)
            return std::nullopt;
        return line + QByteArray(n - 1 - found, '|') + value.toByteArray();
    }
    const qsizetype start = n == 1 ? 0 : separators[static_cast<size_t>(n - 2)] + 1;
    const qsizetype end = found >= n ? separators[static_cast<size_t>(n - 1)] : line.size();
    QByteArray marked = line;
    marked.replace(start, end - start, value.toByteArray());
    return marked;
}

Result appendEntry(const QString &line) {
    return appendEntries({line});
}

Result appendEntries(const QStringList &newLines) {
    const QString path = mdlDim::entryFilePath();
    QList<QByteArray> encoded;
    for (const QString &line : newLines) {
        const std::optional<QByteArray> bytes = encodeLine(line);
        if (!bytes)
            return notEncodable(path);
        encoded.append(*bytes);
    }
    // Rewritten rather than opened for appending, so that a full disk can never
    // leave half a line at the end of the file.
    return rewrite(path, [&](LineEdit &lines, bool &) {
        for (const QByteArray &line : encoded)
            lines.append(line);
        return Result{};
    });
}

Result replaceEntry(const mdlDim::LoadedLine &loaded, const QString &line) {
    const QString path = mdlDim::entryFilePath();
    const std::optional<QByteArray> encoded = encodeLine(line);
    if (!encoded)
        return notEncodable(path);
    mdlDim::LoadedLine written;
    Result result = rewrite(path, [&](LineEdit &lines, bool &) {
        const qsizetype at = find(lines, loaded);
        if (at < 0)
            return changedElsewhere();
        lines.replace(at, *encoded);
        written = {static_cast<int>(at + 1), *encoded};
        return Result{};
    });
    if (result)
        result.written = written;
    return result;
}

Result deleteEntry(const mdlDim::LoadedLine &loaded) {
    return rewrite(mdlDim::entryFilePath(), [&](LineEdit &lines, bool &) {
        const qsizetype at = find(lines, loaded);
        if (at < 0)
            return changedElsewhere();
        lines.removeAt(at);
        return Result{};
    });
}

Result markPrinted(const QList<mdlDim::LoadedLine> &loadedLines) {
    int unmarked = 0;
    int vanished = 0;
    Result result = rewrite(mdlDim::entryFilePath(), [&](LineEdit &lines, bool &untouched) {
        // Found against the file as read, before any line is marked.
        std::vector<qsizetype> found;
        for (const mdlDim::LoadedLine &loaded : loadedLines)
            found.push_back(find(lines, loaded));
        for (qsizetype at : found) {
            if (at < 0)
                ++vanished;
            else if (std::optional<QByteArray> marked = withField(lines.at(at).toByteArray(), 10, "T"))
                lines.replace(at, *marked);
            else
                ++unmarked;
        }
        untouched = vanished + unmarked == static_cast<int>(found.size());
        return Result{};
    });
    result.unmarked = unmarked;
    result.vanished = vanished;
    return result;
}

Result writeCategory(const QList<QByteArray> &loaded, int slot, const QString &line) {
    const QString path = mdlDim::categoryFilePath();
    const std::optional<QByteArray> encoded = encodeLine(line);
    if (!encoded)
        return notEncodable(path);
    QList<QByteArray> now;
    Result result = rewrite(path, [&](LineEdit &lines, bool &untouched) {
        const QList<QByteArray> asFound = lines.toList();
        if (asFound != loaded && asFound.value(slot) != loaded.value(slot))
            return changedElsewhere(changedElsewhereIn(QFileInfo(path).fileName()));
        while (lines.size() <= slot)
            lines.append(*cp932::encode(QString::number(lines.size() + 1) + u'|'));
        untouched = lines.at(slot) == *encoded;
        lines.replace(slot, *encoded);
        now = lines.toList();
        return Result{};
    });
    if (result)
        result.lines = now;
    return result;
}

QString readOnlyRefusal() {
    return QStringLiteral("電話帳を読み取り専用で開いています。書き込めません。\r") + mdlDim::ReadOnlyReason;
}

} // namespace EntryWriter
