#include "common/testmain.h"
#include "store/mdlDim.h"

#include <QTest>

using mdlDim::GetField;

class TestFields : public QObject {
    Q_OBJECT
private slots:
    void getField_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("delim");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("field");
        QTest::newRow("first") << "A|B|C"
                               << "|" << 1 << "A";
        QTest::newRow("second") << "A|B|C"
                                << "|" << 2 << "B";
        QTest::newRow("third") << "A|B|C"
                               << "|" << 3 << "C";
        QTest::newRow("past the end") << "A|B|C"
                                      << "|" << 4 << "";
        QTest::newRow("far past the end") << "A|B|C"
                                          << "|" << 40 << "";
        QTest::newRow("zero as one") << "A|B|C"
                                     << "|" << 0 << "A";
        QTest::newRow("negative as one") << "A|B|C"
                                         << "|" << -3 << "A";
        QTest::newRow("trailing delimiter adds no field") << "A|B|C|"
                                                          << "|" << 4 << "";
        QTest::newRow("trailing delimiter, last") << "A|B|C|"
                                                  << "|" << 3 << "C";
        QTest::newRow("empty middle") << "A||C"
                                      << "|" << 2 << "";
        QTest::newRow("after empty middle") << "A||C"
                                            << "|" << 3 << "C";
        QTest::newRow("empty text") << ""
                                    << "|" << 1 << "";
        QTest::newRow("empty text, later field") << ""
                                                 << "|" << 3 << "";
        QTest::newRow("category without name") << "8|"
                                               << "|" << 2 << "";
        QTest::newRow("category name") << "2|友人"
                                       << "|" << 2 << "友人";
        QTest::newRow("element line number") << "12|あ|名|||||||1|F"
                                             << "|" << 1 << "12";
        QTest::newRow("element printed flag") << "12|あ|名|||||||1|F"
                                              << "|" << 11 << "F";
        QTest::newRow("element past flag") << "12|あ|名|||||||1|F"
                                           << "|" << 12 << "";
        QTest::newRow("print list item") << "山田" + QString(45, ' ') + "'7'T"
                                         << "'" << 2 << "7";
        QTest::newRow("print list mark") << "山田" + QString(45, ' ') + "'7'T"
                                         << "'" << 3 << "T";
        QTest::newRow("empty delimiter") << "A|B"
                                         << "" << 1 << "";
    }
    void getField() {
        QFETCH(QString, text);
        QFETCH(QString, delim);
        QFETCH(int, n);
        QFETCH(QString, field);
        const QString before = text;
        QCOMPARE(GetField(text, delim, n), field);
        QCOMPARE(text, before);
    }

    void appDirEndsWithOneSeparator_data() {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "/opt/telbora"
                               << "/opt/telbora/";
        QTest::newRow("already separated") << "/opt/telbora/"
                                           << "/opt/telbora/";
        QTest::newRow("root") << "/"
                              << "/";
    }
    void appDirEndsWithOneSeparator() {
        QFETCH(QString, dir);
        QFETCH(QString, expected);
        mdlDim::setDataDirectory(dir);
        QCOMPARE(mdlDim::AppDir(), expected);
        QCOMPARE(mdlDim::entryFilePath(), expected + "VexaTel.txt");
        mdlDim::setDataDirectory({});
    }
};

TELBORA_TEST(TestFields)
#include "tst_fields.moc"
