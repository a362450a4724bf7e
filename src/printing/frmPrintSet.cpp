#include "printing/frmPrintSet.h"
#include "store/book.h"

#include "printing/entryitem.h"
#include "printing/frmAdjust.h"
#include "printing/frmPrint.h"
#include "printing/frmSender.h"
#include "printing/newyearchoice.h"
#include "printing/postcardjob.h"
#include "printing/printjob.h"
#include "render/cardlayout.h"
#include "render/fonts.h"
#include "render/postcardsettings.h"
#include "store/mdlDim.h"
#include "ui/artwork.h"
#include "ui/centerform.h"
#include "ui/formpictures.h"
#include "ui/frameline.h"
#include "ui/frmMsgBox.h"
#include "ui/imagebutton.h"
#include "ui/loadfailure.h"
#include "ui/picturebox.h"
#include "ui/skin.h"
#include "ui/titleimage.h"
#include "ui/twips.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMetaMethod>
#include <QPainter>
#include <QRadioButton>
#include <QSet>
#include <QSignalBlocker>
#include <QSpinBox>

namespace {
constexpr int WindowWidth = 5715;
constexpr int WindowHeight = 7515;
const QColor Greyed(224, 224, 224);
constexpr int MarksWidth = 375; // room for 「出受」
constexpr int FirstPostcardFilter = 3;
const QColor ButtonHighlight(255, 255, 255);

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &caption, QRect g) {
    return skin::makeLabel(parent, name, caption, g, fonts::named(fonts::UiGothic, 8));
}

QGroupBox *makeFrame(QWidget *parent, const QString &name, const QString &caption, QRect g) {
    auto *frame = new QGroupBox(caption, parent);
    frame->setObjectName(name);
    frame->setFont(fonts::named(fonts::UiGothic, 9));
    twips::place(frame, g.x(), g.y(), g.width(), g.height());
    return frame;
}

void setListBackground(QListWidget *list, QColor colour) {
    QPalette palette = list->palette();
    palette.setColor(QPalette::Base, colour);
    list->setPalette(palette);
}

// The year's marks as a small picture beside an item's name.
QIcon marksIcon(const QString &marks) {
    // Kept to the end of the process: no pixmap in a static destructor.
    static auto *made = new QHash<QString, QIcon>;
    if (auto found = made->constFind(marks); found != made->constEnd())
        return *found;
    QPixmap picture(twips::toPx(MarksWidth), twips::toPx(195));
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setFont(fonts::named(fonts::UiGothic, 8));
    painter.setPen(QColor(190, 30, 30));
    painter.drawText(picture.rect(), Qt::AlignLeft | Qt::AlignVCenter, marks);
    painter.end();
    return made->insert(marks, QIcon(picture)).value();
}

// Walks the list from its last item to its first, removing every item `matches` names.
template <typename Matches> void removeWhere(QListWidget *list, Matches matches) {
    for (int row = list->count() - 1; row >= 0; --row)
        if (matches(list->item(row)->text()))
            delete list->takeItem(row);
}
} // namespace

frmPrintSet::frmPrintSet(Book &book, int cardFormat) : book_(book) {
    settings_.cardFormat = cardFormat;
    skin::setUpWindow(this, QStringLiteral("frmPrintSet"), WindowWidth, WindowHeight, QStringLiteral("印刷設定"));
    setAttribute(Qt::WA_DeleteOnClose);
    imgTitle = new TitleImage(this, WindowWidth, QStringLiteral("印刷設定"));
    imgPrint = formpictures::all(true);
    buildLists();
    buildOptions();
    buildButtons();
    std::tie(linLeft, linRight, linDown) =
        skin::addBorder(this, WindowWidth, WindowHeight, 435, QStringLiteral("linDown"), WindowHeight);

    // Loading.
    mdlDim::CenterForm(this);
    preview_ = new frmPrint(book_);
    connect(preview_, &frmPrint::backRequested, this, [this] { skin::bringToFront(this); });
    fillLists();
    showFilter(0);
    optInfo->setChecked(true);
    chooseMode(false, true);
    cboStartInfo->clear();
    for (int n = 1; n <= cardlayout::LinesPerCard(settings_.cardFormat); ++n)
        cboStartInfo->addItem(QString::number(n));
    cboStartInfo->setCurrentIndex(0);
    settings_.startLine = 1;
}

