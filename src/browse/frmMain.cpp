#include "browse/frmMain.h"
#include "store/book.h"

#include "browse/entrylistpage.h"
#include "browse/frmImport.h"
#include "browse/frmSync.h"
#include "contacts/importer.h"
#include "editor/frmEdit.h"
#include "printing/frmPrintSet.h"
#include "printing/newyearchoice.h"
#include "render/fonts.h"
#include "store/bookfolder.h"
#include "store/entryrecord.h"
#include "store/entrywriter.h"
#include "store/kanarow.h"
#include "store/mdlDim.h"
#include "store/search.h"
#include "store/selection.h"
#include "ui/artwork.h"
#include "ui/centerform.h"
#include "ui/frameline.h"
#include "ui/frmMsgBox.h"
#include "ui/imagebutton.h"
#include "ui/loadfailure.h"
#include "ui/skin.h"
#include "ui/titleimage.h"
#include "ui/twips.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolTip>

namespace {
QPointer<frmMain> current;

const QString EmptyBookHint = QStringLiteral(
    "まだ登録がありません。「新規登録」で追加するか、連絡先のファイル（vCard・CSV）をここにドロップして下さい。");
const QString ReadOnlyNotice = QStringLiteral("読み取り専用：登録・削除・印刷済みの記録はできません");
const QString LoadFailedNotice = QStringLiteral("電話帳を読み込めませんでした。直したら分類のボタンで読み直します");

constexpr int WindowWidth = 5715;
constexpr int WindowHeight = 7515;
constexpr int CategoryTop = 960;

struct CategoryButton {
    const char *name;
    int category;
    int left;
    int width;
    const char16_t *face;
    const char16_t *caption;
};

const CategoryButton FixedCategories[] = {
    {"imgAll", 0, 195, 615, u"全表示", u"全リスト表示"},
    {"imgQQ", 1, 840, 450, mdlDim::FixedCategoryNames[0], mdlDim::FixedCategoryNames[0]},
    {"imgYR", 2, 1305, 450, mdlDim::FixedCategoryNames[1], mdlDim::FixedCategoryNames[1]},
    {"imgOD", 3, 1770, 450, mdlDim::FixedCategoryNames[2], mdlDim::FixedCategoryNames[2]},
    {"imgSS", 4, 2250, 450, mdlDim::FixedCategoryNames[3], mdlDim::FixedCategoryNames[3]},
    {"imgBY", 5, 2720, 450, mdlDim::FixedCategoryNames[4], mdlDim::FixedCategoryNames[4]},
};
constexpr int UserCategoryLefts[] = {3200, 3660, 4125, 4605, 5090};
constexpr int CategoryLineXs[] = {1060, 1530, 2000, 2480, 2940};
const char *const CategoryLineNames[] = {"linQQ", "linYR", "linOD", "linSS", "linBY"};

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &caption, int left, int top, int width,
                  int height, double pointSize = 9) {
    return skin::makeLabel(parent, name, caption, QRect(left, top, width, height),
                           fonts::named(fonts::UiGothic, pointSize));
}
} // namespace

frmMain *frmMain::loaded() {
    return current;
}

