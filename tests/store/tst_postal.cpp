#include "common/testmain.h"
#include "store/postalcodes.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QTest>

// Japan Post's codes as the build's table holds them (TELBORA_POSTAL_TABLE).
class TestPostal : public QObject {
    Q_OBJECT

    postalcodes::Table table;

    static QStringList codesOf(const QList<postalcodes::Area> &areas) {
        QStringList codes;
        for (const postalcodes::Area &a : areas)
            codes.append(a.code);
        return codes;
    }

private slots:
    void initTestCase() { QVERIFY(!table.load(QStringLiteral(TELBORA_POSTAL_TABLE)).failed()); }

    // Every code line of the table is found, with its prefecture, city and town.
    void everyCodeFound() {
        QFile file(QStringLiteral(TELBORA_POSTAL_TABLE));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QString prefecture, city;
        int lines = 0;
        for (const QByteArray &bytes : file.readAll().split('\n')) {
            const QStringList f = QString::fromUtf8(bytes).split(u'\t');
            if (bytes.startsWith('@')) {
                prefecture = f.at(0).mid(1);
                city = f.at(1);
                continue;
            }
            if (bytes.isEmpty() || bytes.startsWith('#'))
                continue;
            ++lines;
            const QList<postalcodes::Area> found = table.lookUp(f.at(0));
            const bool present = std::any_of(found.begin(), found.end(), [&](const postalcodes::Area &a) {
                return a.code == f.at(0) && a.prefecture == prefecture && a.city == city && a.town == f.at(1) &&
                       a.street == f.at(2) && a.office == f.at(3);
            });
            QVERIFY2(present, bytes.constData());
        }
        QCOMPARE(table.size(), lines);
        QVERIFY(lines > 140000); // all areas and the large offices
    }