frmPrintSet::~frmPrintSet() {
    delete preview_;
}

void frmPrintSet::buildLists() {
    fraPrintList = makeFrame(this, QStringLiteral("fraPrintList"), QStringLiteral("印刷リスト"), {90, 600, 5535, 4455});
    Label2 =
        makeLabel(fraPrintList, QStringLiteral("Label2"), QStringLiteral("印刷可能なリスト"), {240, 360, 1440, 180});
    Label1 =
        makeLabel(fraPrintList, QStringLiteral("Label1"), QStringLiteral("現在の印刷リスト"), {3480, 360, 1440, 180});
    Label3 =
        makeLabel(fraPrintList, QStringLiteral("Label3"), QStringLiteral("リストフィルター"), {240, 3670, 1440, 180});
    const auto list = [this](const char *name, QRect g) {
        auto *l = new QListWidget(fraPrintList);
        l->setObjectName(QString::fromLatin1(name));
        l->setSelectionMode(QAbstractItemView::SingleSelection);
        // The line number and mark lie beyond the right edge, as designed.
        l->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        l->setTextElideMode(Qt::ElideNone);
        l->setFont(fonts::named(fonts::UiGothic, 9));
        twips::place(l, g.x(), g.y(), g.width(), g.height());
        return l;
    };
    lstAll = list("lstAll", {240, 705, 1815, 2790});
    lstUnPrint = list("lstUnPrint", {240, 705, 1815, 2790});
    lstPrint = list("lstPrint", {240, 705, 1815, 2790});
    lstPrintList = list("lstPrintList", {3480, 705, 1815, 3570});
    lstPostcard = list("lstPostcard", {240, 705, 1815, 2790});
    lstPostcard->hide();
    for (QListWidget *l : {lstAll, lstUnPrint, lstPrint, lstPostcard})
        l->setAccessibleName(QStringLiteral("印刷可能なリスト"));
    lstPrintList->setAccessibleName(QStringLiteral("現在の印刷リスト"));
    cboSelect = new QComboBox(fraPrintList);
    cboSelect->setObjectName(QStringLiteral("cboSelect"));
    cboSelect->setAccessibleName(QStringLiteral("リストフィルター"));
    cboSelect->addItems(
        {QStringLiteral("全てのリスト"), QStringLiteral("新規登録リスト"), QStringLiteral("印刷済みリスト")});
    twips::place(cboSelect, 240, 3960, 1815, 315);
    Label3->setBuddy(cboSelect);
    // A change by the program, and every choice of the user, the current one too.
    connect(cboSelect, &QComboBox::currentIndexChanged, this, &frmPrintSet::filterChanged);
    connect(cboSelect, &QComboBox::activated, this, &frmPrintSet::filterChanged);

    // Add and remove act on a selected item only, so they are enabled only while there is one.
    for (QListWidget *source : {lstAll, lstUnPrint, lstPrint, lstPostcard}) {
        connect(source, &QListWidget::itemSelectionChanged, this, [this, source] {
            const bool selected = !source->selectedItems().isEmpty();
            imgAdd->setEnabled(selected);
            if (selected)
                imgAddAll->setEnabled(true);
        });
        connect(source, &QListWidget::itemDoubleClicked, this, &frmPrintSet::add);
    }
    connect(lstPrintList, &QListWidget::itemSelectionChanged, this, [this] {
        const bool selected = !lstPrintList->selectedItems().isEmpty();
        imgRemove->setEnabled(selected);
        if (selected)
            imgRemoveAll->setEnabled(true);
    });
    connect(lstPrintList, &QListWidget::itemDoubleClicked, this, [this] {
        remove();
        imgAddAll->setEnabled(true);
    });
}

