#pragma once

#include "printing/postcardsettings.h"
#include "printing/printjob.h"
#include "render/postcard.h"

#include <QDate>
#include <QList>
#include <QPixmap>
#include <QStringList>

// One run of postcard printing: the address side of a postcard for each entry
// of the print list, a printer document and a paper prompt per postcard. The
// entries without a postal code or an address are named first, to be left out
// or printed as they are. Each postcard the printer took is noted as sent (出)
// in its person's New Year record; the printed mark is never touched: it
// belongs to cards.
class PostcardPrintJob {
public:
    // `paperPictures` serve the printer choice when there is no printer.
    PostcardPrintJob(Book &book, QStringList printListItems, postcardsettings::Setup setup,
                     QList<QPixmap> paperPictures, PrintPrompter *prompter = nullptr);
    ~PostcardPrintJob();

    enum class Outcome {
        NoPrinter,      // none, or one refusing jobs: told before any postcard was asked for
        Cancelled,      // the first prompt was answered "キャンセル"
        NothingToPrint, // every entry was left out
        Printed,        // the run went as far as it could: sent() says how many postcards the printer took
    };
    Outcome run();
    int sent() const { return sent_; }

    // The New Year the postcards are for: next year's in December, this year's otherwise.
    static int defaultNewYear(const QDate &today);
    void setNewYear(int year) { newYear_ = year; }

    // The question naming the entries (elements) that lack a postal code or
    // an address; empty when none does.
    static QString lackingQuestion(const QStringList &elements);
    // Whether an entry lacks a postal code or an address.
    static bool lacksCodeOrAddress(const QString &element);

private:
    Book &book_;
    QStringList items_;
    postcardsettings::Setup setup_;
    QList<QPixmap> pictures_;
    // Notes 出 for `year` in the records of the entries (elements) printed.
    void recordSent(const QStringList &printed) const;

    int sent_ = 0;
    int newYear_ = defaultNewYear(QDate::currentDate());
    std::unique_ptr<PrintPrompter> ownPrompter_;
    PrintPrompter *prompter_;
};
