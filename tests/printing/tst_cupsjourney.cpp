#include "browse/frmMain.h"
#include "common/boxanswerer.h"
#include "common/datadir.h"
#include "common/testmain.h"
#include "common/windows.h"
#include "editor/frmEdit.h"
#include "printer/printerservice.h"
#include "printing/frmAdjust.h"
#include "printing/frmPrint.h"
#include "printing/frmPrintMsg.h"
#include "printing/frmPrintSet.h"
#include "printing/printeradjustment.h"
#include "store/mdlDim.h"
#include "ui/formpictures.h"
#include "ui/frmMsgBox.h"
#include "ui/imagebutton.h"
#include "ui/twips.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <cups/cups.h>

namespace {
// The queue scripts/setup-cups-pdf.sh makes, and where it writes each document.
// The tests print to it by name; no other queue is ever touched.
const char *const TestQueue = "TelboraPDF";
const QString QueueOutput = QStringLiteral("/var/spool/cups-pdf/telbora");

int pdfCount() {
    return static_cast<int>(QDir(QueueOutput).entryList({QStringLiteral("*.pdf")}, QDir::Files).size());
}

bool testQueueExists() {
    cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, TestQueue, nullptr);
    cupsFreeDests(dest ? 1 : 0, dest);
    return dest != nullptr;
}

