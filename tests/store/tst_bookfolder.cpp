#include "common/datadir.h"
#include "common/testmain.h"
#include "store/bookfolder.h"
#include "store/mdlDim.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

// Where the book is found, and the new book made in the standard folder.
class TestBookFolder : public QObject {
    Q_OBJECT

    QTemporaryDir home;

private slots:
    void init() {
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
        qunsetenv("TELBORA_DIR");
    }
    void cleanup() {
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("TELBORA_DIR");
        mdlDim::setDataDirectory({});
    }

    void locate_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("environment");
        QTest::addColumn<QStringList>("beside"); // data files beside the program
        QTest::addColumn<QString>("found");      // "XDG" for the standard folder, "beside" for the program's
        QTest::newRow("--dir first") << "/books/a"
                                     << "/books/b" << QStringList{"VexaTel.txt"} << "/books/a";
        QTest::newRow("then TELBORA_DIR") << ""
                                          << "/books/b" << QStringList{"VexaTel.txt"} << "/books/b";
        QTest::newRow("then beside the program, both files")
            << ""
            << "" << QStringList{"VexaTel.txt", "VexaType.txt"} << "beside";
        QTest::newRow("beside the program, entry file alone") << ""
                                                              << "" << QStringList{"VexaTel.txt"} << "beside";
        QTest::newRow("beside the program, category file alone") << ""
                                                                 << "" << QStringList{"VexaType.txt"} << "beside";
        QTest::newRow("else the standard folder") << ""
                                                  << "" << QStringList{} << "XDG";
    }
    void locate() {
        QFETCH(QString, option);
        QFETCH(QString, environment);
        QFETCH(QStringList, beside);
        QFETCH(QString, found);
        if (!environment.isEmpty())
            qputenv("TELBORA_DIR", QFile::encodeName(environment));
        QTemporaryDir program;
        for (const QString &file : beside)
            QVERIFY(QFile(program.filePath(file)).open(QIODevice::WriteOnly));
        const bookfolder::Location location = bookfolder::locate(option, program.path());
        QCOMPARE(location.dir, found == "XDG" ? home.filePath("telbora") : found == "beside" ? program.path() : found);
        QCOMPARE(location.standard, found == "XDG");
    }

    // A given folder that cannot hold the book is named, not its lock file.
    void givenFolderThatIsNone_data() {
        QTest::addColumn<QString>("made"); // "": nothing there; "file": a file
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << ""
                                 << "電話帳のフォルダー「%1」がありません。";
        QTest::newRow("a file") << "file"
                                << "「%1」はフォルダーではありません。電話帳のフォルダーを指定して下さい。";
    }
    void givenFolderThatIsNone() {
        QFETCH(QString, made);
        QFETCH(QString, message);
        const QString given = home.filePath("book");
        if (made == "file") {
            QFile file(given);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QCOMPARE(describe(bookfolder::use(given)), message.arg(given));
        QVERIFY(made == "file" || !QFileInfo::exists(given));
    }

    void firstStartMakesAPrivateBook() {
        QVERIFY(!bookfolder::use({}).failed());
        const QString book = home.filePath("telbora");
        QCOMPARE(QDir(mdlDim::AppDir()).absolutePath(), book);
        QCOMPARE(QFileInfo(book).permissions() & 0x0077, 0);
        QCOMPARE(readFileBytes(book + "/VexaType.txt"), DataDir::sjisLines(DataDir::installedCategories()));
        QCOMPARE(readFileBytes(book + "/VexaTel.txt"), QByteArray());
        QVERIFY(testBook().load());

        // A book that is there is never touched again.
        QFile entries(book + "/VexaTel.txt");
        QVERIFY(entries.open(QIODevice::Append));
        entries.write(DataDir::sjisLines({"あ|一|||||||1|F"}));
        entries.close();
        QVERIFY(QFile::remove(book + "/VexaType.txt"));
        QVERIFY(!bookfolder::use({}).failed());
        QCOMPARE(readFileBytes(book + "/VexaTel.txt"), DataDir::sjisLines({"あ|一|||||||1|F"}));
        QVERIFY(!QFileInfo::exists(book + "/VexaType.txt"));
    }

    // The sample book the README names loads.
    void sampleBookLoads() {
        mdlDim::setDataDirectory(QStringLiteral(TELBORA_SOURCE_DIR "/data/samples"));
        QString error;
        QVERIFY2(testBook().load(&error), qPrintable(error));
        QCOMPARE(testBook().entryCount(), 54);
        QCOMPARE(testBook().categoryName(5), QStringLiteral("趣味"));
    }

    // The category file the program ships is the one a new book gets.
    void installedCategoryFileIsTheDefault() {
        QByteArray lines;
        for (const QByteArray &line : bookfolder::defaultCategoryLines())
            lines += line + "\r\n";
        QCOMPARE(lines, readFileBytes(QStringLiteral(TELBORA_SOURCE_DIR "/data/VexaType.txt")));
    }
};

TELBORA_TEST(TestBookFolder)
#include "tst_bookfolder.moc"