frmMain::frmMain(Book &book) : book_(book) {
    current = this;
    skin::setUpWindow(this, QStringLiteral("frmMain"), WindowWidth, WindowHeight, skin::bookCaption(book_));
    setFont(fonts::named(fonts::UiGothic, 9));
    setAcceptDrops(true);
    // Two copies on two books are told apart in the window list.
    if (!bookfolder::isStandard(book_.dir()))
        setWindowTitle(skin::bookCaption(book_) + QStringLiteral(" — ") +
                       QDir::toNativeSeparators(QDir(book_.dir()).absolutePath()));

    imgPicture.resize(15);
    for (int c = 1; c <= 10; ++c)
        imgPicture[c] = artwork::categoryTag(c);
    imgPicture[11] = artwork::openButton(false);
    imgPicture[12] = artwork::openButton(true);
    imgPicture[13] = artwork::closeButton(true);
    imgPicture[14] = artwork::closeButton(false);

    // The find box leaves no room for more; the window's title and the list say read-only.
    imgTitle = new TitleImage(this, WindowWidth, skin::ProductCaption);
    imgClose = new ImageButton(this, QStringLiteral("imgClose"));
    twips::place(imgClose, 5430, 30, 255, 255);
    imgClose->setPictures(imgPicture[14], imgPicture[13]);
    imgClose->setAccessibleName(QStringLiteral("閉じる"));
    connect(imgClose, &ImageButton::clicked, this, &frmMain::closeRequested);

    imgNew = makeImageButton(this, QStringLiteral("imgNew"), QRect(4510, 540, 1005, 300), QPoint(4530, 550),
                             QStringLiteral("新規登録"));
    connect(imgNew, &ImageButton::clicked, this, &frmMain::newEntry);
    // Between the caption and the find box.
    imgReceived = makeImageButton(this, QStringLiteral("imgReceived"), QRect(1980, 75, 345, 285), QPoint(1990, 85),
                                  QStringLiteral("受"), QColor(235, 180, 180));
    imgReceived->setAccessibleName(QStringLiteral("年賀状が届いた"));
    connect(imgReceived, &ImageButton::clicked, this, [this] { toggleReceived(picList0->highlighted()); });
    imgPostcards = makeImageButton(this, QStringLiteral("imgPostcards"), QRect(2355, 75, 555, 285), QPoint(2365, 85),
                                   QStringLiteral("はがき"), QColor(235, 180, 180));
    imgPostcards->setAccessibleName(QStringLiteral("はがき宛名を印刷"));
    connect(imgPostcards, &ImageButton::clicked, this, [this] { openPrintSetUp(0, true); });
    imgSync = makeImageButton(this, QStringLiteral("imgSync"), QRect(2940, 75, 555, 285), QPoint(2950, 85),
                              QStringLiteral("同期"), QColor(180, 210, 235));
    imgSync->setAccessibleName(QStringLiteral("スマホと同期"));
    connect(imgSync, &ImageButton::clicked, this, &frmMain::openSync);

    lblType = makeLabel(this, QStringLiteral("lblType"), QStringLiteral("全リスト表示"), 200, 550, 1230, 225, 9);
    QFont typeFont = lblType->font();
    typeFont.setBold(true);
    lblType->setFont(typeFont);
    // Wide enough for "現在 100000 件", ending before 行音フィルター.
    lblCount = makeLabel(this, QStringLiteral("lblCount"), QStringLiteral("現在"), 1300, 615, 1215, 225, 8);
    lblIndex = makeLabel(this, QStringLiteral("lblIndex"), QStringLiteral("行音フィルター"), 2520, 615, 960, 225, 7);
    cboIndex = new QComboBox(this);
    cboIndex->setObjectName(QStringLiteral("cboIndex"));
    cboIndex->setAccessibleName(QStringLiteral("行音フィルター"));
    lblIndex->setBuddy(cboIndex); // Qt names a combo box by its value on Linux; a reader takes the label
    cboIndex->addItems(kanarow::captions());
    cboIndex->setMaxVisibleItems(kanarow::RowCount);
    twips::place(cboIndex, 3480, 540, 975, 330);
    connect(cboIndex, &QComboBox::currentIndexChanged, this, [this] {
        stopSearching();
        SelectDB(currentCategory_);
        ViewTelList(0);
    });

    // In the title strip, right of the caption: free in both layouts.
    txtFind = new QLineEdit(this);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    txtFind->setPlaceholderText(QStringLiteral("検索"));
    txtFind->setAccessibleName(QStringLiteral("検索"));
    txtFind->setClearButtonEnabled(true);
    // The clear button is an action of the box: named, a screen reader can offer it.
    for (QAction *action : txtFind->actions())
        action->setText(QStringLiteral("検索をクリア"));
    twips::place(txtFind, 3525, 75, 1815, 285);
    connect(txtFind, &QLineEdit::textChanged, this, &frmMain::findChanged);
    txtFind->installEventFilter(this);
    const auto focusFind = [this] {
        txtFind->setFocus(Qt::ShortcutFocusReason);
        txtFind->selectAll();
    };
    connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, this, focusFind);
    connect(new QShortcut(QKeySequence(Qt::Key_Slash), this), &QShortcut::activated, this, focusFind);
    auto *clearFind = new QShortcut(QKeySequence(Qt::Key_Escape), txtFind, nullptr, nullptr, Qt::WidgetShortcut);
    connect(clearFind, &QShortcut::activated, txtFind, &QLineEdit::clear);

    buildCategoryButtons();
    buildPrintStrip();
    buildList();

    std::tie(linLeft, linRight, liinDown) =
        skin::addBorder(this, WindowWidth, WindowHeight, 420, QStringLiteral("liinDown"));

    // Tab follows the screen, top to bottom and left to right; ✕ comes last.
    QList<QWidget *> order = {imgReceived, imgPostcards, imgSync, txtFind, imgAll, imgQQ, imgYR, imgOD, imgSS, imgBY};
    order += QList<QWidget *>(pciNewType.begin(), pciNewType.end());
    order += {cboIndex, imgNew, imgType, imgTypeA, imgTypeB, imgTypeC, picList0, fsbList, imgClose};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));

    // Loading: the layout for the current category, centred, the first
    // selection and page, then the user categories' names.
    TypeMode(currentCategory_ != 0);
    mdlDim::CenterForm(this);
    // cboIndex already stands at 0 ("全表示"), so its change handler is run directly.
    SelectDB(currentCategory_);
    ViewTelList(0);
    UpdateType();
}

