#include "printing/frmPrintSet.h"
#include "store/book.h"

#include "printing/frmAdjust.h"
#include "printing/frmPrint.h"
#include "printing/frmSender.h"
#include "printing/newyearchoice.h"
#include "printing/printjob.h"
#include "printing/printlistmodel.h"
#include "render/cardlayout.h"
#include "render/fonts.h"
#include "render/postcardsettings.h"
#include "store/entryrecord.h"
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
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QMetaMethod>
#include <QRadioButton>
#include <QSet>
#include <QSignalBlocker>
#include <QSpinBox>

namespace {
constexpr int WindowWidth = 5715;
constexpr int WindowHeight = 7515;
const QColor Greyed(224, 224, 224);
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

void setListBackground(QAbstractItemView *list, QColor colour) {
    QPalette palette = list->palette();
    palette.setColor(QPalette::Base, colour);
    list->setPalette(palette);
}

PrintListFilter *filterOf(const QListView *list) {
    return static_cast<PrintListFilter *>(list->model());
}

int rowsIn(const QListView *list) {
    return list->model()->rowCount();
}

// The model's row selected in `list`; -1 when none is.
int selectedRow(const QListView *list) {
    const QModelIndexList selected = list->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : filterOf(list)->mapToSource(selected.first()).row();
}

// Whose entry an entry is: its UID, or while the book has none for it, its line.
QString keyOf(const PrintEntry &entry) {
    return entry.uid.isEmpty() ? QStringLiteral("#%1").arg(entry.line) : entry.uid;
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
    printEntries_ = new PrintListModel(this);
    const auto list = [this](const char *name, QRect g, PrintListFilter::Accepts accepts) {
        auto *l = new QListView(fraPrintList);
        l->setObjectName(QString::fromLatin1(name));
        l->setModel(new PrintListFilter(printEntries_, std::move(accepts), l));
        l->setSelectionMode(QAbstractItemView::SingleSelection);
        l->setEditTriggers(QAbstractItemView::NoEditTriggers);
        l->setUniformItemSizes(true);
        // A long name is cut at the right edge, as designed.
        l->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        l->setTextElideMode(Qt::ElideNone);
        l->setFont(fonts::named(fonts::UiGothic, 9));
        twips::place(l, g.x(), g.y(), g.width(), g.height());
        return l;
    };
    const auto offered = [](const PrintListModel &m, int row) { return !m.isChosen(row); };
    const auto offeredMarked = [](bool marked) {
        return
            [marked](const PrintListModel &m, int row) { return !m.isChosen(row) && m.entry(row).printed == marked; };
    };
    lstAll = list("lstAll", {240, 705, 1815, 2790}, offered);
    lstUnPrint = list("lstUnPrint", {240, 705, 1815, 2790}, offeredMarked(false));
    lstPrint = list("lstPrint", {240, 705, 1815, 2790}, offeredMarked(true));
    lstPrintList =
        list("lstPrintList", {3480, 705, 1815, 3570}, [](const PrintListModel &m, int row) { return m.isChosen(row); });
    lstPostcard = list("lstPostcard", {240, 705, 1815, 2790}, nullptr);
    lstPostcard->hide();
    for (QListView *l : {lstAll, lstUnPrint, lstPrint, lstPostcard})
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
    for (QListView *source : {lstAll, lstUnPrint, lstPrint, lstPostcard}) {
        connect(source->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this, source] {
            const bool selected = source->selectionModel()->hasSelection();
            imgAdd->setEnabled(selected);
            if (selected)
                imgAddAll->setEnabled(true);
        });
        connect(source, &QListView::doubleClicked, this, &frmPrintSet::add);
    }
    connect(lstPrintList->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const bool selected = lstPrintList->selectionModel()->hasSelection();
        imgRemove->setEnabled(selected);
        if (selected)
            imgRemoveAll->setEnabled(true);
    });
    connect(lstPrintList, &QListView::doubleClicked, this, [this] {
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
    spnNewYear->setValue(newyearchoice::defaultYear(QDate::currentDate()));
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
    const mdlDim::ShownEntries &shown = book_.entries();
    QList<mdlDim::LoadedLine> loaded;
    loaded.reserve(shown.size());
    for (qsizetype i = 0; i < shown.size(); ++i)
        loaded.append(shown.loadedLine(i));
    const QList<people::Record> records = book_.recordsOf(loaded);
    QList<PrintEntry> entries;
    entries.reserve(shown.size());
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const EntryRecord entry = EntryRecord::ofElement(shown.at(i));
        const people::Record &record = records.at(i);
        // Only "T" exactly counts as printed. The New Year records only while postcards want them.
        entries.append({record.isNull() ? QString() : record.uid(), shown.numberAt(i), entry[EntryField::Name],
                        entry[EntryField::Printed] == QLatin1String("T"),
                        postcards_ && !record.isNull() ? record.data().years : QList<people::NewYear>()});
    }
    printEntries_->setEntries(std::move(entries));
}

