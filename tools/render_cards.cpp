// Prints one card of each format into PDF files and renders each format's
// preview to PNG, with realistic entries, for looking at them:
//   QT_QPA_PLATFORM=offscreen build/tools/render_cards /tmp/cards
//   pdftoppm -png -r 100 /tmp/cards/paper-0.pdf /tmp/cards/paper-0
// With --default-printer as second argument the cards go to the system's
// default printer (for example the cups-pdf queue) instead of PDF files.
// Then the position adjustment's test sheet as test-sheet.pdf, and postcards
// (postcard-N.pdf, postcard-preview-N.png) for the first entries.
#include "printer/printerservice.h"
#include "render/fonts.h"
#include "render/labels.h"
#include "render/mdlPrint.h"
#include "render/mdlView.h"
#include "render/postcard.h"
#include "render/testsheet.h"
#include "store/entryrecord.h"
#include "store/mdlDim.h"
#include "ui/formpictures.h"
#include "ui/picturebox.h"
#include "ui/twips.h"

#include <QApplication>
#include <QDir>

namespace {
const QStringList Entries = {
    "1|ながしまあやのすけ|長嶋　綾之介左衛門|100-0001|東京都千代田区千代田一丁目一番一号|03-1234-5678|03-1234-5679|090-"
    "1111-2222|ayanosuke.nagashima@example.co.jp|1|F",
    "2|さとうはなこ|佐藤　花子|060-0042|北海道札幌市中央区大通西四丁目一番地　道新ビル大通館八階八〇一号室|011-222-"
    "3333||080-4444-5555|hanako@example.jp|2|F",
    "3|やまだ|山田　太郎||大阪府大阪市北区梅田三丁目|06-6345-6789|06-6345-6780|||3|T",
    "4|Smith|John Smith|150-0002|東京都渋谷区渋谷二丁目|117||070-1234-5678|john.smith@example.com|4|F",
    "5|たかはしけんじ|高橋　健二|980-0811|宮城県仙台市青葉区一番町|022-123-4567|022-123-4568|090-9876-5432|k.takahashi@"
    "example.ne.jp|5|F",
    "6|いのうえみさき|井上　美咲|812-0011|福岡県福岡市博多区博多駅前|092-111-2222||080-3333-4444|misaki.inoue@example."
    "jp|6|F",
    "7|きむらあや|木村　彩|460-0008|愛知県名古屋市中区栄|052-123-4567|||aya@example.jp|7|F",
    "8|はやしひろし|林　浩|730-0011|広島県広島市中区基町|082-222-1111|082-222-1112|090-2222-3333||8|F",
    "9|しみずゆき|清水　ゆき|900-0015|沖縄県那覇市久茂地|098-765-4321||||9|F",
    "10|まつもとたろう|松本　太郎|380-0846|長野県長野市旭町|026-232-0111|026-232-0112|080-5555-6666|taro@example.org|"
    "10|F",
    "11|こばやしあや|小林　亜矢|320-0033|栃木県宇都宮市本町|028-623-2111||||1|F",
    "12|わたなべけん|渡辺　健|700-0024|岡山県岡山市北区駅元町|086-803-1000|086-803-1001|||2|F",
};
} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    fonts::installFontMap();
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QDir().mkpath(out);
    const bool toDefaultPrinter = argc > 2 && QByteArray(argv[2]) == "--default-printer";
    for (int format = 0; format < 4; ++format) {
        PrinterService paper = toDefaultPrinter
                                   ? PrinterService()
                                   : PrinterService(QDir(out).filePath(QStringLiteral("paper-%1.pdf").arg(format)));
        mdlPrint::PrintCardLines(paper, format, 10, 0, formpictures::all(true));
        mdlPrint::PrintCardInfo(paper, format, 10, 0, Entries, 0, 1);
        if (paper.failed())
            qWarning("format %d: %s", format, qPrintable(paper.error()));

        PictureBox picView(nullptr, QStringLiteral("picView"));
        twips::place(&picView, 90, 570, 5445, 6885);
        picView.clear();
        mdlView::ViewCardLines(picView, format, 80, 260, formpictures::all(false));
        mdlView::ViewCardInfo(picView, format, 0, Entries, 0, 1);
        picView.picture().save(QDir(out).filePath(QStringLiteral("preview-%1.png").arg(format)));
        qInfo("format %d: paper-%d.pdf (%d document), preview-%d.png", format, format, paper.documentsSent(), format);
    }
    // The position adjustment's test sheet, moved by +2.5 mm and -1.0 mm.
    PrinterService sheet(QDir(out).filePath(QStringLiteral("test-sheet.pdf")));
    sheet.setOffsetMm(QPointF(2.5, -1.0));
    testsheet::Print(sheet, formpictures::all(true), QStringLiteral("TelboraPDF"), QPointF(2.5, -1.0));
    qInfo("test-sheet.pdf (%d document)", sheet.documentsSent());

    const postcard::Sender sender{QStringLiteral("鈴木　一郎"),
                                  QStringLiteral("150-0002"),
                                  QStringLiteral("東京都渋谷区渋谷2-21-1 渋谷ヒカリエ11F"),
                                  {QStringLiteral("花子")}};
    // A joint-name family, a company and its person, a building break, ご家族様, messy data.
    people::PersonData family;
    family.joint = {{QStringLiteral("花子"), {}, {}, {}}, {QStringLiteral("一郎"), {}, {}, QStringLiteral("くん")}};
    people::PersonData atCompany;
    atCompany.department = QStringLiteral("営業部");
    atCompany.title = QStringLiteral("部長");
    people::PersonData withBreak;
    withBreak.buildingBreak = 19;
    people::PersonData bigFamily;
    for (const char *given : {"花子", "一郎", "次郎", "三郎", "桃子"})
        bigFamily.joint.append({QString::fromUtf8(given), {}, {}, {}});
    people::PersonData doctor;
    doctor.honorific = QStringLiteral("先生");
    const QList<postcard::Recipient> postcards = {
        postcard::Recipient::of(EntryRecord::ofElement(Entries.at(0)), family),
        postcard::Recipient::of(EntryRecord::ofElement(Entries.at(1)), doctor),
        postcard::Recipient::of(EntryRecord::ofElement(Entries.at(2)), bigFamily),
        {QStringLiteral("株式会社ACME Japan　山田　太郎"), QStringLiteral("530-0011"),
         QStringLiteral("大阪府大阪市北区大深町4-20 グランフロント大阪タワーA 20階"), atCompany},
        {QStringLiteral("長嶋　綾之介左衛門兵衛"), QStringLiteral("060-0042"),
         QStringLiteral("北海道札幌市中央区大通西10丁目4-1札幌第一合同庁舎ビル（十二階）"), withBreak},
        {QStringLiteral("ﾔﾏﾀﾞ　ﾀﾛｳ"), {}, QStringLiteral("〒100-0001 東京都千代田区千代田1-1"), {}},
        {QStringLiteral("株式会社テルボラ"), QStringLiteral("150-0002"), QStringLiteral("東京都渋谷区渋谷1-2-3"),
         atCompany},
    };
    for (int n = 0; n < postcards.size(); ++n) {
        for (const auto numerals : {verticaltext::Numerals::KanjiDigits, verticaltext::Numerals::Arabic}) {
            postcard::Options options;
            options.numerals = numerals;
            const QString suffix = numerals == verticaltext::Numerals::Arabic ? QStringLiteral("-arabic") : QString();
            PrinterService card(QDir(out).filePath(QStringLiteral("postcard-%1%2.pdf").arg(n).arg(suffix)));
            card.setSheet(CardPrinter::Sheet::Postcard);
            postcard::drawAddressSide(card, postcards.at(n), sender, options, {});
            card.endDocument();
            PictureBox picView(nullptr, QStringLiteral("picView"));
            twips::place(&picView, 90, 570, 5445, 6885);
            picView.clear();
            const double scale = 6885.0 * 0.95 / (postcard::HeightMm * twips::PerMm);
            const postcard::Placement at{QPointF((5445 - postcard::WidthMm * twips::PerMm * scale) / 2, 6885 * 0.025),
                                         scale};
            postcard::drawSheet(picView, at);
            postcard::drawAddressSide(picView, postcards.at(n), sender, options, at);
            picView.picture().save(QDir(out).filePath(QStringLiteral("postcard-preview-%1%2.png").arg(n).arg(suffix)));
        }
    }
    // Envelopes, and a sheet of 24 labels from its fifth label.
    for (const auto &[form, name] : {std::pair{postcard::Form::LongEnvelope, "envelope-long3"},
                                     std::pair{postcard::Form::WesternEnvelope, "envelope-western2"}}) {
        PrinterService paper(QDir(out).filePath(QStringLiteral("%1.pdf").arg(QLatin1String(name))));
        paper.setSheet(form == postcard::Form::LongEnvelope ? CardPrinter::Sheet::LongEnvelope
                                                            : CardPrinter::Sheet::WesternEnvelope);
        postcard::drawAddressSide(paper, postcards.at(0), sender, {}, {}, form);
        paper.endDocument();
    }
    for (const int perSheet : {24, 12}) {
        PrinterService paper(QDir(out).filePath(QStringLiteral("labels-%1.pdf").arg(perSheet)));
        paper.setSheet(CardPrinter::Sheet::LabelSheet);
        const labels::SheetLayout layout = labels::layoutOf(perSheet);
        for (int n = 0; n < postcards.size(); ++n)
            labels::drawLabel(paper, postcards.at(n), labels::cellMm(layout, n + 4), {});
        paper.endDocument();
    }
    return 0;
}