void frmPrintSet::buildOptions() {
    fraLineSet = makeFrame(this, QStringLiteral("fraLineSet"), QStringLiteral("印刷内容"), {120, 5280, 2895, 1530});
    const auto option = [this](const char *name, const QString &caption, int top) {
        auto *o = new QRadioButton(caption, fraLineSet);
        o->setObjectName(QString::fromLatin1(name));
        o->setFont(fonts::named(fonts::UiGothic, 9));
        twips::place(o, 600, top, 1815, 255);
        return o;
    };
    optInfo = option("optInfo", QStringLiteral("   文字のみ"), 300);
    optLineInfo = option("optLineInfo", QStringLiteral("   ケイ線 && 文字"), 700);
    optLine = option("optLine", QStringLiteral("   ケイ線のみ"), 1090);
    connect(optInfo, &QRadioButton::clicked, this, [this] { chooseMode(false, true); });
    connect(optLineInfo, &QRadioButton::clicked, this, [this] { chooseMode(true, true); });
    connect(optLine, &QRadioButton::clicked, this, [this] { chooseMode(true, false); });

    fraStartInfo =
        makeFrame(this, QStringLiteral("fraStartInfo"), QStringLiteral("印刷開始行設定"), {3090, 5280, 2535, 1530});
    cboStartInfo = new QComboBox(fraStartInfo);
    cboStartInfo->setObjectName(QStringLiteral("cboStartInfo"));
    cboStartInfo->setAccessibleName(QStringLiteral("印刷開始の行"));
    twips::place(cboStartInfo, 120, 680, 735, 300);
    connect(cboStartInfo, &QComboBox::currentIndexChanged, this,
            [this](int index) { settings_.startLine = index + 1; });
    lblStartInfo = makeLabel(fraStartInfo, QStringLiteral("lblStartInfo"), QStringLiteral("行目から印刷開始"),
                             {960, 720, 1470, 195});
    lblStartInfo->setBuddy(cboStartInfo); // a reader names the combo box by its label

    // Where postcards need no choice of lines: the New Year they are for.
    fraNewYear = makeFrame(this, QStringLiteral("fraNewYear"), QStringLiteral("年賀状"), {120, 5280, 2895, 1530});
    fraNewYear->hide();
    const auto row = [this](const char *label, const QString &caption, int top, QWidget *box, int width) {
        QLabel *l = makeLabel(fraNewYear, QString::fromLatin1(label), caption, {180, top + 60, 1140, 195});
        box->setParent(fraNewYear);
        box->setFont(fonts::named(fonts::UiGothic, 9));
        twips::place(box, 1380, top, width, 300);
        l->setBuddy(box);
        return l;
    };
    spnNewYear = new QSpinBox;
    spnNewYear->setObjectName(QStringLiteral("spnNewYear"));
    spnNewYear->setRange(1900, 9999);
    spnNewYear->setValue(PostcardPrintJob::defaultNewYear(QDate::currentDate()));
    spnNewYear->setSuffix(QStringLiteral(" 年"));
    spnNewYear->setAccessibleName(QStringLiteral("年賀状の年"));
    spnNewYear->setToolTip(QStringLiteral("印刷したはがきに、この年の「出」を記録します。"));
    lblNewYear = row("lblNewYear", QStringLiteral("年賀状の年"), 330, spnNewYear, 1080);
    cboMedium = new QComboBox;
    cboMedium->setObjectName(QStringLiteral("cboMedium"));
    cboMedium->setAccessibleName(QStringLiteral("印刷するもの"));
    for (const addressmedium::Kind kind : addressmedium::Kinds)
        cboMedium->addItem(addressmedium::caption(kind), int(kind));
    lblMedium = row("lblMedium", QStringLiteral("印刷するもの"), 720, cboMedium, 1380);
    spnLabelStart = new QSpinBox;
    spnLabelStart->setObjectName(QStringLiteral("spnLabelStart"));
    spnLabelStart->setAccessibleName(QStringLiteral("ラベルの開始位置"));
    spnLabelStart->setSuffix(QStringLiteral(" 枚目から"));
    spnLabelStart->setToolTip(QStringLiteral("使いかけのシートの、左上から数えて最初の空きラベル"));
    spnLabelStart->setRange(1, 24);
    spnLabelStart->setEnabled(false);
    lblLabelStart = row("lblLabelStart", QStringLiteral("ラベルの開始"), 1110, spnLabelStart, 1380);
    connect(cboMedium, &QComboBox::currentIndexChanged, this, [this] {
        const int perSheet = addressmedium::labelsPerSheet(medium());
        spnLabelStart->setEnabled(perSheet > 0);
        if (perSheet > 0)
            spnLabelStart->setMaximum(perSheet);
    });
    connect(spnNewYear, &QSpinBox::valueChanged, this, [this] {
        loadYearMarks();
        showYearMarks();
        if (lstPostcard->isVisible())
            fillPostcardList();
    });
}

