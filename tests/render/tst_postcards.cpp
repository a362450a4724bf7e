#include "common/testmain.h"
#include "printer/printerservice.h"
#include "render/addressee.h"
#include "render/fonts.h"
#include "render/labels.h"
#include "render/postcard.h"
#include "render/verticaltext.h"
#include "store/entryrecord.h"
#include "store/postalcodes.h"
#include "store/textforms.h"
#include "ui/picturebox.h"
#include "ui/twips.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRawFont>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(people::PersonData)
Q_DECLARE_METATYPE(verticaltext::Numerals)

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

// The sender's code measured on a 600 dpi raster of the PDF: the ink in the
// band of the sender's boxes, in runs of columns, each run's centre against
// its box's centre.
QString senderDigitsOffBy(const QString &pdf) {
    constexpr int Dpi = 600;
    const QString base = QFileInfo(pdf).dir().filePath(QStringLiteral("sender"));
    const QRectF band = QRectF(postcard::senderCodeBoxMm(0).topLeft(), postcard::senderCodeBoxMm(6).bottomRight())
                            .adjusted(-1, -0.5, 1, 0.5);
    const auto px = [](double mm) { return QString::number(qRound(mm * Dpi / 25.4)); };
    if (QProcess::execute(QStringLiteral("pdftoppm"),
                          {QStringLiteral("-r"), QString::number(Dpi), QStringLiteral("-gray"), QStringLiteral("-x"),
                           px(band.x()), QStringLiteral("-y"), px(band.y()), QStringLiteral("-W"), px(band.width()),
                           QStringLiteral("-H"), px(band.height()), QStringLiteral("-singlefile"), pdf, base}) != 0)
        return QStringLiteral("pdftoppm failed");
    const QImage image(base + QStringLiteral(".pgm"));
    QList<QRect> runs;
    for (int x = 0; x < image.width(); ++x) {
        QRect ink;
        for (int y = 0; y < image.height(); ++y)
            if (qGray(image.pixel(x, y)) < 128)
                ink |= QRect(x, y, 1, 1);
        if (ink.isEmpty())
            continue;
        if (!runs.isEmpty() && runs.last().right() >= x - 2)
            runs.last() |= ink;
        else
            runs.append(ink);
    }
    if (runs.size() != 7)
        return QStringLiteral("%1 runs of ink").arg(runs.size());
    for (int d = 0; d < 7; ++d) {
        const QPointF centre = band.topLeft() + QPointF(runs.at(d).center()) * 25.4 / Dpi;
        const QPointF off = centre - postcard::senderCodeBoxMm(d).center();
        if (std::abs(off.x()) > 0.3 || std::abs(off.y()) > 0.3)
            return QStringLiteral("digit %1 off by %2, %3 mm").arg(d).arg(off.x()).arg(off.y());
    }
    return QStringLiteral("7 digits within 0.3 mm");
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
        using N = verticaltext::Numerals;
        QTest::addColumn<QString>("text");
        QTest::addColumn<N>("numerals");
        QTest::addColumn<QString>("written");
        QTest::newRow("house number") << "千代田1-2-3" << N::KanjiDigits << "千代田一―二―三";
        QTest::newRow("ten is one zero") << "10番地" << N::KanjiDigits << "一〇番地";
        QTest::newRow("or ten") << "10番地" << N::KanjiCounted << "十番地";
        QTest::newRow("counted, a leading zero kept") << "本町05-123" << N::KanjiCounted << "本町〇五―百二十三";
        QTest::newRow("full-width and long sound mark") << "本町１ー２０" << N::KanjiDigits << "本町一―二〇";
        QTest::newRow("katakana ー stays") << "メゾン・ヒルズ101" << N::KanjiDigits << "メゾン・ヒルズ一〇一";
        QTest::newRow("a dash not between digits stays") << "A-1" << N::KanjiDigits << "A-一";
        QTest::newRow("Arabic digits kept upright") << "梅田3-1-1" << N::Arabic << "梅田3―1―1";
        QTest::newRow("a place's number is a number") << "北10条西4丁目7" << N::KanjiDigits << "北十条西四丁目七";
        QTest::newRow("a floor is counted") << "ビル25階" << N::KanjiDigits << "ビル二十五階";
        QTest::newRow("the place keeps 十 in Arabic digits") << "北10条西4丁目7-1" << N::Arabic << "北十条西4丁目7―1";
        QTest::newRow("番町 is a place") << "2番町5-25" << N::KanjiDigits << "二番町五―二五";
        QTest::newRow("four digits counted") << "本町1234" << N::KanjiCounted << "本町千二百三十四";
        QTest::newRow("a dash after the last digit stays") << "1-2-" << N::KanjiDigits << "一―二-";
    }
    void columnText() {
        QFETCH(QString, text);
        QFETCH(verticaltext::Numerals, numerals);
        QFETCH(QString, written);
        QCOMPARE(verticaltext::forColumn(text, numerals), written);
    }

    // A two-digit number stands across one cell (縦中横): its two digits side
    // by side on one baseline, the column one cell longer; three digits stay upright.
    void twoDigitsAcrossOneCell() {
        const FontSpec font{fonts::Mincho, 20, false};
        const double cell = 20 * twips::PerPoint;
        const GlyphRun across = verticaltext::column(QStringLiteral("梅田20階"), font, {1000, 0});
        QCOMPARE(across.glyphs.size(), 5);
        QCOMPARE(across.origins.at(2).y(), across.origins.at(3).y());
        QVERIFY(across.origins.at(3).x() > across.origins.at(2).x());
        QVERIFY(std::abs(verticaltext::length(QStringLiteral("梅田20階"), font) - 4 * cell) < 1);
        const GlyphRun upright = verticaltext::column(QStringLiteral("梅田201階"), font, {1000, 0});
        QVERIFY(upright.origins.at(3).y() > upright.origins.at(2).y());
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

    // Who the card is written to: columns right to left, the family name
    // once, each person's honorific, a company apart from its person.
    void nameColumns_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<people::PersonData>("person");
        QTest::addColumn<QString>("columns"); // family/given/honorific, company lines as [text], " | " between
        const people::PersonData none;
        people::PersonData joint;
        joint.joint = {{"花子", {}, {}, {}}, {"翔", {}, {}, "くん"}, {"恵", "佐藤", {}, {}}};
        people::PersonData five;
        for (const char *given : {"花子", "一郎", "次郎", "三郎", "桃子"})
            five.joint.append({QString::fromUtf8(given), {}, {}, {}});
        people::PersonData doctor;
        doctor.honorific = "先生";
        people::PersonData atWork;
        atWork.company = "株式会社山田製作所";
        atWork.department = "営業部";
        atWork.title = "部長";
        QTest::newRow("a person") << "山田　太郎" << none << "山田/太郎/様";
        QTest::newRow("no space to split at") << "山田太郎" << none << "/山田太郎/様";
        QTest::newRow("a company") << "株式会社テルボラ" << none << "/株式会社テルボラ/御中";
        QTest::newRow("stored with its own") << "山田先生" << none << "/山田/先生";
        QTest::newRow("the person's own decides") << "田中医院　田中　一" << doctor << "田中医院/田中　一/先生";
        QTest::newRow("joint names, one with another family")
            << "山田　太郎" << joint << "山田/太郎/様 | /花子/様 | /翔/くん | 佐藤/恵/様";
        QTest::newRow("given names joined by ・") << "山田　太郎・花子" << none << "山田/太郎/様 | /花子/様";
        QTest::newRow("five joint names: ご家族様") << "山田　太郎" << five << "山田/太郎/様 | /ご家族/様";
        QTest::newRow("company and person in one name")
            << "株式会社山田製作所　山田太郎" << none << "[株式会社山田製作所] | /山田太郎/様";
        QTest::newRow("company from the side data, with department and title")
            << "山田　太郎" << atWork << "[株式会社山田製作所] | [営業部　部長] | 山田/太郎/様";
        QTest::newRow("a company with people: no 御中 beside 様")
            << "株式会社テルボラ" << joint << "[株式会社テルボラ] | /花子/様 | /翔/くん | 佐藤/恵/様";
        QTest::newRow("half-width katakana") << "ﾔﾏﾀﾞ　ﾀﾛｳ" << none << "ヤマダ/タロウ/様";
        QTest::newRow("no name: nothing, no 様 alone") << "　" << joint << "";
        QTest::newRow("a name that is only 様 is kept") << "様" << none << "/様/様";
        people::PersonData sameFamily;
        sameFamily.joint = {{"花子", "山田", {}, {}}};
        QTest::newRow("a joint name's family, the head's: written once")
            << "山田　太郎" << sameFamily << "山田/太郎/様 | /花子/様";
    }
    void nameColumns() {
        QFETCH(QString, name);
        QFETCH(people::PersonData, person);
        QFETCH(QString, columns);
        QStringList written;
        for (const addressee::NameColumn &c : addressee::nameColumns(name, person))
            written.append(c.company ? u'[' + c.given + u']' : c.family + u'/' + c.given + u'/' + c.honorific);
        QCOMPARE(written.join(QStringLiteral(" | ")), columns);
    }

    void cardAddress_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("buildingBreak");
        QTest::addColumn<QString>("written"); // the building after " / "
        QTest::addColumn<QString>("code");
        QTest::newRow("a 〒 code typed first") << "〒150-0002 東京都渋谷区渋谷2-21-1" << 0 << "東京都渋谷区渋谷2-21-1"
                                               << "150-0002";
        QTest::newRow("a code without the mark, the break moved with it")
            << "１５００００２　東京都渋谷区渋谷2-21-1ヒカリエ" << 22 << "東京都渋谷区渋谷2-21-1 / ヒカリエ"
            << "150-0002";
        QTest::newRow("a house number is no code") << "東京都渋谷区渋谷1234567" << 0 << "東京都渋谷区渋谷1234567"
                                                   << "";
        QTest::newRow("half-width katakana") << "大阪市北区ｸﾞﾗﾝﾌﾛﾝﾄ" << 5 << "大阪市北区 / グランフロント"
                                             << "";
        QTest::newRow("a break at the very end: no building")
            << "東京都渋谷区渋谷2-21-1" << 22 << "東京都渋谷区渋谷2-21-1"
            << "";
    }
    void cardAddress() {
        QFETCH(QString, stored);
        QFETCH(int, buildingBreak);
        QFETCH(QString, written);
        QFETCH(QString, code);
        const addressee::Address address = addressee::cardAddress(stored, buildingBreak);
        QCOMPARE(address.building.isEmpty() ? address.text : address.text + " / " + address.building, written);
        QCOMPARE(address.postalCode, code);
    }

    // The postcard as printed to PDF, measured by pdftotext and on a raster:
    // the code's digits in the middle of Japan Post's boxes, the sender's in
    // the middle of the sender's boxes and nothing else near them, joint names
    // aligned at their tops, their honorifics on one line.
    void printedWhereJapanPostWantsIt_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("joint");
        QTest::addColumn<QString>("senderAddress");
        QTest::newRow("plain") << "やまだ|山田　太郎|100-0001|東京都千代田区千代田1-1|||||1|F" << QStringList()
                               << "東京都渋谷区渋谷2-21-1";
        QTest::newRow("long address and name, full-width code, joint names")
            << "ながしま|長嶋　綾之介左衛門兵衛|０６０－００４２|北海道札幌市中央区大通西十丁目4-1 "
               "札幌第一合同センター（十二階）「ショップ」|||||1|F"
            << QStringList{"花子", "一郎"} << "大阪府大阪市北区梅田3-1-1グランフロント大阪タワーA二十階";
        QTest::newRow("company, Latin") << "あくめ|株式会社ACME Japan|530-0001|大阪府大阪市北区梅田1-2-3|||||1|F"
                                        << QStringList() << "";
        QTest::newRow("a family of four") << "さとう|佐藤　健|530-0001|大阪府大阪市北区梅田1-2-3|||||1|F"
                                          << QStringList{"美智子", "翔", "さくら"} << "東京都渋谷区渋谷2-21-1";
    }
    void printedWhereJapanPostWantsIt() {
        QFETCH(QString, line);
        QFETCH(QStringList, joint);
        QFETCH(QString, senderAddress);
        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("postcard.pdf"));
        PrinterService paper(pdf);
        paper.setSheet(CardPrinter::Sheet::Postcard);
        const EntryRecord entry = EntryRecord::ofLine(line);
        people::PersonData person;
        for (const QString &given : joint)
            person.joint.append({given, {}, {}, {}});
        const postcard::Sender sender{QStringLiteral("鈴木　一郎"), QStringLiteral("150-0002"), senderAddress,
                                      QStringList{QStringLiteral("花子")}};
        postcard::drawAddressSide(paper, postcard::Recipient::of(entry, person), sender, {}, {});
        paper.endDocument();
        QVERIFY(!paper.failed());

        QSizeF page;
        const QList<Word> words = wordsOf(pdf, &page);
        QVERIFY2(!words.isEmpty(), "pdftotext (poppler-utils) is needed");
        QVERIFY(std::abs(page.width() - postcard::WidthMm) < 0.5 && std::abs(page.height() - postcard::HeightMm) < 0.5);
        const QString digits = postalcodes::digitsOf(entry[EntryField::PostalCode]);
        QRectF boxes, senderBoxes;
        for (int d = 0; d < 7; ++d) {
            boxes |= postcard::codeBoxMm(d);
            senderBoxes |= postcard::senderCodeBoxMm(d);
        }
        int digitsFound = 0;
        QRectF nameColumn;
        const QString name = entry[EntryField::Name];
        for (const Word &w : words) {
            const QString where = QStringLiteral("「%1」 at %2,%3").arg(w.text).arg(w.mm.x()).arg(w.mm.y());
            QVERIFY2(QRectF(0, 0, postcard::WidthMm, postcard::HeightMm).contains(w.mm), qPrintable(where));
            // Nothing but the sender's code comes near the sender's boxes.
            if (w.mm.intersects(senderBoxes.adjusted(-0.5, -1.0, 0.5, 0.5)))
                QVERIFY2(std::all_of(w.text.begin(), w.text.end(), [](QChar c) { return c.isDigit(); }),
                         qPrintable(where));
            if (w.mm.intersects(boxes)) {
                // Only the recipient's digits, each one in the middle of its own box.
                QVERIFY2(w.text.size() == 1 && digitsFound < 7 && w.text == digits.at(digitsFound), qPrintable(where));
                const QPointF off = w.mm.center() - postcard::codeBoxMm(digitsFound).center();
                QVERIFY2(std::abs(off.x()) <= 0.3 && std::abs(off.y()) <= 0.3,
                         qPrintable(where + QStringLiteral(" off by %1, %2 mm").arg(off.x()).arg(off.y())));
                ++digitsFound;
            } else if (std::abs(w.mm.center().x() - postcard::WidthMm / 2) < 8 && name.contains(w.text.left(1))) {
                nameColumn |= w.mm;
            }
        }
        QCOMPARE(digitsFound, 7);
        QCOMPARE(senderDigitsOffBy(pdf), QStringLiteral("7 digits within 0.3 mm"));

        // Joint names: each given name's first character level with the head's, each 様 level with the first.
        const QStringList givens = QStringList{name.section(u'　', 1)} + joint;
        QList<QRectF> givenTops, honorifics;
        const QString honorific = textforms::isCompanyName(name) ? QStringLiteral("御") : QStringLiteral("様");
        const auto inNames = [](const Word &w) {
            return w.mm.center().x() > 43 && w.mm.center().x() < 80 && w.mm.top() > 26;
        };
        for (const QString &given : givens)
            for (const Word &w : words)
                if (inNames(w) && !given.isEmpty() && w.text.startsWith(given.left(1))) {
                    givenTops.append(w.mm);
                    break;
                }
        for (const Word &w : words)
            if (inNames(w) && w.text.startsWith(honorific))
                honorifics.append(w.mm);
        if (givens.first().isEmpty()) // a company: its name whole
            givenTops = {QRectF(0, 0, 100, 20)};
        QCOMPARE(givenTops.size(), joint.size() + 1);
        QCOMPARE(honorifics.size(), joint.size() + 1);
        for (const QRectF &top : givenTops)
            QVERIFY2(std::abs(top.top() - givenTops.first().top()) <= 0.5, qPrintable(QString::number(top.top())));
        for (const QRectF &h : honorifics)
            QVERIFY2(std::abs(h.top() - honorifics.first().top()) <= 0.5, qPrintable(QString::number(h.top())));
        // 様 smaller than the name, and below it.
        QVERIFY(honorifics.first().height() < givenTops.first().height());
        QVERIFY(honorifics.first().top() > givenTops.first().bottom());

        // Every character is text in the PDF, the vertical forms too.
        QString said;
        for (const Word &w : words)
            said += w.text;
        for (const QChar c :
             verticaltext::forColumn(entry[EntryField::Address] + name, verticaltext::Numerals::KanjiDigits))
            if (!c.isSpace() && c != u'―')
                QVERIFY2(said.contains(c), qPrintable(QString(c)));
        if (joint.isEmpty()) {
            QVERIFY(!nameColumn.isEmpty());
            QVERIFY2(std::abs(nameColumn.center().x() - postcard::WidthMm / 2) <= 1.0,
                     qPrintable(QString::number(nameColumn.center().x())));
        }
    }

    // Envelopes and labels printed to PDF, measured by pdftotext: an
    // envelope's digits in the middle of its code boxes; each label's text
    // inside its own cell, its first line where the cell's padding begins.
    void envelopesAndLabels_data() {
        QTest::addColumn<int>("what"); // 0, 1: the envelopes; else labels a sheet
        QTest::addColumn<int>("firstCell");
        QTest::newRow("長形3号") << 0 << 0;
        QTest::newRow("洋形2号") << 1 << 0;
        QTest::newRow("24 labels from the 5th") << 24 << 4;
        QTest::newRow("12 labels from the 1st") << 12 << 0;
    }
    void envelopesAndLabels() {
        QFETCH(int, what);
        QFETCH(int, firstCell);
        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("sheet.pdf"));
        PrinterService paper(pdf);
        const QList<postcard::Recipient> recipients = {
            {"山田　太郎", "100-0001", "東京都千代田区千代田1-1", {}},
            {"株式会社テルボラ　佐藤　花子", "530-0001", "大阪府大阪市北区梅田1-2-3 梅田スカイビル 20階", {}},
            {"鈴木　一郎", "060-0042", "北海道札幌市中央区大通西10丁目4-1", {}}};
        const postcard::Form form = what == 0 ? postcard::Form::LongEnvelope : postcard::Form::WesternEnvelope;
        const labels::SheetLayout layout = labels::layoutOf(what);
        if (what < 2) {
            paper.setSheet(what == 0 ? CardPrinter::Sheet::LongEnvelope : CardPrinter::Sheet::WesternEnvelope);
            postcard::drawAddressSide(paper, recipients.first(), {}, {}, {}, form);
        } else {
            paper.setSheet(CardPrinter::Sheet::LabelSheet);
            for (int i = 0; i < recipients.size(); ++i)
                labels::drawLabel(paper, recipients.at(i), labels::cellMm(layout, firstCell + i), {});
        }
        paper.endDocument();
        QVERIFY(!paper.failed());
        QSizeF page;
        const QList<Word> words = wordsOf(pdf, &page);
        QVERIFY2(!words.isEmpty(), "pdftotext (poppler-utils) is needed");
        const QSizeF sheet = what < 2 ? postcard::sheetMm(form) : QSizeF(210, 297);
        QVERIFY(std::abs(page.width() - sheet.width()) < 0.5 && std::abs(page.height() - sheet.height()) < 0.5);
        if (what < 2) {
            int digit = 0;
            for (const Word &w : words) {
                if (w.text.size() != 1 || !w.text.at(0).isDigit() || w.mm.top() > 25)
                    continue;
                const QPointF off = w.mm.center() - postcard::codeBoxMm(digit, form).center();
                QVERIFY2(std::abs(off.x()) <= 0.3 && std::abs(off.y()) <= 0.3,
                         qPrintable(QStringLiteral("digit %1 off by %2, %3 mm").arg(digit).arg(off.x()).arg(off.y())));
                ++digit;
            }
            QCOMPARE(digit, 7);
            return;
        }
        for (int i = 0; i < recipients.size(); ++i) {
            const QRectF cell = labels::cellMm(layout, firstCell + i);
            QRectF ink;
            for (const Word &w : words)
                if (cell.contains(w.mm.center()))
                    ink |= w.mm;
            QVERIFY2(!ink.isEmpty(), qPrintable(QString::number(i)));
            // Inside the cell, the padding kept; the 〒 line where the padding begins.
            QVERIFY2(cell.adjusted(3.2, 2.7, -3.2, -2.7).contains(ink),
                     qPrintable(QStringLiteral("label %1: %2,%3 %4x%5")
                                    .arg(i)
                                    .arg(ink.x())
                                    .arg(ink.y())
                                    .arg(ink.width())
                                    .arg(ink.height())));
            QVERIFY2(std::abs(ink.left() - (cell.left() + 3.5)) <= 0.3, qPrintable(QString::number(ink.left())));
        }
    }
};

TELBORA_TEST(TestPostcards)
#include "tst_postcards.moc"
