// Renders the program's windows to PNG files in the directory given as the
// first argument (default: the current directory). Run it with
// QT_QPA_PLATFORM=offscreen; the data files are read from the second argument
// when given (for example the sample phone book).
#include "browse/frmImport.h"
#include "browse/frmLogo.h"
#include "browse/frmMain.h"
#include "browse/frmSync.h"
#include "browse/frmSyncAccount.h"
#include "editor/frmEdit.h"
#include "editor/frmPerson.h"
#include "printing/frmAdjust.h"
#include "printing/frmPrint.h"
#include "printing/frmPrintMsg.h"
#include "printing/frmPrintSet.h"
#include "printing/frmSender.h"
#include "printing/newyearchoice.h"
#include "printing/printjob.h"
#include "render/fonts.h"
#include "store/book.h"
#include "store/bookencoding.h"
#include "store/mdlDim.h"
#include "sync/syncaccount.h"
#include "ui/formpictures.h"
#include "ui/frmMsgBox.h"
#include "ui/imagebutton.h"

#include "ui/picturebox.h"
#include <QApplication>

#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>

namespace {
QString outDir;

void save(QWidget *w, const QString &name) {
    w->show();
    QApplication::processEvents();
    const QString path = QDir(outDir).filePath(name + QStringLiteral(".png"));
    if (!w->grab().save(path))
        qWarning("could not write %s", qPrintable(path));
    else
        qInfo("%s", qPrintable(path));
}

void renderMessageBoxes() {
    save(frmMsgBox::prepare(QStringLiteral("印刷できるリストがありません。"), MsgButtons::Yes), "frmMsgBox-yes");
    save(frmMsgBox::prepare(QStringLiteral("このリストを保存しますか？"), MsgButtons::YesNo), "frmMsgBox-yesno");
    frmMsgBox *paper = frmMsgBox::preparePaperPrompt();
    save(paper, "frmMsgBox-paper-up");
    paper->timPaperMove->setInterval(1);
    while (!paper->PaperUp)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    paper->timPaperMove->stop();
    save(paper, "frmMsgBox-paper-down");
    paper->unload();
    save(frmMsgBox::prepare(QStringLiteral("「VexaTel.txt」を開けません。\rファイルが見つかりません。"),
                            MsgButtons::Yes),
         "frmMsgBox-load-failure");
    frmMsgBox::loaded()->unload();
    save(frmMsgBox::prepare(utf8Question({QStringLiteral("VexaTel.txt")}), MsgButtons::YesNo),
         "frmMsgBox-utf8-question");
    frmMsgBox::loaded()->unload();
    save(frmMsgBox::prepare(
             QStringLiteral(
                 "Shift_JIS に戻しました。元のファイルは VexaTel.txt.utf8-20261208-165244 として残してあります。"),
             MsgButtons::Yes),
         "frmMsgBox-long-word");
    frmMsgBox::loaded()->unload();
}

void click(QWidget *w) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)), Qt::LeftButton,
                      Qt::LeftButton, {});
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)), Qt::LeftButton,
                        Qt::NoButton, {});
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &release);
}

