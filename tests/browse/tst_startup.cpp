#include "browse/frmLogo.h"
#include "browse/frmMain.h"
#include "browse/runningcopy.h"
#include "browse/startup.h"
#include "common/boxanswerer.h"
#include "common/datadir.h"
#include "common/testmain.h"
#include "store/mdlDim.h"
#include "store/singleinstance.h"
#include "ui/frmMsgBox.h"
#include "ui/imagebutton.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

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
        return SingleInstance(dir, "test").acquire() == SingleInstance::State::HeldElsewhere;
    }

private slots:
    // The loser of a race names the holder even when the holder names itself
    // a moment after it took the lock.
    void holderNamedJustAfterItsLock() {
        DataDir dir;
        const QByteArray lockPath = QFile::encodeName(SingleInstance::lockPathFor(dir.path()));
        const int fd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        QVERIFY(fd >= 0);
        QCOMPARE(::flock(fd, LOCK_EX), 0); // held, not yet named
        std::thread naming([fd] {
            ::usleep(50000);
            const QByteArray name("telbora-contacts\n");
            (void)!::pwrite(fd, name.constData(), static_cast<size_t>(name.size()), 0);
        });
        SingleInstance late(dir.path(), QStringLiteral("telbora"));
        const SingleInstance::State state = late.acquire();
        naming.join();
        ::close(fd);
        QCOMPARE(state, SingleInstance::State::HeldElsewhere);
        QCOMPARE(late.holder(), QStringLiteral("telbora-contacts"));
    }

    // A working copy noted in the lock file by a holder that was killed is
    // removed by the next holder only while it is that very file (its inode).
    void leftCopyRemovedOnlyWhenItIsTheSameFile_data() {
        QTest::addColumn<bool>("replaced"); // the user put another file of that name there since
        QTest::newRow("the noted copy") << false;
        QTest::newRow("another file of that name") << true;
    }
    void leftCopyRemovedOnlyWhenItIsTheSameFile() {
        QFETCH(bool, replaced);
        DataDir dir({QStringLiteral("あ|一|||||||1|F")});
        const QString copy = dir.entryPath() + QStringLiteral("$");
        QFile made(copy);
        QVERIFY(made.open(QIODevice::WriteOnly));
        made.close();
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(copy).constData(), &info), 0);
        if (replaced) {
            QVERIFY(QFile::rename(copy, copy + "old")); // keeps the noted inode alive under another name
            QFile other(copy);
            QVERIFY(other.open(QIODevice::WriteOnly));
            other.write("the user's");
        }
        QFile lock(SingleInstance::lockPathFor(dir.path()));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write("telbora\ncopy " + QByteArray::number(quint64(info.st_dev)) + ' ' +
                   QByteArray::number(quint64(info.st_ino)) + ' ' + QFile::encodeName(copy).toHex() + '\n');
        lock.close();
        SingleInstance instance(dir.path(), QStringLiteral("test"));
        QCOMPARE(instance.acquire(), SingleInstance::State::Acquired);
        QCOMPARE(QFile::exists(copy), replaced);
    }

    // A kept original's "$" copy that a kill left before it could be noted
    // goes by its name at the next start; the kept originals, and "$" files
    // of other names, stay.
    void unfinishedKeptCopyRemoved() {
        DataDir dir({QStringLiteral("あ|一|||||||1|F")});
        const QStringList left = {"VexaTel.txt.utf8-20261208-093006$", "telbora-people.tsv.broken-20261208-093006-2$1"};
        const QStringList kept = {"VexaTel.txt.utf8-20261208-093006", "notes.txt$", "VexaTel.txt.utf8-draft$"};
        for (const QString &name : left + kept) {
            QFile file(QDir(dir.path()).filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        SingleInstance instance(dir.path(), QStringLiteral("test"));
        QCOMPARE(instance.acquire(), SingleInstance::State::Acquired);
        for (const QString &name : left)
            QVERIFY2(!QFileInfo::exists(QDir(dir.path()).filePath(name)), qPrintable(name));
        for (const QString &name : kept)
            QVERIFY2(QFileInfo::exists(QDir(dir.path()).filePath(name)), qPrintable(name));
    }

    void oneCopyPerBookNamingItsHolder() {
        QTemporaryDir dir;
        {
            SingleInstance first(dir.path(), "telbora-contacts");
            QCOMPARE(first.acquire(), SingleInstance::State::Acquired);
            SingleInstance second(dir.path(), "telbora");
            QCOMPARE(second.acquire(), SingleInstance::State::HeldElsewhere);
            QCOMPARE(second.holder(), QStringLiteral("telbora-contacts"));
            QCOMPARE(second.held().kind, Failure::Kind::HeldByContacts);
            QVERIFY(describe(second.held()).contains("telbora-contacts が"));
            QTemporaryDir other;
            QCOMPARE(SingleInstance(other.path(), "telbora").acquire(), SingleInstance::State::Acquired);
            // Private to the user.
            QCOMPARE(QFileInfo(SingleInstance::lockPathFor(dir.path())).permissions() & 0x0077, 0);
        }
        // Given up cleanly, it names nobody.
        QCOMPARE(readFileBytes(SingleInstance::lockPathFor(dir.path())), QByteArray());
    }

    void lockFileFound_data() {
        QTest::addColumn<QString>("planted");
        QTest::addColumn<SingleInstance::State>("state");
        QTest::addColumn<QString>("said"); // in error() or readOnlyReason()
        QTest::addColumn<Failure::Kind>("kind");
        using State = SingleInstance::State;
        using K = Failure::Kind;
        QTest::newRow("empty lock left by a killed copy") << "empty" << State::Acquired << "" << K::None;
        QTest::newRow("lock holding old text") << "text" << State::Acquired << "" << K::None;
        QTest::newRow("link planted as the lock")
            << "link" << State::Unavailable << "リンクになっています" << K::LockIsLink;
        // No lock file can be made (EACCES): the book is read all the same.
        QTest::newRow("folder the user cannot write")
            << "read-only folder" << State::ReadOnly << "アクセスが許可されていません" << K::FolderNotWritable;
        QTest::newRow("folder the user cannot write, lock there")
            << "read-only folder, lock" << State::ReadOnly << "に書き込めません" << K::FolderNotWritable;
        QTest::newRow("entry file the user cannot write")
            << "read-only file" << State::ReadOnly << "VexaTel.txt" << K::FileNotWritable;
        QTest::newRow("lock file the user cannot write")
            << "read-only lock" << State::ReadOnly << ".telbora.lock」に書き込めません" << K::FileNotWritable;
    }
    void lockFileFound() {
        QFETCH(QString, planted);
        QFETCH(SingleInstance::State, state);
        QFETCH(QString, said);
        QFETCH(Failure::Kind, kind);
        DataDir book;
        const QString dir = book.path();
        QTemporaryDir elsewhere;
        const QString lockPath = SingleInstance::lockPathFor(dir);
        const QString victim = elsewhere.filePath("victim");
        if (planted != "read-only folder") {
            QFile file(planted == "link" ? victim : lockPath); // DataDir makes no lock file
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(planted == "text" ? "1\nhost\n" : "");
        }
        if (planted == "link")
            QVERIFY(QFile::link(victim, lockPath));
        if (planted == "read-only file")
            QVERIFY(QFile::setPermissions(book.entryPath(), QFileDevice::ReadOwner));
        if (planted == "read-only lock")
            QVERIFY(QFile::setPermissions(lockPath, QFileDevice::ReadOwner));
        // Root passes file modes: the guard (which also makes the folder read-only) takes that away.
        std::unique_ptr<ReadOnlyDir> readOnly(
            planted.startsWith("read-only folder") || planted == "read-only lock" ? new ReadOnlyDir(dir) : nullptr);
        SingleInstance instance(dir, "telbora");
        QCOMPARE(instance.acquire(), state);
        const Failure &failure =
            state == SingleInstance::State::ReadOnly ? instance.readOnlyReason() : instance.error();
        QCOMPARE(failure.kind, kind);
        QVERIFY2(describe(failure).contains(said), qPrintable(describe(failure)));
        if (planted == "link")
            QCOMPARE(readFileBytes(victim), QByteArray());
        if (state == SingleInstance::State::ReadOnly && planted != "read-only folder") {
            // Readers share the lock; a writer waits for them.
            QCOMPARE(SingleInstance(dir, "telbora-contacts").acquire(), SingleInstance::State::ReadOnly);
        }
    }

    // A copy that finds a telbora-contacts holding the book says so and ends
    // with 1; one that finds a UTF-8 book asks before anything is read.
    void takeBook_data() {
        QTest::addColumn<QString>("holder");
        QTest::addColumn<QString>("encoding"); // of both files: "cp932", "utf-8", "mix", or "missing" entries
        QTest::addColumn<bool>("answer");
        QTest::addColumn<int>("ended");
        QTest::addColumn<QString>("said");
        QTest::newRow("held by telbora-contacts") << "telbora-contacts"
                                                  << "cp932" << true << 1 << "telbora-contacts が";
        QTest::newRow("UTF-8 book, converted")
            << ""
            << "utf-8" << true << -1 << "Shift_JIS（この電話帳の形式）に戻しますか？";
        QTest::newRow("UTF-8 book, kept") << ""
                                          << "utf-8" << false << 0 << "Shift_JIS（この電話帳の形式）に戻しますか？";
        QTest::newRow("mixed book refused") << ""
                                            << "mix" << true << 1 << "VexaTel.txt の 2 行目は";
        QTest::newRow("entry file missing: said once, then the end")
            << ""
            << "missing" << true << 1 << "「VexaTel.txt」を開けません。";
        QTest::newRow("UTF-8 book on read-only media, read through a converted copy")
            << ""
            << "utf-8 read-only" << true << -1 << "変換したものを読み取り専用で開きます";
    }
    void takeBook() {
        QFETCH(QString, holder);
        QFETCH(QString, encoding);
        QFETCH(bool, answer);
        QFETCH(int, ended);
        QFETCH(QString, said);
        DataDir book({"あおき|青木|||||||1|F"});
        const QByteArray original = book.entryBytes();
        if (encoding.startsWith("utf-8")) {
            book.writeEntries(iconvBytes(original, "CP932", "UTF-8"));
            book.writeCategories(iconvBytes(book.categoryBytes(), "CP932", "UTF-8"));
        }
        const std::unique_ptr<ReadOnlyDir> readOnly(encoding.endsWith("read-only") ? new ReadOnlyDir(book.path())
                                                                                   : nullptr);
        if (encoding == "mix")
            book.writeEntries(original + QStringLiteral("いとう|伊藤|||||||1|F\r\n").toUtf8());
        if (encoding == "missing")
            QVERIFY(QFile::remove(book.entryPath()));
        SingleInstance other(book.path(), holder);
        if (!holder.isEmpty())
            QCOMPARE(other.acquire(), SingleInstance::State::Acquired);
        const QByteArray before = book.entryBytes();
        BoxAnswerer answerer({answer});
        QCOMPARE(startup::takeBook(testBook()), ended);
        testBook().releaseLock();
        QVERIFY(!answerer.seen.isEmpty());
        QVERIFY2(answerer.seen.first().contains(said), qPrintable(answerer.seen.first()));
        if (ended == 1)
            QCOMPARE(answerer.seen.size(), 1);
        if (encoding == "utf-8" && answer) {
            QCOMPARE(book.entryBytes(), original);
            QVERIFY(answerer.seen.last().contains("VexaTel.txt.utf8-"));
            QCOMPARE(QDir(book.path()).entryList({"*.utf8-*"}).size(), 2);
            QVERIFY(testBook().load());
        } else {
            QCOMPARE(book.entryBytes(), before);
        }
        if (readOnly) {
            // Browsed as it is: the entries read, nothing written beside the book.
            QVERIFY(testBook().readsConvertedCopy());
            QVERIFY(testBook().load());
            QCOMPARE(testBook().entryCount(), 1);
            QVERIFY(testBook().entries().at(0).contains("青木"));
            QCOMPARE(QDir(book.path()).entryList({"*.utf8-*"}).size(), 0);
        }
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
        QPointer<frmLogo> logo = new frmLogo(testBook());
        logo->show();
        QVERIFY(logo->timStart->isActive());
        QCOMPARE(logo->timStart->interval(), 2000);
        QCOMPARE(logo->size(), QSize(249, 248));
        QVERIFY(!frmMain::loaded());
        logo->timStart->start(1);
        QTRY_VERIFY(frmMain::loaded() && frmMain::loaded()->isVisible());
        QCOMPARE(frmMain::loaded()->currentCategory(), 0);
        QTRY_VERIFY(logo.isNull());
        QCOMPARE(frmMain::loaded()->lblCount->text(), QStringLiteral("現在 1 件"));
        delete frmMain::loaded();
    }

    // The book gone while the splash builds the browsing window: the failure's
    // box is open when the splash's time runs out. One window follows, and
    // the splash is not touched after it went.
    void splashTimerInsideLoadFailureBox() {
        DataDir dir({"あ|一|||||||1|F"});
        QPointer<frmLogo> logo = new frmLogo(testBook());
        QVERIFY(QFile::remove(dir.entryPath()));
        logo->show();
        logo->timStart->start(1);
        QStringList seen;
        QTimer answerLate; // only once the splash's timer has had its turn
        answerLate.setInterval(50);
        connect(&answerLate, &QTimer::timeout, this, [&] {
            if (frmMsgBox *box = frmMsgBox::loaded(); box && box->isVisible()) {
                seen.append(box->message());
                QTest::mouseClick(box->picYes, Qt::LeftButton, {}, QPoint(3, 3));
            }
        });
        answerLate.start();
        QTRY_VERIFY(logo.isNull());
        QTRY_VERIFY(frmMain::loaded() && frmMain::loaded()->isVisible());
        QCOMPARE(seen.size(), 1);
        int windows = 0;
        for (QWidget *w : QApplication::topLevelWidgets())
            windows += qobject_cast<frmMain *>(w) != nullptr;
        QCOMPARE(windows, 1);
        delete frmMain::loaded();
    }
};

TELBORA_TEST(TestStartup)
#include "tst_startup.moc"