void frmPrintSet::buildButtons() {
    fraButton = makeFrame(fraPrintList, QStringLiteral("fraButton"), {}, {2100, 720, 1335, 3495});
    fraButton->setFlat(true);
    imgAdd = makeImageButton(fraButton, QStringLiteral("imgAdd"), {100, 360, 1125, 300}, {120, 370},
                             QStringLiteral("追加 →"));
    imgRemove = makeImageButton(fraButton, QStringLiteral("imgRemove"), {100, 1200, 1125, 300}, {120, 1210},
                                QStringLiteral("← 外す"));
    imgAddAll = makeImageButton(fraButton, QStringLiteral("imgAddAll"), {100, 2040, 1125, 300}, {120, 2050},
                                QStringLiteral("全て追加 ⇒"));
    imgRemoveAll = makeImageButton(fraButton, QStringLiteral("imgRemoveAll"), {100, 2880, 1125, 300}, {120, 2890},
                                   QStringLiteral("⇐ 全て外す"));
    imgAdd->setEnabled(false);
    imgRemove->setEnabled(false);
    connect(imgAdd, &ImageButton::clicked, this, &frmPrintSet::add);
    connect(imgAddAll, &ImageButton::clicked, this, &frmPrintSet::addAll);
    connect(imgRemove, &ImageButton::clicked, this, &frmPrintSet::remove);
    connect(imgRemoveAll, &ImageButton::clicked, this, &frmPrintSet::removeAll);

    imgCancel = makeImageButton(this, QStringLiteral("imgCancel"), {1470, 7080, 1275, 300}, {1480, 7090},
                                QStringLiteral("キャンセル"));
    imgBack = makeImageButton(this, QStringLiteral("imgBack"), {2900, 7080, 1275, 300}, {2910, 7090},
                              QStringLiteral("プレビュー"));
    imgPrintInfo = makeImageButton(this, QStringLiteral("imgPrintInfo"), {4320, 7080, 1275, 300}, {4330, 7090},
                                   QStringLiteral("印刷"));
    connect(imgCancel, &ImageButton::clicked, this, &frmPrintSet::leavePrinting);
    connect(imgBack, &ImageButton::clicked, this, &frmPrintSet::openPreview);
    connect(imgPrintInfo, &ImageButton::clicked, this, &frmPrintSet::PrintJob);
    imgAdjust = makeImageButton(this, QStringLiteral("imgAdjust"), {120, 7080, 1275, 300}, {130, 7090},
                                QStringLiteral("位置調整"));
    connect(imgAdjust, &ImageButton::clicked, this, [this] { frmAdjust::open(imgPrint); });
    // In the free lower part of the start-line frame, which postcards do without.
    imgPostcard = makeImageButton(this, QStringLiteral("imgPostcard"), {3210, 6360, 1125, 300}, {3220, 6370},
                                  QStringLiteral("はがき宛名"));
    imgSender = makeImageButton(this, QStringLiteral("imgSender"), {4410, 6360, 1125, 300}, {4420, 6370},
                                QStringLiteral("差出人"));
    imgPostcard->setAccessibleDescription(QStringLiteral("オフ：カードを印刷します"));
    connect(imgPostcard, &ImageButton::clicked, this, [this] { setPrintsPostcards(!postcards_); });
    connect(imgSender, &ImageButton::clicked, this, [] { frmSender::openModal(); });

    // Tab follows the screen: the lists and the buttons between them, the
    // filter, the options, the start row, then the buttons left to right.
    const QList<QWidget *> order = {lstAll,        lstUnPrint,   lstPrint,     lstPostcard, imgAdd,       imgRemove,
                                    imgAddAll,     imgRemoveAll, lstPrintList, cboSelect,   spnNewYear,   cboMedium,
                                    spnLabelStart, optInfo,      optLineInfo,  optLine,     cboStartInfo, imgPostcard,
                                    imgSender,     imgAdjust,    imgCancel,    imgBack,     imgPrintInfo};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
}

