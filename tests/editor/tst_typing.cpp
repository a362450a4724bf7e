#include "common/datadir.h"
#include "common/testmain.h"
#include "editor/frmEdit.h"
#include "printing/frmSender.h"
#include "store/mdlDim.h"

#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

// Numbers typed as a person types them: keys through the X server (xdotool on
// Xvfb), each going to whichever box has the focus at that moment, so a digit
// that moves on to the next box is seen by the window system's focus handling.
class TestTyping : public QObject {
    Q_OBJECT

    std::unique_ptr<DataDir> dir;

    static void typeThroughX(QWidget *window, QLineEdit *first, const QString &keys) {
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        first->setFocus();
        QTRY_VERIFY(first->hasFocus());
        QProcess xdotool;
        xdotool.start(QStringLiteral("xdotool"),
                      {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"), keys});
        QTRY_VERIFY_WITH_TIMEOUT(xdotool.state() == QProcess::NotRunning, 30000);
        QCOMPARE(xdotool.exitCode(), 0);
    }

private slots:
    void initTestCase() {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server (xvfb-run) and the xcb platform");
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            QSKIP("xdotool is not installed");
    }
    void init() {
        dir = std::make_unique<DataDir>();
        mdlDim::EditingExisting = false;
    }
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
        QTest::newRow("fax") << "frmEdit"
                             << "txtFax"
                             << "0451234567" << QStringList{"0451", "2345", "67"};
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
            shown = std::make_unique<frmEdit>();
        else
            shown = std::make_unique<frmSender>();
        shown->setAttribute(Qt::WA_DeleteOnClose, false);
        const auto box = [&](int i) { return shown->findChild<QLineEdit *>(group + QString::number(i)); };
        typeThroughX(shown.get(), box(1), typed);
        if (QTest::currentTestFailed())
            return;
        for (int i = 0; i < boxes.size(); ++i)
            QTRY_COMPARE(box(i + 1)->text(), boxes.at(i));
        // Nothing typed spilled into the address that a postal code fills.
        if (auto *address = shown->findChild<QLineEdit *>(QStringLiteral("txtAdd")))
            QVERIFY2(!address->text().contains(typed.right(1)), qPrintable(address->text()));
    }
};

TELBORA_TEST(TestTyping)
#include "tst_typing.moc"
