#pragma once

#include "printing/addressmedium.h"
#include "printing/printsettings.h"
#include "render/cardprinter.h"
#include "render/postcardsettings.h"
#include "store/people.h"
#include "store/shownentries.h"

class Book;

#include <QDate>
#include <QList>
#include <QPixmap>
#include <QSet>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

// What a print job asks and tells the user. The windows' own (message boxes
// and the printing notice) unless a caller hands in another.
class PrintPrompter {
public:
    virtual ~PrintPrompter() = default;
    // There is no printer to print on: true when the user wants to choose one.
    virtual bool wantsToChoosePrinter() = 0;
    // The prompt before each card: true when it is in, false for キャンセル.
    virtual bool paperInserted(CardPrinter::Sheet sheet) = 0;
    // The prompt before a stack of `count` postcards, envelopes or label sheets: true when they are in.
    virtual bool sheetsInserted(int count, const QString &paperName) = 0;
    // A question before printing: true for はい.
    virtual bool ask(const QString &question) = 0;
    // The notice while a card or a stack goes to the printer.
    virtual void cardSent() = 0;
    // A failure or a refusal, told and acknowledged.
    virtual void tell(const QString &message) = 0;
};

// The bytes that the entries of the print table (elements) were loaded with.
QList<mdlDim::LoadedLine> loadedLinesOf(const Book &book, const QStringList &elements);
// The same for the entries on these lines (an empty one for a line not shown).
QList<mdlDim::LoadedLine> loadedLinesOf(const Book &book, const QList<int> &lineNumbers);

// One run of printing as the set-up window starts it: cards with the
// entries' text (or the ruled lines alone), or addresses on postcards,
// envelopes or label sheets. The job opens the printer once and asks for
// paper a stack at a time (a card is a stack of one). Each stack goes to the
// printer as one document, with a notice after it. A failure is told and
// ends the run. At the end the job records what the printer took: the
// printed mark for cards, 出 for New Year postcards. The kinds differ only
// where their sheets do: what a sheet holds, how it is drawn, what the paper
// is called, and what is recorded.
class PrintJob {
public:
    // Cards as `settings` say, for the entries on `chosenLines` (as loaded);
    // `paperPictures` are the paper form pictures 1 to 10, which also serve
    // the printer choice when there is no printer. `prompter`: who answers,
    // the windows when null.
    PrintJob(Book &book, QList<int> chosenLines, QList<QPixmap> paperPictures, const PrintSettings &settings,
             PrintPrompter *prompter = nullptr);
    // Addresses on `kind`, labels from label `firstLabel` (1 up) of the first
    // sheet; 出 is noted for `newYear` where the kind is a New Year card.
    PrintJob(Book &book, QList<int> chosenLines, QList<QPixmap> paperPictures, addressmedium::Kind kind,
             postcardsettings::Setup setup, PrintPrompter *prompter = nullptr);
    ~PrintJob();
    void setNewYear(int year) { newYear_ = year; }
    void setFirstLabel(int firstLabel) { firstLabel_ = firstLabel; }

    enum class Outcome {
        NoPrinter,      // none, or one refusing jobs: told before any paper was asked for
        Cancelled,      // the first paper prompt was answered "キャンセル"
        NothingToPrint, // every address was left out
        LinesPrinted,   // the lines-only card; nothing to record
        Printed,        // the run went as far as it could: printedLines() says what the printer took
    };
    Outcome run();
    // The lines of the entries whose card, postcard or label the printer took.
    const QSet<int> &printedLines() const { return printed_; }
    // Whether the printer refused a document and so ended the run.
    bool refused() const { return refused_; }

    // The book's print table gets the entries on these lines in the browsing
    // order (its shown entries'), whatever the order of the print list.
    static void CollectPrintEntries(Book &book, const QList<int> &chosenLines);

    // The question naming the entries (elements) that lack a postal code or
    // an address; empty when none does.
    static QString lackingQuestion(const QStringList &elements);
    // Whether an entry lacks a postal code or an address.
    static bool lacksCodeOrAddress(const QString &element);

    // The printer a job prints on (printerchoice, with the offsets kept for
    // it), or nothing when there is none. Tests hand in their own.
    static std::unique_ptr<CardPrinter> openPrinter();
    static void setPrinterFactory(std::function<std::unique_ptr<CardPrinter>()> factory);

private:
    bool printsCards() const { return !kind_.has_value(); }
    CardPrinter::Sheet sheet() const;
    // The printer when it will take a job; otherwise told why (offering the choice when there is none).
    std::unique_ptr<CardPrinter> printerReadyToPrint();
    Outcome printLinesOnly(CardPrinter &printer);
    // Each sheet's entries, as indexes into the print table.
    QList<QList<qsizetype>> planSheets() const;
    // The prompt for a stack of `count` sheets; none for a printer that writes PDF files.
    bool paperReady(const CardPrinter &printer, int count);
    // Draws the `n`th sheet (from 0) holding `entries`; a card ends its document itself.
    void drawSheet(CardPrinter &printer, qsizetype n, const QList<qsizetype> &entries);
    void tellWherePdfsWent(const CardPrinter &printer);
    // The printed mark for cards, 出 for New Year cards, on the entries printed.
    void record();
    void recordPrinted();
    void recordSent();
    // printed_ as the lines the book loaded, for the record.
    QList<mdlDim::LoadedLine> printedAsLoaded() const;

    Book &book_;
    QList<int> lines_;
    QList<QPixmap> pictures_;
    PrintSettings settings_;                  // cards
    std::optional<addressmedium::Kind> kind_; // addresses, instead of cards
    postcardsettings::Setup setup_;
    QList<people::PersonData> people_; // the addressees' data, entry by entry of the print table
    int firstLabel_ = 1;
    int newYear_;
    QSet<int> printed_;
    bool refused_ = false;
    std::unique_ptr<PrintPrompter> ownPrompter_;
    PrintPrompter *prompter_;
};