    void lookUp_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QStringList>("addresses");
        QTest::newRow("a town") << "1000001" << QStringList{"東京都千代田区千代田"};
        QTest::newRow("the city's own") << "1000000" << QStringList{"東京都千代田区"};
        QTest::newRow("a large office") << "0608510" << QStringList{"北海道札幌市中央区大通西１０丁目札幌第２合同庁舎"};
        QTest::newRow("unknown") << "0000001" << QStringList{};
        QTest::newRow("six digits") << "100000" << QStringList{};
        QTest::newRow("eight digits") << "10000011" << QStringList{};
        QTest::newRow("not digits") << "100-001" << QStringList{};
    }
    void lookUp() {
        QFETCH(QString, code);
        QFETCH(QStringList, addresses);
        QStringList found;
        for (const postalcodes::Area &a : table.lookUp(code))
            found.append(a.address());
        QCOMPARE(found, addresses);
    }

    // Loaded again after an address was looked up, or over a damaged table: nothing of before is left.
    void loadAgain() {
        postalcodes::Table again;
        QVERIFY(!again.load(QStringLiteral(TELBORA_POSTAL_TABLE)).failed());
        QCOMPARE(again.forAddress(QStringLiteral("千代田区千代田")).size(), 1);
        QVERIFY(!again.load(QStringLiteral(TELBORA_POSTAL_TABLE)).failed());
        QCOMPARE(again.forAddress(QStringLiteral("千代田区千代田")).size(), 1);
        QTemporaryFile damaged;
        QVERIFY(damaged.open());
        damaged.write("@東京都\t千代田区\n1000001\t千代田\t\t\n10000x2\n");
        damaged.close();
        QCOMPARE(again.load(damaged.fileName()).kind, Failure::Kind::PostalTableDamaged);
        QCOMPARE(again.size(), 0);
        QVERIFY(again.lookUp(QStringLiteral("1000001")).isEmpty());
        QVERIFY(again.forAddress(QStringLiteral("千代田区千代田")).isEmpty());
    }

    // A table cut short, emptied or broken is refused, naming the file; one
    // turned to CR LF reads as it was made.
    void damagedTables_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("refused");
        QTest::newRow("as made") << "" << false;
        QTest::newRow("CR LF") << "crlf" << false;
        QTest::newRow("cut short") << "cut" << true;
        QTest::newRow("empty") << "empty" << true;
        QTest::newRow("broken UTF-8") << "utf8" << true;
        QTest::newRow("a line lost") << "lost" << true;
    }
    void damagedTables() {
        QFETCH(QString, change);
        QFETCH(bool, refused);
        QFile made(QStringLiteral(TELBORA_POSTAL_TABLE));
        QVERIFY(made.open(QIODevice::ReadOnly));
        QByteArray bytes = made.readAll();
        if (change == "crlf")
            bytes.replace("\n", "\r\n");
        else if (change == "cut")
            bytes.truncate(bytes.size() / 2);
        else if (change == "empty")
            bytes.clear();
        else if (change == "utf8")
            bytes.replace("千代田", "\xe5\x8d\x83\xff\xe7\x94\xb0");
        else if (change == "lost")
            bytes.remove(bytes.indexOf("1000001\t"),
                         bytes.indexOf('\n', bytes.indexOf("1000001\t")) + 1 - bytes.indexOf("1000001\t"));
        QTemporaryFile file;
        QVERIFY(file.open());
        file.write(bytes);
        file.close();
        postalcodes::Table loaded;
        const Failure error = loaded.load(file.fileName());
        QCOMPARE(error.failed(), refused);
        if (refused) {
            QCOMPARE(error.kind, Failure::Kind::PostalTableDamaged);
            QVERIFY2(describe(error).contains(QFileInfo(file).fileName()), qPrintable(describe(error)));
            QVERIFY(loaded.lookUp(QStringLiteral("1000001")).isEmpty());
        } else {
            QCOMPARE(loaded.size(), table.size());
            QCOMPARE(loaded.lookUp(QStringLiteral("1000001")).first().address(),
                     QStringLiteral("東京都千代田区千代田"));
        }
    }

    void severalTownsOneCode() {
        const QList<postalcodes::Area> areas = table.lookUp(QStringLiteral("9870403"));
        QVERIFY(areas.size() > 2);
        for (const postalcodes::Area &a : areas)
            QCOMPARE(a.code, QStringLiteral("9870403"));
    }

    // From an address: unique, ambiguous, with a typo, without its prefecture.
    void forAddress_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QStringList>("codes");
        QTest::newRow("town and number") << "東京都千代田区千代田１－１" << QStringList{"1000001"};
        QTest::newRow("spaces between") << "東京都 千代田区　千代田" << QStringList{"1000001"};
        QTest::newRow("no prefecture") << "千代田区千代田" << QStringList{"1000001"};
        // The city's catch-all code (xxx-0000) is another town's: none is given.
        QTest::newRow("a typo in the town: none") << "東京都千代田区千代由１" << QStringList{};
        QTest::newRow("北10条西 for 北十条西") << "北海道札幌市北区北10条西4丁目" << QStringList{"0010010", "0600810"};
        QTest::newRow("霞ヶ関 for 霞が関") << "東京都千代田区霞ヶ関1-2-3" << QStringList{"1000013"};
        QTest::newRow("霞ヵ関 for 霞が関") << "東京都千代田区霞ヵ関1-2-3" << QStringList{"1000013"};
        QTest::newRow("坂ノ下 for 坂之下") << "秋田県由利本荘市矢島町坂ノ下" << QStringList{"0150416"};
        QTest::newRow("中之沢 for 中ノ沢") << "北海道札幌市南区中之沢" << QStringList{"0050831"};
        QTest::newRow("Kyoto: the town after the streets")
            << "京都市中京区寺町通御池上る上本能寺前町488" << QStringList{"6040925"};
        QTest::newRow("大字, no 郡") << "岩手県矢巾町大字南矢幅第13地割" << QStringList{"0283615"};
        QTest::newRow("a long run of digits") << "東京都千代田区千代田12345678901234" << QStringList{"1000001"};
        QTest::newRow("a renamed ward") << "静岡県浜松市中区元城町100" << QStringList{"4300946"};
        QTest::newRow("the city alone: its own") << "東京都千代田区" << QStringList{"1000000"};
        QTest::newRow("one town, two codes") << "北海道札幌市中央区大通西３丁目" << QStringList{"0600042", "0640820"};
        QTest::newRow("one town, codes by 丁目") << "北海道札幌市北区北十条西" << QStringList{"0010010", "0600810"};
        QTest::newRow("the longest town wins") << "東京都千代田区大手町ＪＡビル２階" << QStringList{"1006802"};
        QTest::newRow("a shorter one when no longer fits") << "東京都千代田区大手町１－１" << QStringList{"1000004"};
        QTest::newRow("no city") << "どこか遠く" << QStringList{};
    }
    void forAddress() {
        QFETCH(QString, address);
        QFETCH(QStringList, codes);
        QStringList found = codesOf(table.forAddress(address));
        found.sort();
        QCOMPARE(found, codes);
    }
};

TELBORA_TEST(TestPostal)
#include "tst_postal.moc"