void frmPrintSet::fillLists() {
    const QSignalBlocker a(lstAll), u(lstUnPrint), p(lstPrint);
    for (const QString &element : std::as_const(book_.entries())) {
        if (element.isEmpty())
            break;
        const QString item = entryitem::fromElement(element);
        addItem(entryitem::isPrinted(item) ? lstPrint : lstUnPrint, item);
        addItem(lstAll, item);
    }
}

QStringList frmPrintSet::printListItems() const {
    QStringList items;
    for (int row = 0; row < lstPrintList->count(); ++row)
        items.append(lstPrintList->item(row)->text());
    return items;
}

QListWidget *frmPrintSet::visibleList() const {
    switch (cboSelect->currentIndex()) {
    case 0:
        return lstAll;
    case 1:
        return lstUnPrint;
    case 2:
        return lstPrint;
    default:
        return cboSelect->currentIndex() >= FirstPostcardFilter ? lstPostcard : lstAll;
    }
}

void frmPrintSet::showFilter(int index) {
    // Setting the index the box already has changes nothing, yet the filter
    // change must run either way.
    if (cboSelect->currentIndex() == index)
        filterChanged();
    else
        cboSelect->setCurrentIndex(index);
}

void frmPrintSet::reloadSelection() {
    if (isSignalConnected(QMetaMethod::fromSignal(&frmPrintSet::selectionNeeded)))
        emit selectionNeeded();
    else
        mdlDim::LoadDataOrEnd(book_);
}

void frmPrintSet::PrintJob() {
    if (frmMsgBox *stale = frmMsgBox::loaded())
        stale->unload();
    if (settings_.withInfo && lstPrintList->count() == 0) {
        frmMsgBox::ask(QStringLiteral("印刷内容を選択して下さい。"), MsgButtons::Yes);
        return;
    }
    if (settings_.withInfo && preview_)
        preview_->hide();
    const QStringList chosen = printListItems();
    if (postcards_) {
        // The lists stay as they are: postcards leave the printed marks alone.
        PostcardPrintJob job(book_, chosen, postcardsettings::load(), imgPrint);
        job.setNewYear(spnNewYear->value());
        job.setMedium(medium(), spnLabelStart->value());
        job.run();
        loadYearMarks();
        showYearMarks();
        return;
    }
    CardPrintJob job(book_, chosen, imgPrint, settings_);
    if (job.run() != CardPrintJob::Outcome::TextPrinted)
        return;
    // The printed entries now carry their marks: the lists start again from
    // the file. When the printer refused a card, the entries of the cards it
    // did not print stay in the print list, ready for another try.
    for (QListWidget *list : {lstPrint, lstUnPrint, lstAll, lstPrintList})
        list->clear();
    reloadSelection();
    fillLists();
    QSet<QString> waiting;
    for (const QString &item : chosen)
        if (job.refused() && !job.printedLines().contains(entryitem::lineNumber(item)))
            waiting.insert(entryitem::lineNumber(item));
    QStringList stay;
    for (int row = 0; row < lstAll->count(); ++row)
        if (const QString item = lstAll->item(row)->text(); waiting.contains(entryitem::lineNumber(item)))
            stay.append(item);
    for (const QString &item : std::as_const(stay))
        takeIntoPrintList(item);
    showFilter(0);
    imgAddAll->setEnabled(true);
    imgRemoveAll->setEnabled(lstPrintList->count() > 0);
}

