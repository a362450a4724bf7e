#include "printing/printjob.h"

#include "printing/entryitem.h"
#include "printing/frmPrintMsg.h"
#include "printing/frmAdjust.h"
#include "printing/printerchoice.h"
#include "printing/printeradjustment.h"
#include "render/cardlayout.h"
#include "render/mdlPrint.h"
#include "render/printerservice.h"
#include "store/entrywriter.h"
#include "store/mdlDim.h"
#include "ui/frmMsgBox.h"

#include <QGuiApplication>
#include <QHash>
#include <QSet>

using mdlDim::CardFormat;
using mdlDim::CurrentCard;
using mdlDim::PrintIndex;
using mdlDim::PrintTable;

namespace {

std::function<std::unique_ptr<CardPrinter>()> &factory() {
    static std::function<std::unique_ptr<CardPrinter>()> make = []() -> std::unique_ptr<CardPrinter> {
        const printerchoice::Choice choice = printerchoice::current();
        std::unique_ptr<PrinterService> printer = printerchoice::open(choice);
        if (!printer)
            return nullptr;
        QString warning;
        printer->setOffsetMm(printeradjustment::load(choice.name(), &warning));
        if (!warning.isEmpty())
            qWarning("%s", qPrintable(warning));
        return printer;
    };
    return make;
}

// The busy cursor while a card is drawn and handed to the printer; the paper
// prompts between cards show the ordinary one.
class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

bool nextEntryWaiting() {
    return PrintIndex >= 0 && PrintIndex < PrintTable.size() && !PrintTable.at(PrintIndex).isEmpty();
}

} // namespace

CardPrintJob::CardPrintJob(QStringList printListItems, QList<QPixmap> paperPictures, int startLine)
    : items_(std::move(printListItems)), pictures_(std::move(paperPictures)), startLine_(startLine) {}

void CardPrintJob::CollectPrintEntries(const QStringList &printListItems) {
    QSet<QString> chosenLines;
    for (const QString &item : printListItems)
        chosenLines.insert(entryitem::lineNumber(item));
    PrintTable.clear();
    for (const QString &element : std::as_const(mdlDim::EntryTable))
        if (chosenLines.contains(mdlDim::GetField(element, QStringLiteral("|"), 1)))
            PrintTable.append(element);
    mdlDim::EntryCount = static_cast<int>(PrintTable.size());
}

std::unique_ptr<CardPrinter> CardPrintJob::openPrinter() {
    return factory()();
}

void CardPrintJob::setPrinterFactory(std::function<std::unique_ptr<CardPrinter>()> make) {
    factory() = std::move(make);
}

bool CardPrintJob::tellNoPrinter() {
    return frmMsgBox::ask(QStringLiteral("使えるプリンターがありません。\rプリンターを選びますか？"), MsgButtons::YesNo);
}

void CardPrintJob::tellPrinterFailure(const CardPrinter &printer) const {
    frmMsgBox::ask(printer.error() + QStringLiteral("\r印刷を中止しました。"), MsgButtons::Yes);
}

// One card of the text modes. False when it did not reach the printer: its
// entries then keep the marks they had.
bool CardPrintJob::printCard(CardPrinter &printer) {
    const BusyCursor busy;
    const int first = cardlayout::firstIndexOfCard(CurrentCard, mdlDim::StartLine, CardFormat);
    const QStringList before = PrintTable.mid(first, cardlayout::LinesPerCard(CardFormat));
    PrintIndex = first;
    if (mdlDim::WithLines)
        mdlPrint::PrintCardLines(CardFormat, 10, 0, pictures_);
    mdlPrint::PrintCardInfo(CardFormat, 10, 0, mdlDim::StartLine);
    if (!printer.failed()) {
        for (qsizetype i = first; i < first + before.size(); ++i)
            if (mdlDim::GetField(PrintTable.at(i), QStringLiteral("|"), 11) == QLatin1String("T"))
                printed_.insert(mdlDim::GetField(PrintTable.at(i), QStringLiteral("|"), 1));
        return true;
    }
    for (qsizetype i = 0; i < before.size(); ++i)
        PrintTable[first + i] = before.at(i);
    return false;
}

