#include "common/testmain.h"
#include "store/book.h"
#include "store/entryrecord.h"
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
        QCOMPARE(Book(mdlDim::AppDir()).entryPath(), expected + "VexaTel.txt");
        mdlDim::setDataDirectory({});
    }

    // An entry split once gives each field as GetField gives it from the element.
    void entryRecordAgreesWithGetField_data() {
        QTest::addColumn<QString>("element");
        QTest::newRow("whole") << "7|よみ|名|100-0001|東京都|03-1-2|04-1-2|090-1-2|a@b.jp|3|T";
        QTest::newRow("cut after the name") << "7|よみ|名";
        QTest::newRow("a field after the mark") << "7|よみ|名|||||||3|F|memo";
        QTest::newRow("empty fields") << "12||||||||||";
        QTest::newRow("number alone") << "5";
        QTest::newRow("empty") << "";
    }
    void entryRecordAgreesWithGetField() {
        QFETCH(QString, element);
        const EntryRecord entry = EntryRecord::ofElement(element);
        const EntryRecord line = EntryRecord::ofLine(element.mid(element.indexOf(u'|') + 1));
        QCOMPARE(entry.lineNumber(), mdlDim::GetField(element, "|", 1));
        QCOMPARE(lineNumberOfElement(element), entry.lineNumber());
        for (int f = 0; f < EntryFieldCount; ++f) {
            const auto field = static_cast<EntryField>(f);
            const QString expected = element.contains(u'|') ? mdlDim::GetField(element, "|", f + 2) : QString();
            QCOMPARE(entry[field], expected);
            QCOMPARE(fieldOfElement(element, field), expected);
            if (element.contains(u'|')) {
                QCOMPARE(line[field], expected);
                QCOMPARE(fieldOfLine(element.mid(element.indexOf(u'|') + 1), field), expected);
            }
        }
    }
};

TELBORA_TEST(TestFields)
#include "tst_fields.moc"
