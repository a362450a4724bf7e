#include "browse/frmMain.h"
#include "common/boxanswerer.h"
#include "common/datadir.h"
#include "common/testmain.h"
#include "editor/frmEdit.h"
#include "printing/frmSender.h"
#include "printing/newyearchoice.h"
#include "store/book.h"
#include "store/mdlDim.h"
#include "ui/imagebutton.h"

#include <QDate>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// Numbers typed as a person types them: keys through the X server (xdotool on
// Xvfb), each going to whichever box has the focus at that moment, so a digit
// that moves on to the next box is seen by the window system's focus handling.
class TestTyping : public QObject {
    Q_OBJECT

    std::unique_ptr<DataDir> dir;

    // Runs a command while the event loop goes on, so the window sees what it does; its output.
    static QString run(const QString &program, const QStringList &arguments) {
        QProcess process;
        process.start(program, arguments);
        if (!QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 30000))
            return QStringLiteral("(timed out)");
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }
    static void typeKeys(const QString &keys) {
        run(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"), keys});
    }
    static void pressKey(const QString &key) { run(QStringLiteral("xdotool"), {QStringLiteral("key"), key}); }

    static void showActive(QWidget *window, QLineEdit *first) {
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        first->setFocus();
        QTRY_VERIFY(first->hasFocus());
    }

private slots:
    // With fcitx5 + mozc on (tests/im/fcitx-digits.sh runs this as an ordinary
    // user): a text box composes Japanese, a digit box takes the keys as typed.
    void inputMethodStaysOutOfDigitBoxes() {
        if (qEnvironmentVariable("TELBORA_TEST_FCITX") != QLatin1String("1"))
            QSKIP("run by tests/im/fcitx-digits.sh under fcitx5");
        frmEdit editor(testBook(), frmEdit::NewEntry);
        editor.setAttribute(Qt::WA_DeleteOnClose, false);
        showActive(&editor, editor.txtName);
        // The box's input context reaches fcitx5 a moment after the focus does.
        const auto switchedOn = [] {
            run(QStringLiteral("fcitx5-remote"), {QStringLiteral("-o")});
            return run(QStringLiteral("fcitx5-remote"), {}) == QLatin1String("2");
        };
        QTRY_VERIFY(switchedOn());
        typeKeys(QStringLiteral("aiu"));
        pressKey(QStringLiteral("Return"));
        QTRY_COMPARE(editor.txtName->text(), QStringLiteral("あいう"));
        pressKey(QStringLiteral("Tab"));
        QTRY_VERIFY(editor.txtZip1->hasFocus());
        typeKeys(QStringLiteral("1000005"));
        QTRY_COMPARE(editor.txtZip1->text() + u'-' + editor.txtZip2->text(), QStringLiteral("100-0005"));
        editor.txtTel1->setFocus();
        typeKeys(QStringLiteral("03-1234-5678"));
        pressKey(QStringLiteral("Tab"));
        QTRY_COMPARE(editor.txtTel1->text() + u'-' + editor.txtTel2->text() + u'-' + editor.txtTel3->text(),
                     QStringLiteral("03-1234-5678"));
        QTRY_VERIFY(editor.txtFax1->hasFocus()); // Tab moved on, not into a candidate window
        // And a text box after them composes again.
        editor.txtEmail->setFocus();
        typeKeys(QStringLiteral("ka"));
        pressKey(QStringLiteral("Return"));
        QTRY_COMPARE(editor.txtEmail->text(), QStringLiteral("か"));
    }

    void initTestCase() {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server (xvfb-run) and the xcb platform");
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            QSKIP("xdotool is not installed");
    }
    void init() { dir = std::make_unique<DataDir>(); }
    void cleanup() { dir.reset(); }

    void numbersLandAsTyped_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("group"); // the boxes' name without the number
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("boxes");
        QTest::newRow("postal code") << "frmEdit"
                                     << "txtZip"
                                     << "1000005" << QStringList{"100", "0005"};
        QTest::newRow("mobile") << "frmEdit"
                                << "txtMobile"
                                << "09012345678" << QStringList{"090", "1234", "5678"};
        QTest::newRow("fax, Yokohama") << "frmEdit"
                                       << "txtFax"
                                       << "0451234567" << QStringList{"045", "123", "4567"};
        QTest::newRow("telephone, Tokyo") << "frmEdit"
                                          << "txtTel"
                                          << "0312345678" << QStringList{"03", "1234", "5678"};
        QTest::newRow("telephone, free dial") << "frmEdit"
                                              << "txtTel"
                                              << "0120123456" << QStringList{"0120", "123", "456"};
        QTest::newRow("telephone, Sapporo") << "frmEdit"
                                            << "txtTel"
                                            << "0111234567" << QStringList{"011", "123", "4567"};
        QTest::newRow("telephone with hyphens kept as typed") << "frmEdit"
                                                              << "txtTel"
                                                              << "0312-3456-78" << QStringList{"0312", "3456", "78"};
        QTest::newRow("telephone with hyphens") << "frmEdit"
                                                << "txtTel"
                                                << "03-1234-5678" << QStringList{"03", "1234", "5678"};
        QTest::newRow("sender's postal code") << "frmSender"
                                              << "txtSenderZip"
                                              << "1000005" << QStringList{"100", "0005"};
    }
    void numbersLandAsTyped() {
        QFETCH(QString, window);
        QFETCH(QString, group);
        QFETCH(QString, typed);
        QFETCH(QStringList, boxes);
        std::unique_ptr<QWidget> shown;
        if (window == QLatin1String("frmEdit"))
            shown = std::make_unique<frmEdit>(testBook(), frmEdit::NewEntry);
        else
            shown = std::make_unique<frmSender>();
        shown->setAttribute(Qt::WA_DeleteOnClose, false);
        const auto box = [&](int i) { return shown->findChild<QLineEdit *>(group + QString::number(i)); };
        showActive(shown.get(), box(1));
        if (QTest::currentTestFailed())
            return;
        typeKeys(typed);
        for (int i = 0; i < boxes.size(); ++i)
            QTRY_COMPARE(box(i + 1)->text(), boxes.at(i));
        // Nothing typed spilled into the address that a postal code fills.
        if (auto *address = shown->findChild<QLineEdit *>(QStringLiteral("txtAdd")))
            QVERIFY2(!address->text().contains(typed.right(1)), qPrintable(address->text()));
    }

    // The real program on a folder holding VexaType.txt but no VexaTel.txt:
    // Return answers its one message and the program ends with 1, without a
    // second message, a browsing window, or a crash on the later keys.
    void missingBookEndsAfterOneMessage() {
        QTemporaryDir folder;
        QVERIFY(QFile::copy(dir->categoryPath(), folder.filePath(QStringLiteral("VexaType.txt"))));
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TELBORA_DIR"), folder.path());
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(TELBORA_BINARY));
        QVERIFY(program.waitForStarted());
        const QString pid = QString::number(program.processId());
        const QString window =
            run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--sync"),
                                            QStringLiteral("--onlyvisible"), QStringLiteral("--pid"), pid})
                .section(u'\n', 0, 0);
        QVERIFY2(!window.isEmpty() && window != QLatin1String("(timed out)"), qPrintable(window));
        // The first key to a fresh X server can be lost: Return until it ends, a few at most.
        for (int press = 0; press < 4 && program.state() != QProcess::NotRunning; ++press) {
            run(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), window});
            pressKey(QStringLiteral("Return"));
            (void)QTest::qWaitFor([&] { return program.state() == QProcess::NotRunning; }, 2000);
        }
        const bool ended = program.state() == QProcess::NotRunning;
        if (!ended)
            program.kill();
        program.waitForFinished(5000);
        QVERIFY2(ended, "still running after the message was answered");
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
    }

    // 保存 answered by Return: the typing goes on in the box that had it, and
    // Ctrl+F from the editor goes back to the list's find box.
    void typingGoesOnAfterSaveAndFindFromEditor() {
        dir.reset();
        dir = std::make_unique<DataDir>(QStringList{"abe|Abe Taro|||||||1|F", "suzuki|Suzuki Hanako|||||||1|F"});
        frmMain home(testBook());
        home.show();
        frmEdit *editor = home.openEditor(0);
        showActive(editor, editor->txtName);
        if (QTest::currentTestFailed())
            return;
        editor->txtName->end(false);
        typeKeys(QStringLiteral("X"));
        QTRY_COMPARE(editor->txtName->text(), QStringLiteral("Abe TaroX"));
        // One xdotool run clicks and answers: the question's box holds this thread until then.
        const QPoint save = editor->imgSave->mapToGlobal(editor->imgSave->rect().center());
        run(QStringLiteral("xdotool"),
            {QStringLiteral("mousemove"), QString::number(save.x()), QString::number(save.y()), QStringLiteral("click"),
             QStringLiteral("1"), QStringLiteral("sleep"), QStringLiteral("1"), QStringLiteral("key"),
             QStringLiteral("Return")});
        QTRY_VERIFY(dir->entryBytes().contains("Abe TaroX"));
        QTRY_VERIFY(editor->isActiveWindow() && editor->txtName->hasFocus());
        typeKeys(QStringLiteral("Y"));
        QTRY_COMPARE(editor->txtName->text(), QStringLiteral("Abe TaroXY"));
        BoxAnswerer discard({false}); // the Y is not kept
        pressKey(QStringLiteral("ctrl+f"));
        QTRY_VERIFY(home.isVisible() && home.txtFind->hasFocus());
        typeKeys(QStringLiteral("suzuki"));
        QTRY_COMPARE(home.txtFind->text(), QStringLiteral("suzuki"));
    }

    // On 1 January: the name typed into the find box, ↓ into the list, U:
    // that person's card is checked off as arrived (受), and U again takes it off.
    void receivedCheckedOffByKeys() {
        dir.reset(); // the next one is the book
        dir = std::make_unique<DataDir>(
            QStringList{"abe|Abe Taro|||||||1|F", "suzuki|Suzuki Hanako|||||||1|F", "tanaka|Tanaka Ken|||||||1|F"});
        frmMain home(testBook());
        showActive(&home, home.txtFind);
        if (QTest::currentTestFailed())
            return;
        const int year = newyearchoice::defaultYear(QDate::currentDate());
        const auto received = [&] {
            QStringList names;
            for (const people::Record &r : testBook().records())
                for (const people::NewYear &y : r.data().years)
                    if (y.year == year && y.received)
                        names.append(r.anchor().value(1));
            return names;
        };
        typeKeys(QStringLiteral("suzuki"));
        pressKey(QStringLiteral("Down"));
        pressKey(QStringLiteral("u"));
        QTRY_COMPARE(received(), QStringList{"Suzuki Hanako"});
        pressKey(QStringLiteral("u"));
        QTRY_COMPARE(received(), QStringList());
    }
};

TELBORA_TEST(TestTyping)
#include "tst_typing.moc"