void frmPrintSet::filterChanged() {
    QListWidget *visible = visibleList();
    if (visible == lstPostcard)
        fillPostcardList();
    for (QListWidget *list : {lstAll, lstUnPrint, lstPrint, lstPostcard})
        list->setVisible(list == visible);
    if (visible->count() > 0)
        imgAddAll->setEnabled(true);
    clearSelections();
    imgRemoveAll->setEnabled(lstPrintList->count() > 0);
}

void frmPrintSet::add() {
    QListWidget *visible = visibleList();
    const QList<QListWidgetItem *> selected = visible->selectedItems();
    const int row = selected.isEmpty() ? -1 : visible->row(selected.first());
    if (row >= 0) {
        takeIntoPrintList(visible->item(row)->text());
        imgRemoveAll->setEnabled(true);
    }
    clearSelections();
}

void frmPrintSet::addAll() {
    QListWidget *visible = visibleList();
    {
        const QSignalBlocker a(lstAll), u(lstUnPrint), p(lstPrint), l(lstPrintList);
        for (int row = 0; row < visible->count(); ++row)
            addItem(lstPrintList, visible->item(row)->text());
        if (visible == lstAll) {
            lstAll->clear();
            lstPrint->clear();
            lstUnPrint->clear();
        } else if (visible == lstPostcard) {
            QSet<QString> taken;
            for (int row = 0; row < lstPostcard->count(); ++row)
                taken.insert(lstPostcard->item(row)->text());
            for (QListWidget *source : {lstAll, lstPrint, lstUnPrint})
                removeWhere(source, [&](const QString &item) { return taken.contains(item); });
            lstPostcard->clear();
        } else {
            const bool printed = visible == lstPrint;
            removeWhere(lstAll, [printed](const QString &item) { return entryitem::isPrinted(item) == printed; });
            visible->clear();
        }
    }
    imgRemoveAll->setEnabled(true);
    imgAddAll->setEnabled(false);
    clearSelections();
}

void frmPrintSet::takeIntoPrintList(const QString &item) {
    const QSignalBlocker a(lstAll), u(lstUnPrint), p(lstPrint), l(lstPrintList);
    addItem(lstPrintList, item);
    const auto same = [&](const QString &other) { return other == item; };
    for (QListWidget *source : {lstAll, lstUnPrint, lstPrint, lstPostcard})
        removeWhere(source, same);
}

void frmPrintSet::returnToSourceLists(const QString &item) {
    addItem(entryitem::isPrinted(item) ? lstPrint : lstUnPrint, item);
    addItem(lstAll, item);
}

void frmPrintSet::remove() {
    const QList<QListWidgetItem *> selected = lstPrintList->selectedItems();
    const int row = selected.isEmpty() ? -1 : lstPrintList->row(selected.first());
    if (row >= 0) {
        const QSignalBlocker a(lstAll), u(lstUnPrint), p(lstPrint), l(lstPrintList);
        returnToSourceLists(lstPrintList->item(row)->text());
        delete lstPrintList->takeItem(row);
        if (lstPostcard->isVisible())
            fillPostcardList();
    }
    clearSelections();
    if (lstPrintList->count() == 0)
        imgRemoveAll->setEnabled(false);
    imgAddAll->setEnabled(true);
}

