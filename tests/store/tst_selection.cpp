#include "common/datadir.h"
#include "common/exchangesort.h"
#include "common/testmain.h"
#include "store/kanarow.h"
#include "store/mdlDim.h"
#include "store/ordering.h"
#include "store/search.h"
#include "store/selection.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTest>

#include <cstdio>

namespace {
QString element(int line, const QString &reading, int category = 1) {
    return QStringLiteral("%1|%2|名%1|||||||%3|F").arg(line).arg(reading).arg(category);
}

QStringList readingsOf(const QStringList &elements) {
    QStringList readings;
    for (const QString &e : elements)
        readings.append(selection::readingOf(e));
    return readings;
}
} // namespace

class TestSelection : public QObject {
    Q_OBJECT
private slots:
    void equalReadingsAsTheExchangeSortLeavesThem() {
        const QList<QString> readings = {"b", "b", "a"};
        QCOMPARE(fastOrder(readings), (QList<int>{2, 1, 0}));
        QCOMPARE(literalExchangeSort(readings), (QList<int>{2, 1, 0}));
    }

    void sameOrderAsTheLiteralSort_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("alphabet");
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<bool>("alternating"); // the readings in turn, instead of at random
        for (quint32 seed = 1; seed <= 300; ++seed) {
            const int size = 1 + static_cast<int>(seed * 7 % 60);
            const int alphabet = 1 + static_cast<int>(seed % 15);
            QTest::addRow("seed %u, %d entries, %d readings", seed, size, alphabet)
                << size << alphabet << seed << false;
        }
        QTest::newRow("large, many equal") << 1500 << 12 << quint32(4242) << false;
        // Few readings, each repeated through the whole list: large groups of equal readings.
        for (int alphabet : {2, 3, 5})
            QTest::addRow("%d readings in alternation", alphabet) << 1200 << alphabet << quint32(0) << true;
        // More distinct units than the sort's byte-sized ranks hold.
        QTest::newRow("kanji readings") << 2000 << 0 << quint32(77) << false;
        // At the edge of those ranks: exactly 255 and 256 distinct units (alphabet -n).
        for (int units : {255, 256})
            QTest::addRow("%d distinct units", units) << 2 * units << -units << quint32(5) << false;
    }
    void sameOrderAsTheLiteralSort() {
        QFETCH(int, size);
        QFETCH(int, alphabet);
        QFETCH(quint32, seed);
        QFETCH(bool, alternating);
        QRandomGenerator random(seed);
        // Long readings that share their first eight units, and a NUL, reach
        // the comparisons the sort keys cannot decide.
        const QStringList pool = {"a",
                                  "b",
                                  "ab",
                                  "あ",
                                  "ア",
                                  "B",
                                  "aa",
                                  "やまだ",
                                  "ヤマダ",
                                  "やま",
                                  "たかはしまさゆきこ",
                                  "たかはしまさゆきあ",
                                  "たかはしまさゆき",
                                  QStringLiteral("ab") + QChar(0),
                                  "たかはしまさゆきこう"};
        QList<QString> readings;
        for (int i = 0; i < size; ++i) {
            if (alphabet < 0) { // every one of -alphabet units, in a shuffled order, twice
                readings.append(QString(QChar(0x4E00 + (i * 7919 + int(seed)) % -alphabet)));
                continue;
            }
            if (alphabet == 0) {
                QString reading;
                for (int u = 1 + random.bounded(11); u > 0; --u)
                    reading += QChar(0x4E00 + random.bounded(400));
                readings.append(i % 3 && i > 0 ? readings.at(random.bounded(i)) : reading);
                continue;
            }
            readings.append(pool.at(alternating ? i % alphabet : random.bounded(qMin(alphabet, int(pool.size())))));
        }
        QCOMPARE(fastOrder(readings), literalExchangeSort(readings));
    }

    // What a search finds: the searched fields only, kana of every kind alike,
    // widths and case alike, and numbers by their digits.
    void searchMatches_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("found");
        const QString yamada = "やまだたろう|山田　太郎|100-0001|東京都千代田区１丁目|03-1234-5678|0422-12-3456|"
                               "090-1234-5678|Taro.Yamada@example.jp|2|F";
        QTest::newRow("reading, hiragana") << yamada << "やまだ" << true;
        QTest::newRow("reading, katakana") << yamada << "ヤマダ" << true;
        QTest::newRow("reading, half-width katakana") << yamada << "ﾔﾏﾀﾞ" << true;
        QTest::newRow("half-width voiced mark joins its kana") << yamada << "ﾀﾞﾀ" << true;
        QTest::newRow("katakana reading, hiragana typed") << "ヤマダ|山田|||||||1|F"
                                                          << "やまだ" << true;
        QTest::newRow("half-width reading, katakana typed") << "ｶﾞｯｺｳ|学校|||||||1|F"
                                                            << "ガッコウ" << true;
        QTest::newRow("semi-voiced half-width") << "ﾊﾟﾝﾔ|パン屋|||||||3|F"
                                                << "ぱん" << true;
        // The fold reaches past ン: ヴ ヵ ヶ are kana too.
        QTest::newRow("ヴ typed, half-width ｳﾞ stored") << "ｳﾞｨﾗ|ヴィラ|||||||1|F"
                                                        << "ヴィラ" << true;
        QTest::newRow("small ヶ stored, ゖ typed") << "いちがやヶ|市ヶ谷|||||||1|F"
                                                   << "やゖ" << true;
        QTest::newRow("a different voicing is no match") << yamada << "やまた" << false;
        const std::pair<const char *, const char *> voiced[] = {
            {"ﾂﾞｸｴ|机|||||||1|F", "づく"}, {"ﾃﾞﾝｷ|電気|||||||1|F", "でん"}, {"ﾄﾞｳｸﾞ|道具|||||||1|F", "どう"}};
        for (const auto &[line, typed] : voiced)
            QTest::addRow("%s: its voiced kana typed", typed)
                << QString::fromUtf8(line) << QString::fromUtf8(typed) << true;
        // A byte that is the second byte of a two-byte character starts no match ("ー" is 81 5B, "[" is 5B).
        QTest::newRow("a match never starts on a second byte") << "こーひー|珈琲|||||||1|F"
                                                               << "[" << false;
        QTest::newRow("name with either space") << yamada << "山田 太郎" << true;
        QTest::newRow("address, full-width digit typed half-width") << yamada << "区1丁目" << true;
        QTest::newRow("e-mail, other case") << yamada << "taro.yamada" << true;
        QTest::newRow("e-mail, full-width typed") << yamada << "ＴＡＲＯ" << true;
        QTest::newRow("digits only: 0312") << yamada << "0312" << true;
        QTest::newRow("digits with a space: 090 1234") << yamada << "090 1234" << true;
        QTest::newRow("digits of the fax") << yamada << "04221234" << true;
        QTest::newRow("postal code without hyphen") << yamada << "1000001" << true;
        QTest::newRow("full-width digits") << yamada << "０９０１２" << true;
        QTest::newRow("digits across two numbers are no match") << yamada << "56780422" << false;
        QTest::newRow("category is not searched") << "あ|一|||||||7|F"
                                                  << "7" << false;
        QTest::newRow("printed mark is not searched") << yamada << "f" << false;
        QTest::newRow("nothing typed") << yamada << "  " << false;
        QTest::newRow("a bar never matches") << yamada << "|" << false;
        QTest::newRow("short line") << "あ|一"
                                    << "一" << true;
    }
    void searchMatches() {
        QFETCH(QString, line);
        QFETCH(QString, typed);
        QFETCH(bool, found);
        QCOMPARE(search::Query(typed).matches(DataDir::sjis(line)), found);
    }

    void readingOrder_data() {
        QTest::addColumn<QStringList>("readings");
        QTest::addColumn<QStringList>("sorted");
        QTest::newRow("Latin before hiragana before katakana")
            << QStringList{"カトウ", "かとう", "Kato"} << QStringList{"Kato", "かとう", "カトウ"};
        QTest::newRow("capitals before small") << QStringList{"abe", "Abe", "ABE"} << QStringList{"ABE", "Abe", "abe"};
        QTest::newRow("prefix first") << QStringList{"やまだ", "やま", "や"} << QStringList{"や", "やま", "やまだ"};
        QTest::newRow("voiced mark not folded")
            << QStringList{"さとう", "ざとう", "さどう"} << QStringList{"さとう", "さどう", "ざとう"};
    }
    void readingOrder() {
        QFETCH(QStringList, readings);
        QFETCH(QStringList, sorted);
        QStringList elements;
        for (int i = 0; i < readings.size(); ++i)
            elements.append(element(i + 1, readings.at(i)));
        QCOMPARE(readingsOf(referenceSelect(elements, 0, 0)), sorted);
    }

    void rowBoundaries_data() {
        QTest::addColumn<QString>("reading");
        QTest::addColumn<int>("row");
        QTest::newRow("A") << "A" << 1;
        QTest::newRow("[") << "[x" << 1;
        QTest::newRow("`") << "`" << 1;
        QTest::newRow("z") << "z" << 1;
        QTest::newRow("@ before A") << "@" << 0;
        QTest::newRow("{ after z") << "{" << 0;
        const QList<QPair<QString, QString>> rows = {
            {"あお", "ァオ"}, {"かご", "カゴ"}, {"さぞ", "サゾ"}, {"たど", "タド"}, {"なの", "ナノ"},
            {"はぽ", "ハポ"}, {"まも", "マモ"}, {"ゃよ", "ャヨ"}, {"らろ", "ラロ"}, {"ゎん", "ヮン"}};
        for (int r = 0; r < rows.size(); ++r) {
            const QString hira = rows.at(r).first, kata = rows.at(r).second;
            QTest::addRow("row %d first hiragana", r + 2) << hira.left(1) << r + 2;
            QTest::addRow("row %d last hiragana", r + 2) << hira.mid(1) << r + 2;
            QTest::addRow("row %d first katakana", r + 2) << kata.left(1) << r + 2;
            QTest::addRow("row %d last katakana", r + 2) << kata.mid(1) << r + 2;
        }
        QTest::newRow("small a") << "ぁ" << 0;
        QTest::newRow("vu") << "ヴ" << 0;
        QTest::newRow("small ka") << "ヵ" << 0;
        QTest::newRow("small ke") << "ヶ" << 0;
        QTest::newRow("long vowel") << "ー" << 0;
        QTest::newRow("half-width katakana") << "ｱｲ" << 0;
        QTest::newRow("full-width Latin") << "Ａ" << 0;
        QTest::newRow("digit") << "1" << 0;
        QTest::newRow("kanji") << "山田" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("voiced ga") << "がっこう" << 3;
    }
    void rowBoundaries() {
        QFETCH(QString, reading);
        QFETCH(int, row);
        for (int r = 1; r < kanarow::RowCount; ++r)
            QCOMPARE(kanarow::matches(reading, r), r == row);
        QVERIFY(kanarow::matches(reading, 0));
    }

    void categoryAndRowFilters() {
        const QStringList elements = {element(1, "がっこう", 3), element(2, "あべ", 3), element(3, "ヴぃ", 3),
                                      element(4, "山", 1),       element(5, "かい", 1), element(7, "x", 0),
                                      element(8, "y", 11),       element(9, "", 3)};
        QCOMPARE(referenceSelect(elements, 3, 0).size(), 4);
        QCOMPARE(referenceSelect(elements, 3, 3), (QStringList{element(1, "がっこう", 3)}));
        QCOMPARE(referenceSelect(elements, 0, 3).size(), 2);
        QCOMPARE(referenceSelect(elements, 1, 2).size(), 0);
        // Hand-edited categories and empty readings stop nothing and are listed under 全表示.
        QCOMPARE(referenceSelect(elements, 0, 0).size(), elements.size());
        QCOMPARE(referenceSelect(elements, 0, 1).size(), 2);
        for (int row = 1; row < kanarow::RowCount; ++row)
            QVERIFY(!referenceSelect(elements, 0, row).contains(element(9, "", 3)));
    }

    void categoryOfHandEditedLines_data() {
        QTest::addColumn<QString>("element");
        QTest::addColumn<int>("category");
        QTest::newRow("ten") << "1|a|b|||||||10|F" << 10;
        QTest::newRow("leading zero") << "1|a|b|||||||03|F" << 3;
        QTest::newRow("word") << "1|a|b|||||||x|F" << 0;
        QTest::newRow("eleven") << "1|a|b|||||||11|F" << 0;
        QTest::newRow("missing") << "1|a|b" << 0;
    }
    void categoryOfHandEditedLines() {
        QFETCH(QString, element);
        QFETCH(int, category);
        QCOMPARE(selection::categoryOf(element), category);
    }

    // The selection from disk keeps exactly what select() keeps from Book::load's
    // table, in the same order, whatever the lines hold.
    void selectionFromDiskEqualsSelectOfTheTable_data() {
        QTest::addColumn<int>("category");
        QTest::addColumn<int>("row");
        for (int category : {0, 3, 10})
            for (int row : {0, 1, 2, 3})
                QTest::addRow("category %d, row %d", category, row) << category << row;
    }
    void selectionFromDiskEqualsSelectOfTheTable() {
        QFETCH(int, category);
        QFETCH(int, row);
        QByteArray file;
        QRandomGenerator random(7);
        const QList<QByteArray> readings = {DataDir::sjis("か"),
                                            DataDir::sjis("カ"),
                                            "a",
                                            "B",
                                            DataDir::sjis("ー"),
                                            DataDir::sjis("－"),
                                            "\x88",
                                            DataDir::sjis("きき"),
                                            ""};
        const QList<QByteArray> categories = {"3", "10", " 3", "+3", "03", "x", "", "11", "0"};
        const QList<QByteArray> ends = {"\r\n", "\n", "\r", "\r\n\r\n"};
        for (int i = 0; i < 200; ++i) {
            QByteArray line = readings.at(random.bounded(readings.size())) + "|n" + QByteArray::number(i);
            const int fields = random.bounded(12);
            for (int f = 3; f <= qMin(fields, 8); ++f)
                line += "|";
            if (fields >= 9)
                line += "|" + categories.at(random.bounded(categories.size()));
            if (fields >= 10)
                line += "|F";
            file += line + ends.at(random.bounded(ends.size()));
        }
        DataDir dir;
        dir.writeEntries(file);
        QVERIFY(testBook().load());
        const QStringList expected = referenceSelect(testBook().entries().toList(), category, row);
        QVERIFY(selection::loadSelection(testBook(), category, row, nullptr));
        QCOMPARE(testBook().entries().toList(), expected);
        QCOMPARE(testBook().entryCount(), expected.size());
    }

    // A line that reads as both code page 932 and UTF-8 (E3 90 97 7C is 㐗| in
    // UTF-8, two kanji in code page 932) beside code page 932 lines: the book
    // loads, and so does every selection from disk.
    void lineReadingAsBothSelects() {
        DataDir dir;
        dir.writeEntries(DataDir::sjis(QStringLiteral("あ|一|||||||1|F\r\n")) + "\xe3\x90\x97|2||||||1|F\r\n");
        QVERIFY(testBook().load());
        QString error;
        QVERIFY2(selection::loadSelection(testBook(), 0, 0, &error), qPrintable(error));
        QCOMPARE(testBook().entryCount(), 2);
    }

    // A click on a book whose bytes have not changed reuses the order kept
    // from the last; after any change it is made anew. Either way the order
    // is the literal exchange sort's and a search finds what a scan finds.
    void keptOrderAfterChanges_data() {
        QTest::addColumn<QString>("change");
        for (const char *change :
             {"edited reading", "added line", "deleted line", "line ends changed", "replaced by rename, same size",
              "edited number, reading kept", "edited category", "printed mark"})
            QTest::newRow(change) << change;
    }
    void keptOrderAfterChanges() {
        QFETCH(QString, change);
        // Many equal readings, and long ones sharing their first eight units.
        const QStringList readings = {"ながしまあやのすけ",
                                      "ながしまあやのすけい",
                                      "ながしまあやの",
                                      "ナガシマ",
                                      "さとう",
                                      "さとう",
                                      "Sato",
                                      "いとう",
                                      "ながしまあやのすけ"};
        QRandomGenerator random(25);
        QStringList lines;
        for (int i = 0; i < 120; ++i)
            lines << QStringLiteral("%1|名%2|100-%3|住所|090-1111-%3||||%4|F")
                         .arg(readings.at(random.bounded(readings.size())))
                         .arg(i)
                         .arg(1000 + i)
                         .arg(1 + random.bounded(4));
        DataDir dir(lines);
        const QList<std::pair<int, int>> selections = {{0, 0}, {3, 0}, {0, 6}};
        const QStringList finds = {"な", "ながしま", "1111-10"};
        const auto clickEverything = [&] {
            for (const auto &[category, row] : selections)
                QVERIFY(selection::loadSelection(testBook(), category, row, nullptr));
            for (const QString &typed : finds)
                QVERIFY(selection::loadSearch(testBook(), search::Query(typed), nullptr));
        };
        clickEverything();

        if (change == "edited reading")
            lines[40].replace(0, lines[40].indexOf(u'|'), QStringLiteral("ながしまあやのすけう"));
        else if (change == "added line")
            lines.insert(7, QStringLiteral("ながしまあやのすけ|新|||||||3|F"));
        else if (change == "deleted line")
            lines.removeAt(3);
        else if (change == "edited number, reading kept") // the lines after it move
            lines[40].replace(QStringLiteral("090-1111-"), QStringLiteral("090-22223333-"));
        else if (change == "edited category")
            lines[40].replace(lines[40].lastIndexOf(u'|') - 1, 1,
                              lines[40].endsWith(QStringLiteral("3|F")) ? "1" : "3");
        else if (change == "printed mark")
            lines[40].replace(QStringLiteral("|F"), QStringLiteral("|T"));
        QByteArray bytes = DataDir::sjisLines(lines);
        if (change == "line ends changed")
            bytes.replace("\r\n", "\n");
        if (change == "replaced by rename, same size") {
            const QByteArray from = DataDir::sjis(QStringLiteral("名10|")), to = DataDir::sjis(QStringLiteral("名99|"));
            bytes.replace(bytes.indexOf(from), from.size(), to);
            QCOMPARE(bytes.size(), dir.entryBytes().size());
            QFile replacement(dir.entryPath() + ".new");
            QVERIFY(replacement.open(QIODevice::WriteOnly));
            replacement.write(bytes);
            replacement.close();
            QVERIFY(::rename(QFile::encodeName(replacement.fileName()), QFile::encodeName(dir.entryPath())) == 0);
        } else {
            dir.writeEntries(bytes);
        }

        QVERIFY(testBook().load());
        const QStringList table = testBook().entries().toList();
        const auto literally = [](const QStringList &elements) {
            QList<QString> readingsOf;
            for (const QString &element : elements)
                readingsOf.append(selection::readingOf(element));
            QStringList ordered;
            for (int i : literalExchangeSort(readingsOf))
                ordered.append(elements.at(i));
            return ordered;
        };
        for (int round = 0; round < 2; ++round) { // made anew, then kept
            for (const auto &[category, row] : selections) {
                QStringList kept;
                for (const QString &element : table)
                    if ((category == 0 || selection::categoryOf(element) == category) &&
                        (row == 0 || kanarow::matches(selection::readingOf(element), row)))
                        kept.append(element);
                QVERIFY(selection::loadSelection(testBook(), category, row, nullptr));
                QCOMPARE(testBook().entries().toList(), literally(kept));
            }
            const QStringList all = literally(table);
            for (const QString &typed : finds) {
                const search::Query query(typed);
                QStringList scanned;
                for (const QString &element : all)
                    if (query.matches(DataDir::sjis(element.mid(element.indexOf(u'|') + 1))))
                        scanned.append(element);
                QVERIFY(selection::loadSearch(testBook(), query, nullptr));
                QCOMPARE(testBook().entries().toList(), scanned);
            }
        }
    }
};

TELBORA_TEST(TestSelection)
#include "tst_selection.moc"
