#include "common/testmain.h"
#include "render/fonts.h"
#include "render/postcard.h"
#include "render/printerservice.h"
#include "render/verticaltext.h"
#include "store/entryrecord.h"
#include "store/postalcodes.h"
#include "ui/picturebox.h"
#include "ui/twips.h"

#include <QProcess>
#include <QRawFont>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {
constexpr double PointsPerMm = 72 / 25.4;

struct Word {
    QRectF mm;
    QString text;
};

// The words of a one-page PDF as pdftotext places them, in millimetres.
QList<Word> wordsOf(const QString &pdf, QSizeF *page) {
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(30000) || pdftotext.exitCode() != 0)
        return {};
    const QString out = QString::fromUtf8(pdftotext.readAllStandardOutput());
    const auto size = QRegularExpression(R"re(<page width="([\d.]+)" height="([\d.]+)")re").match(out);
    *page = QSizeF(size.captured(1).toDouble(), size.captured(2).toDouble()) / PointsPerMm;
    QList<Word> words;
    const QRegularExpression word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    for (auto it = word.globalMatch(out); it.hasNext();) {
        const auto m = it.next();
        const QPointF tl(m.captured(1).toDouble(), m.captured(2).toDouble());
        const QPointF br(m.captured(3).toDouble(), m.captured(4).toDouble());
        words.append({QRectF(tl / PointsPerMm, br / PointsPerMm), m.captured(5)});
    }
    return words;
}

// The bounding box of what is not white.
QRect inkOf(const QImage &image) {
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                ink |= QRect(x, y, 1, 1);
    return ink;
}
} // namespace