// The "media" the newest job of the test queue was submitted with.
QString mediaOfNewestJob() {
    cups_job_t *jobs = nullptr;
    const int count = cupsGetJobs(&jobs, TestQueue, 0, CUPS_WHICHJOBS_ALL);
    int newest = 0;
    for (int i = 0; i < count; ++i)
        newest = qMax(newest, jobs[i].id);
    cupsFreeJobs(count, jobs);
    ipp_t *request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    const QByteArray uri = QByteArray("ipp://localhost/jobs/") + QByteArray::number(newest);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.constData());
    ipp_t *response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    ipp_attribute_t *media = response ? ippFindAttribute(response, "media", IPP_TAG_ZERO) : nullptr;
    const QString value = media ? QString::fromUtf8(ippGetString(media, 0, nullptr)) : QString();
    ippDelete(response);
    return value;
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
        if (!testQueueExists())
            QSKIP("The CUPS queue TelboraPDF is absent: the journey to a real queue is skipped "
                  "(scripts/setup-cups-pdf.sh, run by .ci/run, makes it).");
        // The program prints to the default printer; CUPS takes it from PRINTER.
        qputenv("PRINTER", TestQueue);
        QCOMPARE(QPrinterInfo::defaultPrinter().printerName(), QString::fromLatin1(TestQueue));
    }
    void cleanupTestCase() { qunsetenv("PRINTER"); }

    // A queue that refuses jobs is told at once, naming it and giving its
    // reason, before any paper is asked for; nothing is recorded as printed.
    void refusingQueueIsToldBeforeThePaperPrompt() {
        frmPrintMsg::displayMilliseconds = 1;
        DataDir dir({QStringLiteral("あおき|青木|||03-1111-2222||||2|F")});
        const QByteArray before = dir.entryBytes();
        QVERIFY(testBook().load());
        const std::unique_ptr<frmPrintSet> setup(new frmPrintSet(testBook(), 0));
        setup->show();
        setup->lstAll->setCurrentIndex(setup->lstAll->model()->index(0, 0));
        click(setup->imgAdd);
        QCOMPARE(setup->lstPrintList->model()->rowCount(), 1);
        const int pdfs = pdfCount();
        {
            RefusingQueue refusing(TestQueue);
            const Failure told = PrinterService::onQueue(TestQueue)->notAccepting();
            QCOMPARE(told.kind, Failure::Kind::PrinterNotAccepting);
            QCOMPARE(told.detail, QStringLiteral("closed for the test"));
            BoxAnswerer answerer;
            click(setup->imgPrintInfo);
            QCOMPARE(answerer.seen.size(), 1); // no paper prompt
            const QStringList lines = answerer.seen.last().split('\n');
            QVERIFY2(lines.size() == 3 && lines.first().contains(TestQueue) &&
                         lines.first().contains("受け付けていません") && lines.at(1).contains("closed for the test"),
                     qPrintable(answerer.seen.last()));
        }
        QCOMPARE(dir.entryBytes(), before);
        QCOMPARE(setup->lstPrintList->model()->rowCount(), 1);
        QTest::qWait(500);
        QCOMPARE(pdfCount(), pdfs);
    }

    // The position adjustment's test sheet goes through the queue as a card
    // does, with the window's offsets, which 保存 keeps for the queue.
    void testSheetThroughTheQueue() {
        DataDir dir({QStringLiteral("あおき|青木|||03-1111-2222||||2|F")});
        const QByteArray entries = dir.entryBytes();
        frmAdjust window(formpictures::all(true));
        window.show();
        QCOMPARE(window.cboPrinter->currentData().toString(), QStringLiteral("TelboraPDF"));
        QCOMPARE(window.cboPrinter->currentText(), QStringLiteral("TelboraPDF（既定）")); // the system's default
        window.txtOffsetX->setValue(1.5);
        window.txtOffsetY->setValue(-0.7);
        const int before = pdfCount();
        BoxAnswerer answerer;
        click(window.imgTestPrint);
        QCOMPARE(answerer.seen, QStringList{QStringLiteral("テスト用紙を送りました。")});
        QTRY_COMPARE_WITH_TIMEOUT(pdfCount(), before + 1, 30000);
        QDir spool(QueueOutput);
        const QString newest = spool.filePath(spool.entryList({"*.pdf"}, QDir::Files, QDir::Time).first());
        // cups-pdf turns text into drawn glyphs, so only the page itself can be checked here;
        // the sheet's text and offsets are checked on Qt's own PDF by the card tests.
        const auto onePage = [&] { // the queue may still be writing it
            QProcess pdfinfo;
            pdfinfo.start("pdfinfo", {newest});
            return pdfinfo.waitForFinished(30000) && pdfinfo.readAllStandardOutput().contains("Pages:           1");
        };
        QTRY_VERIFY_WITH_TIMEOUT(onePage(), 30000);
        click(window.imgAdjustSave);
        QVERIFY(!window.isVisible());
        QCOMPARE(printeradjustment::load(TestQueue), QPointF(1.5, -0.7));
        QCOMPARE(dir.entryBytes(), entries);
    }

    void entryFromEditorToPaper() {
        frmPrintMsg::displayMilliseconds = 1;
        DataDir dir({QStringLiteral("あおき|青木|||03-1111-2222||||2|F")});
        QPointer<frmMain> home = new frmMain(testBook());
        home->show();

        click(home->imgNew);
        frmEdit *editor = shownWindow<frmEdit>();
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
        QCOMPARE(testBook().entryCount(), 2);
        click(home->imgType);
        QPointer<frmPrintSet> setup = shownWindow<frmPrintSet>();
        QVERIFY(setup);
        const QModelIndex ikeda =
            setup->lstAll->model()
                ->match(setup->lstAll->model()->index(0, 0), Qt::DisplayRole, "Ikeda Jun", 1, Qt::MatchStartsWith)
                .value(0);
        QVERIFY(ikeda.isValid());
        const QRect item = setup->lstAll->visualRect(ikeda);
        QTest::mouseClick(setup->lstAll->viewport(), Qt::LeftButton, {}, item.center());
        QTest::mouseDClick(setup->lstAll->viewport(), Qt::LeftButton, {}, item.center());
        QCOMPARE(setup->lstPrintList->model()->rowCount(), 1);

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
        // The card goes with its paper size, whatever the queue's own default.
        QCOMPARE(mediaOfNewestJob(), QPrinterInfo::defaultPrinter().defaultPageSize().key());

        setup->cboSelect->setCurrentIndex(2);
        QVERIFY(
            !setup->lstPrint->model()
                 ->match(setup->lstPrint->model()->index(0, 0), Qt::DisplayRole, "Ikeda Jun", 1, Qt::MatchStartsWith)
                 .isEmpty());
        QVERIFY(dir.entryBytes().contains("Ikeda|Ikeda Jun|||03-1234-5678||||2|T\r\n"));
        QVERIFY(dir.entryBytes().contains(DataDir::sjis("あおき|青木|||03-1111-2222||||2|F")));
        delete setup.data();
        delete home.data();
    }

    // A postcard goes to the queue as Japanese postcard media and comes out
    // one sheet of 100 × 148 mm; the printed mark stays as it was.
    void postcardThroughTheQueue() {
        frmPrintMsg::displayMilliseconds = 1;
        DataDir dir({QStringLiteral("あおき|青木　一郎|100-0001|東京都千代田区千代田1-1|03-1111-2222||||2|F")});
        const QByteArray entries = dir.entryBytes();
        QPointer<frmMain> home = new frmMain(testBook());
        home->show();
        click(home->imgYR);
        click(home->imgType);
        QPointer<frmPrintSet> setup = shownWindow<frmPrintSet>();
        QVERIFY(setup);
        click(setup->imgAddAll);
        click(setup->imgPostcard);
        const int before = pdfCount();
        BoxAnswerer answerer;
        click(setup->imgPrintInfo);
        QCOMPARE(answerer.seen, QStringList{frmMsgBox::stackPrompt(1)});
        QTRY_COMPARE_WITH_TIMEOUT(pdfCount(), before + 1, 30000);
        QCOMPARE(mediaOfNewestJob(), QStringLiteral("jpn_hagaki_100x148mm"));
        QDir spool(QueueOutput);
        const QString newest = spool.filePath(spool.entryList({"*.pdf"}, QDir::Files, QDir::Time).first());
        const auto postcardPage = [&] { // the queue may still be writing it
            QProcess pdfinfo;
            pdfinfo.start("pdfinfo", {newest});
            const QString info =
                pdfinfo.waitForFinished(30000) ? QString::fromUtf8(pdfinfo.readAllStandardOutput()) : QString();
            const auto size = QRegularExpression(R"(Page size:\s+([\d.]+) x ([\d.]+) pts)").match(info);
            return info.contains("Pages:           1") && std::abs(size.captured(1).toDouble() - 283.5) < 2 &&
                   std::abs(size.captured(2).toDouble() - 419.5) < 2;
        };
        QTRY_VERIFY_WITH_TIMEOUT(postcardPage(), 30000);
        QCOMPARE(dir.entryBytes(), entries);
        delete setup.data();
        delete home.data();
    }
};

TELBORA_TEST(TestCupsJourney)
#include "tst_cupsjourney.moc"
