#include "common/datadir.h"
#include "common/testmain.h"
#include "store/entrywriter.h"
#include "store/mdlDim.h"

#include <QFile>
#include <QTest>
#include <functional>

using Write = std::function<EntryWriter::Result()>;
Q_DECLARE_METATYPE(Write)

namespace {
const QString Line1 = QStringLiteral("あおき|青木|100-0001|東京都千代田区|03-1111-2222||||1|F");
const QString Line2 = QStringLiteral("いとう|伊藤|||||||2|T");
const QString Line4 = QStringLiteral("うえだ|上田|||||||3|F");
const QString Line5 = QStringLiteral("えんどう|遠藤|||||||4|F");
const QString Line6 = QStringLiteral("おの|小野|||||||5|F");

// Entry file with a blank third line and an odd byte in line 6 that must
// survive every rewrite untouched.
QByteArray sampleFile() {
    return DataDir::sjisLines({Line1, Line2, "", Line4, Line5}) + DataDir::sjis(Line6) + "\xff\r\n";
}
} // namespace

class TestWriter : public QObject {
    Q_OBJECT
private slots:
    void replaceChangesOnlyThatLine() {
        DataDir dir;
        dir.writeEntries(sampleFile());
        const QString changed = QStringLiteral("えんどう|遠藤|||||090-1234-5678|||4|F");
        QVERIFY(EntryWriter::replaceEntry(5, changed));
        QCOMPARE(dir.entryBytes(),
                 DataDir::sjisLines({Line1, Line2, "", Line4, changed}) + DataDir::sjis(Line6) + "\xff\r\n");
        QVERIFY(!QFile::exists(dir.entryPath() + "$"));
    }

    void deleteShiftsLaterLines() {
        DataDir dir;
        dir.writeEntries(sampleFile());
        QVERIFY(EntryWriter::deleteEntry(2));
        QCOMPARE(dir.entryBytes(), DataDir::sjisLines({Line1, "", Line4, Line5}) + DataDir::sjis(Line6) + "\xff\r\n");
        QVERIFY(mdlDim::LoadData());
        QCOMPARE(mdlDim::EntryTable.at(1), "3|" + Line4);
    }

    void deleteOnlyEntryLeavesEmptyFile() {
        DataDir dir({Line1});
        QVERIFY(EntryWriter::deleteEntry(1));
        QCOMPARE(dir.entryBytes(), QByteArray());
    }

