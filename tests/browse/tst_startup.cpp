#include "browse/frmLogo.h"
#include "browse/frmMain.h"
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

    static QProcess *startProgram() {
        auto *program = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        program->setProcessEnvironment(env);
        program->start(QStringLiteral(TELBORA_BINARY));
        program->waitForStarted();
        return program;
    }

private slots:
    void oneCopyPerDirectory() {
        QTemporaryDir dir;
        SingleInstance first(dir.path());
        QVERIFY(first.acquire());
        SingleInstance second(dir.path());
        QVERIFY(!second.acquire());
        QTemporaryDir other;
        SingleInstance elsewhere(other.path());
        QVERIFY(elsewhere.acquire());
    }

    // The real program, started three times: the second start ends at once,
    // and after the first has crashed a new start runs.
    void secondCopyEndsAndCrashedCopyDoesNotBlock() {
        const QString lockPath = SingleInstance::lockPathFor(QFileInfo(QStringLiteral(TELBORA_BINARY)).absolutePath());
        std::unique_ptr<QProcess> first(startProgram());
        // The lock names its holder; a lock left by an earlier run does not count.
        const auto holder = [&] {
            QFile lock(lockPath);
            return lock.open(QIODevice::ReadOnly) ? lock.readLine().trimmed().toLongLong() : 0;
        };
        QTRY_COMPARE_WITH_TIMEOUT(holder(), first->processId(), 10000);

        std::unique_ptr<QProcess> second(startProgram());
        QVERIFY(second->waitForFinished(10000));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(first->state(), QProcess::Running);

        ::kill(static_cast<pid_t>(first->processId()), SIGKILL);
        QVERIFY(first->waitForFinished(5000));
        QVERIFY(QFileInfo::exists(lockPath)); // the crashed copy left its lock behind

        std::unique_ptr<QProcess> third(startProgram());
        QTRY_COMPARE_WITH_TIMEOUT(holder(), third->processId(), 10000);
        QCOMPARE(third->state(), QProcess::Running);
        third->kill();
        third->waitForFinished(5000);
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
