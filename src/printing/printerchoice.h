#pragma once

#include "printing/printeradjustment.h"

#include <QString>
#include <QStringList>
#include <memory>

class PrinterService;

// Which printer cards go to: the one the user chose in the adjustment window
// while it is still there (a CUPS queue, or PDF files in a folder), else the
// system's default destination, else the only queue there is.
namespace printerchoice {

// The adjustment window's item for PDF files.
inline const QString PdfItem = QStringLiteral("PDF ファイル");

struct Choice {
    QString queue;
    QString pdfFolder; // set when cards go to PDF files
    bool usable() const { return !queue.isEmpty() || !pdfFolder.isEmpty(); }
    // The queue's name, or PdfItem: what the offsets are kept under.
    QString name() const { return queue.isEmpty() && !pdfFolder.isEmpty() ? PdfItem : queue; }
};

// The rule itself, for what the system and telbora.ini say.
Choice resolve(const printeradjustment::Chosen &chosen, const QString &defaultQueue, const QStringList &queues,
               bool chosenFolderExists);

// The system's queues, in its order.
QStringList queues();
Choice current();

// A printer for the choice; PDF files are named by the time they were begun.
std::unique_ptr<PrinterService> open(const Choice &choice);

} // namespace printerchoice
