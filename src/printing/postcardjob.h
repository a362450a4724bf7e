#pragma once

#include "printing/addressmedium.h"
#include "printing/printjob.h"
#include "render/postcard.h"
#include "render/postcardsettings.h"

#include <QDate>
#include <QList>
#include <QPixmap>
#include <QStringList>

// One run of address printing: the address side of a postcard or an envelope
// for each entry of the print list, or a label, in stacks: one paper prompt
// and one printer document a stack, with no wait between sheets. The entries
// without a postal code or an address are named first, to be left out or
// printed as they are. Each postcard (or label) the printer took is noted as
// sent (出) in its person's New Year record; the printed mark is never
// touched: it belongs to cards.
class PostcardPrintJob {
public:
    // `paperPictures` serve the printer choice when there is no printer.
    PostcardPrintJob(Book &book, QList<int> chosenLines, postcardsettings::Setup setup, QList<QPixmap> paperPictures,
                     PrintPrompter *prompter = nullptr);
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
    // What is printed on; labels from label `firstLabel` (1 up) of the first sheet,
    // the rest of a partly used sheet.
    void setMedium(addressmedium::Kind kind, int firstLabel = 1) {
        kind_ = kind;
        firstLabel_ = firstLabel;
    }

    // Each sheet's recipients, as indexes into them: one each, or a sheet of
    // labels, the first sheet from label `firstLabel` on.
    static QList<QList<qsizetype>> sheetsOf(qsizetype recipients, addressmedium::Kind kind, int firstLabel);
    // The label cell of the `k`th recipient on sheet `sheet`.
    static int labelCell(addressmedium::Kind kind, int firstLabel, qsizetype sheet, qsizetype k);

    // The question naming the entries (elements) that lack a postal code or
    // an address; empty when none does.
    static QString lackingQuestion(const QStringList &elements);
    // Whether an entry lacks a postal code or an address.
    static bool lacksCodeOrAddress(const QString &element);

private:
    Book &book_;
    QList<int> lines_;
    postcardsettings::Setup setup_;
    QList<QPixmap> pictures_;
    // Notes 出 for `year` in the records of the entries (elements) printed.
    void recordSent(const QStringList &printed) const;

    addressmedium::Kind kind_ = addressmedium::Kind::Postcard;
    int firstLabel_ = 1;
    int sent_ = 0;
    int newYear_ = defaultNewYear(QDate::currentDate());
    std::unique_ptr<PrintPrompter> ownPrompter_;
    PrintPrompter *prompter_;
};
