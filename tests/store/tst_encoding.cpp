#include "common/datadir.h"
#include "common/testmain.h"
#include "store/bookencoding.h"
#include "store/cp932.h"
#include "store/entrywriter.h"
#include "store/linefile.h"
#include "store/mdlDim.h"
#include "store/selection.h"

#include <QFileInfo>
#include <QTest>

#include <functional>

using bookencoding::Kind;

namespace {

const QStringList Book = {
    QStringLiteral("あおき|青木|100-0001|東京都千代田区丸の内１－１|03-1111-2222||||1|F"),
    QStringLiteral("ｲﾄｳ|伊藤～ソ表|||||||2|T"), // 0x7C and 0x5C as second bytes
    QStringLiteral("tanaka|田中 ①|||||||3|F"),
    QString(),
    QStringLiteral("えんどう|遠藤|||||||4|F"),
};
const QString Added = QStringLiteral("かとう|加藤|||||||5|F");

QByteArray cp932Book() {
    return DataDir::sjisLines(Book);
}
QByteArray utf8Book() {
    return iconvBytes(cp932Book(), "CP932", "UTF-8");
}
QByteArray utf8Line(const QString &text) {
    return text.toUtf8() + "\r\n";
}

mdlDim::LoadedLine loaded(int number) {
    return {number, linefile::splitLines(readFileBytes(testBook().entryPath())).value(number - 1)};
}

} // namespace