class TestPostcards : public QObject {
    Q_OBJECT

private slots:
    void columnText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("kanji");
        QTest::addColumn<QString>("written");
        QTest::newRow("house number") << "千代田1-2-3" << true << "千代田一―二―三";
        QTest::newRow("ten is one zero") << "10番地" << true << "一〇番地";
        QTest::newRow("full-width and long sound mark") << "本町１ー２０" << true << "本町一―二〇";
        QTest::newRow("katakana ー stays") << "メゾン・ヒルズ101" << true << "メゾン・ヒルズ一〇一";
        QTest::newRow("a dash not between digits stays") << "A-1" << true << "A-一";
        QTest::newRow("Arabic digits kept upright") << "梅田3-1-1" << false << "梅田3―1―1";
        QTest::newRow("a place's number is a number") << "北10条西4丁目7" << true << "北十条西四丁目七";
        QTest::newRow("a floor is counted") << "ビル25階" << true << "ビル二十五階";
        QTest::newRow("the place keeps 十 in Arabic digits") << "北10条西4丁目7-1" << false << "北十条西4丁目7―1";
        QTest::newRow("番町 is a place") << "2番町5-25" << true << "二番町五―二五";
    }
    void columnText() {
        QFETCH(QString, text);
        QFETCH(bool, kanji);
        QFETCH(QString, written);
        QCOMPARE(verticaltext::forColumn(text, kanji), written);
    }

    // Down a column these take the font's vertical forms: other glyphs than across.
    void verticalForms_data() {
        QTest::addColumn<QString>("character");
        for (const char *c : {"ー", "～", "（", "）", "「", "」", "、", "。", "っ", "ャ", "―"})
            QTest::newRow(c) << QString::fromUtf8(c);
    }
    void verticalForms() {
        QFETCH(QString, character);
        const FontSpec font{fonts::Mincho, 12, false};
        const GlyphRun down = verticaltext::column(character, font, {});
        const QList<quint32> across =
            QRawFont::fromFont(fonts::named(fonts::Mincho, 12)).glyphIndexesForString(character);
        QCOMPARE(down.glyphs.size(), 1);
        QVERIFY(down.glyphs.first() != 0);
        QVERIFY(down.glyphs.first() != across.first());
    }

    // Drawn, a column of long sound marks stands upright; across, it lies.
    void drawnColumnStandsUpright() {
        PictureBox box(nullptr, QStringLiteral("picView"));
        box.resize(200, 400);
        box.clear();
        const FontSpec font{fonts::Mincho, 24, false};
        box.drawGlyphs(verticaltext::column(QStringLiteral("ーー"), font, {1500, 300}), Qt::black);
        const QRect down = inkOf(box.picture().toImage());
        box.clear();
        box.drawText(QStringLiteral("ーー"), {300, 300}, font, Qt::black);
        const QRect across = inkOf(box.picture().toImage());
        QVERIFY2(down.height() > 3 * down.width(),
                 qPrintable(QStringLiteral("%1x%2").arg(down.width()).arg(down.height())));
        QVERIFY(across.width() > 3 * across.height());
        // The column is centred where it was asked to be.
        QVERIFY(std::abs(down.center().x() - twips::toPx(1500)) <= 2);
    }

    void splitAddress_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::newRow("before the building, at the space") << "東京都渋谷区渋谷2-21-1 渋谷ヒカリエ11F"
                                                           << "東京都渋谷区渋谷2-21-1"
                                                           << "渋谷ヒカリエ11F";
        QTest::newRow("after the house number") << "大阪府大阪市北区梅田3-1-1グランフロント大阪タワーA"
                                                << "大阪府大阪市北区梅田3-1-1"
                                                << "グランフロント大阪タワーA";
        QTest::newRow("after 丁目番号") << "北海道札幌市中央区北一条西2丁目1番地札幌時計台ビル"
                                        << "北海道札幌市中央区北一条西2丁目1番地"
                                        << "札幌時計台ビル";
        QTest::newRow("before a number that ends it") << "神奈川県横浜市中区山下町1234"
                                                      << "神奈川県横浜市中区山下町"
                                                      << "1234";
        QTest::newRow("no number: after the last place") << "東京都千代田区千代田"
                                                         << "東京都千代田区"
                                                         << "千代田";
        QTest::newRow("no mark at all: halves") << "ABCDEFG"
                                                << "ABCD"
                                                << "EFG";
    }
    void splitAddress() {
        QFETCH(QString, address);
        QFETCH(QString, first);
        QFETCH(QString, second);
        const postcard::AddressColumns columns = postcard::splitAddress(address);
        QCOMPARE(columns.first, first);
        QCOMPARE(columns.second, second);
    }

    void honorific_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("honorific");
        QTest::newRow("a person") << "山田　太郎"
                                  << "様";
        QTest::newRow("株式会社") << "株式会社テルボラ"
                                  << "御中";
        QTest::newRow("㈱ after") << "テルボラ㈱"
                                  << "御中";
        QTest::newRow("full-width （有）") << "（有）山田商店"
                                           << "御中";
        QTest::newRow("stored with its own") << "山田先生"
                                             << "";
        for (const char *own : {"山田太郎様", "山田太郎殿", "テルボラ御中", "会員各位"})
            QTest::newRow(own) << QString::fromUtf8(own) << "";
        QTest::newRow("一般社団法人") << "一般社団法人日本郵便協会"
                                      << "御中";
    }
    void honorific() {
        QFETCH(QString, name);
        QFETCH(QString, honorific);
        QCOMPARE(postcard::honorificFor(name), honorific);
    }

    // The postcard as printed to PDF, measured by pdftotext: the code's digits
    // in the middle of Japan Post's boxes, the name's column in the middle of
    // the card, nothing off the sheet or in the boxes but the digits.
    void printedWhereJapanPostWantsIt_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("senderAddress");
        QTest::newRow("plain") << "やまだ|山田　太郎|100-0001|東京都千代田区千代田1-1|||||1|F"
                               << "東京都渋谷区渋谷2-21-1";
        QTest::newRow("long address and name, full-width code")
            << "ながしま|長嶋　綾之介左衛門兵衛|０６０－００４２|北海道札幌市中央区大通西十丁目4-1 "
               "札幌第一合同センター（十二階）「ショップ」|||||1|F"
            << "大阪府大阪市北区梅田3-1-1グランフロント大阪タワーA二十階";
        QTest::newRow("company, Latin") << "あくめ|株式会社ACME Japan|530-0001|大阪府大阪市北区梅田1-2-3|||||1|F"
                                        << "";
    }
    void printedWhereJapanPostWantsIt() {
        QFETCH(QString, line);
        QFETCH(QString, senderAddress);
        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("postcard.pdf"));
        PrinterService paper(pdf);
        paper.setSheet(CardPrinter::Sheet::Postcard);
        const EntryRecord entry = EntryRecord::ofLine(line);
        const postcard::Sender sender{QStringLiteral("鈴木　一郎"), QStringLiteral("150-0002"), senderAddress};
        postcard::drawAddressSide(paper, entry, sender, {}, {});
        paper.endDocument();
        QVERIFY(!paper.failed());

        QSizeF page;
        const QList<Word> words = wordsOf(pdf, &page);
        QVERIFY2(!words.isEmpty(), "pdftotext (poppler-utils) is needed");
        QVERIFY(std::abs(page.width() - postcard::WidthMm) < 0.5 && std::abs(page.height() - postcard::HeightMm) < 0.5);
        const QString digits = postalcodes::digitsOf(entry[EntryField::PostalCode]);
        QRectF boxes;
        for (int d = 0; d < 7; ++d)
            boxes |= postcard::codeBoxMm(d);
        int digitsFound = 0;
        QRectF nameColumn;
        const QString name = entry[EntryField::Name];
        for (const Word &w : words) {
            const QString where = QStringLiteral("「%1」 at %2,%3").arg(w.text).arg(w.mm.x()).arg(w.mm.y());
            QVERIFY2(QRectF(0, 0, postcard::WidthMm, postcard::HeightMm).contains(w.mm), qPrintable(where));
            if (w.mm.intersects(boxes)) {
                // Only the recipient's digits, each one in the middle of its own box.
                QVERIFY2(w.text.size() == 1 && digitsFound < 7 && w.text == digits.at(digitsFound), qPrintable(where));
                const QPointF off = w.mm.center() - postcard::codeBoxMm(digitsFound).center();
                QVERIFY2(std::abs(off.x()) <= 0.3 && std::abs(off.y()) <= 0.3,
                         qPrintable(where + QStringLiteral(" off by %1, %2 mm").arg(off.x()).arg(off.y())));
                QVERIFY(postcard::codeBoxMm(digitsFound).contains(w.mm.center()));
                ++digitsFound;
            } else if (std::abs(w.mm.center().x() - postcard::WidthMm / 2) < 8 && name.contains(w.text.left(1))) {
                nameColumn |= w.mm;
            }
        }
        QCOMPARE(digitsFound, 7);
        // The sender's code in the lower left: its seven digits side by side, none on another.
        QList<Word> senderDigits;
        for (const Word &w : words)
            if (w.mm.center().x() < postcard::WidthMm / 2 && w.mm.center().y() > postcard::HeightMm / 2 &&
                !w.text.isEmpty() && std::all_of(w.text.begin(), w.text.end(), [](QChar c) { return c.isDigit(); }))
                senderDigits.append(w);
        std::sort(senderDigits.begin(), senderDigits.end(),
                  [](const Word &a, const Word &b) { return a.mm.x() < b.mm.x(); });
        QString senderCode;
        for (qsizetype i = 0; i < senderDigits.size(); ++i) {
            senderCode += senderDigits.at(i).text;
            if (i > 0)
                QVERIFY(!senderDigits.at(i).mm.intersects(senderDigits.at(i - 1).mm));
        }
        QCOMPARE(senderCode, QStringLiteral("１５００００２")); // written full-width
        // Every character is text in the PDF, the vertical forms too.
        QString said;
        for (const Word &w : words)
            said += w.text;
        for (const QChar c : verticaltext::forColumn(entry[EntryField::Address] + name, true))
            if (!c.isSpace() && c != u'―')
                QVERIFY2(said.contains(c), qPrintable(QString(c)));
        QVERIFY(!nameColumn.isEmpty());
        QVERIFY2(std::abs(nameColumn.center().x() - postcard::WidthMm / 2) <= 1.0,
                 qPrintable(QString::number(nameColumn.center().x())));
    }
};

TELBORA_TEST(TestPostcards)
#include "tst_postcards.moc"
