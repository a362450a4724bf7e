#include "store/entrywriter.h"

#include "store/cp932.h"
#include "store/entryrules.h"
#include "store/linefile.h"
#include "store/mdlDim.h"

#include <QFileInfo>

#include <functional>
#include <vector>

namespace EntryWriter {
namespace {

Result failed(const QString &message) {
    return {false, message};
}

Result notEncodable(const QString &path) {
    return failed(QStringLiteral("「%1」に保存できない文字があります。").arg(QFileInfo(path).fileName()));
}

// Reads the file's lines, lets `change` edit them and writes the result back
// through the safe rewrite.
Result rewrite(const QString &path, const std::function<Result(QList<QByteArray> &)> &change) {
    QByteArray data;
    if (QString error = linefile::readAll(path, data); !error.isEmpty())
        return failed(error);
    QList<QByteArray> lines = linefile::splitLines(data);
    if (Result changed = change(lines); !changed)
        return changed;
    if (QString error = linefile::replaceWith(path, lines); !error.isEmpty())
        return failed(error);
    return {};
}

Result lineMissing(int lineNumber) {
    return failed(QStringLiteral("「VexaTel.txt」の%1行目が見つかりません。\rほかで変更された可能性があります。")
                      .arg(lineNumber));
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
    return rewrite(path, [&](QList<QByteArray> &lines) {
        lines.append(encoded);
        return Result{};
    });
}

Result replaceEntry(int lineNumber, const QString &line) {
    const QString path = mdlDim::entryFilePath();
    const std::optional<QByteArray> encoded = encodeLine(line);
    if (!encoded)
        return notEncodable(path);
    return rewrite(path, [&](QList<QByteArray> &lines) {
        if (lineNumber < 1 || lineNumber > lines.size())
            return lineMissing(lineNumber);
        lines[lineNumber - 1] = *encoded;
        return Result{};
    });
}

Result deleteEntry(int lineNumber) {
    return rewrite(mdlDim::entryFilePath(), [&](QList<QByteArray> &lines) {
        if (lineNumber < 1 || lineNumber > lines.size())
            return lineMissing(lineNumber);
        lines.removeAt(lineNumber - 1);
        return Result{};
    });
}

Result markPrinted(const QList<int> &lineNumbers) {
    int unmarked = 0;
    Result result = rewrite(mdlDim::entryFilePath(), [&](QList<QByteArray> &lines) {
        for (int number : lineNumbers) {
            if (number < 1 || number > lines.size())
                return lineMissing(number);
            if (std::optional<QByteArray> marked = withField(lines.at(number - 1), 10, "T"))
                lines[number - 1] = *marked;
            else
                ++unmarked;
        }
        return Result{};
    });
    result.unmarked = unmarked;
    return result;
}

Result writeCategories(const std::array<QString, 11> &categoryTable) {
    const QString path = mdlDim::categoryFilePath();
    return rewrite(path, [&](QList<QByteArray> &lines) {
        QList<QByteArray> written;
        for (qsizetype slot = 0; slot < 10; ++slot) {
            const QString &text = categoryTable[static_cast<size_t>(slot)];
            // An unchanged line goes back as the bytes it was.
            if (slot < lines.size() && cp932::decode(lines.at(slot)) == text) {
                written.append(lines.at(slot));
                continue;
            }
            const std::optional<QByteArray> encoded = encodeLine(text);
            if (!encoded)
                return notEncodable(path);
            written.append(*encoded);
        }
        lines = written;
        return Result{};
    });
}

} // namespace EntryWriter
