#include "browse/frmMain.h"
#include "common/boxanswerer.h"
#include "common/datadir.h"
#include "common/testmain.h"
#include "common/windows.h"
#include "editor/frmEdit.h"
#include "editor/frmPerson.h"
#include "render/postcardsettings.h"
#include "store/entrywriter.h"
#include "store/mdlDim.h"
#include "ui/frmMsgBox.h"
#include "ui/imagebutton.h"
#include "ui/picturebox.h"
#include "ui/twips.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

using Fields = QMap<QString, QString>;
Q_DECLARE_METATYPE(Fields)

namespace {
const QString Aoki =
    QStringLiteral("あおき|青木|100-0001|東京都千代田区|03-1111-2222||090-1234-5678|aoki@example.jp|2|F");
const QString Ito = QStringLiteral("いとう|伊藤|||||||7|T");
const QString Ueda = QStringLiteral("うえだ|上田|||||||3|F");

int indexOfLine(int line) {
    for (int i = 0; i < testBook().entries().size(); ++i)
        if (mdlDim::GetField(testBook().entries().at(i), "|", 1).toInt() == line)
            return i;
    return -1;
}
} // namespace

class TestEditor : public QObject {
    Q_OBJECT

    std::unique_ptr<DataDir> dir;
    QPointer<frmMain> home;
    QPointer<frmEdit> editor;

    // The browsing window as the program has it, and the editor opened from it.
    void start(const QStringList &lines, const QStringList &categories = DataDir::installedCategories()) {
        dir = std::make_unique<DataDir>(lines);
        dir->writeCategories(DataDir::sjisLines(categories));
        home = new frmMain(testBook());
        home->show();
    }
    void openNew() { editor = home->openEditor(frmEdit::NewEntry); }
    void openLine(int line) {
        const int entry = indexOfLine(line);
        QVERIFY(entry >= 0);
        editor = home->openEditor(entry);
    }
    void fill(const Fields &fields) {
        for (auto it = fields.cbegin(); it != fields.cend(); ++it) {
            if (it.key() == "cboType")
                editor->cboType->setCurrentIndex(it.value().toInt());
            else
                editor->findChild<QLineEdit *>(it.key())->setText(it.value());
        }
    }
    QString focusName() const { return editor->focusWidget() ? editor->focusWidget()->objectName() : QString(); }

private slots:
    void cleanup() {
        delete editor;
        delete home;
        dir.reset();
    }

    void checkSave_data() {
        QTest::addColumn<Fields>("fields");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        const Fields ok = {{"txtPingYin", "やまだ"}, {"txtName", "山田"}, {"cboType", "0"}};
        auto with = [&](Fields f, const QString &key, const QString &value) {
            f[key] = value;
            return f;
        };
        QTest::newRow("both names empty: only the furigana")
            << with(with(ok, "txtPingYin", ""), "txtName", "") << "ふりがなを入力して下さい。"
            << "txtPingYin";
        QTest::newRow("furigana starts badly") << with(ok, "txtPingYin", "ーや") << "ふりがなは正しくない。"
                                               << "txtPingYin";
        QTest::newRow("name empty") << with(ok, "txtName", "") << "氏名を入力して下さい。"
                                    << "txtName";
        QTest::newRow("postal 3 + 0") << with(ok, "txtZip1", "123") << "郵便番号を正しく入力して下さい。"
                                      << "txtZip1";
        Fields tel = with(with(with(ok, "txtTel1", "031"), "txtTel2", "1234"), "txtTel3", "5678");
        QTest::newRow("telephone 3 + 4 + 4") << tel << "電話番号を正しく入力して下さい。"
                                             << "txtTel1";
        QTest::newRow("fax 2 digits") << with(ok, "txtFax2", "12") << "ＦＡＸ番号を正しく入力して下さい。"
                                      << "txtFax1";
        Fields mobile = with(with(with(ok, "txtMobile1", "09"), "txtMobile2", "1234"), "txtMobile3", "5678");
        QTest::newRow("mobile 2 + 4 + 4") << mobile << "携帯電話番号を正しく入力して下さい。"
                                          << "txtMobile1";
        QTest::newRow("no category") << with(ok, "cboType", "-1") << "分類を指定して下さい。"
                                     << "cboType";
        QTest::newRow("unnamed user category") << with(ok, "cboType", "7") << "分類を入力して下さい。"
                                               << "txtNew(2)";
        QTest::newRow("postal 3 + 4 passes") << with(with(ok, "txtZip1", "123"), "txtZip2", "4567") << ""
                                             << "";
        QTest::newRow("telephone 2 + 4 + 4 passes")
            << with(with(with(ok, "txtTel1", "03"), "txtTel2", "1234"), "txtTel3", "5678") << ""
            << "";
        QTest::newRow("mobile 3 + 4 + 4 passes")
            << with(with(with(ok, "txtMobile1", "090"), "txtMobile2", "1234"), "txtMobile3", "5678") << ""
            << "";
        QTest::newRow("furigana や and a digit passes") << with(ok, "txtPingYin", "や1") << ""
                                                        << "";
        QTest::newRow("named user category passes") << with(with(ok, "cboType", "7"), "txtNew(2)", "趣味") << ""
                                                    << "";
    }
    void checkSave() {
        QFETCH(Fields, fields);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        start({});
        openNew();
        fill(fields);
        editor->txtEmail->setFocus();
        BoxAnswerer answerer;
        QCOMPARE(editor->CheckSave(), message.isEmpty());
        QCOMPARE(answerer.seen, message.isEmpty() ? QStringList() : QStringList{message});
        if (!message.isEmpty())
            QCOMPARE(focusName(), focus);
    }

