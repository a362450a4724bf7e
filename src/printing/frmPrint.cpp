#include "printing/frmPrint.h"

#include "printing/addressmedium.h"
#include "render/cardlayout.h"
#include "render/fonts.h"
#include "render/labels.h"
#include "render/mdlView.h"
#include "store/book.h"
#include "store/entryrecord.h"
#include "ui/artwork.h"
#include "ui/centerform.h"
#include "ui/formpictures.h"
#include "ui/frameline.h"
#include "ui/imagebutton.h"
#include "ui/picturebox.h"
#include "ui/skin.h"
#include "ui/titleimage.h"
#include "ui/twips.h"

#include <QCloseEvent>
#include <QLabel>

namespace {

// The preview as a screen reader reads it: entry by entry, each field named,
// in the order of the editor, not in the order the card is drawn.
QString spokenEntry(const EntryRecord &entry) {
    static const std::pair<EntryField, const char16_t *> fields[] = {
        {EntryField::Reading, u"ふりがな"}, {EntryField::Name, u"氏名"},     {EntryField::PostalCode, u"郵便番号"},
        {EntryField::Address, u"住所"},     {EntryField::Telephone, u"TEL"}, {EntryField::Fax, u"FAX"},
        {EntryField::Mobile, u"携帯電話"},  {EntryField::Email, u"E-mail"}};
    QStringList spoken;
    for (const auto &[field, label] : fields)
        if (!entry[field].isEmpty())
            spoken.append(QString::fromUtf16(label) + u' ' + entry[field]);
    return spoken.join(u'\n');
}

QString spokenEntries(const QStringList &table, int first, int count) {
    QStringList entries;
    for (int i = first; i < first + count && i < table.size(); ++i)
        entries.append(spokenEntry(EntryRecord::ofElement(table.at(i))));
    return entries.join(QStringLiteral("\n\n"));
}
constexpr int WindowWidth = 5640;
constexpr int WindowHeight = 7920;
const char16_t *const FormatNames[] = {u"住所録", u"住所録＋メール", u"電話帳", u"簡易録"};

QLabel *pageLabel(QWidget *parent, const QString &name, const QString &caption, int left, int width) {
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setFont(fonts::named(fonts::UiGothic, 7.5));
    label->setAlignment(Qt::AlignCenter);
    twips::place(label, left, 7575, width, 165);
    return label;
}
} // namespace

frmPrint::frmPrint(const Book &book) : book_(book) {
    skin::setUpWindow(this, QStringLiteral("frmPrint"), WindowWidth, WindowHeight, QStringLiteral("印刷プレビュー"));
    imgTitle = new TitleImage(this, WindowWidth, QStringLiteral("印刷プレビュー"));
    imgTital.resize(9);
    for (int format = 0; format < 4; ++format)
        imgTital[5 + format] = artwork::titleImage(WindowWidth, QStringLiteral("印刷プレビュー　") +
                                                                    QString::fromUtf16(FormatNames[format]));
    picView = new PictureBox(this, QStringLiteral("picView"));
    picView->setAccessibleName(QStringLiteral("印刷プレビュー"));
    twips::place(picView, 90, 570, 5445, 6885);
    imgView = formpictures::all(false);

    imgBack =
        makeImageButton(this, QStringLiteral("imgBack"), {90, 7560, 525, 255}, {100, 7570}, QStringLiteral("戻る"));
    imgUp = makeImageButton(this, QStringLiteral("imgUp"), {870, 7545, 330, 180}, {880, 7555}, QStringLiteral("◀"));
    imgDown =
        makeImageButton(this, QStringLiteral("imgDown"), {4395, 7545, 330, 180}, {4405, 7555}, QStringLiteral("▶"));
    imgUp->setAccessibleName(QStringLiteral("前のカード"));
    imgDown->setAccessibleName(QStringLiteral("次のカード"));
    lblUp = pageLabel(this, QStringLiteral("lblUp"), QStringLiteral("前のカード"), 1230, 750);
    lblPage = pageLabel(this, QStringLiteral("lblPage"), QStringLiteral("1/3カード"), 2445, 735);
    lblDown = pageLabel(this, QStringLiteral("lblDown"), QStringLiteral("次のカード"), 3630, 750);
    std::tie(linLeft, linRight, linDown) =
        skin::addBorder(this, WindowWidth, WindowHeight, 435, QStringLiteral("linDown"));

    connect(imgBack, &ImageButton::clicked, this, &frmPrint::backRequested);
    connect(imgDown, &ImageButton::clicked, this, &frmPrint::nextCard);
    connect(imgUp, &ImageButton::clicked, this, &frmPrint::previousCard);
    mdlDim::CenterForm(this);
}

void frmPrint::closeEvent(QCloseEvent *event) {
    event->ignore();
    hide();
    emit backRequested();
}

void frmPrint::setTitleForFormat(int format) {
    imgTitle->setPixmap(imgTital.value(format + 5));
}

void frmPrint::setPageLabel() {
    const QString pattern = postcards_ ? QStringLiteral("%1/%2枚") : QStringLiteral("%1/%2カード");
    lblPage->setText(pattern.arg(CurrentCard).arg(CardCount));
}