QList<int> frmPrintSet::chosenLines() const {
    return printEntries_->chosenLines();
}

QListView *frmPrintSet::visibleList() const {
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
        mdlDim::loadOrSayWhy(book_);
}

void frmPrintSet::PrintJob() {
    if (frmMsgBox *stale = frmMsgBox::loaded())
        stale->unload();
    if (settings_.withInfo && rowsIn(lstPrintList) == 0) {
        frmMsgBox::ask(QStringLiteral("印刷内容を選択して下さい。"), MsgButtons::Yes);
        return;
    }
    if (settings_.withInfo && preview_)
        preview_->hide();
    const QList<int> chosen = chosenLines();
    if (postcards_) {
        // The lists stay as they are: postcards leave the printed marks alone.
        // The class, not this window's PrintJob().
        ::PrintJob job(book_, chosen, imgPrint, medium(), postcardsettings::load());
        job.setNewYear(spnNewYear->value());
        job.setFirstLabel(spnLabelStart->value());
        job.run();
        loadYearMarks();
        fillPostcardList();
        return;
    }
    ::PrintJob job(book_, chosen, imgPrint, settings_);
    if (job.run() != ::PrintJob::Outcome::Printed)
        return;
    // The printed entries now carry their marks: the lists start again from
    // the file. When the printer refused a card, the entries of the cards it
    // did not print stay in the print list, ready for another try; they are
    // found again by who they are, wherever the reload put them.
    QStringList waiting;
    if (job.refused())
        for (const int row : printEntries_->chosenRows())
            if (const PrintEntry &entry = printEntries_->entry(row); !job.printedLines().contains(entry.line))
                waiting.append(keyOf(entry));
    reloadSelection();
    fillLists();
    QHash<QString, int> rowOfKey;
    for (int row = 0; row < printEntries_->rowCount(); ++row)
        rowOfKey.insert(keyOf(printEntries_->entry(row)), row);
    QList<int> stay;
    for (const QString &key : std::as_const(waiting))
        if (const int row = rowOfKey.value(key, -1); row >= 0)
            stay.append(row);
    printEntries_->choose(stay);
    showFilter(0);
    imgAddAll->setEnabled(true);
    imgRemoveAll->setEnabled(rowsIn(lstPrintList) > 0);
}

void frmPrintSet::filterChanged() {
    QListView *visible = visibleList();
    if (visible == lstPostcard)
        fillPostcardList();
    for (QListView *list : {lstAll, lstUnPrint, lstPrint, lstPostcard})
        list->setVisible(list == visible);
    if (rowsIn(visible) > 0)
        imgAddAll->setEnabled(true);
    clearSelections();
    imgRemoveAll->setEnabled(rowsIn(lstPrintList) > 0);
}