void frmPrintSet::removeAll() {
    {
        const QSignalBlocker a(lstAll), u(lstUnPrint), p(lstPrint), l(lstPrintList);
        for (const QString &item : printListItems())
            returnToSourceLists(item);
        lstPrintList->clear();
        if (lstPostcard->isVisible())
            fillPostcardList();
    }
    imgAddAll->setEnabled(true);
    clearSelections();
}

void frmPrintSet::clearSelections() {
    for (QListWidget *list : {lstAll, lstUnPrint, lstPrint, lstPostcard, lstPrintList}) {
        const QSignalBlocker blocked(list);
        list->clearSelection();
        list->setCurrentRow(-1, QItemSelectionModel::Clear);
    }
    // From what is selected, never from what happened last.
    imgAdd->setEnabled(!visibleList()->selectedItems().isEmpty());
    imgRemove->setEnabled(!lstPrintList->selectedItems().isEmpty());
}

void frmPrintSet::chooseMode(bool lines, bool info) {
    settings_.withLines = lines;
    settings_.withInfo = info;
    SetDisable(info ? QStringLiteral("Info") : QStringLiteral("Line"));
}

void frmPrintSet::setPrintsPostcards(bool postcards) {
    postcards_ = postcards;
    fraLineSet->setVisible(!postcards);
    fraNewYear->setVisible(postcards);
    {
        const QSignalBlocker quiet(cboSelect);
        if (postcards && cboSelect->count() == FirstPostcardFilter)
            for (const newyearchoice::Filter filter : newyearchoice::Filters)
                cboSelect->addItem(newyearchoice::caption(filter));
        if (!postcards)
            while (cboSelect->count() > FirstPostcardFilter)
                cboSelect->removeItem(cboSelect->count() - 1);
    }
    if (postcards)
        loadYearMarks();
    showYearMarks();
    // Postcards start from everyone but those in mourning this year.
    showFilter(postcards ? FirstPostcardFilter : 0);
    // Postcards are text alone, one to a sheet: what is printed and the start line do not apply.
    if (postcards) {
        optInfo->setChecked(true);
        chooseMode(false, true);
    }
    fraLineSet->setEnabled(!postcards);
    fraStartInfo->setEnabled(!postcards);
    const QString caption = QStringLiteral("はがき宛名");
    imgPostcard->setPixmap(postcards ? artwork::button(imgPostcard->size(), caption, QColor(200, 70, 60))
                                     : artwork::button(imgPostcard->size(), caption));
    imgPostcard->setAccessibleDescription(postcards ? QStringLiteral("オン：はがきの宛名面を印刷します")
                                                    : QStringLiteral("オフ：カードを印刷します"));
    imgTitle->setPixmap(artwork::titleImage(WindowWidth, postcards ? QStringLiteral("印刷設定　はがき宛名")
                                                                   : QStringLiteral("印刷設定")));
}

addressmedium::Kind frmPrintSet::medium() const {
    return addressmedium::Kind(cboMedium->currentData().toInt());
}

// The item keeps the entry's line number in its text; a screen reader gets the name.
void frmPrintSet::addItem(QListWidget *list, const QString &item) {
    markItem(new QListWidgetItem(item, list));
}

void frmPrintSet::markItem(QListWidgetItem *item) const {
    QString spoken = entryitem::spokenName(item->text());
    if (postcards_) {
        const QString marks = newyearchoice::marks(yearMarks_.value(entryitem::lineNumber(item->text())));
        item->setIcon(marksIcon(marks));
        if (!marks.isEmpty())
            spoken += QStringLiteral("、") + marks;
    } else {
        item->setIcon({});
    }
    item->setData(Qt::AccessibleTextRole, spoken);
}

