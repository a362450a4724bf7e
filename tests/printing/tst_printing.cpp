#include "browse/frmMain.h"
#include "common/boxanswerer.h"
#include "common/datadir.h"
#include "common/recordingtarget.h"
#include "common/testmain.h"
#include "common/windows.h"
#include "printer/printerservice.h"
#include "printing/frmAdjust.h"
#include "printing/frmPrint.h"
#include "printing/frmPrintMsg.h"
#include "printing/frmPrintSet.h"
#include "printing/frmSender.h"
#include "printing/newyearchoice.h"
#include "printing/printeradjustment.h"
#include "printing/printerchoice.h"
#include "printing/printjob.h"
#include "printing/printlistmodel.h"
#include "render/cardlayout.h"
#include "render/cardprinter.h"
#include "render/postcardsettings.h"
#include "store/mdlDim.h"
#include "ui/frmMsgBox.h"
#include "ui/imagebutton.h"
#include "ui/picturebox.h"

#include <sys/stat.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

Q_DECLARE_METATYPE(addressmedium::Kind)

namespace {
int documentsWithoutBusyCursor = 0;
int pagesBegun = 0; // within documents, by every test printer
CardPrinter::Sheet sheetOfLastPrinter = CardPrinter::Sheet::Card;

// A printer that records what it is given and can be told to fail.
class TestPrinter : public CardPrinter {
public:
    RecordingTarget recorded;
    int failAtDocument = 0; // 0: never
    int sent = 0;
    int *sentOut = nullptr; // outlives the printer, which the job destroys
    Failure failed_;
    std::function<void()> whenFailing; // another program's doing, at the failure

    void clear() override {}
    void drawLine(QPoint a, QPoint b, const PenSpec &p) override { recorded.drawLine(a, b, p); }
    void drawText(const QString &t, QPoint at, const FontSpec &f, QColor c) override {
        if (failed_.failed() && drawnAfterFailure)
            ++*drawnAfterFailure;
        recorded.drawText(t, at, f, c);
    }
    void drawPicture(const QPixmap &p, const QRect &r) override { recorded.drawPicture(p, r); }
    void drawGlyphs(const GlyphRun &run, QColor c) override {
        if (failed_.failed() && drawnAfterFailure)
            ++*drawnAfterFailure;
        recorded.drawGlyphs(run, c);
    }
    void endDocument() override {
        const QCursor *cursor = QGuiApplication::overrideCursor();
        if (!cursor || cursor->shape() != Qt::WaitCursor)
            ++documentsWithoutBusyCursor;
        if (failAtDocument == sent + 1) {
            failed_ = Failure{Failure::Kind::Other, {}, 0, "プリンターの用紙がありません。"};
            if (whenFailing)
                whenFailing();
            return;
        }
        recorded.endDocument();
        ++sent;
        if (sentOut)
            *sentOut = sent;
    }
    Failure failure() const override { return failed_; }
    int documentsSent() const override { return sent; }
    void setOffsetMm(QPointF offset) override { offsetMm = offset; }
    void setSheet(Sheet s) override { sheetOfLastPrinter = s; }
    void nextPage() override {
        ++pagesBegun;
        // The paper runs out as sheet `failAtSheet` of a stack begins.
        if (failAtSheet > 0 && ++pagesInDocument + 1 == failAtSheet)
            failed_ = Failure{Failure::Kind::Other, {}, 0, "プリンターの用紙がありません。"};
    }
    int failAtSheet = 0;
    int pagesInDocument = 0;
    int *drawnAfterFailure = nullptr; // outlives the printer
    QString pdfFolder() const override { return pdfFolderName; }
    QPointF offsetMm;
    QString pdfFolderName; // set: it writes PDF files there
};

// Answers a print job as a script says, and keeps what it was told.
class ScriptedPrompter : public PrintPrompter {
public:
    QList<bool> paperAnswers;
    int papersAsked = 0;
    QList<CardPrinter::Sheet> papersOf;
    bool answer = true; // to every question
    QStringList asked;
    int notices = 0;
    QStringList told;
    bool wantsToChoosePrinter() override { return false; }
    bool paperInserted(CardPrinter::Sheet sheet) override {
        papersOf.append(sheet);
        return papersAsked < paperAnswers.size() && paperAnswers.at(papersAsked++);
    }
    QList<int> stacks; // the count of each stack of sheets asked for
    QStringList stackPapers;
    bool sheetsInserted(int count, const QString &paperName) override {
        stacks.append(count);
        stackPapers.append(paperName);
        return papersAsked < paperAnswers.size() && paperAnswers.at(papersAsked++);
    }
    bool ask(const QString &question) override {
        asked.append(question);
        return answer;
    }
    void cardSent() override { ++notices; }
    void tell(const QString &message) override { told.append(message); }
};

QString line(int i, const QString &flag = "F", int category = 1) {
    return QStringLiteral("よみ%1|名%1|||||||%2|%3").arg(i, 2, 10, QLatin1Char('0')).arg(category).arg(flag);
}

int count(const QListView *list) {
    return list->model()->rowCount();
}

QVariant dataAt(const QListView *list, int row, int role) {
    return list->model()->index(row, 0).data(role);
}

// Who each row is, as a test names it: the name, its line and its printed mark.
QStringList texts(const QListView *list) {
    QStringList all;
    for (int row = 0; row < count(list); ++row)
        all.append(QStringLiteral("%1'%2'%3")
                       .arg(dataAt(list, row, Qt::DisplayRole).toString())
                       .arg(dataAt(list, row, PrintListModel::LineRole).toInt())
                       .arg(dataAt(list, row, PrintListModel::PrintedRole).toBool() ? "T" : "F"));
    return all;
}

bool isPrinted(const QString &text) {
    return text.endsWith(u'T');
}

QStringList names(const QListView *list) {
    QStringList all;
    for (int row = 0; row < count(list); ++row)
        all.append(dataAt(list, row, Qt::DisplayRole).toString());
    return all;
}

QList<int> lines(const QListView *list) {
    QList<int> all;
    for (int row = 0; row < count(list); ++row)
        all.append(dataAt(list, row, PrintListModel::LineRole).toInt());
    return all;
}

QRect rectOf(const QListView *list, int row) {
    return list->visualRect(list->model()->index(row, 0));
}

void doubleClick(QListView *list, int row) {
    // As a user double clicks: the first click selects, the second opens.
    const QRect r = rectOf(list, row);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, r.center());
}

int paperPrompts(const QStringList &seen) {
    int count = 0;
    for (const QString &text : seen)
        count += text.startsWith(QStringLiteral("紙を挿入"));
    return count;
}
} // namespace

class TestPrinting : public QObject {
    Q_OBJECT

    std::unique_ptr<DataDir> dir;
    QPointer<frmMain> home;
    QPointer<frmPrintSet> setup;
    TestPrinter *printer = nullptr; // owned by the job while it runs
    int printersOpened = 0;
    bool hasPrinter = true;
    QString pdfFolder; // the next printer writes PDF files there
    int failAt = 0;
    int failAtSheet = 0;
    int drawnAfterFailure = 0;
    std::function<void()> whenFailing;
    int documents = 0;

    void start(const QStringList &lines, int format = 0, int categoryButton = 1) {
        dir = std::make_unique<DataDir>(lines);
        home = new frmMain(testBook());
        home->show();
        const QList<ImageButton *> categories = {home->imgAll, home->imgQQ, home->imgYR};
        click(categories.at(categoryButton));
        const QList<ImageButton *> formats = {home->imgType, home->imgTypeA, home->imgTypeB, home->imgTypeC};
        click(formats.at(format));
        setup = shownWindow<frmPrintSet>();
        QVERIFY(setup);
        QVERIFY(!home->isVisible());
    }

