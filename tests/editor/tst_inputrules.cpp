#include "common/datadir.h"
#include "common/testmain.h"
#include "editor/frmEdit.h"
#include "store/entryrules.h"
#include "store/mdlDim.h"
#include "store/qtjapanese.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QToolTip>

// The key rules and length limits of the editor's boxes, through typing,
// input-method commits and paste.
class TestInputRules : public QObject {
    Q_OBJECT

    std::unique_ptr<DataDir> dir;
    std::unique_ptr<frmEdit> editor;

    QLineEdit *box(const QString &name) const { return editor->findChild<QLineEdit *>(name); }

    static void commit(QLineEdit *target, const QString &text) {
        QInputMethodEvent event;
        event.setCommitString(text);
        QCoreApplication::sendEvent(target, &event);
    }

private slots:
    void init() {
        dir = std::make_unique<DataDir>();
        editor = std::make_unique<frmEdit>(testBook(), frmEdit::NewEntry);
        editor->show();
    }
    void cleanup() {
        editor.reset();
        dir.reset();
    }

    void typing_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        for (const char *text : {"txtPingYin", "txtName", "txtAdd", "txtEmail", "txtNew(0)"}) {
            QTest::addRow("%s drops | and '", text) << text << "ab|c'd"
                                                    << "abcd";
        }
        for (const char *digits : {"txtZip1", "txtZip2", "txtTel1", "txtFax3", "txtMobile2"}) {
            QTest::addRow("%s keeps digits", digits) << digits << "1a2 .3"
                                                     << "123";
        }
    }
    void typing() {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QLineEdit *target = this->box(box);
        if (!target->isEnabled())
            target->setEnabled(true);
        QTest::keyClicks(target, typed);
        QTest::keyClick(target, Qt::Key_Backspace);
        QTest::keyClicks(target, typed.right(1));
        QCOMPARE(target->text(), shown);
    }

    void inputMethodCommit_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("committed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("name with bar and quote") << "txtName"
                                                 << "山|田'太郎"
                                                 << "山田太郎";
        QTest::newRow("outside code page") << "txtName"
                                           << "𠮷野😀家"
                                           << "野家";
        QTest::newRow("wave dash and circled digit") << "txtAdd"
                                                     << "１～③丁目"
                                                     << "１～③丁目";
        QTest::newRow("full-width digits in a digit box") << "txtTel1"
                                                          << "０３"
                                                          << "03";
        QTest::newRow("katakana reading") << "txtPingYin"
                                          << "ヤマダ"
                                          << "ヤマダ";
        QTest::newRow("line break and tab") << "txtAdd"
                                            << "住\n所\t1"
                                            << "住所1";
        // What code page 932 stores as another character is shown as that character.
        const char *lookAlikes[][2] = {{"¥", "\\"}, {"〜", "～"}, {"−", "－"}, {"—", "―"}, {"‖", "∥"},
                                       {"‾", "~"},  {"¢", "￠"},  {"£", "￡"}, {"¬", "￢"}};
        for (const auto &[typed, stored] : lookAlikes)
            QTest::addRow("look-alike %s", typed) << "txtAdd" << QStringLiteral("x") + QString::fromUtf8(typed)
                                                  << QStringLiteral("x") + QString::fromUtf8(stored);
    }
    void inputMethodCommit() {
        QFETCH(QString, box);
        QFETCH(QString, committed);
        QFETCH(QString, shown);
        commit(this->box(box), committed);
        QCOMPARE(this->box(box)->text(), shown);
    }

    void paste_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("shown");
        QTest::newRow("e-mail") << "txtEmail"
                                << "a|b'c😀d@example.jp"
                                << "abcd@example.jp";
        QTest::newRow("digits") << "txtTel2"
                                << "1a2"
                                << "12";
        QTest::newRow("reading") << "txtPingYin"
                                 << "𠮷だ"
                                 << "だ";
        QTest::newRow("name with CR LF") << "txtName"
                                         << "山田\r\n太郎"
                                         << "山田太郎";
        // Filtered first, then cut to the limit.
        QTest::newRow("digits filtered then cut") << "txtTel3"
                                                  << "1-2-3-4-5"
                                                  << "1234";
        QTest::newRow("text filtered then cut") << "txtPingYin"
                                                << "あ|い|う|え|お|か|き|く|け|こ|さ|し|す|せ|そ|た"
                                                << "あいうえおかきくけこさしすせそ";
    }
    void paste() {
        QFETCH(QString, box);
        QFETCH(QString, clipboard);
        QFETCH(QString, shown);
        QGuiApplication::clipboard()->setText(clipboard);
        this->box(box)->paste();
        QCOMPARE(this->box(box)->text(), shown);
    }

    // Typing and input-method commits stop at the limit; a text box says so.
    void lengthLimits_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("told"); // the tip shown on reaching it
        QTest::newRow("txtPingYin") << "txtPingYin" << 15 << "ふりがなは 15 字までです。";
        QTest::newRow("txtName") << "txtName" << 15 << "氏名は 15 字までです。";
        QTest::newRow("txtZip1") << "txtZip1" << 3 << "";
        QTest::newRow("txtZip2") << "txtZip2" << 4 << "";
        QTest::newRow("txtAdd") << "txtAdd" << 40 << "住所は 40 字までです。";
        for (const char *number :
             {"txtTel1", "txtTel2", "txtTel3", "txtFax1", "txtFax2", "txtFax3", "txtMobile2", "txtMobile3"})
            QTest::newRow(number) << number << 4 << "";
        QTest::newRow("txtMobile1") << "txtMobile1" << 3 << "";
        QTest::newRow("txtEmail") << "txtEmail" << 30 << "メールは 30 字までです。";
        QTest::newRow("txtNew(3)") << "txtNew(3)" << 6 << "新規4 の分類名は 6 字までです。";
    }
    void lengthLimits() {
        QFETCH(QString, box);
        QFETCH(int, limit);
        QFETCH(QString, told);
        QLineEdit *target = this->box(box);
        target->setEnabled(true);
        QToolTip::hideText();
        QTest::keyClicks(target, QString(50, QLatin1Char('7')));
        QCOMPARE(target->text().size(), limit);
        QCOMPARE(QToolTip::isVisible() ? QToolTip::text() : QString(), told);
        target->clear();
        commit(target, QString(50, QLatin1Char('8')));
        QCOMPARE(target->text().size(), limit);
    }

    // A key the rule refuses has no effect at all: not even EntryChanged.
    void refusedKeyChangesNothing_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("key");
        QTest::newRow("bar in the name") << "txtName"
                                         << "山田"
                                         << "|";
        QTest::newRow("quote in the reading") << "txtPingYin"
                                              << "やま"
                                              << "'";
        QTest::newRow("letter in a telephone box") << "txtTel1"
                                                   << "03"
                                                   << "a";
        QTest::newRow("digit past the limit of a group's last box") << "txtZip2"
                                                                    << "1234"
                                                                    << "5";
    }
    void refusedKeyChangesNothing() {
        QFETCH(QString, box);
        QFETCH(QString, before);
        QFETCH(QString, key);
        QLineEdit *target = this->box(box);
        target->setText(before);
        editor->EntryChanged = false;
        QTest::keyClicks(target, key);
        QCOMPARE(target->text(), before);
        QVERIFY(!editor->EntryChanged);
    }

    // A number typed, committed or pasted in one go fills its group's boxes as
    // the user meant; digit boxes keep the input method off.
    void digitGroups_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("entered");
        QTest::addColumn<QStringList>("boxes");
        const QStringList tel = {"03", "1234", "5678"};
        QTest::newRow("typed with hyphens") << "type"
                                            << "txtTel1"
                                            << "03-1234-5678" << tel;
        QTest::newRow("typed without hyphens: full boxes go on")
            << "type"
            << "txtFax1"
            << "045123456789" << QStringList{"0451", "2345", "6789"};
        QTest::newRow("committed full-width by an input method") << "commit"
                                                                 << "txtTel1"
                                                                 << "０３－１２３４－５６７８" << tel;
        QTest::newRow("pasted") << "paste"
                                << "txtMobile1"
                                << "090-1234-5678" << QStringList{"090", "1234", "5678"};
        QTest::newRow("postal code with a long-vowel bar as hyphen")
            << "commit"
            << "txtZip1"
            << "１００ー０００１" << QStringList{"100", "0001"};
    }
    void digitGroups() {
        QFETCH(QString, how);
        QFETCH(QString, first);
        QFETCH(QString, entered);
        QFETCH(QStringList, boxes);
        QLineEdit *start = box(first);
        QInputMethodQueryEvent query(Qt::ImEnabled); // what fcitx5 and ibus ask
        QCoreApplication::sendEvent(start, &query);
        QVERIFY(!query.value(Qt::ImEnabled).toBool());
        start->setFocus();
        if (how == "type") {
            // Each key goes where the focus is, as the keyboard's do.
            for (QChar c : entered)
                QTest::keyClick(editor->focusWidget(), c.toLatin1());
        } else if (how == "commit") {
            commit(start, entered);
        } else {
            QGuiApplication::clipboard()->setText(entered);
            start->paste();
        }
        const QString prefix = first.left(first.size() - 1);
        for (int i = 0; i < boxes.size(); ++i)
            QCOMPARE(box(prefix + QString::number(i + 1))->text(), boxes.at(i));
    }

    // Qt's own texts are Japanese: a box's context menu.
    void contextMenuInJapanese() {
        qtjapanese::install(*QCoreApplication::instance());
        std::unique_ptr<QMenu> menu(box("txtName")->createStandardContextMenu());
        QVERIFY2(menu->actions().first()->text().startsWith(QStringLiteral("元に戻す")),
                 qPrintable(menu->actions().first()->text()));
    }

    void furiganaFirstCharacter_data() {
        QTest::addColumn<QString>("reading");
        QTest::addColumn<bool>("valid");
        for (const char *ok : {"A", "Z", "[", "`", "a", "z", "あ", "ん", "ァ", "ン", "や1", "ゃ"})
            QTest::newRow(ok) << QString::fromUtf8(ok) << true;
        for (const char *bad : {"ぁ", "ヴ", "ヵ", "ー", "山", "1", " ", "Ａ", "ｱ", "@", "{"})
            QTest::newRow(bad) << QString::fromUtf8(bad) << false;
    }
    void furiganaFirstCharacter() {
        QFETCH(QString, reading);
        QFETCH(bool, valid);
        QCOMPARE(entryrules::isValidFuriganaStart(reading), valid);
    }
};

TELBORA_TEST(TestInputRules)
#include "tst_inputrules.moc"