frmMain::~frmMain() = default;

void frmMain::closeEvent(QCloseEvent *event) {
    event->ignore();
    emit closeRequested();
}

void frmMain::buildCategoryButtons() {
    for (const CategoryButton &b : FixedCategories) {
        const QColor face = b.category == 0 ? QColor(150, 175, 215) : artwork::categoryColour(b.category);
        ImageButton *button =
            makeImageButton(this, QString::fromLatin1(b.name), QRect(b.left, CategoryTop, b.width, 255),
                            QPoint(b.left + 10, CategoryTop + 10), QString::fromUtf16(b.face), face);
        const QString caption = QString::fromUtf16(b.caption);
        const int category = b.category;
        connect(button, &ImageButton::clicked, this, [this, category, caption] { chooseCategory(category, caption); });
        ImageButton **member[] = {&imgAll, &imgQQ, &imgYR, &imgOD, &imgSS, &imgBY};
        *member[b.category] = button;
    }
    for (int i = 0; i < 5; ++i) {
        const int left = UserCategoryLefts[i];
        ImageButton *button =
            makeImageButton(this, QStringLiteral("pciNewType(%1)").arg(i), QRect(left, CategoryTop, 450, 255),
                            QPoint(left + 10, CategoryTop + 10), {}, artwork::categoryColour(6 + i));
        QLabel *label = makeButtonLabel(button, QStringLiteral("lblNew(%1)").arg(i), QStringLiteral("新規"),
                                        QRect(50, 60, 345, 165), fonts::named(fonts::UiGothic, 6.75));
        connect(button, &ImageButton::clicked, this, [this, i] { chooseUserCategory(i); });
        pciNewType.append(button);
        lblNew.append(label);
    }
    for (int i = 0; i < 5; ++i) {
        auto *line = new FrameLine(this, QString::fromLatin1(CategoryLineNames[i]), CategoryLineXs[i], 1180,
                                   CategoryLineXs[i], 1290, QColor(90, 90, 90));
        categoryLines.append(line);
    }
}

void frmMain::buildPrintStrip() {
    picTypeList = new QWidget(this);
    picTypeList->setObjectName(QStringLiteral("picTypeList"));
    twips::place(picTypeList, 0, 1280, WindowWidth, 600);
    Label10 =
        makeLabel(picTypeList, QStringLiteral("Label10"), QStringLiteral("このカテゴリーを"), 240, 130, 1200, 210, 7);
    Label11 =
        makeLabel(picTypeList, QStringLiteral("Label11"), QStringLiteral("印刷プレビュー"), 240, 340, 1200, 210, 7);
    struct Format {
        ImageButton **member;
        const char *name;
        QRect atRest;
        QPoint pressed;
        const char16_t *caption;
    };
    const Format formats[] = {
        {&imgType, "imgType", QRect(1440, 80, 885, 465), QPoint(1450, 90), u"住所録"},
        {&imgTypeA, "imgTypeA", QRect(2380, 80, 1410, 465), QPoint(2400, 90), u"住所録＋メール"},
        {&imgTypeB, "imgTypeB", QRect(3850, 80, 780, 465), QPoint(3870, 90), u"電話帳"},
        {&imgTypeC, "imgTypeC", QRect(4690, 80, 765, 465), QPoint(4710, 90), u"簡易録"},
    };
    for (int f = 0; f < 4; ++f) {
        const Format &format = formats[f];
        *format.member = makeImageButton(picTypeList, QString::fromLatin1(format.name), format.atRest, format.pressed,
                                         QString::fromUtf16(format.caption), QColor(225, 170, 90));
        connect(*format.member, &ImageButton::clicked, this, [this, f] { chooseCardFormat(f); });
    }
}

