#include "printing/printjob.h"
#include "store/book.h"

#include "printing/frmAdjust.h"
#include "printing/frmPrintMsg.h"
#include "printing/printeradjustment.h"
#include "printing/printerchoice.h"
#include "render/cardlayout.h"
#include "render/mdlPrint.h"
#include "render/printerservice.h"
#include "store/entryrecord.h"
#include "store/entrywriter.h"
#include "store/mdlDim.h"
#include "ui/frmMsgBox.h"

#include <QDir>
#include <QGuiApplication>
#include <QHash>
#include <QSet>

namespace {

std::function<std::unique_ptr<CardPrinter>()> &factory() {
    static std::function<std::unique_ptr<CardPrinter>()> make = []() -> std::unique_ptr<CardPrinter> {
        const printerchoice::Choice choice = printerchoice::current();
        std::unique_ptr<PrinterService> printer = printerchoice::open(choice);
        if (!printer)
            return nullptr;
        QString warning;
        printer->setOffsetMm(printeradjustment::load(choice.name(), CardPrinter::Sheet::Card, &warning));
        for (const CardPrinter::Sheet sheet : printeradjustment::Sheets)
            printer->setSheetOffsetMm(sheet, printeradjustment::load(choice.name(), sheet));
        if (!warning.isEmpty())
            qWarning("%s", qPrintable(warning));
        return printer;
    };
    return make;
}

// The windows: the one message box, and the printing notice.
class WindowPrompter : public PrintPrompter {
public:
    bool wantsToChoosePrinter() override {
        return frmMsgBox::ask(QStringLiteral("使えるプリンターがありません。\rプリンターを選びますか？"),
                              MsgButtons::YesNo);
    }
    bool paperInserted(CardPrinter::Sheet) override { return frmMsgBox::askForPaper(); }
    bool sheetsInserted(int count, const QString &paperName) override {
        return frmMsgBox::askForSheets(count, paperName);
    }
    bool ask(const QString &question) override { return frmMsgBox::ask(question, MsgButtons::YesNo); }
    void cardSent() override { frmPrintMsg::showNotice(); }
    void tell(const QString &message) override { frmMsgBox::ask(message, MsgButtons::Yes); }
};

} // namespace

QList<mdlDim::LoadedLine> loadedLinesOf(const Book &book, const QStringList &elements) {
    QList<int> numbers;
    numbers.reserve(elements.size());
    for (const QString &element : elements)
        numbers.append(lineNumberOfElement(element).toInt());
    return loadedLinesOf(book, numbers);
}

QList<mdlDim::LoadedLine> loadedLinesOf(const Book &book, const QList<int> &lineNumbers) {
    const mdlDim::ShownEntries &shown = book.entries();
    QHash<int, qsizetype> indexOfNumber;
    for (qsizetype i = 0; i < shown.size(); ++i)
        indexOfNumber.insert(shown.numberAt(i), i);
    QList<mdlDim::LoadedLine> lines;
    lines.reserve(lineNumbers.size());
    for (const int number : lineNumbers)
        lines.append(shown.loadedLine(indexOfNumber.value(number, -1)));
    return lines;
}

bool sheetReady(PrintPrompter &prompter, const CardPrinter &printer, CardPrinter::Sheet sheet) {
    return !printer.pdfFolder().isEmpty() || prompter.paperInserted(sheet);
}

void tellWherePdfsWent(PrintPrompter &prompter, const CardPrinter &printer) {
    if (!printer.pdfFolder().isEmpty() && printer.documentsSent() > 0)
        prompter.tell(QStringLiteral("PDF ファイルを %1 つ保存しました。\r%2")
                          .arg(printer.documentsSent())
                          .arg(QDir::toNativeSeparators(printer.pdfFolder())));
}

std::unique_ptr<PrintPrompter> makeWindowPrompter() {
    return std::make_unique<WindowPrompter>();
}

BusyCursor::BusyCursor() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

BusyCursor::~BusyCursor() {
    QGuiApplication::restoreOverrideCursor();
}

CardPrintJob::CardPrintJob(Book &book, QList<int> chosenLines, QList<QPixmap> paperPictures,
                           const PrintSettings &settings, PrintPrompter *prompter)
    : book_(book), lines_(std::move(chosenLines)), pictures_(std::move(paperPictures)), settings_(settings),
      ownPrompter_(prompter ? nullptr : std::make_unique<WindowPrompter>()),
      prompter_(prompter ? prompter : ownPrompter_.get()) {}

CardPrintJob::~CardPrintJob() = default;

bool CardPrintJob::nextEntryWaiting() const {
    const int next = progress_.next;
    const QStringList &table = book_.printTable();
    return next >= 0 && next < table.size() && !table.at(next).isEmpty();
}

void CardPrintJob::CollectPrintEntries(Book &book, const QList<int> &chosenLines) {
    const QSet<int> chosen(chosenLines.cbegin(), chosenLines.cend());
    const mdlDim::ShownEntries &shown = book.entries();
    QStringList &table = book.printTable();
    table.clear();
    for (qsizetype i = 0; i < shown.size(); ++i)
        if (chosen.contains(shown.numberAt(i)))
            table.append(shown.at(i));
}