void frmPrintSet::loadYearMarks() {
    QStringList elements;
    for (const QString &element : std::as_const(book_.entries())) {
        if (element.isEmpty())
            break;
        elements.append(element);
    }
    const QList<people::PersonData> persons = book_.peopleDataOf(loadedLinesOf(book_, elements));
    const int year = spnNewYear->value();
    yearMarks_.clear();
    for (qsizetype i = 0; i < elements.size(); ++i)
        for (const people::NewYear &y : persons.at(i).years)
            if (y.year == year)
                yearMarks_.insert(entryitem::lineNumber(entryitem::fromElement(elements.at(i))), y);
}

void frmPrintSet::showYearMarks() {
    for (QListWidget *list : {lstAll, lstUnPrint, lstPrint, lstPostcard, lstPrintList}) {
        list->setIconSize(postcards_ ? QSize(twips::toPx(MarksWidth), twips::toPx(195)) : QSize());
        for (int row = 0; row < list->count(); ++row)
            markItem(list->item(row));
    }
}

void frmPrintSet::fillPostcardList() {
    const QSignalBlocker quiet(lstPostcard);
    lstPostcard->clear();
    const int index = cboSelect->currentIndex() - FirstPostcardFilter;
    if (index < 0 || index >= int(std::size(newyearchoice::Filters)))
        return;
    const newyearchoice::Filter filter = newyearchoice::Filters[index];
    for (int row = 0; row < lstAll->count(); ++row) {
        const QString item = lstAll->item(row)->text();
        if (newyearchoice::chooses(filter, yearMarks_.value(entryitem::lineNumber(item))))
            addItem(lstPostcard, item);
    }
}

void frmPrintSet::SetDisable(const QString &mode) {
    const QString m = mode.toLower();
    if (m != QLatin1String("line") && m != QLatin1String("info"))
        return;
    const bool enable = m == QLatin1String("info");
    for (QWidget *w : std::initializer_list<QWidget *>{fraPrintList, cboStartInfo, cboSelect, fraStartInfo})
        w->setEnabled(enable);
    for (QListWidget *list : {lstPrint, lstUnPrint, lstPrintList, lstAll}) {
        list->setEnabled(enable);
        setListBackground(list, enable ? ButtonHighlight : Greyed);
    }
}

void frmPrintSet::openPreview() {
    if (postcards_) {
        if (lstPrintList->count() == 0) {
            frmMsgBox::ask(QStringLiteral("印刷内容を選択して下さい。"), MsgButtons::Yes);
            return;
        }
        CardPrintJob::CollectPrintEntries(book_, printListItems());
        const postcardsettings::Setup setup = postcardsettings::load();
        preview_->show();
        hide();
        preview_->showPostcards(setup, book_.peopleDataOf(loadedLinesOf(book_, book_.printTable())), medium(),
                                spnLabelStart->value());
        return;
    }
    preview_->setTitleForFormat(settings_.cardFormat);
    if (!settings_.withInfo) {
        preview_->show();
        hide();
        preview_->showLinesOnly(settings_.cardFormat);
        return;
    }
    if (lstPrintList->count() == 0) {
        frmMsgBox::ask(QStringLiteral("印刷内容を選択して下さい。"), MsgButtons::Yes);
        return;
    }
    preview_->show();
    CardPrintJob::CollectPrintEntries(book_, printListItems());
    hide();
    preview_->picView->clear();
    preview_->ReSetForm(settings_);
}

void frmPrintSet::leavePrinting() {
    if (!frmMsgBox::ask(QStringLiteral("印刷をキャンセルしますか？"), MsgButtons::YesNo))
        return;
    reloadSelection();
    delete preview_;
    leaving_ = true;
    close();
    emit left();
}

void frmPrintSet::closeEvent(QCloseEvent *event) {
    if (leaving_) {
        event->accept();
        return;
    }
    event->ignore();
    // Queued: a window cannot close itself from inside its own close event.
    QMetaObject::invokeMethod(this, &frmPrintSet::leavePrinting, Qt::QueuedConnection);
}

frmPrint *frmPrintSet::preview() const {
    return preview_;
}
