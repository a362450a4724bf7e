#include "browse/frmMain.h"
#include "common/boxanswerer.h"
#include "common/datadir.h"
#include "common/testmain.h"
#include "editor/frmEdit.h"
#include "printing/frmPrint.h"
#include "printing/frmPrintMsg.h"
#include "printing/frmPrintSet.h"
#include "render/printerservice.h"
#include "store/mdlDim.h"
#include "ui/imagebutton.h"
#include "ui/twips.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPrinterInfo>
#include <QProcess>
#include <QTest>

namespace {
// Where the cups-pdf queue of scripts/setup-cups-pdf.sh writes each document.
const QString QueueOutput = QStringLiteral("/var/spool/cups-pdf/telbora");

int pdfCount() {
    return static_cast<int>(QDir(QueueOutput).entryList({QStringLiteral("*.pdf")}, QDir::Files).size());
}

void click(QWidget *w) {
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(3, 3));
}

template <typename Window> Window *openWindow() {
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *found = qobject_cast<Window *>(w); found && found->isVisible())
            return found;
    return nullptr;
}
} // namespace

// The queue refuses jobs while this lives (cupsreject), and accepts them again after.
class RefusingQueue {
public:
    explicit RefusingQueue(const QString &queue) : queue_(queue) {
        QProcess::execute("cupsreject", {"-r", "closed for the test", queue_});
    }
    ~RefusingQueue() { QProcess::execute("cupsaccept", {queue_}); }

private:
    QString queue_;
};

// From typing an entry to its card coming out of a real CUPS queue.
class TestCupsJourney : public QObject {
    Q_OBJECT

private slots:
    void init() {
        if (!PrinterService::available())
            QSKIP("No default printer: the journey to a real CUPS queue is skipped (scripts/setup-cups-pdf.sh sets one "
                  "up).");
        if (!QDir(QueueOutput).exists())
            QSKIP(qPrintable(QStringLiteral("The default printer is %1, not the cups-pdf queue writing to %2; skipped.")
                                 .arg(QPrinterInfo::defaultPrinter().printerName(), QueueOutput)));
    }

    // A queue that refuses the job: the run stops with the queue's reason and
    // nothing is recorded as printed.
    void refusedJobIsNotRecorded() {
        frmPrintMsg::displayMilliseconds = 1;
        DataDir dir({QStringLiteral("あおき|青木|||03-1111-2222||||2|F")});
        const QByteArray before = dir.entryBytes();
        QVERIFY(mdlDim::LoadData());
        mdlDim::CardFormat = 0;
        const QString queue = QPrinterInfo::defaultPrinter().printerName();
        const std::unique_ptr<frmPrintSet> setup(new frmPrintSet());
        setup->show();
        setup->lstAll->setCurrentRow(0);
        click(setup->imgAdd);
        QCOMPARE(setup->lstPrintList->count(), 1);
        const int pdfs = pdfCount();
        {
            RefusingQueue refusing(queue);
            BoxAnswerer answerer;
            click(setup->imgPrintInfo);
            QCOMPARE(answerer.seen.size(), 2); // the paper prompt, then the refusal
            // The queue's name and its reason, then the end of the run.
            const QStringList lines = answerer.seen.last().split('\n');
            QVERIFY2(lines.size() == 3 && lines.first().contains(queue) && !lines.at(1).isEmpty(),
                     qPrintable(answerer.seen.last()));
        }
        QCOMPARE(dir.entryBytes(), before);
        QTest::qWait(500);
        QCOMPARE(pdfCount(), pdfs);
    }

    void entryFromEditorToPaper() {
        frmPrintMsg::displayMilliseconds = 1;
        DataDir dir({QStringLiteral("あおき|青木|||03-1111-2222||||2|F")});
        mdlDim::CurrentCategory = 0;
        QPointer<frmMain> home = new frmMain();
        home->show();

        click(home->imgNew);
        frmEdit *editor = openWindow<frmEdit>();
        QVERIFY(editor);
        QTest::keyClicks(editor->txtPingYin, "Ikeda");
        QTest::keyClicks(editor->txtName, "Ikeda Jun");
        QTest::keyClicks(editor->txtTel1, "03");
        QTest::keyClicks(editor->txtTel2, "1234");
        QTest::keyClicks(editor->txtTel3, "5678");
        editor->cboType->setCurrentIndex(1); // 友人
        click(editor->imgAddList);
        QTRY_VERIFY(home->isVisible());

        click(home->imgYR);
        QCOMPARE(mdlDim::EntryCount, 2);
        click(home->imgType);
        QPointer<frmPrintSet> setup = openWindow<frmPrintSet>();
        QVERIFY(setup);
        const int row = setup->lstAll->row(setup->lstAll->findItems("Ikeda Jun", Qt::MatchStartsWith).value(0));
        QVERIFY(row >= 0);
        const QRect item = setup->lstAll->visualItemRect(setup->lstAll->item(row));
        QTest::mouseClick(setup->lstAll->viewport(), Qt::LeftButton, {}, item.center());
        QTest::mouseDClick(setup->lstAll->viewport(), Qt::LeftButton, {}, item.center());
        QCOMPARE(setup->lstPrintList->count(), 1);

        click(setup->imgBack);
        QVERIFY(setup->preview()->isVisible());
        QCOMPARE(setup->preview()->lblPage->text(), QStringLiteral("1/1カード"));
        click(setup->preview()->imgBack);
        QVERIFY(setup->isVisible());

        const int before = pdfCount();
        BoxAnswerer answerer;
        click(setup->imgPrintInfo);
        QCOMPARE(answerer.seen.size(), 1); // one paper prompt, one card
        QTRY_COMPARE_WITH_TIMEOUT(pdfCount(), before + 1, 30000);

        setup->cboSelect->setCurrentIndex(2);
        QVERIFY(!setup->lstPrint->findItems("Ikeda Jun", Qt::MatchStartsWith).isEmpty());
        QVERIFY(dir.entryBytes().contains("Ikeda|Ikeda Jun|||03-1234-5678||||2|T\r\n"));
        QVERIFY(dir.entryBytes().contains(DataDir::sjis("あおき|青木|||03-1111-2222||||2|F")));
        delete setup.data();
        delete home.data();
    }
};

TELBORA_TEST(TestCupsJourney)
#include "tst_cupsjourney.moc"