    void addInfoLine_data() {
        QTest::addColumn<Fields>("fields");
        QTest::addColumn<QString>("line");
        QTest::newRow("furigana, name, category 1")
            << Fields{{"txtPingYin", "ふ"}, {"txtName", "名"}, {"cboType", "0"}} << "ふ|名|||||||1|F";
        QTest::newRow("telephone parts") << Fields{{"txtPingYin", "ふ"}, {"txtName", "名"}, {"cboType", "9"},
                                                   {"txtNew(4)", "x"},   {"txtTel1", "03"}, {"txtTel2", "1234"},
                                                   {"txtTel3", "5678"}}
                                         << "ふ|名|||03-1234-5678||||10|F";
        QTest::newRow("everything") << Fields{{"txtPingYin", "ふ"},  {"txtName", "名"},      {"cboType", "4"},
                                              {"txtZip1", "100"},    {"txtZip2", "0001"},    {"txtAdd", "住所"},
                                              {"txtFax1", "0120"},   {"txtFax2", "12"},      {"txtFax3", "3456"},
                                              {"txtMobile1", "090"}, {"txtMobile2", "1111"}, {"txtMobile3", "2222"},
                                              {"txtEmail", "a@b.jp"}}
                                    << "ふ|名|100-0001|住所||0120-12-3456|090-1111-2222|a@b.jp|5|F";
    }
    void addInfoLine() {
        QFETCH(Fields, fields);
        QFETCH(QString, line);
        start({Aoki});
        openNew();
        fill(fields);
        BoxAnswerer answerer;
        click(editor->imgAddList);
        QVERIFY(answerer.seen.isEmpty());
        QCOMPARE(dir->entryBytes(), DataDir::sjisLines({Aoki, line}));
        QTRY_VERIFY(editor.isNull());
        QVERIFY(home->isVisible());
    }