class TestEncoding : public QObject {
    Q_OBJECT
private slots:
    void kindOfFile_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<int>("firstForeignLine");
        QTest::newRow("code page 932") << cp932Book() << Kind::Cp932 << 0;
        QTest::newRow("ASCII only") << QByteArray("tanaka|Tanaka|||||||1|F\r\n") << Kind::Cp932 << 0;
        QTest::newRow("an odd byte, no UTF-8") << cp932Book() + "x\xff\r\n" << Kind::Cp932 << 0;
        QTest::newRow("UTF-8 by iconv") << utf8Book() << Kind::Utf8 << 0;
        QTest::newRow("UTF-8 with BOM") << "\xEF\xBB\xBF" + utf8Book() << Kind::Utf8 << 0;
        QTest::newRow("BOM before ASCII") << QByteArray("\xEF\xBB\xBFtanaka|Tanaka\n") << Kind::Utf8 << 0;
        QTest::newRow("BOM before a line that reads both ways")
            << "\xEF\xBB\xBF" + DataDir::sjisLines({"nakaten|繝ｻ|||||||1|F"}) << Kind::Utf8 << 0;
        QTest::newRow("UTF-16 whose lines end in CR alone")
            << iconvBytes(DataDir::sjisLines({"あおき|青木|||||||1|F", "いとう|伊藤|||||||1|F"}), "CP932", "UTF-16LE")
                   .replace(QByteArray("\r\0\n\0", 4), QByteArray("\r\0", 2))
            << Kind::Utf16 << 0;
        QTest::newRow("UTF-8 line appended") << cp932Book() + utf8Line(Added) << Kind::Mixed << 6;
        QTest::newRow("code page 932 appended to UTF-8")
            << utf8Book() + DataDir::sjisLines({Added}) << Kind::Mixed << 1;
        QTest::newRow("UTF-8 cut in the middle of a character")
            << utf8Book() + QByteArray("x\xe3\x81\r\n") << Kind::Mixed << 1;
        // What the editor stores: half-width katakana that read as UTF-8 too.
        QTest::newRow("ﾏｷ, with nothing else Japanese")
            << DataDir::sjisLines({"maki|ﾏｷ|||||||1|F", "tanaka|Tanaka|||||||1|F"}) << Kind::Cp932 << 0;
        QTest::newRow("ﾄ before a full-width space") << DataDir::sjisLines({"toshi|ﾄ　|||||||1|F"}) << Kind::Cp932 << 0;
        // Lines this program writes that are valid UTF-8 as well.
        QTest::newRow("癸ｧ alone: U+1067 is no Japanese text")
            << DataDir::sjisLines({"mizunoto|癸ｧ|||||||1|F"}) << Kind::Cp932 << 0;
        QTest::newRow("繝ｻ (「・」 in UTF-8) beside code page 932 lines")
            << cp932Book() + DataDir::sjisLines({"nakaten|繝ｻ|||||||1|F"}) << Kind::Cp932 << 0;
        // A strict UTF-8 reader: these are no UTF-8, so beside a UTF-8 line the file is mixed.
        for (const char *bad :
             {"\xE0\x80\xAF", "\xED\xA0\x80", "\xC0\xAF", "\xC1\xBF", "\xF5\x80\x80\x80", "\xF4\x90\x80\x80"})
            QTest::addRow("not UTF-8: %02X %02X", uchar(bad[0]), uchar(bad[1]))
                << utf8Line(Added) + QByteArray(bad) + "\r\n"
                << Kind::Mixed << 1;
    }
    void kindOfFile() {
        QFETCH(QByteArray, bytes);
        QFETCH(Kind, kind);
        QFETCH(int, firstForeignLine);
        const bookencoding::Check found = bookencoding::check(bytes);
        QCOMPARE(found.kind, kind);
        QCOMPARE(found.firstForeignLine, firstForeignLine);
    }

    // Every character of code page 932, alone, after each half-width
    // katakana and in one run, is code page 932; every one that UTF-8 writes
    // in three bytes or more (all kana and kanji), saved as UTF-8, is UTF-8.
    void everyCharacterDecidesRight() {
        QList<QByteArray> characters;
        for (int b = 0x20; b <= 0xDF; ++b)
            if (b < 0x7F || b >= 0xA1)
                characters.append(QByteArray(1, char(b)));
        for (int lead = 0x81; lead <= 0xFC; ++lead)
            for (int trail = 0x40; trail <= 0xFC && (lead <= 0x9F || lead >= 0xE0); ++trail) {
                const QByteArray pair = QByteArray(1, char(lead)) + char(trail);
                if (trail != 0x7F && cp932::decode(pair).size() == 1 && cp932::isClean(pair))
                    characters.append(pair);
            }
        QVERIFY(characters.size() > 7000);
        QByteArray lines;
        QByteArray run;
        for (const QByteArray &c : std::as_const(characters)) {
            lines += c + "\r\n";
            run += c;
            for (int kana = 0xA1; kana <= 0xDF; ++kana)
                lines += char(kana) + c + "\r\n";
            const QString text = cp932::decode(c);
            if (text.toUtf8().size() >= 3)
                QVERIFY2(bookencoding::check(text.toUtf8() + "\r\n").kind == Kind::Utf8, c.toHex().constData());
        }
        const bookencoding::Check found = bookencoding::check(lines + run + "\r\n");
        QVERIFY2(found.kind == Kind::Cp932, qPrintable(QString::number(found.firstForeignLine)));
    }

    // Every writer on a file that is not code page 932: refused, not a byte
    // changed; the loader refuses it too.
    void writersLeaveOtherEncodingsAlone_data() {
        QTest::addColumn<QByteArray>("entries");
        QTest::addColumn<QByteArray>("categories");
        QTest::addColumn<Failure::Kind>("found");
        const QByteArray categories = DataDir::sjisLines(DataDir::installedCategories());
        QTest::newRow("UTF-8") << utf8Book() << categories << Failure::Kind::InUtf8;
        QTest::newRow("UTF-8 with BOM") << "\xEF\xBB\xBF" + utf8Book() << categories << Failure::Kind::InUtf8;
        QTest::newRow("mix") << cp932Book() + utf8Line(Added) << categories << Failure::Kind::MixedEncodings;
        QTest::newRow("UTF-8 category file")
            << cp932Book() << iconvBytes(categories, "CP932", "UTF-8") << Failure::Kind::InUtf8;
        // An editor's "Unicode": with kanji and its BOM, and ASCII alone without one.
        QTest::newRow("UTF-16 with kanji")
            << iconvBytes(cp932Book(), "CP932", "UTF-16") << categories << Failure::Kind::InUtf16;
        QTest::newRow("UTF-16 ASCII, no BOM")
            << iconvBytes("tanaka|Tanaka|||||||1|F\r\n", "CP932", "UTF-16LE") << categories << Failure::Kind::InUtf16;
        QTest::newRow("UTF-16 category file")
            << cp932Book() << iconvBytes(categories, "CP932", "UTF-16BE") << Failure::Kind::InUtf16;
        QTest::newRow("UTF-16 ASCII whose lines end in CR alone")
            << iconvBytes("tanaka|Tanaka|||||||1|F\rsato|Sato|||||||1|F\r", "CP932", "UTF-16LE") << categories
            << Failure::Kind::InUtf16;
    }
    void writersLeaveOtherEncodingsAlone() {
        QFETCH(QByteArray, entries);
        QFETCH(QByteArray, categories);
        QFETCH(Failure::Kind, found);
        DataDir dir;
        dir.writeEntries(entries);
        dir.writeCategories(categories);
        // The right reason: UTF-16 is not called a mix or too many lines.
        Failure refused;
        QVERIFY(!testBook().load(&refused));
        QCOMPARE(refused.kind, found);
        QCOMPARE(refused.line, found == Failure::Kind::MixedEncodings ? 6 : 0);
        QString error;
        QVERIFY(!selection::loadSelection(testBook(), 0, 0, &error));
        QCOMPARE(error, describe(refused));

        const bool entriesForeign = bookencoding::check(entries).kind != Kind::Cp932;
        const QList<std::pair<const char *, std::function<EntryWriter::Result()>>> writers = {
            {"append", [] { return testBook().appendEntry(Added); }},
            {"replace", [] { return testBook().replaceEntry(loaded(1), Added); }},
            {"delete", [] { return testBook().deleteEntry(loaded(1)); }},
            {"mark printed", [] { return testBook().markPrinted({loaded(1)}); }},
            {"category name",
             [&] { return testBook().writeCategory(linefile::splitLines(categories), 6, "7|歯医者"); }},
        };
        for (const auto &[name, write] : writers) {
            const bool onCategories = QByteArrayView(name) == "category name";
            if (onCategories == entriesForeign)
                continue; // that writer's file is code page 932
            const EntryWriter::Result result = write();
            QVERIFY2(!result.ok, name);
            QCOMPARE(result.failure.kind, Failure::Kind::NotCodePage932);
            QCOMPARE(result.failure.found, found);
            QVERIFY2(result.message.contains("書き込みません"), qPrintable(result.message));
            QCOMPARE(dir.entryBytes(), entries);
            QCOMPARE(dir.categoryBytes(), categories);
        }
    }

    void conversionKeepsTheOriginalAndNamesWhatItCannotHold() {
        DataDir dir;
        const QByteArray utf8 = utf8Book() + utf8Line(QStringLiteral("よしだ|𠮷田 한|||||||1|F"));
        dir.writeEntries(utf8);
        QFile::setPermissions(dir.entryPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        const QDateTime when(QDate(2026, 12, 8), QTime(9, 30, 5));
        const bookencoding::Conversion done = bookencoding::convertToCp932(dir.entryPath(), when);
        QVERIFY(!done.failure.failed());
        QCOMPARE(done.keptAs, dir.entryPath() + ".utf8-20261208-093005");
        QCOMPARE(readFileBytes(done.keptAs), utf8);
        QCOMPARE(QFileInfo(done.keptAs).permissions() & 0x0777, QFileInfo(dir.entryPath()).permissions() & 0x0777);
        QCOMPARE(dir.entryBytes(), cp932Book() + DataDir::sjisLines({QStringLiteral("よしだ|〓田 〓|||||||1|F")}));
        QCOMPARE(done.unheld.size(), 2);
        QCOMPARE(unheldCharacter({}, done.unheld[0].line, done.unheld[0].character), "6 行目の「𠮷」");
        QCOMPARE(unheldCharacter({}, done.unheld[1].line, done.unheld[1].character), "6 行目の「한」");
        QVERIFY(testBook().load());
        QCOMPARE(testBook().entryCount(), 5);

        // Again in the same second, over a UTF-8 save with a BOM: the first
        // original stays as it was, the BOM is no character.
        dir.writeEntries("\xEF\xBB\xBF" + utf8);
        const bookencoding::Conversion again = bookencoding::convertToCp932(dir.entryPath(), when);
        QVERIFY(!again.failure.failed());
        QCOMPARE(again.keptAs, done.keptAs + "-2");
        QCOMPARE(readFileBytes(done.keptAs), utf8);
        QCOMPARE(readFileBytes(again.keptAs), "\xEF\xBB\xBF" + utf8);
        QCOMPARE(dir.entryBytes(), cp932Book() + DataDir::sjisLines({QStringLiteral("よしだ|〓田 〓|||||||1|F")}));

        // A mix is not converted, and nothing is kept beside it.
        const QByteArray mix = cp932Book() + utf8Line(Added);
        dir.writeEntries(mix);
        const bookencoding::Conversion refused = bookencoding::convertToCp932(dir.entryPath(), when.addSecs(1));
        QCOMPARE(refused.failure.kind, Failure::Kind::MixedEncodings);
        QCOMPARE(refused.failure.line, 6);
        QCOMPARE(dir.entryBytes(), mix);
        QVERIFY(!QFileInfo::exists(dir.entryPath() + ".utf8-20261208-093006"));

        // 癸 before ｧ is E1 A1 A7 in code page 932, valid UTF-8 too, but for
        // a character no Japanese text holds (U+1067): it converts, and the
        // book it makes (the program's own kind of line) reads as code page 932.
        dir.writeEntries(utf8Line(QStringLiteral("mizunoto|癸ｧ|||||||1|F")));
        const bookencoding::Conversion converted = bookencoding::convertToCp932(dir.entryPath(), when.addSecs(2));
        QVERIFY2(!converted.failure.failed(), qPrintable(describe(converted.failure)));
        QCOMPARE(dir.entryBytes(), DataDir::sjisLines({QStringLiteral("mizunoto|癸ｧ|||||||1|F")}));
        QCOMPARE(bookencoding::check(dir.entryBytes()).kind, Kind::Cp932);
        QCOMPARE(bookencoding::check(dir.entryBytes() + cp932Book()).kind, Kind::Cp932);

        // 繝 before ｻ is E3 83 BB, which is 「・」 in UTF-8: such a book would
        // be taken for UTF-8 again, so it is refused.
        const QByteArray twofold = utf8Line(QStringLiteral("nakaten|繝ｻ|||||||1|F"));
        dir.writeEntries(twofold);
        const bookencoding::Conversion ambiguous = bookencoding::convertToCp932(dir.entryPath(), when.addSecs(3));
        QCOMPARE(ambiguous.failure.kind, Failure::Kind::WouldReadAsUtf8);
        QVERIFY2(describe(ambiguous.failure).contains("見分けられない"), qPrintable(describe(ambiguous.failure)));
        QCOMPARE(dir.entryBytes(), twofold);
        QVERIFY(!QFileInfo::exists(dir.entryPath() + ".utf8-20261208-093008"));
    }
};

TELBORA_TEST(TestEncoding)
#include "tst_encoding.moc"
