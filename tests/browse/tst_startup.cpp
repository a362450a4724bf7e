#include "browse/frmLogo.h"
#include "browse/frmMain.h"
#include "browse/runningcopy.h"
#include "common/datadir.h"
#include "common/testmain.h"
#include "store/mdlDim.h"
#include "store/singleinstance.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <csignal>

class TestStartup : public QObject {
    Q_OBJECT

    // The real program on the book in `dir`, with its own temporary folder.
    static QProcess *startProgram(const QString &dir, const QString &tmp = QString()) {
        auto *program = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("TELBORA_DIR", dir);
        if (!tmp.isEmpty())
            env.insert("TMPDIR", tmp);
        program->setProcessEnvironment(env);
        program->start(QStringLiteral(TELBORA_BINARY));
        program->waitForStarted();
        return program;
    }
    static bool bookIsOpen(const QString &dir) {
        return SingleInstance(dir).acquire() == SingleInstance::State::HeldElsewhere;
    }

private slots:
    void oneCopyPerBook() {
        QTemporaryDir dir;
        SingleInstance first(dir.path());
        QCOMPARE(first.acquire(), SingleInstance::State::Acquired);
        QCOMPARE(SingleInstance(dir.path()).acquire(), SingleInstance::State::HeldElsewhere);
        QTemporaryDir other;
        QCOMPARE(SingleInstance(other.path()).acquire(), SingleInstance::State::Acquired);
        // Private, and it says nothing about the machine.
        const QFileInfo lock(SingleInstance::lockPathFor(dir.path()));
        QCOMPARE(lock.permissions() & 0x0077, 0);
        QCOMPARE(lock.size(), 0);
    }

    void lockFileFound_data() {
        QTest::addColumn<QString>("planted");
        QTest::addColumn<bool>("opens");
        QTest::newRow("empty lock left by a killed copy") << "empty" << true;
        QTest::newRow("lock holding an old process id") << "pid" << true;
        QTest::newRow("link planted as the lock") << "link" << false;
        QTest::newRow("read-only folder") << "read-only" << false;
    }
    void lockFileFound() {
        QFETCH(QString, planted);
        QFETCH(bool, opens);
        QTemporaryDir dir, elsewhere;
        const QString lockPath = SingleInstance::lockPathFor(dir.path());
        const QString victim = elsewhere.filePath("victim");
        QFile file(planted == "link" ? victim : lockPath);
        if (planted != "read-only") {
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(planted == "pid" ? "1\nhost\n" : "");
            file.close();
        }
        if (planted == "link")
            QVERIFY(QFile::link(victim, lockPath));
        std::unique_ptr<ReadOnlyDir> readOnly(planted == "read-only" ? new ReadOnlyDir(dir.path()) : nullptr);
        SingleInstance instance(dir.path());
        const SingleInstance::State state = instance.acquire();
        QCOMPARE(state, opens ? SingleInstance::State::Acquired : SingleInstance::State::Unavailable);
        if (!opens)
            QVERIFY2(instance.error().contains(planted == "link" ? "リンクになっています" : "電話帳を開けません"),
                     qPrintable(instance.error()));
        if (planted == "link")
            QCOMPARE(readFileBytes(victim), QByteArray());
    }

    // The real program: a second start, even from another temporary folder,
    // ends at once and leaves the first running; after the first is killed a
    // new start runs, however the lock file was left.
    void secondCopyEndsAndKilledCopyDoesNotBlock() {
        DataDir book({"あ|一|||||||1|F"});
        QTemporaryDir tmpA, tmpB;
        std::unique_ptr<QProcess> first(startProgram(book.path(), tmpA.path()));
        QTRY_VERIFY_WITH_TIMEOUT(bookIsOpen(book.path()), 10000);

        std::unique_ptr<QProcess> second(startProgram(book.path(), tmpB.path()));
        QVERIFY(second->waitForFinished(10000));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(first->state(), QProcess::Running);

        ::kill(static_cast<pid_t>(first->processId()), SIGKILL);
        QVERIFY(first->waitForFinished(5000));
        QVERIFY(QFileInfo::exists(SingleInstance::lockPathFor(book.path())));
        QVERIFY(!bookIsOpen(book.path()));

        std::unique_ptr<QProcess> third(startProgram(book.path(), tmpB.path()));
        QTRY_VERIFY_WITH_TIMEOUT(bookIsOpen(book.path()), 10000);
        QCOMPARE(third->state(), QProcess::Running);
        third->kill();
        third->waitForFinished(5000);
    }

    void showRequestBringsWindowBack() {
        QTemporaryDir dir;
        QObject owner;
        runningcopy::listenForShowRequests(dir.path(), &owner);
        QWidget window;
        window.showMinimized();
        QTRY_VERIFY(window.isMinimized());
        QVERIFY(runningcopy::askToShow(dir.path()));
        QTRY_VERIFY(!window.isMinimized());
    }

    void withoutDisplayItSaysSo() {
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            env.remove(name);
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(TELBORA_BINARY));
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
        QVERIFY(QString::fromUtf8(program.readAllStandardError()).contains("画面（ディスプレイ）が見つかりません。"));
    }

    void splashHandsOverToBrowsingWindow() {
        DataDir dir({"あ|一|||||||1|F"});
        mdlDim::CurrentCategory = 4;
        QPointer<frmLogo> logo = new frmLogo();
        logo->show();
        QCOMPARE(mdlDim::CurrentCategory, 0);
        QVERIFY(logo->timStart->isActive());
        QCOMPARE(logo->timStart->interval(), 2000);
        QCOMPARE(logo->size(), QSize(249, 248));
        QVERIFY(!frmMain::loaded());
        logo->timStart->start(1);
        QTRY_VERIFY(frmMain::loaded() && frmMain::loaded()->isVisible());
        QTRY_VERIFY(logo.isNull());
        QCOMPARE(frmMain::loaded()->lblCount->text(), QStringLiteral("現在 1 件"));
        delete frmMain::loaded();
    }
};

TELBORA_TEST(TestStartup)
#include "tst_startup.moc"