std::unique_ptr<CardPrinter> CardPrintJob::openPrinter() {
    return factory()();
}

void CardPrintJob::setPrinterFactory(std::function<std::unique_ptr<CardPrinter>()> make) {
    factory() = std::move(make);
}

void CardPrintJob::tellPrinterFailure(const CardPrinter &printer) const {
    prompter_->tell(printer.error() + QStringLiteral("\r印刷を中止しました。"));
}

// One card of the text modes. False when it did not reach the printer: its
// entries then stay unrecorded.
bool CardPrintJob::printCard(CardPrinter &printer) {
    const BusyCursor busy;
    const QStringList &table = book_.printTable();
    const int format = settings_.cardFormat;
    const int first = cardlayout::firstIndexOfCard(progress_.card, settings_.startLine, format);
    if (settings_.withLines)
        mdlPrint::PrintCardLines(printer, format, 10, 0, pictures_);
    const int placed = mdlPrint::PrintCardInfo(printer, format, 10, 0, table, first,
                                               cardlayout::firstLineOfCard(progress_.card, settings_.startLine));
    progress_.next = first + placed;
    if (printer.failed())
        return false;
    for (int i = first; i < first + placed; ++i)
        printed_.insert(lineNumberOfElement(table.at(i)).toInt());
    return true;
}

std::unique_ptr<CardPrinter> printerReadyToPrint(PrintPrompter &prompter, const QList<QPixmap> &paperPictures) {
    std::unique_ptr<CardPrinter> printer = CardPrintJob::openPrinter();
    if (!printer) {
        // Said before the first card is asked for, so nobody feeds paper in vain.
        if (prompter.wantsToChoosePrinter())
            frmAdjust::open(paperPictures);
        return nullptr;
    }
    if (const QString refusing = printer->notAccepting(); !refusing.isEmpty()) {
        prompter.tell(refusing + QStringLiteral("\r印刷を中止しました。"));
        return nullptr;
    }
    return printer;
}

CardPrintJob::Outcome CardPrintJob::run() {
    progress_ = {};
    std::unique_ptr<CardPrinter> printer = printerReadyToPrint(*prompter_, pictures_);
    if (!printer)
        return Outcome::NoPrinter;
    if (!sheetReady(*prompter_, *printer, CardPrinter::Sheet::Card))
        return Outcome::Cancelled;
    if (!settings_.withInfo) {
        prompter_->cardSent();
        {
            const BusyCursor busy;
            mdlPrint::PrintCardLines(*printer, settings_.cardFormat, 10, 0, pictures_);
            printer->endDocument();
        }
        if (printer->failed())
            tellPrinterFailure(*printer);
        else
            tellWherePdfsWent(*prompter_, *printer);
        return Outcome::LinesPrinted;
    }
    CollectPrintEntries(book_, lines_);
    while (nextEntryWaiting()) {
        if (!printCard(*printer)) {
            refused_ = true;
            tellPrinterFailure(*printer);
            break;
        }
        ++progress_.card;
        prompter_->cardSent();
        if (!nextEntryWaiting() || !sheetReady(*prompter_, *printer, CardPrinter::Sheet::Card))
            break;
    }
    tellWherePdfsWent(*prompter_, *printer);
    recordPrinted();
    return Outcome::TextPrinted;
}

void CardPrintJob::recordPrinted() const {
    // The print table holds decoded copies of the shown entries; the bytes they were loaded with are the shown
    // entries'.
    QStringList printedElements;
    for (const QString &element : std::as_const(book_.printTable()))
        if (printed_.contains(lineNumberOfElement(element).toInt()))
            printedElements.append(element);
    const QList<mdlDim::LoadedLine> printedLines = loadedLinesOf(book_, printedElements);
    if (printedLines.isEmpty())
        return;
    if (!book_.readOnlyReason().isEmpty()) {
        prompter_->tell(QStringLiteral("電話帳を読み取り専用で開いているため、印刷済みの記録はしていません。\r") +
                        book_.readOnlyReason());
        return;
    }
    const EntryWriter::Result written = book_.markPrinted(printedLines);
    if (!written) {
        prompter_->tell(written.message + QStringLiteral("\r印刷済みの記録ができませんでした。"));
        return;
    }
    QStringList problems;
    if (written.vanished > 0)
        problems.append(QStringLiteral("%1件の印刷済みを記録できませんでした。\r%2")
                            .arg(written.vanished)
                            .arg(EntryWriter::ChangedElsewhere));
    if (written.unmarked > 0)
        problems.append(
            QStringLiteral("%1件の印刷済みを記録できませんでした。\r「VexaTel.txt」の行末を確認して下さい。")
                .arg(written.unmarked));
    if (!problems.isEmpty())
        prompter_->tell(problems.join(u'\r'));
}