void frmMain::buildList() {
    picMain = new QWidget(this);
    picMain->setObjectName(QStringLiteral("picMain"));
    picTital = new QLabel(picMain);
    picTital->setObjectName(QStringLiteral("picTital"));
    twips::place(picTital, 0, 0, 5330, 300);
    picTital->setPixmap(artwork::listHeader(picTital->size()));
    picTital->setAccessibleName(QStringLiteral("索 分類 氏名 住所 詳細"));
    fsbList = new QScrollBar(Qt::Vertical, picMain);
    fsbList->setObjectName(QStringLiteral("fsbList"));
    fsbList->setMinimum(0);
    fsbList->setMaximum(0);
    picList0 = new EntryListPage(book_.entries(), picMain, fsbList, imgPicture, [this](int c) { return WriteType(c); });
    picList0->setAccessibleName(QStringLiteral("リスト"));
    twips::place(picList0, 0, 300, 5060, 5700);
    connect(picList0, &EntryListPage::entryOpened, this, &frmMain::openEntry);
    connect(picList0, &EntryListPage::receivedToggled, this, &frmMain::toggleReceived);
    if (!book_.readOnlyReason().isEmpty())
        picList0->setNotice(ReadOnlyNotice);
}

void frmMain::SelectDB(int category) {
    QString error;
    picList0->clearHighlight();
    const bool loaded = searching() ? selection::loadSearch(book_, search::Query(findText()), &error)
                                    : selection::loadSelection(book_, category, cboIndex->currentIndex(), &error);
    if (!loaded) {
        // The tables keep what they held, and every writer checks the file
        // again, so the window stays: the user can mend the book and click again.
        mdlDim::showLoadFailure(book_, error);
        picList0->setNotice(LoadFailedNotice);
        loadFailed_ = true;
        return;
    }
    picList0->entriesChanged();
    if (std::exchange(loadFailed_, false))
        picList0->setNotice(book_.readOnlyReason().isEmpty() ? QString() : ReadOnlyNotice);
    lblCount->setText(QStringLiteral("現在 %1 件").arg(book_.entryCount()));
    // Once the list is drawn: the find box's index made while the user looks.
    QTimer::singleShot(0, this, [this] { book_.index().prepareSearch(); });
    const bool emptyBook = book_.entryCount() == 0 && category == 0 && cboIndex->currentIndex() == 0 && !searching();
    picList0->setEmptyHint(emptyBook ? EmptyBookHint : QString());
    QStringList description;
    if (emptyBook)
        description.append(EmptyBookHint);
    if (!book_.readOnlyReason().isEmpty())
        description.append(ReadOnlyNotice + QStringLiteral("。") + book_.readOnlyReason());
    picList0->setAccessibleDescription(description.join(u'\n'));
}

void frmMain::ViewTelList(int start) {
    picList0->ViewTelList(start);
}

void frmMain::TypeMode(bool categoryMode) {
    picList0->setCategoryMode(categoryMode);
    setFixedSize(twips::toPx(WindowWidth), twips::toPx(WindowHeight));
    twips::move(lblIndex, categoryMode ? 3800 : 2520, 620);
    twips::move(cboIndex, categoryMode ? 4720 : 3480, 540);
    twips::move(picTypeList, 0, 1280);
    picTypeList->setVisible(categoryMode);
    if (categoryMode)
        twips::place(picMain, 200, 1940, 5330, 5420);
    else
        twips::place(picMain, 200, 1320, 5330, 6030);
    twips::place(picList0, 0, 300, 5060, 5700);
    twips::place(fsbList, 5060, 300, 240, categoryMode ? 5090 : 5700);
    for (FrameLine *line : std::as_const(categoryLines))
        line->setVisible(categoryMode);
    imgNew->setVisible(!categoryMode);
}

