#include "common/recordingtarget.h"
#include "common/testmain.h"
#include "printer/printerservice.h"
#include "render/cardlayout.h"
#include "render/cardrenderer.h"
#include "render/fontfit.h"
#include "render/mdlPrint.h"
#include "render/mdlView.h"
#include "render/testsheet.h"
#include "store/mdlDim.h"
#include "ui/formpictures.h"
#include "ui/picturebox.h"
#include "ui/twips.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using Kind = RecordingTarget::Kind;

namespace {
// One call as a short line of text, so that whole sequences compare at once.
QString describe(const RecordingTarget::Call &c) {
    switch (c.kind) {
    case Kind::Line:
        return QStringLiteral("%1 w%2 %3 %4,%5-%6,%7")
            .arg(c.pen.style == Qt::DotLine ? "dot" : "line")
            .arg(c.pen.width)
            .arg(c.colour.red())
            .arg(c.from.x())
            .arg(c.from.y())
            .arg(c.to.x())
            .arg(c.to.y());
    case Kind::Text:
        return QStringLiteral("text %1,%2 %3%4%5%6 \"%7\"")
            .arg(c.from.x())
            .arg(c.from.y())
            .arg(c.font.name == "Arial" ? "A" : "G")
            .arg(c.font.size)
            .arg(c.font.bold ? "b" : "")
            .arg(c.colour == QColor(0, 0, 0) ? "" : " coloured")
            .arg(c.text);
    case Kind::Picture:
        return QStringLiteral("pic %1,%2 %3x%4")
            .arg(c.area.x())
            .arg(c.area.y())
            .arg(c.area.width())
            .arg(c.area.height());
    case Kind::Glyphs:
        return QStringLiteral("glyphs %1,%2 \"%3\"").arg(c.from.x()).arg(c.from.y()).arg(c.text);
    case Kind::EndDocument:
        return QStringLiteral("end");
    case Kind::Clear:
        return QStringLiteral("clear");
    }
    return {};
}

QStringList described(const QList<RecordingTarget::Call> &calls, int from = 0, int count = -1) {
    QStringList out;
    for (const auto &c : calls.mid(from, count))
        out.append(describe(c));
    return out;
}

QString element(int line, const QString &name, const QString &postal, const QString &address, const QString &tel,
                const QString &fax = {}, const QString &mobile = {}, const QString &email = {}) {
    return QStringLiteral("%1|よみ|%2|%3|%4|%5|%6|%7|%8|1|F")
        .arg(line)
        .arg(name, postal, address, tel, fax, mobile, email);
}

// The entries a print run holds, the card it is on and the next entry to write.
struct Run {
    QStringList entries;
    int card = 1;
    int index = 0;
} shown;

void prepare(const QStringList &table, int card = 1, int index = 0) {
    shown = {table, card, index};
}

// The run's card on paper, as the print job writes it: the next entries,
// from the start line on card 1 and from line 1 later.
int printInfo(DrawTarget &paper, int format, int startLine) {
    const int placed = mdlPrint::PrintCardInfo(paper, format, 10, 0, shown.entries, shown.index,
                                               cardlayout::firstLineOfCard(shown.card, startLine));
    shown.index += placed;
    return placed;
}

int viewInfo(DrawTarget &screen, int format, int startLine) {
    const int placed = mdlView::ViewCardInfo(screen, format, 0, shown.entries, shown.index,
                                             cardlayout::firstLineOfCard(shown.card, startLine));
    shown.index += placed;
    return placed;
}
} // namespace

class TestCards : public QObject {
    Q_OBJECT

    RecordingTarget printer;
    QList<QPixmap> paperPictures = formpictures::all(true);
    QList<QPixmap> screenPictures = formpictures::all(false);

private slots:
    void init() {
        printer.reset();
        fontfit::resetMeasuring();
    }

    void sameCardTwiceGivesTheSamePicture() {
        QStringList table;
        for (int i = 0; i < 10; ++i)
            table.append(element(i + 1, QString("名%1").arg(i), "100-0001", "住所", "03-1234-5678"));
        QImage pictures[2];
        for (QImage &picture : pictures) {
            prepare(table, 2, 9);
            PictureBox picView(nullptr, "picView");
            twips::place(&picView, 90, 570, 5445, 6885);
            picView.clear();
            mdlView::ViewCardLines(picView, 3, 80, 260, screenPictures);
            viewInfo(picView, 3, 1);
            picture = picView.picture().toImage();
            QCOMPARE(shown.index, 10); // one entry on card 2, then eight empty lines
        }
        QCOMPARE(pictures[0], pictures[1]);
    }

