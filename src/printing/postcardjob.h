#pragma once

#include "printing/printjob.h"
#include "render/postcard.h"

#include <QList>
#include <QPixmap>
#include <QStringList>

// One run of postcard printing: the address side of a postcard for each entry
// of the print list, a printer document and a paper prompt per postcard. The
// entries without a postal code or an address are named first, to be left out
// or printed as they are. The printed mark is never touched: it belongs to cards.
class PostcardPrintJob {
public:
    // `paperPictures` serve the printer choice when there is no printer.
    PostcardPrintJob(Book &book, QStringList printListItems, postcard::Sender sender, postcard::Options options,
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

    // The question naming the entries (elements) that lack a postal code or
    // an address; empty when none does.
    static QString lackingQuestion(const QStringList &elements);
    // Whether an entry lacks a postal code or an address.
    static bool lacksCodeOrAddress(const QString &element);

private:
    Book &book_;
    QStringList items_;
    postcard::Sender sender_;
    postcard::Options options_;
    QList<QPixmap> pictures_;
    int sent_ = 0;
    std::unique_ptr<PrintPrompter> ownPrompter_;
    PrintPrompter *prompter_;
};