void frmPrintSet::add() {
    if (const int row = selectedRow(visibleList()); row >= 0) {
        printEntries_->choose({row});
        imgRemoveAll->setEnabled(true);
    }
    clearSelections();
}

void frmPrintSet::addAll() {
    printEntries_->choose(filterOf(visibleList())->modelRows());
    imgRemoveAll->setEnabled(true);
    imgAddAll->setEnabled(false);
    clearSelections();
}

void frmPrintSet::remove() {
    if (const int row = selectedRow(lstPrintList); row >= 0)
        printEntries_->putBack({row});
    clearSelections();
    if (rowsIn(lstPrintList) == 0)
        imgRemoveAll->setEnabled(false);
    imgAddAll->setEnabled(true);
}

void frmPrintSet::removeAll() {
    printEntries_->putBack(printEntries_->chosenRows());
    imgAddAll->setEnabled(true);
    clearSelections();
}

void frmPrintSet::clearSelections() {
    for (QListView *list : {lstAll, lstUnPrint, lstPrint, lstPostcard, lstPrintList}) {
        const QSignalBlocker blocked(list->selectionModel());
        list->selectionModel()->clear();
        // The view draws what its selection model says only when told.
        list->viewport()->update();
    }
    // From what is selected, never from what happened last.
    imgAdd->setEnabled(visibleList()->selectionModel()->hasSelection());
    imgRemove->setEnabled(lstPrintList->selectionModel()->hasSelection());
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

void frmPrintSet::loadYearMarks() {
    QList<QList<people::NewYear>> years;
    const QList<people::PersonData> persons = book_.peopleDataOf(loadedLinesOf(book_, printEntries_->lines()));
    years.reserve(persons.size());
    for (const people::PersonData &person : persons)
        years.append(person.years);
    printEntries_->setYears(years);
}

void frmPrintSet::showYearMarks() {
    for (QListView *list : {lstAll, lstUnPrint, lstPrint, lstPostcard, lstPrintList})
        list->setIconSize(postcards_ ? PrintListModel::marksSize() : QSize());
    printEntries_->showYear(postcards_ ? std::optional<int>(spnNewYear->value()) : std::nullopt);
}

void frmPrintSet::fillPostcardList() {
    const int index = cboSelect->currentIndex() - FirstPostcardFilter;
    if (index < 0 || index >= int(std::size(newyearchoice::Filters))) {
        filterOf(lstPostcard)->setAccepts(nullptr);
        return;
    }
    const newyearchoice::Filter filter = newyearchoice::Filters[index];
    filterOf(lstPostcard)->setAccepts([filter](const PrintListModel &m, int row) {
        return !m.isChosen(row) && newyearchoice::chooses(filter, m.yearShown(row));
    });
}

void frmPrintSet::SetDisable(const QString &mode) {
    const QString m = mode.toLower();
    if (m != QLatin1String("line") && m != QLatin1String("info"))
        return;
    const bool enable = m == QLatin1String("info");
    for (QWidget *w : std::initializer_list<QWidget *>{fraPrintList, cboStartInfo, cboSelect, fraStartInfo})
        w->setEnabled(enable);
    for (QListView *list : {lstPrint, lstUnPrint, lstPrintList, lstAll}) {
        list->setEnabled(enable);
        setListBackground(list, enable ? ButtonHighlight : Greyed);
    }
}

void frmPrintSet::openPreview() {
    if (postcards_) {
        if (rowsIn(lstPrintList) == 0) {
            frmMsgBox::ask(QStringLiteral("印刷内容を選択して下さい。"), MsgButtons::Yes);
            return;
        }
        ::PrintJob::CollectPrintEntries(book_, chosenLines());
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
    if (rowsIn(lstPrintList) == 0) {
        frmMsgBox::ask(QStringLiteral("印刷内容を選択して下さい。"), MsgButtons::Yes);
        return;
    }
    preview_->show();
    ::PrintJob::CollectPrintEntries(book_, chosenLines());
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