    void append_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        const QByteArray added = DataDir::sjis(Line4) + "\r\n";
        QTest::newRow("after CR LF") << DataDir::sjisLines({Line1}) << DataDir::sjisLines({Line1}) + added;
        QTest::newRow("after a last line without CR LF") << DataDir::sjis(Line1) << DataDir::sjisLines({Line1}) + added;
        QTest::newRow("to an empty file") << QByteArray() << added;
        QTest::newRow("after blank lines") << QByteArray("\r\n\r\n") << QByteArray("\r\n\r\n") + added;
    }
    void append() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        DataDir dir;
        dir.writeEntries(before);
        QVERIFY(EntryWriter::appendEntry(Line4));
        QCOMPARE(dir.entryBytes(), after);
    }

    void appendedEntryFollowsLastLine() {
        DataDir dir;
        dir.writeEntries(DataDir::sjisLines({Line1, "", Line2}));
        QVERIFY(EntryWriter::appendEntry(Line4));
        QVERIFY(mdlDim::LoadData());
        QCOMPARE(mdlDim::EntryTable.last(), "4|" + Line4);
    }

    void markPrinted() {
        DataDir dir;
        dir.writeEntries(sampleFile());
        // Line 1 and line 5 were printed; line 2 was already printed; line 4 was not printed.
        const QStringList printed = {"5|" + QString(Line5).replace("|F", "|T"),
                                     "1|" + QString(Line1).replace("|F", "|T"), "2|" + Line2, "4|" + Line4};
        QVERIFY(EntryWriter::markPrinted(printed));
        QCOMPARE(dir.entryBytes(), DataDir::sjisLines({QString(Line1).replace("|F", "|T"), Line2, "", Line4,
                                                       QString(Line5).replace("|F", "|T")}) +
                                       DataDir::sjis(Line6) + "\xff\r\n");
    }

    void markPrintedKeepsOddBytesAndShortLines_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("marked");
        QTest::newRow("invalid byte in the name") << QByteArray("a|\xff|||||||1|F") << QByteArray("a|\xff|||||||1|T");
        QTest::newRow("ends with po (trail byte 0x7C)")
            << DataDir::sjis("ぽ|ポ|||||||1|F") << DataDir::sjis("ぽ|ポ|||||||1|T");
        QTest::newRow("fewer than ten fields") << QByteArray("a|b") << QByteArray("a|b||||||||T");
        QTest::newRow("empty flag field") << QByteArray("a|b||||||||") << QByteArray("a|b||||||||T");
    }
    void markPrintedKeepsOddBytesAndShortLines() {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, marked);
        DataDir dir;
        dir.writeEntries(line + "\r\n");
        QVERIFY(EntryWriter::markPrinted({"1|whatever|T"}));
        QCOMPARE(dir.entryBytes(), marked + "\r\n");
    }

    void writeCategories() {
        DataDir dir;
        std::array<QString, 11> table;
        const QStringList installed = DataDir::installedCategories();
        for (int s = 0; s < 10; ++s)
            table[s] = installed.at(s);
        table[6] = QStringLiteral("7|歯医者");
        table[10] = QStringLiteral("11|not written");
        QVERIFY(EntryWriter::writeCategories(table));
        QStringList expected = installed;
        expected[6] = QStringLiteral("7|歯医者");
        QCOMPARE(dir.categoryBytes(), DataDir::sjisLines(expected));
    }

    void categoryLinesCopiedAsBytes() {
        DataDir dir;
        QByteArray file = DataDir::sjisLines(DataDir::installedCategories());
        file.replace("2|", "2|\xff");
        dir.writeCategories(file);
        QVERIFY(mdlDim::LoadData());
        std::array<QString, 11> table = mdlDim::CategoryTable;
        table[5] = QStringLiteral("6|趣味");
        QVERIFY(EntryWriter::writeCategories(table));
        QVERIFY(dir.categoryBytes().contains("2|\xff"));
        QVERIFY(dir.categoryBytes().contains(DataDir::sjis("6|趣味\r\n")));
    }

    void failureLeavesFileUntouched_data() {
        QTest::addColumn<Write>("write");
        QTest::addColumn<bool>("categoryFile");
        QTest::newRow("append") << Write([] { return EntryWriter::appendEntry(Line4); }) << false;
        QTest::newRow("replace") << Write([] { return EntryWriter::replaceEntry(1, Line4); }) << false;
        QTest::newRow("delete") << Write([] { return EntryWriter::deleteEntry(1); }) << false;
        QTest::newRow("mark printed") << Write([] { return EntryWriter::markPrinted({"1|x|T"}); }) << false;
        QTest::newRow("categories") << Write([] {
            std::array<QString, 11> table;
            table[5] = "6|趣味";
            return EntryWriter::writeCategories(table);
        }) << true;
    }
    void failureLeavesFileUntouched() {
        QFETCH(Write, write);
        QFETCH(bool, categoryFile);
        DataDir dir;
        dir.writeEntries(sampleFile());
        const QByteArray entries = dir.entryBytes();
        const QByteArray categories = dir.categoryBytes();
        {
            ReadOnlyDir readOnly(dir.path());
            const EntryWriter::Result result = write();
            QVERIFY(!result.ok);
            QVERIFY2(result.message.contains(categoryFile ? "VexaType.txt" : "VexaTel.txt"),
                     qPrintable(result.message));
        }
        QCOMPARE(dir.entryBytes(), entries);
        QCOMPARE(dir.categoryBytes(), categories);
        QVERIFY(!QFile::exists(dir.entryPath() + "$"));
        QVERIFY(!QFile::exists(dir.categoryPath() + "$"));
    }

    void missingEntryFileIsNotCreated() {
        DataDir dir;
        QVERIFY(QFile::remove(dir.entryPath()));
        QVERIFY(!EntryWriter::appendEntry(Line1).ok);
        QVERIFY(!EntryWriter::replaceEntry(1, Line1).ok);
        QVERIFY(!QFile::exists(dir.entryPath()));
    }

    void lineThatIsGoneIsReported() {
        DataDir dir({Line1, Line2});
        const QByteArray before = dir.entryBytes();
        QVERIFY(!EntryWriter::replaceEntry(3, Line4).ok);
        QVERIFY(!EntryWriter::deleteEntry(7).ok);
        QCOMPARE(dir.entryBytes(), before);
    }

    void textOutsideCodePageIsRefused() {
        DataDir dir({Line1});
        const QByteArray before = dir.entryBytes();
        const EntryWriter::Result result = EntryWriter::replaceEntry(1, QStringLiteral("よしだ|𠮷田|||||||1|F"));
        QVERIFY(!result.ok);
        QVERIFY(!result.message.isEmpty());
        QCOMPARE(dir.entryBytes(), before);
    }
};

TELBORA_TEST(TestWriter)
#include "tst_writer.moc"