void frmPrint::showCards() {
    postcards_ = false;
    lblUp->setText(QStringLiteral("前のカード"));
    lblDown->setText(QStringLiteral("次のカード"));
}

void frmPrint::showPostcards(const postcardsettings::Setup &setup, QList<people::PersonData> people,
                             addressmedium::Kind kind, int firstLabel) {
    postcards_ = true;
    postcardSetup_ = setup;
    people_ = std::move(people);
    kind_ = kind;
    firstLabel_ = firstLabel;
    sheets_ = addressmedium::sheetsOf(book_.printTable().size(), kind, firstLabel);
    imgTitle->setPixmap(artwork::titleImage(
        WindowWidth,
        QStringLiteral("印刷プレビュー　%1")
            .arg(kind == addressmedium::Kind::Postcard ? QStringLiteral("はがき宛名") : addressmedium::caption(kind))));
    const QString unit = addressmedium::labelsPerSheet(kind) > 0 ? QStringLiteral("シート") : QStringLiteral("枚");
    lblUp->setText(QStringLiteral("前の") + (kind == addressmedium::Kind::Postcard ? QStringLiteral("はがき") : unit));
    lblDown->setText(QStringLiteral("次の") +
                     (kind == addressmedium::Kind::Postcard ? QStringLiteral("はがき") : unit));
    CardCount = std::max(1, int(sheets_.size()));
    CurrentCard = 1;
    imgUp->setEnabled(false);
    imgDown->setEnabled(CardCount >= 2);
    setPageLabel();
    picView->clear();
    drawPostcard();
}

void frmPrint::drawPostcard() {
    // The sheet with a margin round it, so that its edge shows.
    const QRectF area = QRectF(QPointF(0, 0), QSizeF(twips::fromPx(picView->width()), twips::fromPx(picView->height())))
                            .adjusted(120, 120, -120, -120);
    const int perSheet = addressmedium::labelsPerSheet(kind_);
    const postcard::Form form = addressmedium::form(kind_);
    const postcard::Placement at = postcard::centredIn(
        area, perSheet > 0 ? sheetMedia(CardPrinter::Sheet::LabelSheet).mm : postcard::sheetMm(form));
    const labels::SheetLayout layout = labels::layoutOf(perSheet);
    if (perSheet > 0)
        labels::drawSheet(*picView, layout, at);
    else
        postcard::drawSheet(*picView, at, form);
    const QStringList &table = book_.printTable();
    const QList<qsizetype> sheet = sheets_.value(CurrentCard - 1);
    for (qsizetype k = 0; k < sheet.size(); ++k) {
        const qsizetype index = sheet.at(k);
        if (index >= table.size())
            continue;
        const people::PersonData person = people_.value(index);
        const postcard::Recipient recipient = postcard::Recipient::of(EntryRecord::ofElement(table.at(index)), person);
        if (perSheet > 0)
            labels::drawLabel(*picView, recipient,
                              labels::cellMm(layout, addressmedium::labelCell(kind_, firstLabel_, CurrentCard - 1, k)),
                              at);
        else
            postcard::drawAddressSide(*picView, recipient, postcardSetup_.senderFor(person.sender),
                                      postcardSetup_.options, at, form);
    }
    if (!sheet.isEmpty())
        picView->setAccessibleDescription(spokenEntries(table, int(sheet.first()), int(sheet.size())));
}

void frmPrint::drawCard() {
    if (postcards_) {
        drawPostcard();
        return;
    }
    picView->setAccessibleDescription({});
    const int format = settings_.cardFormat;
    if (settings_.withLines)
        mdlView::ViewCardLines(*picView, format, 80, 260, imgView);
    if (settings_.withInfo) {
        const QStringList &table = book_.printTable();
        const int first = cardlayout::firstIndexOfCard(CurrentCard, settings_.startLine, format);
        const int placed = mdlView::ViewCardInfo(*picView, format, 0, table, first,
                                                 cardlayout::firstLineOfCard(CurrentCard, settings_.startLine));
        picView->setAccessibleDescription(spokenEntries(table, first, placed));
    }
}

void frmPrint::ReSetForm(const PrintSettings &settings) {
    showCards();
    settings_ = settings;
    const int entries = static_cast<int>(book_.printTable().size());
    if (entries == 0)
        return;
    CardCount = cardlayout::cardCount(entries, settings_.startLine, settings_.cardFormat);
    imgDown->setEnabled(CardCount >= 2);
    imgUp->setEnabled(false);
    CurrentCard = 1;
    setPageLabel();
    drawCard();
}

void frmPrint::showLinesOnly(int format) {
    showCards();
    settings_ = PrintSettings{format, true, false, 1};
    CurrentCard = 1;
    CardCount = 1;
    setPageLabel();
    imgUp->setEnabled(false);
    imgDown->setEnabled(false);
    picView->clear();
    drawCard();
}

void frmPrint::nextCard() {
    if (CurrentCard >= CardCount)
        return;
    picView->clear();
    ++CurrentCard;
    setPageLabel();
    drawCard();
    imgUp->setEnabled(true);
}

void frmPrint::previousCard() {
    if (CurrentCard < 2)
        return;
    --CurrentCard;
    picView->clear();
    setPageLabel();
    imgDown->setEnabled(true);
    drawCard();
}