    void opensFilledFromEntry() {
        start({Ito, "", Aoki}, [] {
            QStringList c = DataDir::installedCategories();
            c[6] = "7|歯医者";
            return c;
        }());
        openLine(3);
        QCOMPARE(editor->lblEditForm->text(), QStringLiteral("編集画面"));
        QCOMPARE(editor->txtZip1->text(), QStringLiteral("100"));
        QCOMPARE(editor->txtZip2->text(), QStringLiteral("0001"));
        QCOMPARE(editor->txtTel1->text(), QStringLiteral("03"));
        QCOMPARE(editor->txtTel3->text(), QStringLiteral("2222"));
        QCOMPARE(editor->txtFax1->text(), QString());
        QCOMPARE(editor->txtMobile2->text(), QStringLiteral("1234"));
        QCOMPARE(editor->cboType->currentText(), QStringLiteral("友人"));
        QCOMPARE(editor->EntryChanged, false);
        QCOMPARE(focusName(), QStringLiteral("txtPingYin"));
        QTRY_COMPARE(QApplication::activeWindow(), editor.data()); // typing reaches it at once
        QVERIFY(editor->imgSave->isVisible() && editor->imgUndo->isVisible() && editor->imgDelList->isVisible());
        QVERIFY(!editor->imgAddList->isVisible() && !editor->imgClean->isVisible());
        QCOMPARE(twips::pos(editor->imgShowList), QPoint(4080, 550));
        QCOMPARE(editor->txtNew[1]->text(), QStringLiteral("歯医者"));
        delete editor;

        openLine(1); // category 7
        QCOMPARE(editor->cboType->currentText(), QStringLiteral("新規２"));
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(editor->txtNew[i]->isEnabled(), i == 1);
            QCOMPARE(editor->lblNew[i]->isEnabled(), i == 1);
            const QColor background = editor->txtNew[i]->palette().color(QPalette::Base);
            QCOMPARE(background == QColor(224, 224, 224), i != 1);
        }
    }

    void handEditedCategoryOpensWithNoChoice() {
        start({"あ|名|||||||x|F"});
        openLine(1);
        QCOMPARE(editor->cboType->currentIndex(), -1);
        QCOMPARE(editor->EntryChanged, false);
    }

    void storeRewritesOnlyItsLine() {
        const QString line5 = "えんどう|遠藤|||||||4|T";
        start({Aoki, Ito, "", Ueda, line5});
        openLine(5);
        editor->txtName->setText("遠藤二");
        QVERIFY(editor->EntryChanged);
        BoxAnswerer answerer;
        click(editor->imgSave);
        QCOMPARE(answerer.seen, QStringList{"上書きしてよろしいですか？"});
        // The printed flag goes back to F; the blank line and every other line stay.
        QCOMPARE(dir->entryBytes(), DataDir::sjisLines({Aoki, Ito, "", Ueda, "えんどう|遠藤二|||||||4|F"}));
        QVERIFY(!editor->EntryChanged);
        QVERIFY(editor->isVisible());
    }

    // A text editor inserted a line above while the entry was open: nothing
    // is overwritten or deleted, the user is told, the list is read again and
    // the editor keeps what was typed.
    void fileChangedByAnotherProgram_data() {
        QTest::addColumn<bool>("deleting");
        QTest::newRow("store") << false;
        QTest::newRow("delete") << true;
    }
    void fileChangedByAnotherProgram() {
        QFETCH(bool, deleting);
        start({Aoki, Ueda});
        openLine(2);
        editor->txtName->setText("上田二");
        dir->writeEntries(DataDir::sjisLines({Ito, Aoki, QString(Ueda).replace("上田", "植田")}));
        const QByteArray changed = dir->entryBytes();
        BoxAnswerer answerer;
        click(deleting ? editor->imgDelList : editor->imgSave);
        QCOMPARE(answerer.seen.last(), EntryWriter::ChangedElsewhere);
        QCOMPARE(dir->entryBytes(), changed);
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->txtName->text(), "上田二");
        QCOMPARE(testBook().entryCount(), 3); // the list as the file now is
    }

    // An entry opened from search results is stored and the list comes back
    // showing the search again, read anew.
    void findOpenStoreBack() {
        start({Aoki, Ito, Ueda, "あおやま|青山|||||||3|F"});
        home->txtFind->insert(QStringLiteral("アオ"));
        QCOMPARE(testBook().entryCount(), 2);
        openLine(4);
        QCOMPARE(editor->txtName->text(), QStringLiteral("青山"));
        editor->txtName->setText("青山二");
        BoxAnswerer answerer;
        click(editor->imgSave);
        QCOMPARE(dir->entryBytes(), DataDir::sjisLines({Aoki, Ito, Ueda, "あおやま|青山二|||||||3|F"}));
        click(editor->imgShowList);
        QTRY_VERIFY(home->isVisible());
        QCOMPARE(home->lblType->text(), QStringLiteral("検索：アオ"));
        QCOMPARE(testBook().entryCount(), 2);
        QCOMPARE(testBook().entries().at(1), QStringLiteral("4|あおやま|青山二|||||||3|F"));
    }

    void storeAnsweredNoWritesNothing() {
        start({Aoki});
        openLine(1);
        editor->txtName->setText("青木二");
        const QByteArray before = dir->entryBytes();
        BoxAnswerer answerer({false});
        click(editor->imgSave);
        QCOMPARE(dir->entryBytes(), before);
        QVERIFY(editor->EntryChanged);
    }

    // 分類を保存 はい, then 上書き いいえ: one save, one decision; neither file changes.
    void overwriteAnsweredNoKeepsCategoryName() {
        QStringList categories = DataDir::installedCategories();
        categories[6] = "7|ab";
        start({Ito}, categories);
        openLine(1);
        editor->txtNew[1]->setText("歯医者");
        editor->txtName->setText("伊藤二");
        const QByteArray entries = dir->entryBytes();
        BoxAnswerer answerer({true, false});
        click(editor->imgSave);
        QCOMPARE(answerer.seen, (QStringList{"分類を保存しますか？", "上書きしてよろしいですか？"}));
        QCOMPARE(dir->categoryBytes(), DataDir::sjisLines(categories));
        QCOMPARE(dir->entryBytes(), entries);
    }

    void storeWithoutChangeStillStoresRenamedCategory() {
        QStringList categories = DataDir::installedCategories();
        categories[6] = "7|ab";
        start({Ito}, categories);
        openLine(1);
        editor->txtNew[1]->setText("歯医者");
        QVERIFY(!editor->EntryChanged);
        const QByteArray entries = dir->entryBytes();
        BoxAnswerer answerer;
        click(editor->imgSave);
        QCOMPARE(answerer.seen, QStringList{"分類を保存しますか？"});
        QCOMPARE(dir->entryBytes(), entries);
        categories[6] = "7|歯医者";
        QCOMPARE(dir->categoryBytes(), DataDir::sjisLines(categories));
    }

    void renameAnsweredNoRestoresNamesAndStoresEntry() {
        QStringList categories = DataDir::installedCategories();
        categories[6] = "7|ab";
        categories[8] = "9|趣味";
        start({Ito}, categories);
        openLine(1);
        editor->txtNew[1]->setText("歯医者");
        editor->txtName->setText("伊藤二");
        BoxAnswerer answerer({false, true});
        click(editor->imgSave);
        QCOMPARE(answerer.seen, (QStringList{"分類を保存しますか？", "上書きしてよろしいですか？"}));
        QCOMPARE(editor->txtNew[1]->text(), QStringLiteral("ab"));
        QCOMPARE(editor->txtNew[3]->text(), QStringLiteral("趣味"));
        QCOMPARE(dir->categoryBytes(), DataDir::sjisLines(categories));
        QCOMPARE(dir->entryBytes(), DataDir::sjisLines({"いとう|伊藤二|||||||7|F"}));
    }

    void firstNameOfUserCategoryStoredWithoutQuestion() {
        start({});
        openNew();
        fill({{"txtPingYin", "ふ"}, {"txtName", "名"}, {"cboType", "5"}, {"txtNew(0)", "趣味"}});
        BoxAnswerer answerer;
        click(editor->imgAddList);
        QVERIFY(answerer.seen.isEmpty());
        QStringList categories = DataDir::installedCategories();
        categories[5] = "6|趣味";
        QCOMPARE(dir->categoryBytes(), DataDir::sjisLines(categories));
        QCOMPARE(home->lblNew[0]->text(), QStringLiteral("趣味"));
    }

    void deleteEntry_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("line");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("last") << QStringList{Aoki, "", Ito} << 3 << QStringList{Aoki, ""};
        QTest::newRow("only") << QStringList{Aoki} << 1 << QStringList{};
        QTest::newRow("first") << QStringList{Aoki, Ito} << 1 << QStringList{Ito};
    }
    void deleteEntry() {
        QFETCH(QStringList, lines);
        QFETCH(int, line);
        QFETCH(QStringList, left);
        start(lines);
        openLine(line);
        BoxAnswerer answerer;
        click(editor->imgDelList);
        QCOMPARE(answerer.seen, QStringList{"このリストを削除しますか？"});
        QCOMPARE(dir->entryBytes(), DataDir::sjisLines(left));
        QTRY_VERIFY(editor.isNull());
        QVERIFY(home->isVisible());
        QCOMPARE(home->fsbList->value(), 0);
    }

    void deleteAnsweredNoKeepsAll() {
        start({Aoki});
        openLine(1);
        BoxAnswerer answerer({false});
        click(editor->imgDelList);
        QCOMPARE(dir->entryBytes(), DataDir::sjisLines({Aoki}));
        QVERIFY(editor->isVisible());
    }

    void backToListInNewModeAppendsAsAddDoes() {
        start({Aoki});
        openNew();
        fill({{"txtPingYin", "ふ"},
              {"txtName", "名"},
              {"cboType", "2"},
              {"txtTel1", "03"},
              {"txtTel2", "1234"},
              {"txtTel3", "5678"}});
        const QString expected = editor->entryLine();
        BoxAnswerer answerer;
        click(editor->imgShowList);
        QCOMPARE(answerer.seen, QStringList{"このリストを保存しますか？"});
        QCOMPARE(dir->entryBytes(), DataDir::sjisLines({Aoki, expected}));
        QCOMPARE(expected, QStringLiteral("ふ|名|||03-1234-5678||||3|F"));
        QTRY_VERIFY(editor.isNull());
        QCOMPARE(home->lblCount->text(), QStringLiteral("現在 2 件"));
    }

    void backToListAnsweredNoDropsChanges() {
        start({Aoki});
        openLine(1);
        editor->txtName->setText("別人");
        BoxAnswerer answerer({false});
        click(editor->imgShowList);
        QCOMPARE(dir->entryBytes(), DataDir::sjisLines({Aoki}));
        QTRY_VERIFY(editor.isNull());
    }

    // Esc on the save question keeps the editor open with what was typed.
    void escapeOnSaveQuestionKeepsTypedWork() {
        start({Aoki});
        openLine(1);
        editor->txtName->setText("青木二");
        QString asked;
        QTimer::singleShot(0, this, [&] {
            asked = frmMsgBox::loaded()->message();
            QTest::keyClick(frmMsgBox::loaded(), Qt::Key_Escape);
        });
        click(editor->imgShowList);
        QCOMPARE(asked, QStringLiteral("このリストを保存しますか？"));
        QVERIFY(editor && editor->isVisible());
        QCOMPARE(editor->txtName->text(), QStringLiteral("青木二"));
        QCOMPARE(dir->entryBytes(), DataDir::sjisLines({Aoki}));
    }

    void windowManagerCloseGoesBackToList() {
        start({Aoki});
        openLine(1);
        editor->txtName->setText("青木二");
        BoxAnswerer answerer({true, true});
        editor->close();
        QTRY_VERIFY(editor.isNull());
        QCOMPARE(answerer.seen, QStringList{"このリストを保存しますか？"});
        QCOMPARE(dir->entryBytes(), DataDir::sjisLines({QString(Aoki).replace("青木", "青木二")}));
        QVERIFY(home->isVisible());
    }

    void backToListWithFaultStaysOpen() {
        start({});
        openNew();
        fill({{"txtPingYin", "ふ"}, {"txtName", "名"}});
        BoxAnswerer answerer;
        click(editor->imgShowList);
        QCOMPARE(answerer.seen, (QStringList{"このリストを保存しますか？", "分類を指定して下さい。"}));
        QVERIFY(editor->isVisible());
        QCOMPARE(focusName(), QStringLiteral("cboType"));
        QCOMPARE(dir->entryBytes(), QByteArray());
    }

    void undo_data() {
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("savedFirst"); // 別人 saved with 保存 before the next edit
        QTest::newRow("はい") << true << false;
        QTest::newRow("いいえ") << false << false;
        QTest::newRow("はい after 保存: back to what was saved") << true << true;
    }
    void undo() {
        QFETCH(bool, answer);
        QFETCH(bool, savedFirst);
        start({Aoki});
        openLine(1);
        editor->txtName->setText("別人");
        if (savedFirst) {
            BoxAnswerer overwrite({true});
            click(editor->imgSave);
            QCOMPARE(overwrite.seen, QStringList{"上書きしてよろしいですか？"});
            editor->txtName->setText("三人目");
        }
        editor->txtTel2->clear();
        BoxAnswerer answerer({answer});
        click(editor->imgUndo);
        QCOMPARE(answerer.seen, QStringList{"元に戻しますか？"});
        const QString before = savedFirst ? QStringLiteral("別人") : QStringLiteral("青木");
        const QString typed = savedFirst ? QStringLiteral("三人目") : QStringLiteral("別人");
        QCOMPARE(editor->txtName->text(), answer ? before : typed);
        QCOMPARE(editor->txtTel2->text(), answer ? QStringLiteral("1111") : QString());
        QCOMPARE(editor->EntryChanged, !answer);
    }

    // 詳細: what is typed there is stored by 保存 with the line, opens again
    // with the entry, and 元に戻す takes it back to what was stored.
    void personDetailsStoredWithTheEntry() {
        start({Aoki});
        postcardsettings::Setup senders;
        senders.profiles = {{"家族", {"青木　一郎", {}, {}, {}}}, {"個人", {"青木　花子", {}, {}, {}}}};
        QVERIFY(!postcardsettings::save(senders).failed());
        openLine(1);
        const auto inDetails = [this](const std::function<void(frmPerson *)> &act) {
            QTimer::singleShot(0, this, [act] {
                auto *details = qobject_cast<frmPerson *>(QApplication::activeModalWidget());
                QVERIFY(details);
                act(details);
            });
            click(editor->imgPerson);
        };
        inDetails([](frmPerson *details) {
            details->cboHonorific->setCurrentText("先生");
            details->txtCompany->setText("山田製作所");
            details->txtAddresses->setPlainText("150-0002 東京都渋谷区渋谷2-21-1\n\n");
            click(details->imgJointAdd);
            details->grdJoint->item(0, 0)->setText("花子");
            click(details->imgYearAdd);
            details->grdNewYear->item(0, 1)->setCheckState(Qt::Checked);
            details->cboSender->setCurrentIndex(details->cboSender->findText("個人"));
            click(details->imgPersonOk);
        });
        QVERIFY(editor->EntryChanged);
        BoxAnswerer overwrite({true});
        click(editor->imgSave);
        QCOMPARE(dir->entryBytes(), DataDir::sjisLines({Aoki}));
        Book fresh(dir->path());
        QVERIFY(!fresh.attachPeople().failed());
        const people::PersonData stored = fresh.records().at(0).data();
        QCOMPARE(stored.honorific, "先生");
        QCOMPARE(stored.company, "山田製作所");
        QCOMPARE(stored.addresses, QStringList{"150-0002 東京都渋谷区渋谷2-21-1"});
        QCOMPARE(stored.joint.value(0).given, "花子");
        QCOMPARE(stored.years.size(), 1);
        QVERIFY(stored.years.first().sent);
        QCOMPARE(stored.sender, "個人");

        inDetails([](frmPerson *details) {
            details->txtCompany->setText("別会社");
            click(details->imgPersonOk);
        });
        BoxAnswerer undoing({true});
        click(editor->imgUndo);
        QString shown;
        inDetails([&shown](frmPerson *details) {
            shown = details->txtCompany->text();
            click(details->imgPersonCancel);
        });
        QCOMPARE(shown, "山田製作所");
        QVERIFY(!editor->EntryChanged);
    }

    // 詳細's 誕生日 as people type it (the input method off, so digits come as
    // typed; pasted full-width digits as digits): a date is stored as ISO, an
    // impossible one is named and the window stays with what was typed.
    void birthdayIsADate_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored"); // empty: 決定 refused
        QTest::addColumn<QString>("said");
        QTest::newRow("ISO") << "1975-05-03"
                             << "1975-05-03"
                             << "";
        QTest::newRow("slashes, short") << "1975/5/3"
                                        << "1975-05-03"
                                        << "";
        QTest::newRow("eight digits") << "19750503"
                                      << "1975-05-03"
                                      << "";
        QTest::newRow("full-width digits") << "１９７５０５０３"
                                           << "1975-05-03"
                                           << "";
        QTest::newRow("era") << "昭和50年5月3日"
                             << "1975-05-03"
                             << "";
        QTest::newRow("first year of an era") << "平成元年1月8日"
                                              << "1989-01-08"
                                              << "";
        QTest::newRow("no year") << "5月3日"
                                 << "--05-03"
                                 << "";
        QTest::newRow("impossible day") << "1975-02-30"
                                        << ""
                                        << "誕生日の「1975-02-30」という日はありません。";
        QTest::newRow("not a date") << "そのうち"
                                    << ""
                                    << "誕生日の「そのうち」は日付として読めません。";
    }
    void birthdayIsADate() {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(QString, said);
        frmPerson details({}, QStringLiteral("青木"));
        QVERIFY(!details.txtBirthday->testAttribute(Qt::WA_InputMethodEnabled));
        details.txtBirthday->insert(typed);
        BoxAnswerer answerer;
        QTimer::singleShot(0, &details, [&details] {
            click(details.imgPersonOk);
            if (details.isVisible()) // refused, and still open
                details.reject();
        });
        const bool accepted = details.exec() == QDialog::Accepted;
        QCOMPARE(accepted, !stored.isEmpty());
        if (accepted) {
            QVERIFY(answerer.seen.isEmpty());
            QCOMPARE(details.data().birthday, stored);
        } else {
            QCOMPARE(answerer.seen.value(0).section(u'\n', 0, 0), said);
            QCOMPARE(details.txtBirthday->text(), typed);
        }
    }

    void clearKeepsUserCategoryNames() {
        QStringList categories = DataDir::installedCategories();
        categories[7] = "8|趣味";
        start({}, categories);
        openNew();
        fill({{"txtPingYin", "ふ"}, {"txtName", "名"}, {"cboType", "5"}, {"txtNew(0)", "新しい"}, {"txtTel1", "03"}});
        click(editor->imgClean);
        QCOMPARE(editor->txtPingYin->text(), QString());
        QCOMPARE(editor->txtTel1->text(), QString());
        QCOMPARE(editor->cboType->currentIndex(), -1);
        QCOMPARE(editor->txtNew[0]->text(), QString());
        QCOMPARE(editor->txtNew[2]->text(), QStringLiteral("趣味"));
        for (int i = 0; i < 5; ++i)
            QVERIFY(!editor->txtNew[i]->isEnabled());
    }

    void failedWritesKeepEverything_data() {
        QTest::addColumn<bool>("newEntry");
        QTest::addColumn<QString>("userCategoryName");
        QTest::newRow("store") << false << "";
        QTest::newRow("add") << true << "";
        QTest::newRow("category name") << false << "歯医者";
    }
    void failedWritesKeepEverything() {
        QFETCH(bool, newEntry);
        QFETCH(QString, userCategoryName);
        start({Aoki});
        if (newEntry) {
            openNew();
            fill({{"txtPingYin", "ふ"}, {"txtName", "名"}, {"cboType", "0"}});
        } else {
            openLine(1);
            editor->txtName->setText("青木二");
            if (!userCategoryName.isEmpty())
                fill({{"cboType", "6"}, {"txtNew(1)", userCategoryName}});
        }
        const QByteArray entries = dir->entryBytes();
        const QByteArray categories = dir->categoryBytes();
        BoxAnswerer answerer;
        {
            ReadOnlyDir readOnly(dir->path());
            click(newEntry ? editor->imgAddList : editor->imgSave);
        }
        QVERIFY(!answerer.seen.isEmpty());
        QVERIFY2(answerer.seen.last().contains(userCategoryName.isEmpty() ? "VexaTel.txt" : "VexaType.txt"),
                 qPrintable(answerer.seen.last()));
        QCOMPARE(dir->entryBytes(), entries);
        QCOMPARE(dir->categoryBytes(), categories);
        QVERIFY(editor && editor->isVisible());
        QVERIFY(editor->EntryChanged);
        QCOMPARE(editor->txtName->text(), newEntry ? QStringLiteral("名") : QStringLiteral("青木二"));
        QCOMPARE(mdlDim::GetField(testBook().categories()[6], "|", 2), QString());
    }

    // A hand-edited entry opens whole, and what the user does not edit stays whole.
    void storedFieldsOpenWhole() {
        const QString address = QString(50, QChar(u'町'));
        start({"おぶらいえん|O'Brien|100-0001|" + address + "|03-12345-678||||1|T"});
        openLine(1);
        QCOMPARE(editor->txtName->text(), QStringLiteral("O'Brien"));
        QCOMPARE(editor->txtAdd->text(), address);
        QCOMPARE(editor->txtTel2->text(), QStringLiteral("12345"));
        QVERIFY(!editor->EntryChanged);
        QCOMPARE(editor->txtAdd->cursorPosition(), 0); // showing its start
        editor->txtAdd->end(false);
        QTest::keyClicks(editor->txtAdd, "x"); // the box is past its limit: no growth
        QCOMPARE(editor->txtAdd->text(), address);
        // Overtyping keeps the length, so it is taken.
        editor->txtAdd->setSelection(address.size() - 1, 1);
        QTest::keyClicks(editor->txtAdd, "X");
        QCOMPARE(editor->txtAdd->text(), address.left(49) + "X");
        editor->txtAdd->setSelection(0, 2);
        QTest::keyClicks(editor->txtAdd, "Y");
        QCOMPARE(editor->txtAdd->text(), "Y" + address.mid(2, 47) + "X");
        QTest::keyClicks(editor->txtEmail, "ob@example.jp");
        BoxAnswerer answerer;
        click(editor->imgSave);
        QCOMPARE(answerer.seen, QStringList{"上書きしてよろしいですか？"});
        QCOMPARE(dir->entryBytes(), DataDir::sjisLines({"おぶらいえん|O'Brien|100-0001|Y" + address.mid(2, 47) +
                                                        "X|03-12345-678|||ob@example.jp|1|F"}));
    }

    // Line breaks pasted or committed anywhere never split a line of either file.
    void lineBreaksNeverReachTheFiles() {
        start({Aoki});
        openNew();
        editor->txtPingYin->setText("やまだ");
        QGuiApplication::clipboard()->setText("山田\r\n太郎");
        editor->txtName->paste();
        editor->cboType->setCurrentIndex(5);
        QGuiApplication::clipboard()->setText("会\r\n社");
        editor->txtNew[0]->paste();
        QInputMethodEvent commit;
        commit.setCommitString("東京\n都");
        QCoreApplication::sendEvent(editor->txtAdd, &commit);
        BoxAnswerer answerer;
        click(editor->imgAddList);
        QVERIFY(answerer.seen.isEmpty());
        QCOMPARE(dir->entryBytes(), DataDir::sjisLines({Aoki, "やまだ|山田太郎||東京都|||||6|F"}));
        QStringList categories = DataDir::installedCategories();
        categories[5] = "6|会社";
        QCOMPARE(dir->categoryBytes(), DataDir::sjisLines(categories));

        // The program starts again on the result.
        QTRY_VERIFY(editor.isNull());
        delete home;
        home = new frmMain(testBook());
        QCOMPARE(home->lblCount->text(), QStringLiteral("現在 2 件"));
        QCOMPARE(home->lblNew[0]->text(), QStringLiteral("会社"));
    }

    void otherMouseButtonsDoNothing() {
        start({Aoki});
        openLine(1);
        BoxAnswerer answerer;
        for (Qt::MouseButton other : {Qt::RightButton, Qt::MiddleButton}) {
            QTest::mouseClick(editor->imgDelList, other, {}, QPoint(3, 3));
            QTest::mouseClick(editor->imgShowList, other, {}, QPoint(3, 3));
        }
        QVERIFY(answerer.seen.isEmpty());
        QVERIFY(editor && editor->isVisible());
        QCOMPARE(dir->entryBytes(), DataDir::sjisLines({Aoki}));
    }

    // Postal codes in the editor: a whole code typed fills an empty address
    // (cursor at its end); the buttons look up either way; typed text is never replaced.
    void postalCodeHelp_data() {
        QTest::addColumn<QString>("zip");     // typed, 7 digits or none
        QTest::addColumn<QString>("address"); // typed first
        QTest::addColumn<QString>("button");  // then clicked, or none
        QTest::addColumn<QString>("zipAfter");
        QTest::addColumn<QString>("addressAfter");
        QTest::addColumn<QString>("told"); // the start of the message shown, if any
        QTest::newRow("typed code fills") << "1000001"
                                          << ""
                                          << ""
                                          << "1000001"
                                          << "東京都千代田区千代田"
                                          << "";
        QTest::newRow("typed address kept") << "1000001"
                                            << "手入力"
                                            << ""
                                            << "1000001"
                                            << "手入力"
                                            << "";
        QTest::newRow("several towns: what they share") << "9870403"
                                                        << ""
                                                        << ""
                                                        << "9870403"
                                                        << "宮城県登米市"
                                                        << "";
        QTest::newRow("unknown code") << "0000001"
                                      << ""
                                      << "imgZipToAdd"
                                      << "0000001"
                                      << ""
                                      << "郵便番号 000-0001 は見つかりません。";
        QTest::newRow("〒→住所 keeps typed text") << ""
                                                  << "東京"
                                                  << "imgZipToAdd"
                                                  << ""
                                                  << "東京"
                                                  << "郵便番号を 7 桁入力して下さい。";
        QTest::newRow("住所→〒") << ""
                                 << "東京都千代田区千代田１－１"
                                 << "imgAddToZip"
                                 << "1000001"
                                 << "東京都千代田区千代田１－１"
                                 << "";
        QTest::newRow("住所→〒: candidates") << ""
                                             << "北海道札幌市北区北十条西"
                                             << "imgAddToZip"
                                             << ""
                                             << "北海道札幌市北区北十条西"
                                             << "郵便番号の候補が 2 件あります：";
        QTest::newRow("住所→〒: none") << ""
                                       << "どこか遠く"
                                       << "imgAddToZip"
                                       << ""
                                       << "どこか遠く"
                                       << "住所から郵便番号が見つかりません。";
    }
    void postalCodeHelp() {
        QFETCH(QString, zip);
        QFETCH(QString, address);
        QFETCH(QString, button);
        QFETCH(QString, zipAfter);
        QFETCH(QString, addressAfter);
        QFETCH(QString, told);
        start({Aoki});
        openNew();
        QInputMethodEvent typed; // as an input method commits it
        typed.setCommitString(address);
        QApplication::sendEvent(editor->txtAdd, &typed);
        if (!zip.isEmpty()) {
            QTest::keyClicks(editor->txtZip1, zip.left(3));
            QTest::keyClicks(editor->txtZip2, zip.mid(3));
        }
        BoxAnswerer answerer;
        if (!button.isEmpty())
            click(editor->findChild<ImageButton *>(button));
        QCOMPARE(editor->txtZip1->text() + editor->txtZip2->text(), zipAfter);
        QCOMPARE(editor->txtAdd->text(), addressAfter);
        QCOMPARE(answerer.seen.isEmpty() ? QString() : answerer.seen.first().left(told.size()), told);
        if (address.isEmpty() && !addressAfter.isEmpty()) {
            QCOMPARE(focusName(), QStringLiteral("txtAdd"));
            QCOMPARE(editor->txtAdd->cursorPosition(), addressAfter.size());
        }
    }

    // Through the real windows: type a new entry, add it, find it in the list,
    // open it, change it, store it, delete it.
    void journey() {
        start({Aoki, Ueda});
        click(home->imgNew);
        editor = shownWindow<frmEdit>();
        QVERIFY(editor);
        QVERIFY(!home->isVisible());
        QTest::keyClicks(editor->txtPingYin, "Ikeda");
        QTest::keyClick(editor->txtPingYin, Qt::Key_Tab);
        QCOMPARE(focusName(), QStringLiteral("txtName"));
        QTest::keyClicks(editor->txtName, "Ikeda Jun");
        QTest::keyClicks(editor->txtTel1, "03");
        QTest::keyClicks(editor->txtTel2, "1234");
        QTest::keyClicks(editor->txtTel3, "5678");
        editor->cboType->setCurrentIndex(2);
        {
            BoxAnswerer answerer;
            click(editor->imgAddList);
            QVERIFY(answerer.seen.isEmpty());
        }
        const QString added = "Ikeda|Ikeda Jun|||03-1234-5678||||3|F";
        QCOMPARE(dir->entryBytes(), DataDir::sjisLines({Aoki, Ueda, added}));
        QTRY_VERIFY(editor.isNull());
        QVERIFY(home->isVisible());
        // Latin readings come first: the new entry is row 0.
        QCOMPARE(testBook().entries().first(), "3|" + added);
        QTest::mouseClick(home->picList0->viewport(), Qt::LeftButton, {}, QPoint(twips::toPx(4800), twips::toPx(150)));
        editor = shownWindow<frmEdit>();
        QVERIFY(editor);
        QCOMPARE(editor->txtName->text(), QStringLiteral("Ikeda Jun"));
        editor->txtName->selectAll();
        QTest::keyClicks(editor->txtName, "Ikeda Ken");
        {
            BoxAnswerer answerer;
            click(editor->imgSave);
            QCOMPARE(answerer.seen, QStringList{"上書きしてよろしいですか？"});
        }
        const QString changed = "Ikeda|Ikeda Ken|||03-1234-5678||||3|F";
        QCOMPARE(dir->entryBytes(), DataDir::sjisLines({Aoki, Ueda, changed}));
        {
            BoxAnswerer answerer;
            click(editor->imgDelList);
        }
        QCOMPARE(dir->entryBytes(), DataDir::sjisLines({Aoki, Ueda}));
        QTRY_VERIFY(editor.isNull());
        QVERIFY(home->isVisible());
        QCOMPARE(home->lblCount->text(), QStringLiteral("現在 2 件"));
    }
};

TELBORA_TEST(TestEditor)
#include "tst_editor.moc"
