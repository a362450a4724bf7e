#include "common/datadir.h"
#include "common/testmain.h"
#include "store/linefile.h"
#include "store/loader.h"
#include "store/mdlDim.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace mdlDim;

class TestLoadData : public QObject {
    Q_OBJECT

    static LoadedTables load(const DataDir &dir, QString *error = nullptr) {
        LoadedTables tables;
        const QString message = describe(loadTables(dir.entryPath(), dir.categoryPath(), {}, tables));
        if (error)
            *error = message;
        else if (!message.isEmpty())
            qWarning("unexpected load failure: %s", qPrintable(message));
        return tables;
    }

private slots:
    void entryLines_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("elements");
        QTest::newRow("blank third line")
            << DataDir::sjisLines({"あ|一|||||||1|F", "い|二|||||||2|F", "", "う|四|||||||3|F"})
            << QStringList{"1|あ|一|||||||1|F", "2|い|二|||||||2|F", "4|う|四|||||||3|F"};
        QTest::newRow("empty file") << QByteArray() << QStringList{};
        QTest::newRow("spaces are an entry") << QByteArray("  \r\n") << QStringList{"1|  "};
        QTest::newRow("few fields") << QByteArray("a|b\r\n") << QStringList{"1|a|b"};
        QTest::newRow("last line without line end") << QByteArray("a|F\r\nb|F") << QStringList{"1|a|F", "2|b|F"};
        QTest::newRow("bare LF ends a line") << QByteArray("a\nb\r\n") << QStringList{"1|a", "2|b"};
        QTest::newRow("lone CR ends a line") << QByteArray("a\rb\r\n") << QStringList{"1|a", "2|b"};
        QTest::newRow("blank lines only") << QByteArray("\r\n\r\n") << QStringList{};
        QTest::newRow("invalid byte shows as replacement")
            << QByteArray("a\xff|F\r\n") << QStringList{QStringLiteral("1|a\uFFFD|F")};
    }
    void entryLines() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, elements);
        DataDir dir;
        dir.writeEntries(file);
        QCOMPARE(load(dir).entries.toList(), elements);
    }

    void categoryLines_data() {
        QTest::addColumn<int>("lines");
        QTest::addColumn<bool>("loads");
        QTest::newRow("ten") << 10 << true;
        QTest::newRow("eleven") << 11 << true;
        QTest::newRow("twelve") << 12 << false;
    }
    void categoryLines() {
        QFETCH(int, lines);
        QFETCH(bool, loads);
        DataDir dir;
        QStringList categories;
        for (int k = 1; k <= lines; ++k)
            categories << QString::number(k) + "|名" + QString::number(k);
        dir.writeCategories(DataDir::sjisLines(categories));
        QString error;
        const LoadedTables tables = load(dir, &error);
        QCOMPARE(error.isEmpty(), loads);
        if (loads) {
            QCOMPARE(tables.categories[0], QStringLiteral("1|名1"));
            QCOMPARE(tables.categories[9], QStringLiteral("10|名10"));
            QCOMPARE(tables.categories[10], lines == 11 ? QStringLiteral("11|名11") : QString());
        } else {
            QVERIFY2(error.contains("VexaType.txt"), qPrintable(error));
        }
    }

    void installedCategoryNames() {
        DataDir dir;
        const LoadedTables tables = load(dir);
        QCOMPARE(GetField(tables.categories[0], "|", 2), QStringLiteral("親戚"));
        QCOMPARE(GetField(tables.categories[4], "|", 2), QStringLiteral("病院"));
        QCOMPARE(GetField(tables.categories[7], "|", 2), QString());
    }

    void categorySlotBeyondFileKeepsItsValue() {
        DataDir dir;
        mdlDim::CategoryLines previous;
        previous[10] = "11|古い";
        LoadedTables tables;
        QVERIFY(!loadTables(dir.entryPath(), dir.categoryPath(), previous, tables).failed());
        QCOMPARE(tables.categories[10], QStringLiteral("11|古い"));
    }

    void missingFileFails_data() {
        QTest::addColumn<QString>("missing");
        QTest::newRow("entry file") << "VexaTel.txt";
        QTest::newRow("category file") << "VexaType.txt";
    }
    void missingFileFails() {
        QFETCH(QString, missing);
        DataDir dir;
        QVERIFY(QFile::remove(dir.path() + missing));
        QString error;
        load(dir, &error);
        QVERIFY2(error.contains(missing), qPrintable(error));
    }

    void hundredThousandEntries() {
        DataDir dir;
        QByteArray file;
        for (int i = 0; i < 100000; ++i)
            file += DataDir::sjis(QStringLiteral("やまだ|山田%1|||||||2|F").arg(i)) + "\r\n";
        dir.writeEntries(file);
        Book book(dir.path());
        QVERIFY(book.load());
        QCOMPARE(book.entryCount(), 100000);
        QCOMPARE(book.entries().last(), QStringLiteral("100000|やまだ|山田99999|||||||2|F"));
        QVERIFY(book.printTable().isEmpty());
    }

    void loadFillsTheBooksTables() {
        DataDir dir({"あ|一|||||||1|F", "", "い|二|||||||2|T"});
        Book book(dir.path());
        book.printTable() = {"leftover"};
        QVERIFY(book.load());
        QCOMPARE(book.entryCount(), 2);
        QCOMPARE(book.entries().toList(), (QStringList{"1|あ|一|||||||1|F", "3|い|二|||||||2|T"}));
        QVERIFY(book.printTable().isEmpty());
        QCOMPARE(book.categories()[1], QStringLiteral("2|友人"));
    }

    // Only a regular file of sensible size is read: anything else fails with a message.
    void notARegularFile_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("FIFO") << "fifo";
        QTest::newRow("link to /dev/zero") << "zero";
        QTest::newRow("folder") << "folder";
        QTest::newRow("larger than 256 MB") << "large";
    }
    void notARegularFile() {
        QFETCH(QString, kind);
        DataDir dir;
        const QByteArray path = QFile::encodeName(dir.entryPath());
        QVERIFY(QFile::remove(dir.entryPath()));
        if (kind == "fifo")
            QCOMPARE(::mkfifo(path, 0600), 0);
        if (kind == "zero")
            QCOMPARE(::symlink("/dev/zero", path), 0);
        if (kind == "folder")
            QVERIFY(QDir().mkdir(dir.entryPath()));
        if (kind == "large") {
            const int fd = ::open(path, O_WRONLY | O_CREAT, 0600);
            QVERIFY(fd >= 0);
            QCOMPARE(::ftruncate(fd, linefile::MaxFileSize + 1), 0); // sparse: takes no disk
            ::close(fd);
        }
        QString error;
        load(dir, &error);
        QVERIFY2(error.contains("VexaTel.txt"), qPrintable(error));
    }

    // A read that compares with the last one: whatever changed, `data` ends
    // as the file is, and `changed` says whether it differs.
    void readIfChanged_data() {
        QTest::addColumn<QByteArray>("last");
        QTest::addColumn<QByteArray>("now");
        const QByteArray big = QByteArray(200000, 'a');
        QByteArray bigChanged = big;
        bigChanged[150000] = 'b';
        QTest::newRow("the same") << big << big;
        QTest::newRow("changed after the first pieces") << big << bigChanged;
        QTest::newRow("changed at the start") << big << QByteArray("b") + big.mid(1);
        QTest::newRow("grown") << big << big + "tail";
        QTest::newRow("cut short") << big << big.left(70000);
        QTest::newRow("from empty") << QByteArray() << QByteArray("x\r\n");
        QTest::newRow("to empty") << QByteArray("x\r\n") << QByteArray();
    }
    void readIfChanged() {
        QFETCH(QByteArray, last);
        QFETCH(QByteArray, now);
        DataDir dir;
        dir.writeEntries(now);
        QByteArray data = last;
        bool changed = false;
        QCOMPARE(describe(linefile::readIfChanged(dir.entryPath(), data, changed)), QString());
        QCOMPARE(changed, last != now);
        QVERIFY(data == now);
    }
};

TELBORA_TEST(TestLoadData)
#include "tst_loaddata.moc"