void renderWithPhoneBook() {
    Book book(mdlDim::AppDir());
    auto *logo = new frmLogo(book);
    logo->timStart->stop();
    save(logo, "frmLogo");
    delete logo;

    auto *home = new frmMain(book);
    save(home, "frmMain-all");
    home->fsbList->setValue(home->fsbList->maximum());
    save(home, "frmMain-all-last-page");
    click(home->imgYR);
    save(home, "frmMain-category-2");
    click(home->pciNewType[3]);
    save(home, "frmMain-category-9");
    click(home->pciNewType[2]);
    save(home, "frmMain-category-8-unnamed");
    // A search typed, with the second row highlighted from the keyboard.
    click(home->imgAll);
    home->txtFind->setText(QStringLiteral("さとう"));
    for (int key = 0; key < 2; ++key) {
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QApplication::sendEvent(home->picList0, &down);
    }
    save(home, "frmMain-search");
    home->txtFind->clear();
    // The editor in both modes, with long texts typed.
    auto *fresh = new frmEdit(book, frmEdit::NewEntry);
    fresh->txtPingYin->setText(QStringLiteral("ながしまあやのすけ"));
    fresh->txtName->setText(QStringLiteral("長嶋　綾之介左衛門太郎兵衛"));
    fresh->txtZip1->setText(QStringLiteral("100"));
    fresh->txtZip2->setText(QStringLiteral("0001"));
    fresh->txtAdd->setText(QStringLiteral("東京都千代田区千代田一丁目一番地一号館"));
    fresh->txtTel1->setText(QStringLiteral("0120"));
    fresh->txtTel2->setText(QStringLiteral("12"));
    fresh->txtTel3->setText(QStringLiteral("3456"));
    fresh->txtMobile1->setText(QStringLiteral("090"));
    fresh->txtMobile2->setText(QStringLiteral("1234"));
    fresh->txtMobile3->setText(QStringLiteral("5678"));
    fresh->txtEmail->setText(QStringLiteral("ayanosuke.nagashima@example.co.jp"));
    fresh->cboType->setCurrentIndex(6);
    save(fresh, "frmEdit-new");
    delete fresh;
    home->SelectDB(0);
    auto *editing = new frmEdit(book, 2);
    save(editing, "frmEdit-edit");
    delete editing;

    // Print set-up in its three modes, and the preview of each card format.
    click(home->imgYR);
    for (int format = 0; format < 4; ++format) {
        auto *setup = new frmPrintSet(book, format);
        for (int row : {4, 2, 0})
            if (row < setup->lstAll->model()->rowCount()) {
                setup->lstAll->setCurrentIndex(setup->lstAll->model()->index(row, 0));
                click(setup->imgAdd);
            }
        if (format == 0) {
            save(setup, "frmPrintSet-text");
            click(setup->optLineInfo);
            save(setup, "frmPrintSet-lines-and-text");
            click(setup->optLine);
            save(setup, "frmPrintSet-lines-only");
        }
        click(setup->optLineInfo);
        click(setup->imgBack);
        save(setup->preview(), QStringLiteral("frmPrint-format-%1").arg(format));
        if (format == 0) {
            // Postcards, with a sender shown but not kept: the book's own telbora.ini stays as it is.
            const postcard::Sender sample{QStringLiteral("鈴木　一郎"),
                                          QStringLiteral("150-0002"),
                                          QStringLiteral("東京都渋谷区渋谷2-21-1 渋谷ヒカリエ11F"),
                                          {QStringLiteral("花子")}};
            postcardsettings::Setup shown;
            shown.profiles = {{QStringLiteral("家族"), sample}};
            click(setup->preview()->imgBack);
            click(setup->imgRemoveAll);
            for (const char *name : {"鈴木　彩", "高橋　裕子", "加藤　博"})
                if (const QModelIndex item = setup->lstAll->model()
                                                 ->match(setup->lstAll->model()->index(0, 0), Qt::DisplayRole,
                                                         QString::fromUtf8(name), 1, Qt::MatchStartsWith)
                                                 .value(0);
                    item.isValid()) {
                    setup->lstAll->setCurrentIndex(item);
                    click(setup->imgAdd);
                }
            // A few records of the season, so that the marks show (in the copy of the book).
            const int year = newyearchoice::defaultYear(QDate::currentDate());
            const QList<people::NewYear> marks = {{year, true, true}, {year, false, true}, {year, true}};
            for (qsizetype i = 0; i < marks.size() && i < book.entries().size(); ++i)
                book.changePeopleData(loadedLinesOf(book, {book.entries().at(i)}),
                                      [&](people::PersonData &d) { d.yearRecord(year) = marks.at(i); });
            click(setup->imgPostcard);
            save(setup, "frmPrintSet-postcards");
            click(setup->imgBack);
            setup->preview()->showPostcards(shown, {});
            save(setup->preview(), "frmPrint-postcard");
            click(setup->preview()->imgDown);
            save(setup->preview(), "frmPrint-postcard-2");
            setup->preview()->showPostcards(shown, {}, addressmedium::Kind::Labels24, 3);
            save(setup->preview(), "frmPrint-labels");
            setup->preview()->showPostcards(shown, {}, addressmedium::Kind::LongEnvelope);
            save(setup->preview(), "frmPrint-envelope");
            frmSender sender;
            sender.txtSenderName->setText(sample.name);
            sender.txtSenderZip1->setText(sample.postalCode.left(3));
            sender.txtSenderZip2->setText(sample.postalCode.mid(4));
            sender.txtSenderAddress->setText(sample.address);
            sender.txtSenderJoint->setText(sample.joint.join(QStringLiteral("、")));
            save(&sender, "frmSender");
            people::PersonData household;
            household.honorific = QStringLiteral("様");
            household.joint = {{QStringLiteral("花子"), {}, QStringLiteral("はなこ"), QStringLiteral("様")},
                               {QStringLiteral("翔"), {}, QStringLiteral("しょう"), QStringLiteral("くん")}};
            household.company = QStringLiteral("株式会社山田製作所");
            household.department = QStringLiteral("営業部");
            household.title = QStringLiteral("部長");
            household.birthday = QStringLiteral("1970-05-04");
            household.nickname = QStringLiteral("いっちゃん");
            household.urls = {QStringLiteral("https://yamada-seisakusho.example.jp/")};
            household.phones = {QStringLiteral("03-9999-0000")};
            household.emails = {QStringLiteral("ichiro@work.example.jp")};
            household.addresses = {QStringLiteral("150-0002 東京都渋谷区渋谷2-21-1")};
            household.notes = QStringLiteral("毎年お歳暮をいただく。\n2025年に引っ越し。");
            household.yearRecord(2026) = {2026, true, true, false, false, false};
            household.yearRecord(2025) = {2025, false, false, true, true, false};
            frmPerson person(household, sample.name);
            save(&person, "frmPerson");
        }
        delete setup;
    }
    {
        frmAdjust adjust(formpictures::all(true));
        adjust.txtOffsetX->setValue(2.5);
        adjust.txtOffsetY->setValue(-1.0);
        save(&adjust, "frmAdjust");
    }
    // The same book when its folder cannot be written.
    delete home;
    book.setReadOnlyReason(
        QStringLiteral("フォルダー「/media/cdrom/telbora」に書き込めません。読み取り専用の場所です。"));
    home = new frmMain(book);
    save(home, "frmMain-read-only");
    auto *shownOnly = new frmEdit(book, 0);
    save(shownOnly, "frmEdit-read-only");
    delete shownOnly;
    book.setReadOnlyReason({});
    frmPrintMsg notice;
    notice.timPrint->stop();
    save(&notice, "frmPrintMsg");
    delete home;
    frmImport imported({QStringLiteral("「携帯.vcf」3 件目：電話番号「905-555-1234」は取り込みません：0 "
                                       "で始まらない番号です（外国の番号か、市外局番がありません）"),
                        QStringLiteral("「携帯.vcf」4 件目：読みを推測しました：やまもとけんじ"),
                        QStringLiteral("「携帯.vcf」5 件目：重複のため取り込みません：山田　太郎 は電話帳にあります"),
                        QStringLiteral("「携帯.vcf」6 件目：鈴木　彩 は電話帳の人と同じ人です。携帯「090-1111-2222」、"
                                       "ほかのメール「aya@work.example.jp」を加えました")},
                       QStringLiteral("取り込み 41 件、更新 1 件、見送り 0 件、重複 1 件"));
    save(&imported, "frmImport");
    syncaccount::save({QUrl(QStringLiteral("https://dav.example.jp/taro/contacts/")), QStringLiteral("taro")});
    frmSyncAccount account;
    save(&account, "frmSyncAccount");
    frmSync sync(book);
    cardsync::Report report;
    report.sent = 2;
    report.received = 1;
    report.lines = {
        QStringLiteral("受信：鈴木　花子"), QStringLiteral("送信：佐藤　美咲"), QStringLiteral("送信：山本　健二"),
        QStringLiteral("競合：田中　一郎 の電話番号 はパソコンとスマホの両方で変わりました（パソコン「03-6666-0000」、"
                       "スマホ「03-5555-0000」）。どちらにするか選ぶまで、この連絡先は送りも受けもしません")};
    report.conflicts = {
        {QString(), QStringLiteral("田中　一郎"), 4, QStringLiteral("03-6666-0000"), QStringLiteral("03-5555-0000")}};
    sync.showReport(report);
    save(&sync, "frmSync");
}
} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    fonts::installFontMap();
    outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QDir().mkpath(outDir);
    if (argc > 2)
        mdlDim::setDataDirectory(QString::fromLocal8Bit(argv[2]));
    renderMessageBoxes();
    if (argc > 2)
        renderWithPhoneBook();
    return 0;
}
