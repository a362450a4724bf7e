#pragma once

#include "printing/printsettings.h"
#include "render/cardprinter.h"
#include "store/shownentries.h"

class Book;

#include <QList>
#include <QPixmap>
#include <QSet>
#include <QStringList>
#include <functional>
#include <memory>

// What a print job asks and tells the user. The windows' own (message boxes
// and the printing notice) unless a caller hands in another.
class PrintPrompter {
public:
    virtual ~PrintPrompter() = default;
    // There is no printer to print on: true when the user wants to choose one.
    virtual bool wantsToChoosePrinter() = 0;
    // The prompt before each card or postcard: true when it is in, false for キャンセル.
    virtual bool paperInserted(CardPrinter::Sheet sheet) = 0;
    // The prompt before a stack of `count` postcards: true when they are in.
    virtual bool sheetsInserted(int count, const QString &paperName) = 0;
    // A question before printing: true for はい.
    virtual bool ask(const QString &question) = 0;
    // The notice while a card goes to the printer.
    virtual void cardSent() = 0;
    // A failure or a refusal, told and acknowledged.
    virtual void tell(const QString &message) = 0;
};

// Whether the next sheet may be printed: the prompt for paper, but not for a
// printer that writes PDF files.
bool sheetReady(PrintPrompter &prompter, const CardPrinter &printer, CardPrinter::Sheet sheet);
// The bytes that the entries of the print table (elements) were loaded with.
QList<mdlDim::LoadedLine> loadedLinesOf(const Book &book, const QStringList &elements);
// The same for the entries on these lines (an empty one for a line not shown).
QList<mdlDim::LoadedLine> loadedLinesOf(const Book &book, const QList<int> &lineNumbers);
// After a job that wrote PDF files: how many, and the folder they are in.
void tellWherePdfsWent(PrintPrompter &prompter, const CardPrinter &printer);

// The windows' prompter: the one message box, and the printing notice.
std::unique_ptr<PrintPrompter> makeWindowPrompter();

// The job's printer (CardPrintJob::openPrinter) when it will take a job.
// Otherwise says why, before any paper is asked for, offering the printer
// choice (with `paperPictures` for its test sheet) when there is none; null.
std::unique_ptr<CardPrinter> printerReadyToPrint(PrintPrompter &prompter, const QList<QPixmap> &paperPictures);

// The busy cursor while a card is drawn and handed to the printer; the paper
// prompts between cards show the ordinary one.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

// One run of printing as the set-up window starts it: the paper prompts, a
// printer document per card, the notice after each, and the recording of the
// entries whose cards the printer accepted.
class CardPrintJob {
public:
    // `chosenLines`: the lines of the print list's entries in the book as
    // loaded; `paperPictures`: the paper form pictures 1 to 10; `settings`: the format, what is printed and the first
    // card's first line; `prompter`: who answers, the windows when null.
    CardPrintJob(Book &book, QList<int> chosenLines, QList<QPixmap> paperPictures, const PrintSettings &settings,
                 PrintPrompter *prompter = nullptr);
    ~CardPrintJob();

    enum class Outcome {
        NoPrinter,    // none, or one refusing jobs: told before any paper was asked for
        Cancelled,    // the first paper prompt was answered "キャンセル"
        LinesPrinted, // the lines-only card; nothing to record
        TextPrinted,  // cards with entries; the printed ones are recorded
    };
    Outcome run();
    // The lines of the entries whose cards reached the printer.
    const QSet<int> &printedLines() const { return printed_; }
    // Whether the printer refused a card and so ended the run.
    bool refused() const { return refused_; }

    // The book's print table gets the entries on these lines in the browsing
    // order (its shown entries'), whatever the order of the print list.
    static void CollectPrintEntries(Book &book, const QList<int> &chosenLines);

    // The printer a job prints on (printerchoice), or nothing when there is
    // none. Tests hand in their own.
    static std::unique_ptr<CardPrinter> openPrinter();
    static void setPrinterFactory(std::function<std::unique_ptr<CardPrinter>()> factory);

private:
    // Where the run stands: the card it is on and the next entry to write.
    struct Progress {
        int card = 1;
        int next = 0; // in the print table
    };

    bool printCard(CardPrinter &printer);
    bool nextEntryWaiting() const;
    void tellPrinterFailure(const CardPrinter &printer) const;
    void recordPrinted() const;

    Book &book_;
    QList<int> lines_;
    QSet<int> printed_;
    bool refused_ = false;
    QList<QPixmap> pictures_;
    PrintSettings settings_;
    Progress progress_;
    std::unique_ptr<PrintPrompter> ownPrompter_;
    PrintPrompter *prompter_;
};