void frmMain::UpdateType() {
    for (int slot = 5; slot <= 9; ++slot) {
        const QString name = book_.categoryName(slot);
        if (name.isEmpty())
            continue;
        setButtonCaption(lblNew[slot - 5], name.size() <= 2 ? name : name.left(2) + QStringLiteral(".."));
        pciNewType[slot - 5]->setAccessibleName(name);
    }
}

QString frmMain::WriteType(int number) const {
    if (number < 1 || number > mdlDim::CategorySlots)
        return {};
    return book_.categoryName(number - 1);
}

QString frmMain::findText() const {
    QString text = txtFind->text();
    if (!findPreedit_.isEmpty())
        text.insert(txtFind->cursorPosition(), findPreedit_);
    return text;
}

bool frmMain::searching() const {
    return !search::Query(findText()).isEmpty();
}

bool frmMain::eventFilter(QObject *watched, QEvent *event) {
    if (watched != txtFind)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::InputMethod) {
        const auto *input = static_cast<QInputMethodEvent *>(event);
        const QString preedit = input->preeditString();
        // A commit changes the text and runs the search itself; a new
        // composing text alone is searched here.
        const bool commits = !input->commitString().isEmpty() || input->replacementLength() != 0;
        if (preedit != findPreedit_) {
            findPreedit_ = preedit;
            if (!commits)
                QTimer::singleShot(0, this, &frmMain::findChanged);
        }
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down) && book_.entryCount() > 0) {
            picList0->setFocus(Qt::TabFocusReason);
            picList0->highlightRow(0);
            return true;
        }
    }
    return false;
}

void frmMain::dragEnterEvent(QDragEnterEvent *event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (std::any_of(urls.begin(), urls.end(), [](const QUrl &url) { return url.isLocalFile(); }))
        event->acceptProposedAction();
}

void frmMain::dropEvent(QDropEvent *event) {
    QStringList files;
    for (const QUrl &url : event->mimeData()->urls())
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    event->acceptProposedAction();
    // After the drop has finished: the report window is modal.
    QTimer::singleShot(0, this, [this, files] { importFiles(files); });
}

void frmMain::importFiles(const QStringList &files) {
    if (files.isEmpty())
        return;
    // Contacts that name no category go to the one shown, else to 親戚 (1).
    const int category = currentCategory_ >= 1 && currentCategory_ <= 10 ? currentCategory_ : 1;
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    const contactimport::BookImport done = contactimport::importIntoBook(book_, files, category);
    QGuiApplication::restoreOverrideCursor();
    frmImport report(done.report, done.error.isEmpty() ? done.summary : done.error);
    report.exec();
    SelectDB(currentCategory_);
    ViewTelList(0);
}

void frmMain::openSync() {
    if (frmSync::openModal(book_)) {
        SelectDB(currentCategory_);
        ViewTelList(0);
        UpdateType();
    }
}

void frmMain::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    // The first focus is the list, never the close button (Enter would end the program).
    if (!std::exchange(shownOnce_, true))
        picList0->setFocus(Qt::OtherFocusReason);
}

void frmMain::findChanged() {
    if (searching()) {
        if (!showingSearch_)
            captionBeforeSearch_ = lblType->text();
        showingSearch_ = true;
        // Shortened to end before the count, which the label's width would overlap.
        lblType->setText(lblType->fontMetrics().elidedText(QStringLiteral("検索：") + findText().trimmed(),
                                                           Qt::ElideRight, lblCount->x() - lblType->x()));
    } else if (showingSearch_) {
        showingSearch_ = false;
        lblType->setText(captionBeforeSearch_);
    } else {
        return;
    }
    SelectDB(currentCategory_);
    ViewTelList(0);
}

void frmMain::stopSearching() {
    const QSignalBlocker quiet(txtFind);
    txtFind->clear();
    findPreedit_.clear();
    if (std::exchange(showingSearch_, false))
        lblType->setText(captionBeforeSearch_);
}