    // Every offered entry in exactly one of the print list and lstAll; lstAll
    // split by mark letter into lstUnPrint and lstPrint.
    void checkInvariant(int offered) {
        QStringList all = texts(setup->lstAll);
        QStringList chosen = texts(setup->lstPrintList);
        QCOMPARE(all.size() + chosen.size(), offered);
        for (const QString &item : chosen)
            QVERIFY(!all.contains(item));
        QStringList split = texts(setup->lstUnPrint) + texts(setup->lstPrint);
        split.sort();
        all.sort();
        QCOMPARE(split, all);
        for (const QString &item : texts(setup->lstPrint))
            QVERIFY(isPrinted(item));
        for (const QString &item : texts(setup->lstUnPrint))
            QVERIFY(!isPrinted(item));
        // A screen reader hears the name and whether it was printed, never the line number.
        for (QListView *list : {setup->lstAll, setup->lstPrintList})
            for (int row = 0; row < count(list); ++row) {
                const QString spoken = dataAt(list, row, Qt::AccessibleTextRole).toString();
                QVERIFY2(!spoken.isEmpty() && !spoken.contains(u'\'') && !spoken.endsWith(u' '), qPrintable(spoken));
                QCOMPARE(spoken.endsWith(QStringLiteral(" 印刷済み")), isPrinted(texts(list).at(row)));
            }
    }

    void selectRow(QListView *list, int row) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rectOf(list, row).center());
    }

