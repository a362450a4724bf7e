#include "common/testmain.h"
#include "store/cp932.h"

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
};

TELBORA_TEST(TestCodec)
#include "tst_codec.moc"