CardPrintJob::Outcome CardPrintJob::run() {
    CurrentCard = 1;
    std::unique_ptr<CardPrinter> printer = openPrinter();
    if (!printer) {
        // Said before the first card is asked for, so nobody feeds paper in vain.
        if (tellNoPrinter())
            frmAdjust::open(pictures_);
        return Outcome::NoPrinter;
    }
    if (const QString refusing = printer->notAccepting(); !refusing.isEmpty()) {
        frmMsgBox::ask(refusing + QStringLiteral("\r印刷を中止しました。"), MsgButtons::Yes);
        return Outcome::NoPrinter;
    }
    if (!frmMsgBox::askForPaper())
        return Outcome::Cancelled;
    mdlDim::StartLine = startLine_;
    const mdlPrint::PrinterInUse inUse(printer.get());

    if (!mdlDim::WithInfo) {
        frmPrintMsg::showNotice();
        {
            const BusyCursor busy;
            mdlPrint::PrintCardLines(CardFormat, 10, 0, pictures_);
            printer->endDocument();
        }
        if (printer->failed())
            tellPrinterFailure(*printer);
        CurrentCard = 1;
        return Outcome::LinesPrinted;
    }
    CollectPrintEntries(items_);
    PrintIndex = 0;
    while (nextEntryWaiting()) {
        if (!printCard(*printer)) {
            refused_ = true;
            tellPrinterFailure(*printer);
            break;
        }
        ++CurrentCard;
        frmPrintMsg::showNotice();
        if (!nextEntryWaiting() || !frmMsgBox::askForPaper())
            break;
    }
    recordPrinted();
    CurrentCard = 1;
    return Outcome::TextPrinted;
}

void CardPrintJob::recordPrinted() const {
    // PrintTable holds decoded copies of EntryTable's entries; the bytes they were loaded with are EntryTable's.
    QHash<int, qsizetype> indexOfNumber;
    for (qsizetype i = 0; i < mdlDim::EntryTable.size(); ++i)
        indexOfNumber.insert(mdlDim::EntryTable.numberAt(i), i);
    QList<mdlDim::LoadedLine> printedLines;
    for (const QString &element : std::as_const(PrintTable))
        if (mdlDim::GetField(element, QStringLiteral("|"), 11) == QLatin1String("T"))
            printedLines.append(mdlDim::EntryTable.loadedLine(
                indexOfNumber.value(mdlDim::GetField(element, QStringLiteral("|"), 1).toInt(), -1)));
    if (printedLines.isEmpty())
        return;
    if (!mdlDim::ReadOnlyReason.isEmpty()) {
        frmMsgBox::ask(QStringLiteral("電話帳を読み取り専用で開いているため、印刷済みの記録はしていません。\r") +
                           mdlDim::ReadOnlyReason,
                       MsgButtons::Yes);
        return;
    }
    const EntryWriter::Result written = EntryWriter::markPrinted(printedLines);
    if (!written) {
        frmMsgBox::ask(written.message + QStringLiteral("\r印刷済みの記録ができませんでした。"), MsgButtons::Yes);
        return;
    }
    QStringList problems;
    if (written.vanished > 0)
        problems.append(QStringLiteral("%1件の印刷済みを記録できませんでした。\r%2")
                            .arg(written.vanished)
                            .arg(EntryWriter::ChangedElsewhere));
    if (written.unmarked > 0)
        problems.append(
            QStringLiteral("%1件の印刷済みを記録できませんでした。\r「VexaTel.txt」の行末を確認してください。")
                .arg(written.unmarked));
    if (!problems.isEmpty())
        frmMsgBox::ask(problems.join(u'\r'), MsgButtons::Yes);
}
