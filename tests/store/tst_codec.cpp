#include "common/testmain.h"
#include "store/cp932.h"
#include "store/textforms.h"

#include <QRandomGenerator>
#include <QTest>

class TestCodec : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ascii") << QStringLiteral("Tanaka 03-1234") << QByteArray("Tanaka 03-1234");
        QTest::newRow("hiragana") << QStringLiteral("あん") << QByteArray("\x82\xa0\x82\xf1");
        QTest::newRow("katakana") << QStringLiteral("ァン") << QByteArray("\x83\x40\x83\x93");
        QTest::newRow("kanji") << QStringLiteral("親戚") << QByteArray("\x90\x65\x90\xca");
        QTest::newRow("wave dash U+FF5E") << QStringLiteral("\uFF5E") << QByteArray("\x81\x60");
        QTest::newRow("circled one") << QStringLiteral("①") << QByteArray("\x87\x40");
        QTest::newRow("kabushiki") << QStringLiteral("㈱") << QByteArray("\x87\x8a");
        QTest::newRow("trail byte 0x7C") << QStringLiteral("ポ|") << QByteArray("\x83\x7c|");
        QTest::newRow("half-width katakana") << QStringLiteral("ｱ") << QByteArray("\xb1");
    }
    void roundTrip() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(cp932::decode(bytes), text);
        const std::optional<QByteArray> encoded = cp932::encode(text);
        QVERIFY(encoded.has_value());
        QCOMPARE(*encoded, bytes);
    }

    void invalidBytesDecodeAsReplacement() {
        QCOMPARE(cp932::decode(QByteArray("a\xff"
                                          "b")),
                 QStringLiteral("a\uFFFDb"));
        // A lead byte at the very end has no trail byte.
        QCOMPARE(cp932::decode(QByteArray("x\x82")), QStringLiteral("x\uFFFD"));
    }

    // The tables decode exactly as iconv does: every byte, every pair, and random runs.
    void tablesAgreeWithIconv() {
        for (int lead = 0; lead < 256; ++lead) {
            for (int trail = 0; trail < 256; ++trail) {
                const char pair[2] = {char(lead), char(trail)};
                QCOMPARE(cp932::decode(QByteArrayView(pair, 2)),
                         cp932::detail::decodeWithIconv(QByteArrayView(pair, 2)));
            }
        }
        QRandomGenerator random(932);
        for (int run = 0; run < 2000; ++run) {
            QByteArray bytes(random.bounded(1, 40), Qt::Uninitialized);
            for (char &b : bytes)
                b = char(random.bounded(256));
            QCOMPARE(cp932::decode(bytes), cp932::detail::decodeWithIconv(bytes));
        }
    }

    void outsideCodePage_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("surrogate pair") << QStringLiteral("𠮷野");
        QTest::newRow("emoji") << QStringLiteral("a😀");
        QTest::newRow("latin e acute") << QStringLiteral("café");
        QTest::newRow("hangul") << QStringLiteral("한");
    }
    void outsideCodePage() {
        QFETCH(QString, text);
        QVERIFY(!cp932::encode(text).has_value());
        QVERIFY(!cp932::canEncode(text));
    }

    void codeOfFirstCharacter_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("code");
        QTest::newRow("A") << QStringLiteral("A") << 65;
        QTest::newRow("z") << QStringLiteral("zoo") << 122;
        QTest::newRow("small a") << QStringLiteral("ぁ") << 0x829F;
        QTest::newRow("a") << QStringLiteral("あい") << 0x82A0;
        QTest::newRow("n") << QStringLiteral("ん") << 0x82F1;
        QTest::newRow("katakana a") << QStringLiteral("ァ") << 0x8340;
        QTest::newRow("vu") << QStringLiteral("ヴ") << 0x8394;
        QTest::newRow("long vowel") << QStringLiteral("ー") << 0x815B;
        QTest::newRow("empty") << QString() << -1;
        QTest::newRow("outside") << QStringLiteral("𠮷") << -1;
    }
    void codeOfFirstCharacter() {
        QFETCH(QString, text);
        QFETCH(int, code);
        QCOMPARE(cp932::codeOf(text), code);
    }

    // The shared kana facts: which characters are kana, and the hiragana of a
    // katakana for comparing (to ヶ) and for text the code page holds (to ヴ).
    void kanaForms_data() {
        QTest::addColumn<QString>("c");
        QTest::addColumn<bool>("kana");
        QTest::addColumn<QString>("compared");
        QTest::addColumn<QString>("stored");
        QTest::newRow("ァ") << "ァ" << true << "ぁ"
                            << "ぁ";
        QTest::newRow("ン") << "ン" << true << "ん"
                            << "ん";
        QTest::newRow("ヴ") << "ヴ" << true << "ゔ"
                            << "ゔ";
        QTest::newRow("ヵ") << "ヵ" << true << "ゕ"
                            << "ヵ";
        QTest::newRow("ヶ") << "ヶ" << true << "ゖ"
                            << "ヶ";
        QTest::newRow("ー") << "ー" << true << "ー"
                            << "ー";
        QTest::newRow("ぁ") << "ぁ" << true << "ぁ"
                            << "ぁ";
        QTest::newRow("ゟ") << "ゟ" << true << "ゟ"
                            << "ゟ";
        QTest::newRow("half-width ｱ") << "ｱ" << false << "ｱ"
                                      << "ｱ";
        QTest::newRow("漢") << "漢" << false << "漢"
                            << "漢";
        QTest::newRow("・ before ァ") << "\u30A0" << true << "\u30A0"
                                      << "\u30A0";
        QTest::newRow("぀ before ぁ") << "\u3040" << false << "\u3040"
                                        << "\u3040";
    }
    void kanaForms() {
        QFETCH(QString, c);
        QFETCH(bool, kana);
        QFETCH(QString, compared);
        QFETCH(QString, stored);
        QCOMPARE(textforms::isKana(c.at(0)), kana);
        QCOMPARE(QString(QChar(textforms::hiraganaOf(c.at(0).unicode()))), compared);
        QCOMPARE(QString(QChar(textforms::hiraganaOf(c.at(0).unicode(), u'ヴ'))), stored);
    }

    // Bytes from outside: a UTF-8 mark dropped, UTF-8 when valid, else code page 932.
    void bytesFromOutside_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("withoutBom");
        QTest::addColumn<QString>("text");
        QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF"
                                                       "ab")
                                         << QByteArray("ab")
                                         << "\uFEFF"
                                            "ab";
        QTest::newRow("UTF-8") << QByteArray("\xE5\xB1\xB1") << QByteArray("\xE5\xB1\xB1") << "山";
        QTest::newRow("code page 932") << QByteArray("\x8E\x52") << QByteArray("\x8E\x52") << "山";
        QTest::newRow("empty") << QByteArray() << QByteArray() << "";
    }
    void bytesFromOutside() {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, withoutBom);
        QFETCH(QString, text);
        QCOMPARE(textforms::withoutUtf8Bom(bytes).toByteArray(), withoutBom);
        QCOMPARE(textforms::decodeUtf8OrCp932(bytes), text);
    }
};

TELBORA_TEST(TestCodec)
#include "tst_codec.moc"
