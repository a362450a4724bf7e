#include "printing/printerchoice.h"

#include "printer/printerservice.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPrinterInfo>

namespace printerchoice {

Choice resolve(const printeradjustment::Chosen &chosen, const QString &defaultQueue, const QStringList &queues,
               bool chosenFolderExists) {
    if (!chosen.queue.isEmpty() && queues.contains(chosen.queue))
        return {chosen.queue, {}};
    if (chosen.queue.isEmpty() && !chosen.pdfFolder.isEmpty() && chosenFolderExists)
        return {{}, chosen.pdfFolder};
    if (!defaultQueue.isEmpty())
        return {defaultQueue, {}};
    if (queues.size() == 1)
        return {queues.first(), {}};
    return {};
}

QStringList queues() {
    return QPrinterInfo::availablePrinterNames();
}

Choice current() {
    const printeradjustment::Chosen chosen = printeradjustment::loadChoice();
    return resolve(chosen, QPrinterInfo::defaultPrinterName(), queues(),
                   !chosen.pdfFolder.isEmpty() && QFileInfo(chosen.pdfFolder).isDir());
}

std::unique_ptr<PrinterService> open(const Choice &choice) {
    if (!choice.pdfFolder.isEmpty()) {
        const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        return std::make_unique<PrinterService>(
            QDir(choice.pdfFolder).filePath(QStringLiteral("テルボラ-%1-%2.pdf").arg(stamp, QStringLiteral("%1"))));
    }
    if (choice.queue.isEmpty())
        return nullptr;
    return PrinterService::onQueue(choice.queue);
}

} // namespace printerchoice
