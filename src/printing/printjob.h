#pragma once

#include "render/cardprinter.h"

#include <QStringList>
#include <functional>
#include <memory>

namespace printjob {

// PrintTable gets the entries of the print list in the browsing order
// (EntryTable's), whatever the order of the list; EntryCount their number.
void CollectPrintEntries(const QStringList &printListItems);

// The printer a job prints on: the system's default printer, or nothing when
// there is none. Tests hand in their own.
std::unique_ptr<CardPrinter> openPrinter();
void setPrinterFactory(std::function<std::unique_ptr<CardPrinter>()> factory);

} // namespace printjob
