#include "store/entrywriter.h"

#include "store/cp932.h"
#include "store/linefile.h"
#include "store/mdlDim.h"

#include <QFileInfo>
#include <QSet>

#include <functional>

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

// The line with its printed flag set to "T", changed only in its last bytes so
// that the rest of the line, whatever its bytes, stays as it was.
QByteArray withPrintedFlag(const QByteArray &line) {
    const QString text = cp932::decode(line);
    if (text.endsWith(QLatin1String("|F")) || text.endsWith(QLatin1String("|T"))) {
        // The decoded "|F" is two single bytes at the end of the raw line.
        QByteArray marked = line;
        marked[marked.size() - 1] = 'T';
        return marked;
    }
    const qsizetype separators = text.count(QLatin1Char('|'));
    if (separators < 9)
        return line + QByteArray(9 - separators, '|') + 'T';
    if (separators == 9 && text.endsWith(QLatin1Char('|')))
        return line + 'T';
    return line; // a hand-edited tail that cannot be marked without losing text
}

} // namespace

Result appendEntry(const QString &line) {
    const QString path = mdlDim::entryFilePath();
    const std::optional<QByteArray> encoded = cp932::encode(line);
    if (!encoded)
        return notEncodable(path);
    // Rewritten rather than opened for appending, so that a full disk can never
    // leave half a line at the end of the file.
    return rewrite(path, [&](QList<QByteArray> &lines) {
        lines.append(*encoded);
        return Result{};
    });
}

Result replaceEntry(int lineNumber, const QString &line) {
    const QString path = mdlDim::entryFilePath();
    const std::optional<QByteArray> encoded = cp932::encode(line);
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

Result markPrinted(const QStringList &printTable) {
    QSet<int> printedLines;
    for (const QString &element : printTable) {
        if (element.endsWith(QLatin1String("|T")))
            printedLines.insert(mdlDim::GetField(element, QStringLiteral("|"), 1).toInt());
    }
    return rewrite(mdlDim::entryFilePath(), [&](QList<QByteArray> &lines) {
        for (int number : std::as_const(printedLines)) {
            if (number < 1 || number > lines.size())
                return lineMissing(number);
            lines[number - 1] = withPrintedFlag(lines[number - 1]);
        }
        return Result{};
    });
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
            const std::optional<QByteArray> encoded = cp932::encode(text);
            if (!encoded)
                return notEncodable(path);
            written.append(*encoded);
        }
        lines = written;
        return Result{};
    });
}

} // namespace EntryWriter