    void paperForm_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<QStringList>("firstLine");
        QTest::addColumn<int>("pitch");
        QTest::newRow("0") << 0 << QStringList{"pic 2750,370 246x200",       "pic 4280,450 34x36",
                                               "pic 5570,450 34x36",         "dot w1 0 2680,740-6940,740",
                                               "dot w1 0 10,1270-6940,1270", "line w3 0 10,1800-6940,1800"}
                           << 1590;
        QTest::newRow("1") << 1 << QStringList{"pic 5130,265 260x220",
                                               "pic 5140,605 260x220",
                                               "line w1 190 5050,535-6940,535",
                                               "line w1 190 5050,225-5050,875",
                                               "line w1 190 10,875-6940,875",
                                               "pic 90,975 320x290",
                                               "line w1 190 10,1345-6940,1345",
                                               "pic 90,1475 230x249",
                                               "line w1 190 2180,1345-2180,1795",
                                               "pic 2340,1485 284x220",
                                               "line w3 0 10,1795-6940,1795"}
                           << 1585;
        QTest::newRow("2") << 2
                           << QStringList{"pic 4600,306 260x220", "pic 4600,696 260x220",
                                          "line w1 190 4510,606-6940,606", "line w1 190 4510,226-4510,986",
                                          "line w3 0 10,1002-6940,1002"}
                           << 792;
        QTest::newRow("3") << 3
                           << QStringList{"pic 4580,360 260x220", "pic 90,840 290x238", "line w1 190 10,700-6940,700",
                                          "line w1 190 4470,220-4470,700", "line w3 0 10,1210-6940,1210"}
                           << 1000;
    }
    void paperForm() {
        QFETCH(int, format);
        QFETCH(QStringList, firstLine);
        QFETCH(int, pitch);
        mdlPrint::PrintCardLines(printer, format, 10, 0, paperPictures);
        const QStringList all = described(printer.calls);
        QCOMPARE(all.mid(0, 3),
                 (QStringList{"pic 6030,0 760x159", "line w3 0 10,140-2280,140", "line w3 0 10,210-6940,210"}));
        const int steps = static_cast<int>(firstLine.size());
        const int lines = cardlayout::LinesPerCard(format);
        QCOMPARE(all.size(), 3 + lines * steps + 5);
        QCOMPARE(all.mid(3, steps), firstLine);
        // Every later line is the first moved down by the pitch.
        const auto lastThick = printer.calls.at(3 + lines * steps - 1);
        QCOMPARE(lastThick.from.y(), printer.calls.at(3 + steps - 1).from.y() + (lines - 1) * pitch);
        const int b = 210 + lines * pitch;
        QCOMPARE(lastThick.from.y(), b);
        QCOMPARE(all.mid(3 + lines * steps),
                 (QStringList{QString("pic 1370,%1 28x28").arg(b + 150), QString("pic 2840,%1 28x28").arg(b + 150),
                              QString("pic 4320,%1 28x28").arg(b + 150), QString("pic 5780,%1 28x28").arg(b + 150),
                              QString("pic 6250,%1 574x120").arg(b + (format == 0 ? 70 : 60))}));
        QVERIFY(printer.ofKind(Kind::EndDocument).isEmpty());
    }

    void previewForm_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<QStringList>("head");
        QTest::addColumn<QStringList>("firstLine");
        QTest::addColumn<int>("pitch");
        QTest::addColumn<int>("closingDy");
        QTest::newRow("0") << 0 << QStringList{"pic 4580,260 700x150", "line w2 0 80,450-5300,450"}
                           << QStringList{"pic 2350,530 246x200",       "pic 3360,600 45x45",
                                          "pic 4300,600 45x45",         "dot w1 0 2270,780-5300,780",
                                          "dot w1 0 80,1120-5300,1120", "line w2 0 80,1470-5300,1470"}
                           << 1020 << 60;
        QTest::newRow("1") << 1 << QStringList{"pic 4600,240 705x165", "line w2 0 80,450-5300,450"}
                           << QStringList{"pic 3990,485 210x165",
                                          "pic 4010,690 195x180",
                                          "line w1 190 3920,660-5300,660",
                                          "line w1 190 3920,450-3920,880",
                                          "line w1 190 80,880-5300,880",
                                          "pic 130,930 255x210",
                                          "line w1 190 80,1180-5300,1180",
                                          "pic 130,1250 180x180",
                                          "line w1 190 1710,1180-1710,1470",
                                          "pic 1860,1260 210x165",
                                          "line w2 0 80,1470-5300,1470"}
                           << 1020 << 60;
        QTest::newRow("2") << 2 << QStringList{"pic 4600,240 705x165", "line w2 0 80,450-5300,450"}
                           << QStringList{"pic 3490,500 210x165", "pic 3510,745 195x180",
                                          "line w2 190 3470,700-5300,700", "line w1 190 3470,460-3470,940",
                                          "line w2 0 80,960-5300,960"}
                           << 510 << 60;
        QTest::newRow("3") << 3 << QStringList{"pic 4600,240 705x165", "line w2 0 80,450-5300,450"}
                           << QStringList{"pic 3500,520 210x165", "pic 80,830 255x210", "line w1 190 80,750-5300,750",
                                          "line w1 190 3440,450-3440,750", "line w2 0 80,1098-5300,1098"}
                           << 648 << 70;
    }
    void previewForm() {
        QFETCH(int, format);
        QFETCH(QStringList, head);
        QFETCH(QStringList, firstLine);
        QFETCH(int, pitch);
        QFETCH(int, closingDy);
        RecordingTarget screen;
        mdlView::ViewCardLines(screen, format, 80, 260, screenPictures);
        const QStringList all = described(screen.calls);
        const int steps = static_cast<int>(firstLine.size());
        const int lines = cardlayout::LinesPerCard(format);
        QCOMPARE(all.size(), 2 + lines * steps + 1);
        QCOMPARE(all.mid(0, 2), head);
        QCOMPARE(all.mid(2, steps), firstLine);
        const int b = 260 + 190 + lines * pitch;
        QCOMPARE(screen.calls.at(2 + lines * steps - 1).from.y(), b);
        QCOMPARE(all.last(), QString("pic 4730,%1 580x120").arg(b + closingDy));
    }

    void paperText_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<QStringList>("rows");
        const QString e =
            element(4, "山田", "100-0001", "東京都", "03-1234-5678", "03-1234-5679", "090-1111-2222", "y@a.jp");
        QTest::newRow("1") << 1
                           << QStringList{"text 120,420 G15b \"山田\"",          "text 5500,260 A11b \"03-1234-5678\"",
                                          "text 5500,590 A11b \"03-1234-5679\"", "text 450,1050 G9b \"〒\"",
                                          "text 680,1030 G10b \"100-0001\"",     "text 1700,1020 G12b \"東京都\"",
                                          "text 470,1470 A11b \"090-1111-2222\""};
        QTest::newRow("2") << 2
                           << QStringList{"text 150,480 G13b \"山田\"", "text 4980,260 A14b \"03-1234-5678\"",
                                          "text 4980,650 A14b \"03-1234-5679\""};
        QTest::newRow("3") << 3
                           << QStringList{"text 110,340 G13b \"山田\"", "text 5000,320 A14b \"03-1234-5678\"",
                                          "text 430,870 G9b \"〒\"", "text 650,850 G11b \"100-0001\"",
                                          "text 1780,840 G12b \"東京都\""};
    }
    void paperText() {
        QFETCH(int, format);
        QFETCH(QStringList, rows);
        prepare({element(4, "山田", "100-0001", "東京都", "03-1234-5678", "03-1234-5679", "090-1111-2222", "y@a.jp")});
        printInfo(printer, format, 1);
        QStringList all = described(printer.calls);
        QCOMPARE(all.last(), QStringLiteral("end"));
        all.removeLast();
        if (format == 1) {
            QVERIFY(all.last().startsWith("text 2710,"));
            QVERIFY(all.last().endsWith("\"E-mail: y@a.jp\""));
            all.removeLast();
        }
        QCOMPARE(all, rows);
    }

    void formatZeroTextOnPaperAndPreview() {
        const QString e = element(4, "山田", "100-0001", "東京都", "03-1234-5678", "03-1234-5679");
        prepare({e});
        printInfo(printer, 0, 1);
        QStringList paper = described(printer.calls);
        QCOMPARE(paper.size(), 10);
        QCOMPARE(paper.at(0), QStringLiteral("text 2730,846 G16b \"FAX:\""));
        QCOMPARE(paper.at(1), QStringLiteral("text 3460,280 G18b \"03\""));
        QCOMPARE(paper.at(2), QStringLiteral("text 4580,280 G18b \"1234\""));
        QVERIFY(paper.at(3).startsWith("text 130,") && paper.at(3).endsWith("\"山田\""));
        QCOMPARE(paper.mid(4), (QStringList{"text 5830,280 G18b \"5678\"", "text 3460,820 G18b \"03-1234-5679\"",
                                            "text 110,1440 G11b \"〒\"", "text 410,1420 G12b \"100-0001\"",
                                            "text 1610,1420 G12b \"東京都\"", "end"}));

        prepare({e});
        RecordingTarget screen;
        viewInfo(screen, 0, 1);
        QStringList preview = described(screen.calls);
        QCOMPARE(preview.mid(0, 4), (QStringList{"text 2350,840 G12b \"FAX:\"", "text 130,1210 G9b \"〒\"",
                                                 "text 2930,480 G14b \"03\"", "text 3540,480 G14b \"1234\""}));
        QVERIFY(preview.at(4).startsWith("text 120,") && preview.at(4).contains(" G") &&
                preview.at(4).contains("b \"山田\""));
        QCOMPARE(preview.mid(5), (QStringList{"text 4490,480 G14b \"5678\"", "text 2930,820 G14b \"03-1234-5679\"",
                                              "text 350,1220 G9b \"100-0001\"", "text 1335,1220 G9b \"東京都\""}));
    }

    void previewText_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("1") << 1 << QStringList{"line w1 0 430,1010-540,1010",       "line w1 0 430,1040-540,1040",
                                               "line w1 0 475,1040-475,1110",       "text 120,570 G11b \"山田\"",
                                               "text 4250,500 G8 \"03-1234-5678\"", "text 4250,700 G8 \"03-1234-5679\"",
                                               "text 570,970 A7b \"100-0001\"",     "text 1230,960 G9b \"東京都\"",
                                               "text 400,1260 G8 \"090-1111-2222\""};
        QTest::newRow("2") << 2
                           << QStringList{"text 150,610 G10b \"山田\"", "text 3750,450 A12b \"03-1234-5678\"",
                                          "text 3750,700 A12b \"03-1234-5679\""};
        QTest::newRow("3") << 3 << QStringList{"line w1 0 390,920-500,920",           "line w1 0 390,890-500,890",
                                               "line w1 0 430,920-430,1000",          "text 110,510 G10b \"山田\"",
                                               "text 3750,480 A12b \"03-1234-5678\"", "text 530,830 A9 \"100-0001\"",
                                               "text 1360,850 G9b \"東京都\""};
    }
    void previewText() {
        QFETCH(int, format);
        QFETCH(QStringList, rows);
        const QString e =
            element(4, "山田", "100-0001", "東京都", "03-1234-5678", "03-1234-5679", "090-1111-2222", "y@a.jp");
        // On card 2 the text starts at line 1, at t = 0 whatever the start line.
        prepare({e}, 2, 0);
        RecordingTarget screen;
        viewInfo(screen, format, 3);
        QStringList all = described(screen.calls);
        if (format == 1) {
            QVERIFY(all.last().startsWith("text 2130,"));
            QVERIFY(all.last().endsWith(" \"E-mail: y@a.jp\""));
            all.removeLast();
        }
        QCOMPARE(all, rows);
        QCOMPARE(shown.index, 1);
    }

    void telephonePartsByLength_data() {
        QTest::addColumn<QString>("telephone");
        QTest::addColumn<int>("paper1");
        QTest::addColumn<int>("paper2");
        QTest::addColumn<int>("preview1");
        QTest::addColumn<int>("preview2");
        QTest::newRow("2 + 4") << "03-1234-5678" << 3460 << 4580 << 2930 << 3540;
        QTest::newRow("3 + 3") << "011-222-3333" << 3345 << 4620 << 2810 << 3630;
        QTest::newRow("4 + 2") << "0120-12-3456" << 3250 << 4730 << 2650 << 3700;
        QTest::newRow("117 alone") << "117" << 3345 << 4620 << 2810 << 3700;
        QTest::newRow("5 + 5") << "12345-67890-1" << 3285 << 4620 << 2650 << 3540;
        QTest::newRow("1 + 1") << "1-2-3" << 3285 << 4620 << 2930 << 3700;
    }
    void telephonePartsByLength() {
        QFETCH(QString, telephone);
        QFETCH(int, paper1);
        QFETCH(int, paper2);
        QFETCH(int, preview1);
        QFETCH(int, preview2);
        prepare({element(1, "名", "", "", telephone)});
        printInfo(printer, 0, 1);
        QCOMPARE(printer.calls.at(1).from.x(), paper1);
        QCOMPARE(printer.calls.at(2).from.x(), paper2);
        prepare({element(1, "名", "", "", telephone)});
        RecordingTarget screen;
        viewInfo(screen, 0, 1);
        QCOMPARE(screen.calls.at(2).from.x(), preview1);
        QCOMPARE(screen.calls.at(3).from.x(), preview2);
    }

    // An address with its building and room (up to the editor's 40
    // characters) is written smaller to end on the card, bottom kept.
    void longAddressEndsOnTheCard_data() {
        QTest::addColumn<int>("medium");
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("rightEdge");
        for (int format : {0, 1, 3}) {
            QTest::addRow("paper %d", format) << int(cardlayout::Medium::Paper) << format << 6870;
            QTest::addRow("preview %d", format) << int(cardlayout::Medium::Preview) << format << 5180;
        }
    }
    void longAddressEndsOnTheCard() {
        QFETCH(int, medium);
        QFETCH(int, format);
        QFETCH(int, rightEdge);
        const QString longAddress =
            QStringLiteral("北海道札幌市中央区大通西四丁目一番地　道新ビル大通館八階八〇一号室一二三四五六七");
        QCOMPARE(longAddress.size(), 40);
        for (const QString &address : {longAddress, QStringLiteral("東京都港区")}) {
            RecordingTarget target;
            cardrenderer::drawEntries(target, cardlayout::Medium(medium), format,
                                      {"1|やまだ|山田|060-0042|" + address + "|||||1|F"}, 0, 1, 0, 0);
            const auto texts = target.ofKind(Kind::Text);
            const auto drawn =
                std::find_if(texts.begin(), texts.end(), [&](const auto &c) { return c.text == address; });
            QVERIFY(drawn != texts.end());
            const QSizeF size = fontfit::measure(address, drawn->font.name, drawn->font.size, drawn->font.bold);
            QVERIFY2(drawn->from.x() + size.width() <= rightEdge, qPrintable(QString::number(drawn->font.size)));
            // A short one keeps the designed size.
            if (address.size() < 10)
                QVERIFY(drawn->font.size >= 9);
        }
    }

    void startLineAndNoMarks() {
        prepare({element(3, "一", "", "", "1"), element(5, "二", "", "", "2"), element(9, "三", "", "", "3")});
        printInfo(printer, 2, 5);
        QList<int> tops;
        for (const auto &c : printer.ofKind(Kind::Text))
            if (c.font.size == 13)
                tops.append(c.from.y() - 480);
        QCOMPARE(tops, (QList<int>{3168, 3960, 4752}));
        QCOMPARE(shown.index, 3);
        for (const QString &e : std::as_const(shown.entries))
            QVERIFY(e.endsWith("|1|F")); // the print job records what was printed, not the card
        QCOMPARE(printer.ofKind(Kind::EndDocument).size(), 1);
    }

    void laterCardStartsAtLineOne() {
        QStringList table;
        for (int i = 0; i < 7; ++i)
            table.append(element(i + 1, QString("名%1").arg(i), "", "", ""));
        prepare(table, 2, 6);
        printInfo(printer, 0, 1);
        const auto texts = printer.ofKind(Kind::Text);
        QVERIFY(!texts.isEmpty());
        for (const auto &c : texts)
            QVERIFY(c.from.y() < 1584 + 10); // line 1 only
        QCOMPARE(shown.index, 7);
        QCOMPARE(printer.calls.last().kind, Kind::EndDocument);
        QCOMPARE(printer.ofKind(Kind::EndDocument).size(), 1);
    }

    void unknownFormatDrawsNothingButEnds() {
        prepare({element(1, "名", "", "", "")});
        mdlPrint::PrintCardLines(printer, 4, 10, 0, paperPictures);
        printInfo(printer, 4, 1);
        QCOMPARE(described(printer.calls), QStringList{"end"});
        QCOMPARE(shown.index, 0);
        prepare({});
        printInfo(printer, 0, 1);
        QCOMPARE(printer.ofKind(Kind::EndDocument).size(), 2);
    }

    void postalCodeOnlyWhenGiven_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("mark");
        QTest::newRow("0") << 0 << "〒";
        QTest::newRow("1") << 1 << "〒";
        QTest::newRow("3") << 3 << "〒";
    }
    void postalCodeOnlyWhenGiven() {
        QFETCH(int, format);
        QFETCH(QString, mark);
        prepare({element(1, "名", "", "住所", "")});
        printInfo(printer, format, 1);
        const QStringList texts = printer.texts();
        QVERIFY(texts.contains(mark));
        QVERIFY(texts.contains("住所"));
        QCOMPARE(texts.count(""), format == 0 ? 4 : format == 1 ? 3 : 1); // empty fields are still written
    }

    void previewPostalStrokes_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<QStringList>("strokes");
        QTest::newRow("1") << 1
                           << QStringList{"line w1 0 430,1010-540,1010", "line w1 0 430,1040-540,1040",
                                          "line w1 0 475,1040-475,1110"};
        QTest::newRow("3") << 3
                           << QStringList{"line w1 0 390,920-500,920", "line w1 0 390,890-500,890",
                                          "line w1 0 430,920-430,1000"};
    }
    void previewPostalStrokes() {
        QFETCH(int, format);
        QFETCH(QStringList, strokes);
        prepare({element(1, "名", "", "住所", "")});
        RecordingTarget screen;
        viewInfo(screen, format, 1);
        QCOMPARE(described(screen.calls, 0, 3), strokes);
        QVERIFY(!screen.texts().contains("〒"));
    }

    void emailLineAlsoWhenEmpty() {
        prepare({element(1, "名", "", "", "")});
        printInfo(printer, 1, 1);
        const auto texts = printer.ofKind(Kind::Text);
        QCOMPARE(texts.last().text, QStringLiteral("E-mail: "));
        QCOMPARE(texts.last().font.size, 12.0); // the largest fitted size
        QVERIFY(!texts.last().font.bold);
    }

    void veryLongNameAtSizeTwo() {
        prepare({element(1, QString(60, QChar(0x9577)), "", "", "")});
        printInfo(printer, 0, 1);
        QCOMPARE(printer.ofKind(Kind::Text).at(3).font.size, 2.0);
    }

    void fittingMeasuresBoldUntilAnEmailLine() {
        const cardlayout::Fit name{2670, 20, 2, -1};
        QVERIFY(fontfit::measuresBold());
        const fontfit::Fitted bold = fontfit::FitFontSize("長嶋綾之介左衛門", name, false);
        fontfit::FitFontSize("E-mail: a@b.jp", {4220, 13, 2, -1}, true);
        QVERIFY(!fontfit::measuresBold());
        const fontfit::Fitted plain = fontfit::FitFontSize("長嶋綾之介左衛門", name, false);
        // The size found is the largest still narrower than the limit, measured bold and then plain.
        QVERIFY(fontfit::measure("長嶋綾之介左衛門", "MS UI Gothic", bold.size, true).width() < 2670);
        QVERIFY(fontfit::measure("長嶋綾之介左衛門", "MS UI Gothic", bold.size + 1, true).width() >= 2670);
        QVERIFY(fontfit::measure("長嶋綾之介左衛門", "MS UI Gothic", plain.size, false).width() < 2670);
        QVERIFY(fontfit::measure("長嶋綾之介左衛門", "MS UI Gothic", plain.size + 1, false).width() >= 2670);
    }

    // Names and e-mail lines of a generated set, printed to PDF: as pdftotext
    // measures them there, each stays narrower than its row's limit.
    void fittedTextStaysInsideOnPaper() {
        QStringList table;
        const QString kanji = QStringLiteral("長嶋綾之介左衛門渡辺健太郎佐々木美智子");
        for (int n = 1; n <= 24; ++n) {
            const QString name = kanji.left(2 + n % 17);
            const QString email =
                QStringLiteral("%1@mail%2.example.co.jp").arg(QString(n, QLatin1Char('m')), QString::number(n));
            table.append(element(n, name, "", "", "", "", "", email));
        }
        QTemporaryDir out;
        for (int format : {0, 1}) {
            prepare(table);
            PrinterService paper(out.filePath(QStringLiteral("f%1-%2.pdf").arg(format).arg(QLatin1String("%1"))));
            while (shown.index < table.size()) {
                printInfo(paper, format, 1);
                ++shown.card;
            }
            QVERIFY(!paper.failed());
        }

        int names = 0, emails = 0;
        const QRegularExpression word(QStringLiteral(
            R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="[\d.]+">([^<]*)</word>)re"));
        for (const QString &pdf : QDir(out.path()).entryList({QStringLiteral("*.pdf")})) {
            QProcess pdftotext;
            pdftotext.start(QStringLiteral("pdftotext"),
                            {QStringLiteral("-bbox"), out.filePath(pdf), QStringLiteral("-")});
            QVERIFY2(pdftotext.waitForFinished(30000) && pdftotext.exitCode() == 0,
                     "pdftotext (poppler-utils) is needed");
            QString emailStart, lastY;
            double emailX = 0;
            for (auto it = word.globalMatch(QString::fromUtf8(pdftotext.readAllStandardOutput())); it.hasNext();) {
                const auto m = it.next();
                const double widthTwips = (m.captured(3).toDouble() - m.captured(1).toDouble()) * 20;
                const QString text = m.captured(4);
                if (pdf.startsWith("f0") && kanji.startsWith(text)) {
                    QVERIFY2(widthTwips < 2670, qPrintable(QStringLiteral("%1: %2 twips").arg(text).arg(widthTwips)));
                    ++names;
                }
                if (text == QLatin1String("E-mail:")) {
                    emailX = m.captured(1).toDouble();
                    lastY = m.captured(2);
                } else if (text.contains('@') && m.captured(2) == lastY) {
                    const double lineTwips = (m.captured(3).toDouble() - emailX) * 20;
                    QVERIFY2(lineTwips < 4220, qPrintable(QStringLiteral("%1: %2 twips").arg(text).arg(lineTwips)));
                    ++emails;
                }
            }
        }
        QCOMPARE(names, table.size());
        QCOMPARE(emails, table.size());
    }

    // The printer's adjustment moves every text of a card by exactly its
    // offset on paper (pdftotext, within 0.05 mm); the preview is untouched.
    void adjustmentMovesThePaperOnly() {
        const QStringList table = {element(1, "山田　太郎", "100-0001", "東京都千代田区", "03-1234-5678"),
                                   element(2, "Smith　John", "", "Somewhere 1-2", "06-1111-2222")};
        QTemporaryDir out;
        const auto words = [&](QPointF offset, const QString &name) {
            prepare(table);
            PrinterService paper(out.filePath(name));
            paper.setOffsetMm(offset);
            mdlPrint::PrintCardLines(paper, 0, 10, 0, formpictures::all(true));
            printInfo(paper, 0, 1);
            QProcess pdftotext;
            pdftotext.start(QStringLiteral("pdftotext"),
                            {QStringLiteral("-bbox"), out.filePath(name), QStringLiteral("-")});
            pdftotext.waitForFinished(30000);
            QList<QPointF> corners;
            const QRegularExpression word(QStringLiteral(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)")re"));
            for (auto it = word.globalMatch(QString::fromUtf8(pdftotext.readAllStandardOutput())); it.hasNext();) {
                const auto m = it.next();
                corners.append(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()));
            }
            return corners;
        };
        const auto preview = [&] {
            prepare(table);
            PictureBox picView(nullptr, QStringLiteral("picView"));
            twips::place(&picView, 90, 570, 5445, 6885);
            picView.clear();
            mdlView::ViewCardLines(picView, 0, 80, 260, formpictures::all(false));
            viewInfo(picView, 0, 1);
            return picView.picture().toImage();
        };
        const QImage previewBefore = preview();
        const QList<QPointF> plain = words({}, QStringLiteral("plain.pdf"));
        const QList<QPointF> moved = words({2.5, -1.0}, QStringLiteral("moved.pdf"));
        QVERIFY(plain.size() >= 8);
        QCOMPARE(moved.size(), plain.size());
        const double pointsPerMm = 72 / 25.4;
        for (qsizetype i = 0; i < plain.size(); ++i) {
            const QPointF shift = (moved.at(i) - plain.at(i)) / pointsPerMm;
            QVERIFY2(std::abs(shift.x() - 2.5) <= 0.05 && std::abs(shift.y() + 1.0) <= 0.05,
                     qPrintable(QStringLiteral("word %1 moved %2, %3 mm").arg(i).arg(shift.x()).arg(shift.y())));
        }
        // The preview draws what it drew before: the adjustment is the paper's alone.
        QCOMPARE(preview(), previewBefore);

        // The test sheet names the printer and the offsets it was printed with.
        PrinterService sheet(out.filePath(QStringLiteral("sheet.pdf")));
        sheet.setOffsetMm({1.5, -0.7});
        testsheet::Print(sheet, formpictures::all(true), QStringLiteral("TelboraPDF"), {1.5, -0.7});
        QCOMPARE(sheet.documentsSent(), 1);
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"), {out.filePath(QStringLiteral("sheet.pdf")), QStringLiteral("-")});
        pdftotext.waitForFinished(30000);
        const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
        QVERIFY2(text.contains("TelboraPDF") && text.contains("+1.5 mm") && text.contains("-0.7 mm"), qPrintable(text));

        // Every mark lies on the page: nothing left of or above its top-left corner.
        RecordingTarget marks;
        testsheet::Print(marks, formpictures::all(true), QStringLiteral("TelboraPDF"), {});
        for (const RecordingTarget::Call &call : marks.calls)
            if (call.kind == RecordingTarget::Kind::Line || call.kind == RecordingTarget::Kind::Text)
                QVERIFY2(
                    call.from.x() >= 0 && call.from.y() >= 0 && call.to.x() >= 0 && call.to.y() >= 0,
                    qPrintable(QStringLiteral("%1 at %2, %3").arg(call.text).arg(call.from.x()).arg(call.from.y())));
    }

    void cardCount_data() {
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("startLine");
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("cards");
        QTest::newRow("none") << 0 << 1 << 0 << 1;
        QTest::newRow("six from 1") << 6 << 1 << 0 << 1;
        QTest::newRow("seven from 4") << 7 << 4 << 0 << 2;
        QTest::newRow("twelve of format 2 from 12") << 12 << 12 << 2 << 2;
        QTest::newRow("ten of format 3") << 10 << 1 << 3 << 2;
    }
    void cardCount() {
        QFETCH(int, entries);
        QFETCH(int, startLine);
        QFETCH(int, format);
        QFETCH(int, cards);
        QCOMPARE(cardlayout::cardCount(entries, startLine, format), cards);
        QCOMPARE(cardlayout::firstIndexOfCard(2, startLine, format), cardlayout::LinesPerCard(format) - startLine + 1);
    }

    // The preview's thick lines, found in the pixels at the rows the tables give.
    void previewThickLinesInPixels_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("pitch");
        for (int f = 0; f < 4; ++f)
            QTest::addRow("%d", f) << f << QList<int>{1020, 1020, 510, 648}.at(f);
    }
    void previewThickLinesInPixels() {
        QFETCH(int, format);
        QFETCH(int, pitch);
        PictureBox picView(nullptr, "picView");
        twips::place(&picView, 90, 570, 5445, 6885);
        picView.clear();
        mdlView::ViewCardLines(picView, format, 80, 260, screenPictures);
        const QImage image = picView.picture().toImage();
        const int x = twips::toPx(80 + 1000);
        const auto dark = [&](int yTwips) {
            const int row = qFloor(twips::toPxF(yTwips));
            return qGray(image.pixel(x, row)) < 100;
        };
        for (int line = 0; line <= cardlayout::LinesPerCard(format); ++line) {
            const int y = 260 + 190 + line * pitch;
            QVERIFY2(dark(y), qPrintable(QString("thick line %1 at %2").arg(line).arg(y)));
            QVERIFY(!dark(y - 75));
        }
    }

    void printerServiceWritesOneDocumentPerCard() {
        QTemporaryDir dir;
        PrinterService pdf(dir.filePath("card-%1.pdf"));
        prepare({element(1, "山田", "100-0001", "東京都", "03-1234-5678")});
        mdlPrint::PrintCardLines(pdf, 0, 10, 0, paperPictures);
        printInfo(pdf, 0, 1);
        shown.card = 2;
        printInfo(pdf, 0, 1); // nothing left: an empty card
        QVERIFY2(!pdf.failed(), qPrintable(pdf.error()));
        QCOMPARE(pdf.documentsSent(), 2);
        for (int n = 1; n <= 2; ++n) {
            QFile file(dir.filePath(QString("card-%1.pdf").arg(n)));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QVERIFY(file.read(5) == "%PDF-");
        }
        QVERIFY(!QFile::exists(dir.filePath("card-3.pdf")));
    }
};

TELBORA_TEST(TestCards)
#include "tst_cards.moc"