private slots:
    void initTestCase() {
        frmPrintMsg::displayMilliseconds = 1;
        PrintJob::setPrinterFactory([this]() -> std::unique_ptr<CardPrinter> {
            ++printersOpened;
            if (!hasPrinter)
                return nullptr;
            auto made = std::make_unique<TestPrinter>();
            made->failAtDocument = failAt;
            made->failAtSheet = failAtSheet;
            made->drawnAfterFailure = &drawnAfterFailure;
            made->whenFailing = whenFailing;
            made->sentOut = &documents;
            made->pdfFolderName = pdfFolder;
            printer = made.get();
            return made;
        });
    }
    void init() {
        sheetOfLastPrinter = CardPrinter::Sheet::Card;
        printersOpened = 0;
        hasPrinter = true;
        failAt = 0;
        failAtSheet = 0;
        drawnAfterFailure = 0;
        whenFailing = nullptr;
        printer = nullptr;
        documents = 0;
        documentsWithoutBusyCursor = 0;
    }
    void cleanup() {
        delete setup;
        delete home;
        dir.reset();
    }

    void markLetters_data() {
        QTest::addColumn<QString>("flag");
        QTest::addColumn<bool>("printed");
        QTest::newRow("T") << "T" << true;
        QTest::newRow("t") << "t" << false;
        QTest::newRow("F") << "F" << false;
        QTest::newRow("empty") << "" << false;
    }
    void markLetters() {
        QFETCH(QString, flag);
        QFETCH(bool, printed);
        start({line(1, flag), "よみ02|名02|||||||1"});
        QCOMPARE(count(setup->lstPrint), printed ? 1 : 0);
        QCOMPARE(count(setup->lstUnPrint), printed ? 1 : 2);
        QCOMPARE(texts(setup->lstAll).first(), QString("名01'1'") + (printed ? "T" : "F"));
        checkInvariant(2);
    }

    void loadingState() {
        start({line(1), line(2, "T")}, 2);
        QVERIFY(setup->lstAll->isVisible());
        QVERIFY(!setup->lstUnPrint->isVisible() && !setup->lstPrint->isVisible());
        QVERIFY(!setup->imgAdd->isEnabled() && !setup->imgRemove->isEnabled());
        QVERIFY(setup->imgAddAll->isEnabled());
        QVERIFY(!setup->imgRemoveAll->isEnabled());
        QVERIFY(setup->optInfo->isChecked());
        QVERIFY(setup->settings().withInfo && !setup->settings().withLines);
        QCOMPARE(setup->cboStartInfo->count(), 12);
        QCOMPARE(setup->settings().startLine, 1);
        QVERIFY(setup->preview() && !setup->preview()->isVisible());
    }

    void startLinesPerFormat_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("lines");
        QTest::newRow("0") << 0 << 6;
        QTest::newRow("1") << 1 << 6;
        QTest::newRow("2") << 2 << 12;
        QTest::newRow("3") << 3 << 9;
    }
    void startLinesPerFormat() {
        QFETCH(int, format);
        QFETCH(int, lines);
        start({line(1)}, format);
        QCOMPARE(setup->cboStartInfo->count(), lines);
        QCOMPARE(setup->cboStartInfo->itemText(lines - 1), QString::number(lines));
        setup->cboStartInfo->setCurrentIndex(lines - 1);
        QCOMPARE(setup->settings().startLine, lines);
    }

    void addFromEachFilter_data() {
        QTest::addColumn<int>("filter");
        QTest::newRow("全てのリスト") << 0;
        QTest::newRow("新規登録リスト") << 1;
        QTest::newRow("印刷済みリスト") << 2;
    }
    void addFromEachFilter() {
        QFETCH(int, filter);
        start({line(1), line(2, "T"), line(3), line(4, "T")});
        setup->cboSelect->setCurrentIndex(filter);
        QListView *visible = QList<QListView *>{setup->lstAll, setup->lstUnPrint, setup->lstPrint}.at(filter);
        QVERIFY(visible->isVisible());
        selectRow(visible, 1);
        QVERIFY(setup->imgAdd->isEnabled());
        const QString moved = texts(visible).at(1);
        click(setup->imgAdd);
        QCOMPARE(texts(setup->lstPrintList), QStringList{moved});
        QVERIFY(!setup->imgAdd->isEnabled());
        QVERIFY(setup->imgRemoveAll->isEnabled());
        checkInvariant(4);

        // Removed, it goes to the end of its lists.
        selectRow(setup->lstPrintList, 0);
        QVERIFY(setup->imgRemove->isEnabled());
        click(setup->imgRemove);
        QCOMPARE(texts(setup->lstAll).last(), moved);
        QCOMPARE(texts(isPrinted(moved) ? setup->lstPrint : setup->lstUnPrint).last(), moved);
        QVERIFY(!setup->imgRemove->isEnabled() && !setup->imgRemoveAll->isEnabled());
        QVERIFY(setup->imgAddAll->isEnabled());
        checkInvariant(4);
    }

    void addAllUnderEachFilter_data() {
        QTest::addColumn<int>("filter");
        QTest::addColumn<QStringList>("chosen");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("全てのリスト") << 0 << QStringList{"名01", "名02", "名03", "名04"} << QStringList{};
        QTest::newRow("新規登録リスト") << 1 << QStringList{"名01", "名03"} << QStringList{"名02", "名04"};
        QTest::newRow("印刷済みリスト") << 2 << QStringList{"名02", "名04"} << QStringList{"名01", "名03"};
    }
    void addAllUnderEachFilter() {
        QFETCH(int, filter);
        QFETCH(QStringList, chosen);
        QFETCH(QStringList, left);
        start({line(1), line(2, "T"), line(3), line(4, "T")});
        setup->cboSelect->setCurrentIndex(filter);
        click(setup->imgAddAll);
        QCOMPARE(names(setup->lstPrintList), chosen);
        QCOMPARE(names(setup->lstAll), left);
        QVERIFY(!setup->imgAddAll->isEnabled());
        QVERIFY(setup->imgRemoveAll->isEnabled());
        checkInvariant(4);
        // Another filter with a non-empty list enables it again; the print list stays.
        setup->cboSelect->setCurrentIndex(0);
        QCOMPARE(setup->imgAddAll->isEnabled(), !left.isEmpty());
        QCOMPARE(names(setup->lstPrintList), chosen);
    }

    void removeAllWithPrintedFilterVisible() {
        start({line(1), line(2, "T"), line(3)});
        click(setup->imgAddAll);
        setup->cboSelect->setCurrentIndex(2);
        click(setup->imgRemoveAll);
        QCOMPARE(names(setup->lstUnPrint), (QStringList{"名01", "名03"}));
        QCOMPARE(names(setup->lstPrint), QStringList{"名02"});
        QCOMPARE(names(setup->lstAll), (QStringList{"名01", "名02", "名03"}));
        QCOMPARE(count(setup->lstPrintList), 0);
        QVERIFY(setup->imgAddAll->isEnabled());
        checkInvariant(3);
    }

    void doubleClicksMoveWhateverTheButtons() {
        start({line(1), line(2), line(3)});
        QVERIFY(!setup->imgAdd->isEnabled());
        doubleClick(setup->lstAll, 2);
        QCOMPARE(names(setup->lstPrintList), QStringList{"名03"});
        checkInvariant(3);
        setup->imgRemove->setEnabled(false);
        setup->imgAddAll->setEnabled(false);
        doubleClick(setup->lstPrintList, 0);
        QCOMPARE(count(setup->lstPrintList), 0);
        QVERIFY(setup->imgAddAll->isEnabled());
        QCOMPARE(names(setup->lstAll), (QStringList{"名01", "名02", "名03"}));
        checkInvariant(3);
    }

    void optionsAndSetDisable() {
        start({line(1)});
        click(setup->imgAddAll);
        click(setup->optLine);
        QVERIFY(setup->settings().withLines && !setup->settings().withInfo);
        for (QWidget *w : std::initializer_list<QWidget *>{setup->fraPrintList, setup->cboStartInfo, setup->cboSelect,
                                                           setup->fraStartInfo, setup->lstAll, setup->lstPrintList})
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        for (QListView *list : {setup->lstAll, setup->lstUnPrint, setup->lstPrint, setup->lstPrintList})
            QCOMPARE(list->palette().color(QPalette::Base), QColor(224, 224, 224));
        QVERIFY(!setup->imgRemoveAll->isEnabledTo(setup)); // inside the disabled frame
        click(setup->optLineInfo);
        QVERIFY(setup->settings().withLines && setup->settings().withInfo);
        QVERIFY(setup->fraPrintList->isEnabled() && setup->cboStartInfo->isEnabled());
        QCOMPARE(setup->lstAll->palette().color(QPalette::Base), QColor(255, 255, 255));
        QCOMPARE(count(setup->lstPrintList), 1); // the mode never changes the lists
        click(setup->optInfo);
        QVERIFY(!setup->settings().withLines && setup->settings().withInfo);
        setup->SetDisable("other");
        QVERIFY(setup->fraPrintList->isEnabled());
    }

    // A job asks its prompter for each card; what reached the printer is recorded.
    void jobAsksItsPrompter_data() {
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<int>("failing"); // the document the printer fails, 0: none
        QTest::addColumn<int>("cards");
        QTest::addColumn<int>("told");
        QTest::newRow("cancelled at once") << QList<bool>{false} << 0 << 0 << 0;
        QTest::newRow("both cards") << QList<bool>{true, true} << 0 << 2 << 0;
        QTest::newRow("cancelled before the second") << QList<bool>{true, false} << 0 << 1 << 0;
        QTest::newRow("the printer fails on the second") << QList<bool>{true, true} << 2 << 1 << 1;
    }
    void jobAsksItsPrompter() {
        QFETCH(QList<bool>, answers);
        QFETCH(int, failing);
        QFETCH(int, cards);
        QFETCH(int, told);
        const int perCard = cardlayout::LinesPerCard(0);
        QStringList book;
        for (int i = 1; i <= perCard + 2; ++i)
            book.append(line(i));
        start(book);
        failAt = failing;
        ScriptedPrompter prompter;
        prompter.paperAnswers = answers;
        PrintJob job(testBook(), lines(setup->lstAll), {}, setup->settings(), &prompter);
        job.run();
        const int printed = qMin(cards * perCard, int(book.size()));
        QCOMPARE(documents, cards);
        QCOMPARE(job.printedLines().size(), printed);
        QCOMPARE(prompter.told.size(), told);
        QCOMPARE(prompter.notices, cards); // a notice for each card the printer took
        QCOMPARE(dir->entryBytes().count("|T\r\n"), printed);
    }

    // Postcards: a stack at a time (one prompt, one document of a page each),
    // the entries lacking a code or an address named first, the printed marks
    // never touched, and 出 noted for the New Year of each postcard the
    // printer took, only those.
    void postcardJob_data() {
        QTest::addColumn<bool>("leaveOut");
        QTest::addColumn<int>("stackSize");
        QTest::addColumn<QList<bool>>("papers");
        QTest::addColumn<QList<int>>("stacks"); // the counts asked for
        QTest::addColumn<int>("jobs");
        QTest::addColumn<QList<bool>>("sent"); // each line's 出 for 2027
        QTest::newRow("lacking ones left out")
            << true << 20 << QList<bool>{true} << QList<int>{1} << 1 << QList<bool>{true, false, false};
        QTest::newRow("three in stacks of two")
            << false << 2 << QList<bool>{true, true} << QList<int>{2, 1} << 2 << QList<bool>{true, true, true};
        // The list goes by reading: さとう and すずき make the first stack.
        QTest::newRow("the second stack cancelled")
            << false << 2 << QList<bool>{true, false} << QList<int>{2, 1} << 1 << QList<bool>{false, true, true};
        QTest::newRow("cancelled at the first")
            << false << 20 << QList<bool>{false} << QList<int>{3} << 0 << QList<bool>{false, false, false};
    }
    // The paper runs out as the second sheet of a stack begins: nothing more
    // is drawn, the user is told, and no entry counts as printed.
    void stackStopsWhenThePrinterFails_data() {
        QTest::addColumn<addressmedium::Kind>("kind");
        QTest::addColumn<int>("entries");
        QTest::newRow("long envelopes") << addressmedium::Kind::LongEnvelope << 3;
        QTest::newRow("12 labels a sheet") << addressmedium::Kind::Labels12 << 30;
    }
    void stackStopsWhenThePrinterFails() {
        QFETCH(addressmedium::Kind, kind);
        QFETCH(int, entries);
        QStringList book;
        for (int i = 0; i < entries; ++i)
            book.append(QStringLiteral("やまだ|山田　太郎%1|100-0001|東京都千代田区千代田1-%1|||||1|F").arg(i + 1));
        start(book);
        ScriptedPrompter prompter;
        prompter.paperAnswers = {true, true, true};
        postcardsettings::Setup postcards;
        postcards.options.stackSize = 20;
        failAtSheet = 2;
        PrintJob job(testBook(), lines(setup->lstAll), {}, kind, postcards, &prompter);
        job.run();
        QCOMPARE(drawnAfterFailure, 0);
        QCOMPARE(prompter.told.size(), 1);
        QVERIFY(prompter.told.first().contains("プリンターの用紙がありません。"));
        QCOMPARE(job.printedLines().size(), 0);
    }

    void postcardJob() {
        QFETCH(bool, leaveOut);
        QFETCH(int, stackSize);
        QFETCH(QList<bool>, papers);
        QFETCH(QList<int>, stacks);
        QFETCH(int, jobs);
        QFETCH(QList<bool>, sent);
        start({"やまだ|山田　太郎|100-0001|東京都千代田区千代田1-1|||||1|F", "すずき|鈴木　花子|||||||1|F",
               "さとう|佐藤　次郎|150-0002||||||1|T"});
        const QByteArray before = dir->entryBytes();
        // The record of what was sent lives in the side file: the book itself is not even rewritten.
        const auto inode = [&] {
            struct stat st {};
            ::stat(QFile::encodeName(dir->entryPath()).constData(), &st);
            return st.st_ino;
        };
        const auto bookInode = inode();
        ScriptedPrompter prompter;
        prompter.paperAnswers = papers;
        prompter.answer = leaveOut;
        postcardsettings::Setup postcards;
        postcards.options.stackSize = stackSize;
        PrintJob job(testBook(), lines(setup->lstAll), {}, addressmedium::Kind::Postcard, postcards, &prompter);
        pagesBegun = 0;
        // In December the cards are for next year's New Year; on 3 January, for this one's.
        QCOMPARE(newyearchoice::defaultYear(QDate(2026, 12, 8)), 2027);
        QCOMPARE(newyearchoice::defaultYear(QDate(2027, 1, 3)), 2027);
        job.setNewYear(2027);
        QCOMPARE(job.run(), jobs ? PrintJob::Outcome::Printed : PrintJob::Outcome::Cancelled);
        QCOMPARE(prompter.told, QStringList());
        QCOMPARE(prompter.stacks, stacks);
        QCOMPARE(documents, jobs);
        QCOMPARE(prompter.notices, jobs); // one notice a stack, no wait between sheets
        QCOMPARE(job.printedLines().size(), sent.count(true));
        QCOMPARE(pagesBegun,
                 job.printedLines().size() - jobs); // each further postcard of a stack a page of its document
        QList<bool> marked(sent.size(), false);
        const std::vector<people::Record> records = testBook().records();
        for (size_t i = 0; i < records.size(); ++i) {
            const QList<people::NewYear> years = records[i].data().years;
            marked[static_cast<qsizetype>(i)] = years.size() == 1 && years.first() == people::NewYear{2027, true};
            QVERIFY(years.size() <= 1);
        }
        QCOMPARE(marked, sent);
        QCOMPARE(sheetOfLastPrinter, CardPrinter::Sheet::Postcard);
        QVERIFY(prompter.papersOf.isEmpty()); // no card prompts
        QCOMPARE(prompter.asked.size(), 1);
        QVERIFY(prompter.asked.first().contains("鈴木　花子（郵便番号と住所なし）"));
        QVERIFY(prompter.asked.first().contains("佐藤　次郎（住所なし）"));
        QVERIFY(!prompter.asked.first().contains("山田"));
        QCOMPARE(dir->entryBytes(), before);
        QCOMPARE(inode(), bookInode);
    }

    // Sheets of a run: one address a sheet, or labels filling a sheet from
    // the first free label of a partly used one.
    void sheetsOfARun_data() {
        using K = addressmedium::Kind;
        QTest::addColumn<int>("recipients");
        QTest::addColumn<K>("kind");
        QTest::addColumn<int>("firstLabel");
        QTest::addColumn<QList<int>>("sheetSizes");
        QTest::newRow("postcards") << 3 << K::Postcard << 1 << QList<int>{1, 1, 1};
        QTest::newRow("labels, a full sheet and more") << 30 << K::Labels24 << 1 << QList<int>{24, 6};
        QTest::newRow("labels from the 23rd") << 5 << K::Labels24 << 23 << QList<int>{2, 3};
        QTest::newRow("labels from the last") << 1 << K::Labels12 << 12 << QList<int>{1};
        QTest::newRow("a start beyond the sheet is its last") << 2 << K::Labels12 << 40 << QList<int>{1, 1};
    }
    void sheetsOfARun() {
        QFETCH(int, recipients);
        QFETCH(addressmedium::Kind, kind);
        QFETCH(int, firstLabel);
        QFETCH(QList<int>, sheetSizes);
        QList<int> sizes;
        qsizetype next = 0;
        for (const QList<qsizetype> &sheet : addressmedium::sheetsOf(recipients, kind, firstLabel)) {
            sizes.append(int(sheet.size()));
            for (const qsizetype i : sheet)
                QCOMPARE(i, next++); // every recipient once, in order
        }
        QCOMPARE(sizes, sheetSizes);
        QCOMPARE(addressmedium::labelCell(kind, firstLabel, 0, 0),
                 addressmedium::labelsPerSheet(kind) ? std::min(firstLabel, addressmedium::labelsPerSheet(kind)) - 1
                                                     : 0);
    }

    // The postcard choices of the filter, on a book whose people sent and
    // received cards: each choice lists whom it should, for the year chosen.
    void postcardFilters_data() {
        QTest::addColumn<int>("filter");
        QTest::addColumn<int>("year");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("all but 喪中") << 0 << 2027 << QStringList{"名01", "名02", "名03", "名04", "名06"};
        QTest::newRow("replies due") << 1 << 2027 << QStringList{"名03"};
        QTest::newRow("no reply") << 2 << 2027 << QStringList{"名04"};
        QTest::newRow("not yet sent") << 3 << 2027 << QStringList{"名01", "名03", "名06"};
        QTest::newRow("replies due, another year") << 1 << 2026 << QStringList{"名06"};
    }
    void postcardFilters() {
        QFETCH(int, filter);
        QFETCH(int, year);
        QFETCH(QStringList, listed);
        start({line(1), line(2), line(3), line(4), line(5), line(6)});
        const QList<people::NewYear> marks = {{2027},       {2027, true, true},         {2027, false, true},
                                              {2027, true}, {2027, false, false, true}, {2026, false, true}};
        QStringList elements;
        for (const QString &element : std::as_const(testBook().entries()))
            if (!element.isEmpty() && elements.size() < marks.size())
                elements.append(element);
        for (qsizetype i = 0; i < marks.size(); ++i)
            QVERIFY(
                testBook().changePeopleData(loadedLinesOf(testBook(), {elements.at(i)}), [&](people::PersonData &d) {
                    d.yearRecord(marks.at(i).year) = marks.at(i);
                }));
        click(setup->imgPostcard);
        QCOMPARE(setup->cboSelect->currentIndex(), 3); // all but 喪中 first
        setup->spnNewYear->setValue(year);
        setup->cboSelect->setCurrentIndex(3 + filter);
        QVERIFY(setup->lstPostcard->isVisible());
        QCOMPARE(names(setup->lstPostcard), listed);
        // The marks are said with the name.
        const int both = int(names(setup->lstAll).indexOf("名02"));
        QVERIFY(both >= 0);
        QCOMPARE(dataAt(setup->lstAll, both, Qt::AccessibleTextRole).toString().endsWith("出受"), year == 2027);
        // All of a choice into the print list, and back.
        click(setup->imgAddAll);
        QCOMPARE(count(setup->lstPrintList), listed.size());
        QCOMPARE(count(setup->lstAll), 6 - listed.size());
        click(setup->imgRemoveAll);
        QCOMPARE(count(setup->lstPostcard), listed.size());
        click(setup->imgPostcard);
        QCOMPARE(setup->cboSelect->count(), 3);
    }

    // From the window: はがき宛名 turns the start line off, 印刷 asks for the
    // stack once and prints it as one job, and the lists stay as they were.
    void postcardsFromTheSetUpWindow() {
        start({line(1), line(2)});
        const QByteArray before = dir->entryBytes();
        click(setup->imgAddAll);
        click(setup->imgPostcard);
        QVERIFY(setup->printsPostcards());
        QVERIFY(!setup->fraStartInfo->isEnabled());
        QVERIFY(!setup->fraLineSet->isEnabled());
        BoxAnswerer answerer({false}); // print them without code or address
        click(setup->imgPrintInfo);
        QCOMPARE(documents, 1);
        QCOMPARE(answerer.seen.count(frmMsgBox::stackPrompt(2)), 1);
        QCOMPARE(paperPrompts(answerer.seen), 0);
        QCOMPARE(count(setup->lstPrintList), 2);
        QCOMPARE(dir->entryBytes(), before);
        click(setup->imgPostcard);
        QVERIFY(setup->fraStartInfo->isEnabled());
    }

    // Two senders typed into 差出人, the second made the usual one, are kept
    // in telbora.ini and come back; a person's choice picks one.
    void sendersAreKept() {
        start({line(1)});
        QTimer::singleShot(0, this, [] {
            frmSender *sender = shownWindow<frmSender>();
            QVERIFY(sender);
            sender->txtProfileName->setText("家族");
            sender->txtSenderName->setText("鈴木　一郎");
            sender->txtSenderJoint->setText("花子、翔");
            QTest::keyClicks(sender->txtSenderZip1, "1500002");
            sender->txtSenderAddress->setText("東京都渋谷区渋谷2-21-1, 11F \"A\"");
            click(sender->imgProfileAdd);
            QCOMPARE(sender->txtSenderName->text(), QString());
            sender->txtProfileName->setText("個人");
            sender->txtSenderName->setText("鈴木　花子");
            sender->chkUsualProfile->setChecked(true);
            sender->cboNumerals->setCurrentIndex(0);
            QCOMPARE(sender->spnStackSize->value(), postcard::Options::DefaultStackSize);
            sender->spnStackSize->setValue(5);
            click(sender->imgSenderSave);
        });
        click(setup->imgSender);
        const postcardsettings::Setup kept = postcardsettings::load();
        QCOMPARE(kept.profileNames(), QStringList({"家族", "個人"}));
        const postcard::Sender family = kept.senderFor("家族");
        QCOMPARE(family.name, "鈴木　一郎");
        QCOMPARE(family.joint, QStringList({"花子", "翔"}));
        QCOMPARE(family.postalCode, "150-0002");
        QCOMPARE(family.address, "東京都渋谷区渋谷2-21-1, 11F \"A\"");
        QCOMPARE(kept.senderFor({}).name, "鈴木　花子");
        QCOMPARE(kept.senderFor("消えた差出人").name, "鈴木　花子");
        QCOMPARE(kept.options.numerals, verticaltext::Numerals::Arabic);
        QCOMPARE(kept.options.stackSize, 5);
    }

    // The one sender an earlier copy kept reads as one profile, the usual one.
    void earlierSenderReadsAsOneProfile() {
        start({line(1)});
        QCOMPARE(printeradjustment::changeSettings([](QSettings &settings) {
                     settings.beginGroup("postcard");
                     settings.setValue("sender_name", "鈴木　一郎");
                     settings.setValue("sender_postal_code", "150-0002");
                     settings.setValue("kanji_numerals", false);
                 }),
                 QString());
        const postcardsettings::Setup kept = postcardsettings::load();
        QCOMPARE(kept.profileNames(), QStringList{"差出人"});
        QCOMPARE(kept.senderFor({}).name, "鈴木　一郎");
        QCOMPARE(kept.senderFor({}).postalCode, "150-0002");
        QCOMPARE(kept.options.numerals, verticaltext::Numerals::Arabic);
    }

    void collectKeepsBrowsingOrder() {
        start({line(3), line(1), line(2)});
        // Chosen in reverse: 02, 01, 03 by double clicks.
        doubleClick(setup->lstAll, 1);
        doubleClick(setup->lstAll, 0);
        doubleClick(setup->lstAll, 0);
        QCOMPARE(names(setup->lstPrintList), (QStringList{"名02", "名01", "名03"}));
        PrintJob::CollectPrintEntries(testBook(), setup->chosenLines());
        QCOMPARE(testBook().printTable().size(), 3);
        QStringList order;
        for (const QString &e : std::as_const(testBook().printTable()))
            order.append(mdlDim::GetField(e, "|", 3));
        QCOMPARE(order, (QStringList{"名01", "名02", "名03"}));
    }

    void emptyPrintListInTextMode() {
        start({line(1)});
        BoxAnswerer answerer;
        click(setup->imgPrintInfo);
        click(setup->imgBack);
        QCOMPARE(answerer.seen, (QStringList{"印刷内容を選択して下さい。", "印刷内容を選択して下さい。"}));
        QCOMPARE(printersOpened, 0);
        QVERIFY(setup->isVisible());
        QVERIFY(!setup->preview()->isVisible());
    }

    void printJobCards_data() {
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("startLine");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<int>("prompts");
        QTest::addColumn<int>("cards");
        QTest::addColumn<int>("marked");
        QTest::newRow("six from line 1") << 6 << 1 << QList<bool>{} << 1 << 1 << 6;
        QTest::newRow("seven from line 4") << 7 << 4 << QList<bool>{} << 2 << 2 << 7;
        QTest::newRow("seven, stopped at the second prompt") << 7 << 4 << QList<bool>{true, false} << 2 << 1 << 3;
        QTest::newRow("cancelled at the first prompt") << 6 << 1 << QList<bool>{false} << 1 << 0 << 0;
    }
    void printJobCards() {
        QFETCH(int, entries);
        QFETCH(int, startLine);
        QFETCH(QList<bool>, answers);
        QFETCH(int, prompts);
        QFETCH(int, cards);
        QFETCH(int, marked);
        QStringList lines;
        for (int i = entries; i >= 1; --i) // the file order differs from the reading order
            lines << line(i);
        lines.insert(2, ""); // a blank line keeps its place
        start(lines);
        setup->cboStartInfo->setCurrentIndex(startLine - 1);
        click(setup->imgAddAll);
        BoxAnswerer answerer(answers);
        click(setup->imgPrintInfo);
        QCOMPARE(paperPrompts(answerer.seen), prompts);
        QCOMPARE(answerer.seen.size(), prompts);
        QCOMPARE(printersOpened, 1);
        QCOMPARE(documents, cards);
        // Busy while each card went to the printer, and not after.
        QCOMPARE(documentsWithoutBusyCursor, 0);
        QVERIFY(!QGuiApplication::overrideCursor());
        QStringList expected = lines;
        // Cards take the entries in reading order: よみ01, よみ02, ...
        for (int i = 1; i <= marked; ++i)
            expected.replace(expected.indexOf(line(i)), line(i, "T"));
        QCOMPARE(dir->entryBytes(), DataDir::sjisLines(expected));
        QCOMPARE(count(setup->lstPrint), marked);
        QCOMPARE(count(setup->lstPrintList), cards > 0 ? 0 : entries);
        checkInvariant(entries);
    }

    // PDF files need no paper: nobody is asked to feed any, and the user is
    // told where the files went.
    void pdfFilesNeedNoPaper() {
        start({line(1), line(2), line(3), line(4), line(5), line(6), line(7)});
        click(setup->imgAddAll);
        pdfFolder = QStringLiteral("/tmp/カード");
        BoxAnswerer answerer;
        click(setup->imgPrintInfo);
        pdfFolder.clear();
        QCOMPARE(documents, 2);
        QCOMPARE(answerer.seen, QStringList{"PDF ファイルを 2 つ保存しました。\n/tmp/カード"});
        QCOMPARE(count(setup->lstPrint), 7);
    }

    void alreadyPrintedEntryStaysPrinted() {
        start({line(1), line(2), line(3), line(4, "T"), line(5), line(6), line(7)});
        setup->cboStartInfo->setCurrentIndex(3);
        click(setup->optLineInfo);
        click(setup->imgAddAll);
        BoxAnswerer answerer;
        click(setup->imgPrintInfo);
        QCOMPARE(paperPrompts(answerer.seen), 2);
        QCOMPARE(documents, 2);
        QVERIFY(dir->entryBytes().contains(DataDir::sjis(line(4, "T")))); // already T stays T
        QCOMPARE(count(setup->lstPrint), 7);
    }

    // Every printed entry is recorded with field 10 "T", whatever it held; fields 1 to 9 and any eleventh stay.
    void everyFlagShapeIsRecorded_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("recorded");
        const QString nine = QStringLiteral("よみ01|名01|||||||1|");
        for (const char *flag : {"F", "t", "x", "FF", ""})
            QTest::addRow("flag '%s'", flag) << nine + flag << nine + "T";
        QTest::newRow("eleventh field") << nine + "F|memo" << nine + "T|memo";
        QTest::newRow("no category or flag") << QStringLiteral("よみ01|名01") << QStringLiteral("よみ01|名01||||||||T");
    }
    void everyFlagShapeIsRecorded() {
        QFETCH(QString, stored);
        QFETCH(QString, recorded);
        start({stored}, 0, 0);
        click(setup->imgAddAll);
        BoxAnswerer answerer;
        click(setup->imgPrintInfo);
        QCOMPARE(answerer.seen.size(), 1); // the paper prompt only
        QCOMPARE(dir->entryBytes(), DataDir::sjisLines({recorded}));
        QCOMPARE(names(setup->lstPrint), QStringList{"名01"});
    }

    // Add and Remove act on a selected item only.
    void addAndRemoveNeedASelectedItem() {
        start({line(1), line(2)});
        selectRow(setup->lstAll, 0);
        QVERIFY(setup->imgAdd->isEnabled());
        const QRect first = rectOf(setup->lstAll, 0);
        QTest::mouseClick(setup->lstAll->viewport(), Qt::LeftButton, Qt::ControlModifier, first.center());
        QVERIFY(!setup->lstAll->selectionModel()->hasSelection());
        QVERIFY(!setup->imgAdd->isEnabled());
        setup->lstAll->selectionModel()->setCurrentIndex(setup->lstAll->model()->index(1, 0),
                                                         QItemSelectionModel::NoUpdate);
        click(setup->imgAdd);
        QCOMPARE(count(setup->lstPrintList), 0);

        click(setup->imgAddAll);
        selectRow(setup->lstPrintList, 0);
        QVERIFY(setup->imgRemove->isEnabled());
        const QRect item = rectOf(setup->lstPrintList, 0);
        QTest::mouseClick(setup->lstPrintList->viewport(), Qt::LeftButton, Qt::ControlModifier, item.center());
        QVERIFY(!setup->imgRemove->isEnabled());
        click(setup->imgRemove);
        QCOMPARE(count(setup->lstPrintList), 2);
    }

    // Whenever the filter runs or items move, no item is left looking
    // selected, and 追加 follows what is really selected.
    void filterAndMovesClearTheSelection_data() {
        QTest::addColumn<int>("repro");
        QTest::newRow("the current filter chosen again") << 0;
        QTest::newRow("add all under another filter, then back") << 1;
        QTest::newRow("an item added") << 2;
    }
    void filterAndMovesClearTheSelection() {
        QFETCH(int, repro);
        start({line(1), line(2), line(3, "T")});
        selectRow(setup->lstAll, 0);
        QVERIFY(setup->imgAdd->isEnabled());
        if (repro == 0) {
            emit setup->cboSelect->activated(setup->cboSelect->currentIndex());
        } else if (repro == 1) {
            setup->cboSelect->setCurrentIndex(2);
            click(setup->imgAddAll);
            setup->cboSelect->setCurrentIndex(0);
        } else {
            selectRow(setup->lstAll, 1);
            click(setup->imgAdd);
        }
        for (QListView *list : {setup->lstAll, setup->lstUnPrint, setup->lstPrint, setup->lstPrintList})
            QVERIFY2(!list->selectionModel()->hasSelection(), qPrintable(list->objectName()));
        QVERIFY(!setup->imgAdd->isEnabled());
        QVERIFY(!setup->imgRemove->isEnabled());
    }

    void printerFailureStopsAndKeepsPrintedCards_data() {
        QTest::addColumn<bool>("lineAddedAbove");
        QTest::newRow("the book as it was") << false;
        // The entries that wait are the same people, though every line moved down.
        QTest::newRow("another program added a line above them") << true;
    }
    void printerFailureStopsAndKeepsPrintedCards() {
        QFETCH(bool, lineAddedAbove);
        start({line(1), line(2), line(3), line(4), line(5), line(6), line(7)});
        setup->cboStartInfo->setCurrentIndex(3);
        click(setup->imgAddAll);
        failAt = 2;
        if (lineAddedAbove)
            whenFailing = [this] { dir->writeEntries(DataDir::sjis(line(8)) + "\r\n" + dir->entryBytes()); };
        BoxAnswerer answerer;
        click(setup->imgPrintInfo);
        QCOMPARE(paperPrompts(answerer.seen), 2);
        QVERIFY(answerer.seen.last().contains("プリンターの用紙がありません。"));
        // Card 1 (three entries) reached the printer; card 2 did not, and its
        // entries wait in the print list for another try.
        QCOMPARE(count(setup->lstPrint), 3);
        QCOMPARE(names(setup->lstPrint), (QStringList{"名01", "名02", "名03"}));
        QCOMPARE(names(setup->lstPrintList), (QStringList{"名04", "名05", "名06", "名07"}));
        QVERIFY(setup->imgRemoveAll->isEnabled());
        checkInvariant(lineAddedAbove ? 8 : 7);
    }

    void noPrinterIsToldBeforeThePaperPrompt() {
        start({line(1), line(2)});
        click(setup->imgAddAll);
        hasPrinter = false;
        const QByteArray before = dir->entryBytes();
        BoxAnswerer answerer({false});
        click(setup->imgPrintInfo);
        QCOMPARE(answerer.seen, QStringList{"使えるプリンターがありません。\nプリンターを選びますか？"});
        QCOMPARE(dir->entryBytes(), before);
        QCOMPARE(count(setup->lstPrintList), 2);
    }

    // Tab follows the screen: lists, filter, options, start row, then the
    // buttons left to right (disabled buttons and unchecked options are passed).
    void tabFollowsTheScreen() {
        start({line(1)});
        QVERIFY(QTest::qWaitForWindowActive(setup));
        setup->lstAll->setFocus(Qt::TabFocusReason);
        QStringList visited;
        for (int i = 0; i < 13; ++i) {
            visited.append(QApplication::focusWidget()->objectName());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        // Each stop has a name a screen reader can say (Qt's own parts, such
        // as a spin box's line, are said by their owner).
        for (QWidget *w : setup->findChildren<QWidget *>())
            if (w->focusPolicy() & Qt::TabFocus && !w->objectName().isEmpty() && !qobject_cast<QRadioButton *>(w) &&
                !w->objectName().startsWith("qt_"))
                QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
        QCOMPARE(visited,
                 (QStringList{"lstAll", "imgAddAll", "lstPrintList", "cboSelect",
                              setup->optInfo->isChecked() ? "optInfo" : "optLineInfo", "cboStartInfo", "imgPostcard",
                              "imgSender", "imgAdjust", "imgCancel", "imgBack", "imgPrintInfo", "lstAll"}));
    }

    // Cards go to the printer chosen while it is there, else the default
    // destination, else the only queue.
    void printerChoice_data() {
        QTest::addColumn<QString>("chosenQueue");
        QTest::addColumn<QString>("chosenFolder");
        QTest::addColumn<bool>("folderExists");
        QTest::addColumn<QString>("defaultQueue");
        QTest::addColumn<QStringList>("queues");
        QTest::addColumn<QString>("chosen"); // the choice's name; empty: none
        const QStringList two = {"Office", "Home"};
        QTest::newRow("the chosen queue") << "Home"
                                          << "" << false << "Office" << two << "Home";
        QTest::newRow("a chosen queue that is gone: the default") << "Gone"
                                                                  << "" << false << "Office" << two << "Office";
        QTest::newRow("no default: the only queue") << ""
                                                    << "" << false << "" << QStringList{"Home"} << "Home";
        QTest::newRow("no default, two queues, no choice") << ""
                                                           << "" << false << "" << two << "";
        QTest::newRow("PDF files") << ""
                                   << "/pdf" << true << "Office" << two << "PDF ファイル";
        QTest::newRow("PDF folder gone: the default") << ""
                                                      << "/pdf" << false << "Office" << two << "Office";
    }
    void printerChoice() {
        QFETCH(QString, chosenQueue);
        QFETCH(QString, chosenFolder);
        QFETCH(bool, folderExists);
        QFETCH(QString, defaultQueue);
        QFETCH(QStringList, queues);
        QFETCH(QString, chosen);
        const printerchoice::Choice choice =
            printerchoice::resolve({chosenQueue, chosenFolder}, defaultQueue, queues, folderExists);
        QCOMPARE(choice.name(), chosen);
        QCOMPARE(choice.usable(), !chosen.isEmpty());
    }

    // Without a printer, the message offers the adjustment window, where PDF
    // files in a folder can be chosen; 保存 keeps the choice, キャンセル does not.
    void noPrinterOffersTheChoice_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("kept");
        QTest::newRow("保存") << "imgAdjustSave" << true;
        QTest::newRow("キャンセル") << "imgAdjustCancel" << false;
    }
    void noPrinterOffersTheChoice() {
        QFETCH(QString, button);
        QFETCH(bool, kept);
        start({line(1)});
        click(setup->imgAddAll);
        hasPrinter = false;
        QTemporaryDir pdfs;
        QStringList startedIn; // where the folder chooser opened, one for each time PDF was chosen
        frmAdjust::pickPdfFolder = [&](QWidget *) {
            startedIn.append(printeradjustment::loadChoice().pdfFolder);
            return pdfs.path();
        };
        BoxAnswerer answerer({true});
        QStringList offered;
        QTimer chooser;
        connect(&chooser, &QTimer::timeout, this, [&] {
            auto *adjust = qobject_cast<frmAdjust *>(QApplication::activeModalWidget());
            if (!adjust)
                return;
            chooser.stop();
            for (int i = 0; i < adjust->cboPrinter->count(); ++i)
                offered.append(adjust->cboPrinter->itemText(i));
            const int pdf = adjust->cboPrinter->findText(printerchoice::PdfItem);
            adjust->cboPrinter->setCurrentIndex(pdf);
            emit adjust->cboPrinter->activated(pdf);
            emit adjust->cboPrinter->activated(pdf); // chosen again: the folder is asked again
            click(adjust->findChild<ImageButton *>(button));
        });
        chooser.start(10);
        click(setup->imgPrintInfo);
        frmAdjust::pickPdfFolder = nullptr;
        QCOMPARE(answerer.seen.first(), QStringLiteral("使えるプリンターがありません。\nプリンターを選びますか？"));
        QCOMPARE(offered.last(), printerchoice::PdfItem);
        QCOMPARE(startedIn.size(), 2);
        const printeradjustment::Chosen choice = printeradjustment::loadChoice();
        QCOMPARE(choice.queue, QString());
        QCOMPARE(choice.pdfFolder, kept ? pdfs.path() : QString());
        if (kept)
            QCOMPARE(printerchoice::current().name(), printerchoice::PdfItem);
    }

    // Another program changed the file during the run: the entries still
    // found are marked, the others are named in the message, never skipped.
    void entriesChangedElsewhereAreCountedNotMarked() {
        start({line(1), line(2), line(3)});
        click(setup->imgAddAll);
        dir->writeEntries(DataDir::sjisLines({"", line(1), QString(line(2)).replace("名02", "名二"), line(3)}));
        BoxAnswerer answerer;
        click(setup->imgPrintInfo);
        QVERIFY2(answerer.seen.last().contains("1件の印刷済みを記録できませんでした。"),
                 qPrintable(answerer.seen.last()));
        QVERIFY(answerer.seen.last().contains("ほかのプログラムで変更されました"));
        QCOMPARE(dir->entryBytes(),
                 DataDir::sjisLines({"", line(1, "T"), QString(line(2)).replace("名02", "名二"), line(3, "T")}));
    }

    // The adjustment is kept per printer in telbora.ini; the data files are never touched.
    void adjustmentKeptPerPrinter() {
        start({line(1)});
        const QByteArray entries = dir->entryBytes(), categories = dir->categoryBytes();
        QCOMPARE(printeradjustment::save("TelboraPDF", {2.5, -1.0}), QString());
        QCOMPARE(printeradjustment::save("Office_Laser", {-10.0, 0.3}), QString());
        QCOMPARE(printeradjustment::save("TelboraPDF", {2.4, -1.0}), QString()); // a second save replaces
        QCOMPARE(printeradjustment::load("TelboraPDF"), QPointF(2.4, -1.0));
        QCOMPARE(printeradjustment::load("Office_Laser"), QPointF(-10.0, 0.3));
        QCOMPARE(printeradjustment::load("Unknown"), QPointF());
        // Each sheet its own; a sheet without one moves as the cards do.
        using Sheet = CardPrinter::Sheet;
        QCOMPARE(printeradjustment::load("TelboraPDF", Sheet::Postcard), QPointF(2.4, -1.0));
        QCOMPARE(printeradjustment::save("TelboraPDF", {-0.6, 1.2}, Sheet::Postcard), QString());
        QCOMPARE(printeradjustment::load("TelboraPDF", Sheet::Postcard), QPointF(-0.6, 1.2));
        QCOMPARE(printeradjustment::load("TelboraPDF", Sheet::Card), QPointF(2.4, -1.0));
        QCOMPARE(printeradjustment::load("TelboraPDF", Sheet::LabelSheet), QPointF(2.4, -1.0));
        QVERIFY(!printeradjustment::hasOwn("TelboraPDF", Sheet::LabelSheet));
        QCOMPARE(QFileInfo(printeradjustment::settingsPath()).permissions() & 0x0077, 0);
        QCOMPARE(dir->entryBytes(), entries);
        QCOMPARE(dir->categoryBytes(), categories);
    }

    // 位置調整 per sheet: a sheet whose offsets were changed keeps its own;
    // one only looked at keeps moving as the cards do.
    void adjustmentWindowPerSheet() {
        start({line(1)});
        const QString queue = printerchoice::current().name(); // what the window adjusts
        if (queue.isEmpty())
            QSKIP("no printer queue: the adjustment window has none to adjust");
        QCOMPARE(printeradjustment::save(queue, {1.0, 1.0}), QString());
        QTimer::singleShot(0, this, [] {
            auto *adjust = shownWindow<frmAdjust>();
            QVERIFY(adjust);
            adjust->txtOffsetX->setValue(3.0); // the cards'
            const auto choose = [&](const QString &sheet) {
                const int index = adjust->cboSheet->findText(sheet);
                adjust->cboSheet->setCurrentIndex(index);
                emit adjust->cboSheet->activated(index);
            };
            choose("はがき");
            QCOMPARE(adjust->txtOffsetX->value(), 1.0); // as the cards were: it has none of its own
            choose("封筒 長形3号");
            adjust->txtOffsetY->setValue(-2.5);
            click(adjust->imgAdjustSave);
        });
        click(setup->imgAdjust);
        using Sheet = CardPrinter::Sheet;
        QCOMPARE(printeradjustment::load(queue, Sheet::Card), QPointF(3.0, 1.0));
        QVERIFY(!printeradjustment::hasOwn(queue, Sheet::Postcard));
        QCOMPARE(printeradjustment::load(queue, Sheet::Postcard), QPointF(3.0, 1.0));
        QCOMPARE(printeradjustment::load(queue, Sheet::LongEnvelope), QPointF(1.0, -2.5));
    }

    void damagedSettingsAreIgnored_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("not a number") << QByteArray("[TelboraPDF]\noffset_x_mm=abc\noffset_y_mm=1.0\n");
        QTest::newRow("out of range") << QByteArray("[TelboraPDF]\noffset_x_mm=25\noffset_y_mm=0\n");
        QTest::newRow("out of range below") << QByteArray("[TelboraPDF]\noffset_x_mm=0\noffset_y_mm=-10.1\n");
        QTest::newRow("not a number at all") << QByteArray("[TelboraPDF]\noffset_x_mm=nan\n");
    }
    void damagedSettingsAreIgnored() {
        QFETCH(QByteArray, file);
        start({line(1)});
        QFile settings(printeradjustment::settingsPath());
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write(file);
        settings.close();
        QString warning;
        QCOMPARE(printeradjustment::load("TelboraPDF", CardPrinter::Sheet::Card, &warning), QPointF());
        QVERIFY2(warning.contains("telbora.ini"), qPrintable(warning));
    }

    // A file QSettings cannot read is not carried into the new one.
    void damagedSettingsAreReplacedOnSave() {
        start({line(1)});
        QFile settings(printeradjustment::settingsPath());
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[TelboraPDF\noffset_x_mm=9.9\n");
        settings.close();
        QCOMPARE(printeradjustment::save("TelboraPDF", {1.0, -2.0}), QString());
        QString warning;
        QCOMPARE(printeradjustment::load("TelboraPDF", CardPrinter::Sheet::Card, &warning), QPointF(1.0, -2.0));
        QCOMPARE(warning, QString());
        QVERIFY(!readFileBytes(printeradjustment::settingsPath()).contains("9.9"));
    }

    // Without a default printer the window says so, as printing does, and does not open.
    void markPrintedFailureLeavesFile() {
        start({line(1), line(2)});
        click(setup->imgAddAll);
        const QByteArray before = dir->entryBytes();
        BoxAnswerer answerer;
        {
            ReadOnlyDir readOnly(dir->path());
            click(setup->imgPrintInfo);
        }
        QVERIFY(answerer.seen.last().contains("VexaTel.txt"));
        QCOMPARE(dir->entryBytes(), before);
    }

    void readOnlyBookPrintsWithoutMarks() {
        start({line(1), line(2)});
        testBook().setReadOnlyReason(QStringLiteral("フォルダー「/media/cd」に書き込めません。"));
        const auto writable = qScopeGuard([] { testBook().setReadOnlyReason({}); });
        click(setup->imgAddAll);
        const QByteArray before = dir->entryBytes();
        BoxAnswerer answerer;
        click(setup->imgPrintInfo);
        QCOMPARE(documents, 1);
        QVERIFY2(answerer.seen.last().contains("印刷済みの記録はしていません"), qPrintable(answerer.seen.last()));
        QCOMPARE(dir->entryBytes(), before);
    }

    void linesOnlyPrintsOneCardAndChangesNothing() {
        start({line(1), line(2)});
        click(setup->optLine);
        const QByteArray before = dir->entryBytes();
        BoxAnswerer answerer;
        click(setup->imgPrintInfo);
        QCOMPARE(paperPrompts(answerer.seen), 1);
        QCOMPARE(printersOpened, 1);
        QCOMPARE(documents, 1);
        QCOMPARE(dir->entryBytes(), before);
        QCOMPARE(count(setup->lstAll), 2);
        QCOMPARE(count(setup->lstPrintList), 0);
    }

    void previewPaging_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("startLine");
        QTest::addColumn<int>("cards");
        QTest::addColumn<QList<int>>("perCard");
        QTest::newRow("seven of format 0 from line 4") << 0 << 7 << 4 << 2 << QList<int>{3, 4};
        QTest::newRow("six from line 1") << 0 << 6 << 1 << 1 << QList<int>{6};
        QTest::newRow("twelve of format 2 from line 12") << 2 << 12 << 12 << 2 << QList<int>{1, 11};
    }
    void previewPaging() {
        QFETCH(int, format);
        QFETCH(int, entries);
        QFETCH(int, startLine);
        QFETCH(int, cards);
        QFETCH(QList<int>, perCard);
        QStringList lines;
        for (int i = 1; i <= entries; ++i)
            lines << line(i);
        start(lines, format);
        setup->cboStartInfo->setCurrentIndex(startLine - 1);
        click(setup->imgAddAll);
        click(setup->imgBack);
        frmPrint *preview = setup->preview();
        QVERIFY(preview->isVisible());
        QVERIFY(!setup->isVisible());
        QCOMPARE(preview->CardCount, cards);
        QCOMPARE(preview->lblPage->text(), QString("1/%1カード").arg(cards));
        QCOMPARE(preview->imgDown->isEnabled(), cards > 1);
        QVERIFY(!preview->imgUp->isEnabled());
        RecordingTarget recorder;
        preview->picView->setRecorder(&recorder);
        const auto namesDrawn = [&] {
            QList<int> tops;
            for (const auto &c : recorder.ofKind(RecordingTarget::Kind::Text))
                if (c.text.startsWith("名"))
                    tops.append(c.from.y());
            return tops;
        };
        QList<int> card2Tops;
        for (int card = 2; card <= cards; ++card) {
            recorder.reset();
            click(preview->imgDown);
            QCOMPARE(preview->lblPage->text(), QString("%1/%2カード").arg(card).arg(cards));
            QCOMPARE(namesDrawn().size(), perCard.at(card - 1));
            // A screen reader reads the card's entries field by field: reading, then name.
            const QString spoken = preview->picView->accessibleDescription();
            QCOMPARE(spoken.count(QRegularExpression("ふりがな よみ\\d+\n氏名 名\\d+")), perCard.at(card - 1));
            QVERIFY(preview->imgUp->isEnabled());
            if (card == 2)
                card2Tops = namesDrawn();
        }
        recorder.reset();
        click(preview->imgDown); // past the last card: nothing changes
        QCOMPARE(recorder.calls.size(), 0);
        QCOMPARE(preview->lblPage->text(), QString("%1/%1カード").arg(cards));
        if (cards > 1) {
            for (int card = cards; card > 1; --card) {
                recorder.reset();
                click(preview->imgUp);
            }
            QCOMPARE(preview->lblPage->text(), QString("1/%1カード").arg(cards));
            // Card 1 again: its entries begin at the start line, later cards at line 1.
            const QList<int> tops = namesDrawn();
            QCOMPARE(tops.size(), perCard.first());
            const int pitch = card2Tops.at(1) - card2Tops.at(0);
            QCOMPARE(tops.first() - card2Tops.first(), (startLine - 1) * pitch);
        }
        for (const QString &e : std::as_const(testBook().printTable()))
            QVERIFY(e.endsWith("|F")); // the preview marks nothing
        // A screen reader reads the card shown: its names among its text.
        const QString described =
            QAccessible::queryAccessibleInterface(preview->picView)->text(QAccessible::Description);
        QVERIFY2(described.contains(mdlDim::GetField(testBook().printTable().at(0), QStringLiteral("|"), 3)),
                 qPrintable(described));
        click(preview->imgBack);
        QVERIFY(setup->isVisible());
        preview->picView->setRecorder(nullptr);
    }

    // 戻る brings the set-up window to the front even when it is still shown
    // behind a preview the user clicked to the front.
    void previewBackRaisesTheSetUpWindow() {
        start({line(1)});
        click(setup->imgAddAll);
        click(setup->imgBack);
        setup->show();
        setup->preview()->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), setup->preview());
        click(setup->preview()->imgBack);
        QTRY_COMPARE(QApplication::activeWindow(), setup.data());
    }

    void previewLinesOnly() {
        start({line(1)});
        click(setup->optLine);
        click(setup->imgBack);
        frmPrint *preview = setup->preview();
        QVERIFY(preview->isVisible());
        QCOMPARE(preview->lblPage->text(), QStringLiteral("1/1カード"));
        QVERIFY(!preview->imgUp->isEnabled() && !preview->imgDown->isEnabled());
    }

    void leavePrinting_data() {
        QTest::addColumn<bool>("answer");
        QTest::newRow("はい") << true;
        QTest::newRow("いいえ") << false;
    }
    void leavePrinting() {
        QFETCH(bool, answer);
        start({line(1)});
        BoxAnswerer answerer({answer});
        click(setup->imgCancel);
        QCOMPARE(answerer.seen, QStringList{"印刷をキャンセルしますか？"});
        QTRY_COMPARE(setup.isNull(), answer);
        QCOMPARE(home->isVisible(), answer);
    }
};

TELBORA_TEST(TestPrinting)
#include "tst_printing.moc"