void frmMain::chooseCategory(int category, const QString &caption) {
    stopSearching();
    TypeMode(category != 0);
    currentCategory_ = category;
    lblType->setText(caption);
    SelectDB(currentCategory_);
    ViewTelList(0);
}

void frmMain::chooseUserCategory(int index) {
    stopSearching();
    TypeMode(true);
    currentCategory_ = index + 6;
    const QString name = book_.categoryName(index + 5);
    lblType->setText(!name.isEmpty() ? name : lblNew[index]->text() + QString::number(index + 1));
    SelectDB(currentCategory_);
    ViewTelList(0);
}

void frmMain::chooseCardFormat(int format) {
    openPrintSetUp(format, false);
}

void frmMain::openPrintSetUp(int format, bool postcards) {
    if (book_.entryCount() == 0) {
        frmMsgBox::ask(QStringLiteral("印刷できるリストがありません。"), MsgButtons::Yes);
        return;
    }
    auto *setup = new frmPrintSet(book_, format);
    if (postcards)
        setup->setPrintsPostcards(true);
    connect(setup, &frmPrintSet::selectionNeeded, this, [this] { SelectDB(currentCategory_); });
    connect(setup, &frmPrintSet::left, this, &QWidget::show);
    setup->show();
    hide();
}

void frmMain::toggleReceived(int index) {
    if (!book_.readOnlyReason().isEmpty()) {
        frmMsgBox::ask(describe(book_.readOnlyRefusal()), MsgButtons::Yes);
        return;
    }
    if (index < 0 || index >= book_.entryCount()) {
        frmMsgBox::ask(QStringLiteral("年賀状が届いた人の行を選んでから「受」を押して下さい。"), MsgButtons::Yes);
        return;
    }
    const QList<mdlDim::LoadedLine> line = {book_.entries().loadedLine(index)};
    const int year = newyearchoice::defaultYear(QDate::currentDate());
    bool received = false; // as the change leaves it: toggled on the record as it is in the file
    const EntryWriter::Result written = book_.changePeopleData(line, [&](people::PersonData &d) {
        received = !d.yearRecord(year).received;
        d.yearRecord(year).received = received;
    });
    if (!written || written.vanished > 0 || !written.peopleError.isEmpty()) {
        frmMsgBox::ask(!written               ? written.message
                       : written.vanished > 0 ? QString(EntryWriter::ChangedElsewhere)
                                              : written.peopleError,
                       MsgButtons::Yes);
        return;
    }
    const QString name = EntryRecord::ofElement(book_.entries().at(index))[EntryField::Name];
    const QString said = received ? QStringLiteral("%1：%2 年の年賀状が届きました（受）").arg(name).arg(year)
                                  : QStringLiteral("%1：%2 年の「受」を取り消しました").arg(name).arg(year);
    imgReceived->setAccessibleDescription(said);
    QToolTip::showText(imgReceived->mapToGlobal(QPoint(0, imgReceived->height())), said, imgReceived);
}

void frmMain::openEntry(int index) {
    openEditor(index);
}

void frmMain::newEntry() {
    if (!book_.readOnlyReason().isEmpty()) {
        frmMsgBox::ask(describe(book_.readOnlyRefusal()), MsgButtons::Yes);
        return;
    }
    openEditor(frmEdit::NewEntry);
}

frmEdit *frmMain::openEditor(int entry) {
    auto *editor = new frmEdit(book_, entry);
    connect(editor, &frmEdit::happened, this, [this](frmEdit::Outcome outcome) {
        switch (outcome) {
        case frmEdit::Outcome::Stored:
            break; // the editor stays open; the list is read again when it goes
        case frmEdit::Outcome::ChangedElsewhere:
            SelectDB(currentCategory_);
            ViewTelList(0);
            break;
        case frmEdit::Outcome::Added:
        case frmEdit::Outcome::Deleted:
        case frmEdit::Outcome::Left: {
            const int start = outcome == frmEdit::Outcome::Left ? fsbList->value() : 0;
            UpdateType();
            SelectDB(currentCategory_);
            ViewTelList(start);
            skin::bringToFront(this);
            break;
        }
        }
    });
    connect(editor, &frmEdit::findRequested, this, [this] {
        txtFind->setFocus(Qt::ShortcutFocusReason);
        txtFind->selectAll();
    });
    editor->show();
    hide();
    return editor;
}
