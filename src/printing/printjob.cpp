#include "printing/printjob.h"
#include "store/book.h"

#include "printer/printerservice.h"
#include "printing/frmAdjust.h"
#include "printing/frmPrintMsg.h"
#include "printing/newyearchoice.h"
#include "printing/printeradjustment.h"
#include "printing/printerchoice.h"
#include "render/cardlayout.h"
#include "render/labels.h"
#include "render/mdlPrint.h"
#include "render/postcard.h"
#include "store/entryrecord.h"
#include "store/entrywriter.h"
#include "store/mdlDim.h"
#include "store/postalcodes.h"
#include "ui/frmMsgBox.h"

#include <QDir>
#include <QGuiApplication>
#include <QHash>
#include <QSet>

#include <algorithm>

namespace {

// Names shown in the question before the rest are counted.
constexpr int NamedAtMost = 8;

std::function<std::unique_ptr<CardPrinter>()> &factory() {
    static std::function<std::unique_ptr<CardPrinter>()> make = []() -> std::unique_ptr<CardPrinter> {
        const printerchoice::Choice choice = printerchoice::current();
        std::unique_ptr<PrinterService> printer = printerchoice::open(choice);
        if (!printer)
            return nullptr;
        QString warning;
        const printeradjustment::Offsets offsets = printeradjustment::loadAll(choice.name(), &warning);
        printer->setOffsetMm(offsets.value(CardPrinter::Sheet::Card));
        for (const CardPrinter::Sheet sheet : printeradjustment::Sheets)
            printer->setSheetOffsetMm(sheet, offsets.value(sheet));
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

// The busy cursor while a sheet is drawn and handed to the printer; the paper
// prompts between stacks show the ordinary one.
class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
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

PrintJob::PrintJob(Book &book, QList<int> chosenLines, QList<QPixmap> paperPictures, const PrintSettings &settings,
                   PrintPrompter *prompter)
    : book_(book), lines_(std::move(chosenLines)), pictures_(std::move(paperPictures)), settings_(settings),
      newYear_(newyearchoice::defaultYear(QDate::currentDate())),
      ownPrompter_(prompter ? nullptr : std::make_unique<WindowPrompter>()),
      prompter_(prompter ? prompter : ownPrompter_.get()) {}

PrintJob::PrintJob(Book &book, QList<int> chosenLines, QList<QPixmap> paperPictures, addressmedium::Kind kind,
                   postcardsettings::Setup setup, PrintPrompter *prompter)
    : PrintJob(book, std::move(chosenLines), std::move(paperPictures), PrintSettings(), prompter) {
    kind_ = kind;
    setup_ = std::move(setup);
}

PrintJob::~PrintJob() = default;

void PrintJob::CollectPrintEntries(Book &book, const QList<int> &chosenLines) {
    const QSet<int> chosen(chosenLines.cbegin(), chosenLines.cend());
    const mdlDim::ShownEntries &shown = book.entries();
    QStringList &table = book.printTable();
    table.clear();
    for (qsizetype i = 0; i < shown.size(); ++i)
        if (chosen.contains(shown.numberAt(i)))
            table.append(shown.at(i));
}

bool PrintJob::lacksCodeOrAddress(const QString &element) {
    const EntryRecord entry = EntryRecord::ofElement(element);
    return postalcodes::digitsOf(entry[EntryField::PostalCode]).isEmpty() ||
           entry[EntryField::Address].trimmed().isEmpty();
}

QString PrintJob::lackingQuestion(const QStringList &elements) {
    QStringList named;
    int lacking = 0;
    for (const QString &element : elements) {
        const EntryRecord entry = EntryRecord::ofElement(element);
        const QString code = entry[EntryField::PostalCode];
        const bool noCode = postalcodes::digitsOf(code).isEmpty();
        const bool noAddress = entry[EntryField::Address].trimmed().isEmpty();
        if ((!noCode && !noAddress) || ++lacking > NamedAtMost)
            continue;
        const QString what = noCode && noAddress ? QStringLiteral("郵便番号と住所なし")
                             : noAddress         ? QStringLiteral("住所なし")
                             : code.isEmpty()    ? QStringLiteral("郵便番号なし")
                                                 : QStringLiteral("郵便番号「%1」が 7 桁でない").arg(code);
        named.append(QStringLiteral("%1（%2）").arg(entry[EntryField::Name], what));
    }
    if (lacking == 0)
        return {};
    if (lacking > NamedAtMost)
        named.append(QStringLiteral("ほか %1 件").arg(lacking - NamedAtMost));
    return QStringLiteral("郵便番号か住所のない宛先が %1 件あります。\r").arg(lacking) + named.join(u'\r') +
           QStringLiteral("\rこの宛先を外して印刷しますか？\r（いいえ：郵便番号・住所なしで印刷します）");
}

std::unique_ptr<CardPrinter> PrintJob::openPrinter() {
    return factory()();
}

void PrintJob::setPrinterFactory(std::function<std::unique_ptr<CardPrinter>()> make) {
    factory() = std::move(make);
}

CardPrinter::Sheet PrintJob::sheet() const {
    return kind_ ? addressmedium::sheet(*kind_) : CardPrinter::Sheet::Card;
}

std::unique_ptr<CardPrinter> PrintJob::printerReadyToPrint() {
    std::unique_ptr<CardPrinter> printer = openPrinter();
    if (!printer) {
        // Said before the first sheet is asked for, so nobody feeds paper in vain.
        if (prompter_->wantsToChoosePrinter())
            frmAdjust::open(pictures_);
        return nullptr;
    }
    if (const Failure refusing = printer->notAccepting(); refusing.failed()) {
        prompter_->tell(describe(refusing) + QStringLiteral("\r印刷を中止しました。"));
        return nullptr;
    }
    return printer;
}

bool PrintJob::paperReady(const CardPrinter &printer, int count) {
    if (!printer.pdfFolder().isEmpty())
        return true;
    return printsCards() ? prompter_->paperInserted(CardPrinter::Sheet::Card)
                         : prompter_->sheetsInserted(count, addressmedium::paperName(*kind_));
}

void PrintJob::tellWherePdfsWent(const CardPrinter &printer) {
    if (!printer.pdfFolder().isEmpty() && printer.documentsSent() > 0)
        prompter_->tell(QStringLiteral("PDF ファイルを %1 つ保存しました。\r%2")
                            .arg(printer.documentsSent())
                            .arg(QDir::toNativeSeparators(printer.pdfFolder())));
}

PrintJob::Outcome PrintJob::printLinesOnly(CardPrinter &printer) {
    if (!paperReady(printer, 1))
        return Outcome::Cancelled;
    prompter_->cardSent();
    {
        const BusyCursor busy;
        mdlPrint::PrintCardLines(printer, settings_.cardFormat, 10, 0, pictures_);
        printer.endDocument();
    }
    if (printer.failed())
        prompter_->tell(printer.error() + QStringLiteral("\r印刷を中止しました。"));
    else
        tellWherePdfsWent(printer);
    return Outcome::LinesPrinted;
}

QList<QList<qsizetype>> PrintJob::planSheets() const {
    const qsizetype entries = book_.printTable().size();
    if (kind_)
        return addressmedium::sheetsOf(entries, *kind_, firstLabel_);
    QList<QList<qsizetype>> cards;
    const int format = settings_.cardFormat;
    for (int card = 1; cardlayout::firstIndexOfCard(card, settings_.startLine, format) < entries; ++card) {
        QList<qsizetype> onCard;
        const qsizetype next =
            std::min<qsizetype>(entries, cardlayout::firstIndexOfCard(card + 1, settings_.startLine, format));
        for (qsizetype i = cardlayout::firstIndexOfCard(card, settings_.startLine, format); i < next; ++i)
            onCard.append(i);
        cards.append(onCard);
    }
    return cards;
}

void PrintJob::drawSheet(CardPrinter &printer, qsizetype n, const QList<qsizetype> &entries) {
    const QStringList &table = book_.printTable();
    if (printsCards()) {
        const int format = settings_.cardFormat;
        const int card = int(n) + 1;
        if (settings_.withLines)
            mdlPrint::PrintCardLines(printer, format, 10, 0, pictures_);
        mdlPrint::PrintCardInfo(printer, format, 10, 0, table, int(entries.value(0)),
                                cardlayout::firstLineOfCard(card, settings_.startLine));
        return;
    }
    const int perSheet = addressmedium::labelsPerSheet(*kind_);
    const labels::SheetLayout labelLayout = labels::layoutOf(perSheet);
    for (qsizetype k = 0; k < entries.size(); ++k) {
        const qsizetype i = entries.at(k);
        const postcard::Recipient recipient =
            postcard::Recipient::of(EntryRecord::ofElement(table.at(i)), people_.value(i));
        if (perSheet > 0)
            labels::drawLabel(printer, recipient,
                              labels::cellMm(labelLayout, addressmedium::labelCell(*kind_, firstLabel_, n, k)), {});
        else
            postcard::drawAddressSide(printer, recipient, setup_.senderFor(recipient.person.sender), setup_.options, {},
                                      addressmedium::form(*kind_));
    }
}

PrintJob::Outcome PrintJob::run() {
    printed_.clear();
    refused_ = false;
    std::unique_ptr<CardPrinter> printer = printerReadyToPrint();
    if (!printer)
        return Outcome::NoPrinter;
    printer->setSheet(sheet());
    if (printsCards() && !settings_.withInfo)
        return printLinesOnly(*printer);
    CollectPrintEntries(book_, lines_);
    if (kind_) {
        QStringList &recipients = book_.printTable();
        if (const QString question = lackingQuestion(recipients); !question.isEmpty() && prompter_->ask(question))
            recipients.removeIf(&PrintJob::lacksCodeOrAddress);
        if (recipients.isEmpty()) {
            prompter_->tell(QStringLiteral("印刷する宛先がありません。"));
            return Outcome::NothingToPrint;
        }
        people_ = book_.peopleDataOf(loadedLinesOf(book_, recipients));
    }
    const QList<QList<qsizetype>> sheets = planSheets();
    // A card is a stack of one: a prompt before each.
    const qsizetype stack = printsCards() ? 1 : std::max(1, setup_.options.stackSize);
    bool cancelled = false;
    for (qsizetype first = 0; first < sheets.size(); first += stack) {
        const qsizetype count = std::min(stack, sheets.size() - first);
        if (!paperReady(*printer, int(count))) {
            cancelled = first == 0;
            break;
        }
        {
            const BusyCursor busy;
            for (qsizetype s = first; s < first + count && !printer->failed(); ++s) {
                if (s > first)
                    printer->nextPage();
                if (printer->failed()) // a new page the printer refused is not drawn on
                    break;
                drawSheet(*printer, s, sheets.at(s));
            }
            // A card's text ends its document already.
            if (!printsCards())
                printer->endDocument();
        }
        if (printer->failed()) {
            refused_ = true;
            prompter_->tell(printer->error() + QStringLiteral("\r印刷を中止しました。"));
            break;
        }
        for (qsizetype s = first; s < first + count; ++s)
            for (const qsizetype i : sheets.at(s))
                printed_.insert(lineNumberOfElement(book_.printTable().at(i)).toInt());
        prompter_->cardSent();
    }
    record();
    tellWherePdfsWent(*printer);
    return cancelled ? Outcome::Cancelled : Outcome::Printed;
}

QList<mdlDim::LoadedLine> PrintJob::printedAsLoaded() const {
    QList<int> lines(printed_.cbegin(), printed_.cend());
    std::sort(lines.begin(), lines.end());
    return loadedLinesOf(book_, lines);
}

void PrintJob::record() {
    if (printed_.isEmpty())
        return;
    if (printsCards())
        recordPrinted();
    else if (addressmedium::marksSent(*kind_))
        recordSent();
}

void PrintJob::recordPrinted() {
    if (!book_.readOnlyReason().isEmpty()) {
        prompter_->tell(QStringLiteral("電話帳を読み取り専用で開いているため、印刷済みの記録はしていません。\r") +
                        book_.readOnlyReason());
        return;
    }
    const EntryWriter::Result written = book_.markPrinted(printedAsLoaded());
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

void PrintJob::recordSent() {
    if (!book_.readOnlyReason().isEmpty()) {
        prompter_->tell(QStringLiteral("電話帳を読み取り専用で開いているため、年賀状を出した記録はしていません。\r") +
                        book_.readOnlyReason());
        return;
    }
    const EntryWriter::Result written = book_.changePeopleData(
        printedAsLoaded(), [year = newYear_](people::PersonData &data) { data.yearRecord(year).sent = true; });
    if (!written)
        prompter_->tell(written.message + QStringLiteral("\r年賀状を出した記録ができませんでした。"));
    else if (written.vanished > 0)
        prompter_->tell(QStringLiteral("%1件の年賀状を出した記録ができませんでした。\r%2")
                            .arg(written.vanished)
                            .arg(EntryWriter::ChangedElsewhere));
    else if (!written.peopleError.isEmpty())
        prompter_->tell(written.peopleError);
}
