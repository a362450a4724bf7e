// Random bytes as the two data files, through the loader, the field splitter,
// the selection and ordering, and one of the writers; checks what must hold
// whatever the files contain.
#include "common/exchangesort.h"
#include "fuzzcheck.h"
#include "store/book.h"
#include "store/bookencoding.h"
#include "store/cp932.h"
#include "store/entrywriter.h"
#include "store/linefile.h"
#include "store/mdlDim.h"
#include "store/ordering.h"
#include "store/selection.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>

namespace {

// The book in the data folder, one object for the run as the programs keep one.
Book &theBook() {
    static Book book(mdlDim::AppDir());
    return book;
}

const QString &dataDir() {
    static QTemporaryDir dir;
    static const QString path = [] {
        mdlDim::setDataDirectory(dir.path());
        return dir.path() + QLatin1Char('/');
    }();
    return path;
}

QByteArray readFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every line a writer writes ends in CR LF, and nothing else ends a line.
void checkWrittenLines(const QByteArray &file, const QList<QByteArray> &lines) {
    QByteArray joined;
    for (const QByteArray &line : lines)
        joined += line + "\r\n";
    check(file == joined, "a rewritten file is its lines, each ended by CR LF");
}

// Field 10 of a line as the loader reads it.
QString flagField(const QByteArray &line) {
    return mdlDim::GetField(cp932::decode(line), QStringLiteral("|"), 10);
}

void checkLoader(const QList<QByteArray> &lines) {
    int nonEmpty = 0;
    for (const QByteArray &line : lines)
        nonEmpty += line.isEmpty() ? 0 : 1;
    check(theBook().entryCount() == nonEmpty, "one element per non-empty line");
    for (const QString &element : std::as_const(theBook().entries())) {
        const int number = mdlDim::GetField(element, QStringLiteral("|"), 1).toInt();
        check(number >= 1 && number <= lines.size(), "an element names a line of the file");
        const QStringView text = QStringView(element).mid(element.indexOf(QLatin1Char('|')) + 1);
        check(text == cp932::decode(lines.at(number - 1)), "an element holds its line as read");
        for (int n = -1; n <= 12; ++n)
            mdlDim::GetField(element, QStringLiteral("|"), n);
    }
    const QStringList all = theBook().entries().toList();
    for (int category = 0; category <= 10; category += 5)
        for (int row = 0; row <= 10; row += 3)
            check(referenceSelect(all, category, row).size() <= all.size(), "a selection is part of the table");
    if (all.size() <= 64) {
        QList<QString> readings;
        for (const QString &element : all)
            readings.append(selection::readingOf(element));
        check(fastOrder(readings) == literalExchangeSort(readings), "the order is the exchange sort's");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzedDataProvider input(data, size);
    const int writer = input.ConsumeIntegralInRange(0, 4);
    const int k = input.ConsumeIntegralInRange(0, 40);
    const QByteArray categories = QByteArray::fromStdString(input.ConsumeRandomLengthString(600));
    const QByteArray entries = QByteArray::fromStdString(input.ConsumeRemainingBytesAsString());

    const QString dir = dataDir();
    const QString entryPath = dir + QStringLiteral("VexaTel.txt");
    const QString categoryPath = dir + QStringLiteral("VexaType.txt");
    writeFile(entryPath, entries);
    writeFile(categoryPath, categories);
    const QList<QByteArray> lines = linefile::splitLines(entries);
    const QList<QByteArray> categoryLines = linefile::splitLines(categories);

    const auto isCp932 = [](const QByteArray &bytes) {
        return bookencoding::check(bytes).kind == bookencoding::Kind::Cp932;
    };
    const bool entriesCp932 = isCp932(entries);
    const bool categoriesCp932 = isCp932(categories);
    theBook().setCategories({}, {});
    const bool loaded = theBook().load();
    check(loaded == (categoryLines.size() <= 11 && entriesCp932 && categoriesCp932),
          "loads unless the category file is too long or a file is not code page 932");
    if (loaded) {
        checkLoader(lines);
        // The selection from disk keeps what select() keeps from the whole table.
        const QStringList all = theBook().entries().toList();
        const int category = k % 11, row = k % 12;
        check(selection::loadSelection(theBook(), category, row, nullptr), "the selection from disk loads");
        check(theBook().entries().toList() == referenceSelect(all, category, row),
              "the selection from disk is select()'s");
    }

    const QString newLine = QStringLiteral("ふ|名|||||||1|F");
    const QByteArray newBytes = *cp932::encode(newLine);
    // A writer acts only on a line that still holds the bytes it was loaded with; a blank line is no entry.
    const bool inRange = k >= 1 && k <= lines.size() && !lines.at(k - 1).isEmpty();
    const mdlDim::LoadedLine loadedLine{k, lines.value(k - 1)};
    EntryWriter::Result result;
    switch (writer) {
    case 0:
        result = theBook().replaceEntry(loadedLine, newLine);
        break;
    case 1:
        result = theBook().deleteEntry(loadedLine);
        break;
    case 2:
        result = theBook().markPrinted({loadedLine});
        break;
    case 3:
        result = theBook().appendEntry(newLine);
        break;
    default: {
        const int slot = 5 + k % 5;
        const QList<QByteArray> before = loaded ? theBook().categoryFileLines() : categoryLines;
        result = theBook().writeCategory(before, slot, QString::number(slot + 1) + QStringLiteral("|新しい分類"));
        const QByteArray after = readFile(categoryPath);
        check(result.ok == categoriesCp932, "the category file is written when it is code page 932");
        if (!result.ok) {
            check(after == categories, "a file in another encoding is untouched");
        } else {
            const QList<QByteArray> written = linefile::splitLines(after);
            check(written.size() == qMax<qsizetype>(categoryLines.size(), slot + 1), "lines are added up to the slot");
            checkWrittenLines(after, written);
            for (qsizetype line = 0; line < categoryLines.size(); ++line)
                if (line != slot)
                    check(written.at(line) == categoryLines.at(line), "other categories are copied as bytes");
        }
        check(readFile(entryPath) == entries, "the entry file is untouched");
        return 0;
    }
    }
    check(!QFile::exists(entryPath + QLatin1Char('$')), "no copy is left behind");
    const QByteArray after = readFile(entryPath);
    check(readFile(categoryPath) == categories, "the category file is untouched");
    if (!entriesCp932) {
        check(!result.ok && after == entries, "no writer touches a file in another encoding");
        return 0;
    }
    if (writer != 3 && !inRange) {
        // Marking counts a line it cannot find; the others refuse. Neither writes.
        check(writer == 2 ? result.ok && result.vanished == 1 : !result.ok, "a line that is not there is reported");
        check(after == entries, "nothing is written for a line that is not there");
        return 0;
    }
    check(result.ok, "the write succeeds");
    if (writer == 2 && result.unmarked == 1) {
        check(after == entries, "a line that cannot be marked is left as it was, the file not rewritten");
        return 0;
    }
    const QList<QByteArray> written = linefile::splitLines(after);
    checkWrittenLines(after, written);
    QList<QByteArray> expected = lines;
    if (writer == 0)
        expected[k - 1] = newBytes;
    else if (writer == 1)
        expected.removeAt(k - 1);
    else if (writer == 3)
        expected.append(newBytes);
    if (writer == 2) {
        check(written.size() == lines.size(), "marking keeps the line count");
        for (qsizetype i = 0; i < lines.size(); ++i)
            if (i != k - 1)
                check(written.at(i) == lines.at(i), "marking touches its line only");
        check(flagField(written.at(k - 1)) == "T", "a marked line has field 10 \"T\"");
    } else {
        check(written == expected, "untouched lines are copied byte for byte");
    }
    return 0;
}
