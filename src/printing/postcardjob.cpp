#include "printing/postcardjob.h"

#include "render/labels.h"
#include "store/book.h"
#include "store/entryrecord.h"
#include "store/postalcodes.h"

#include <algorithm>

namespace {
// Names shown in the question before the rest are counted.
constexpr int NamedAtMost = 8;
} // namespace

PostcardPrintJob::PostcardPrintJob(Book &book, QList<int> chosenLines, postcardsettings::Setup setup,
                                   QList<QPixmap> paperPictures, PrintPrompter *prompter)
    : book_(book), lines_(std::move(chosenLines)), setup_(std::move(setup)), pictures_(std::move(paperPictures)),
      ownPrompter_(prompter ? nullptr : makeWindowPrompter()), prompter_(prompter ? prompter : ownPrompter_.get()) {}

PostcardPrintJob::~PostcardPrintJob() = default;

bool PostcardPrintJob::lacksCodeOrAddress(const QString &element) {
    const EntryRecord entry = EntryRecord::ofElement(element);
    return postalcodes::digitsOf(entry[EntryField::PostalCode]).isEmpty() ||
           entry[EntryField::Address].trimmed().isEmpty();
}

QString PostcardPrintJob::lackingQuestion(const QStringList &elements) {
    QStringList named;
    int lacking = 0;
    for (const QString &element : elements) {
        if (!lacksCodeOrAddress(element))
            continue;
        if (++lacking > NamedAtMost)
            continue;
        const EntryRecord entry = EntryRecord::ofElement(element);
        const QString code = entry[EntryField::PostalCode];
        const bool noCode = postalcodes::digitsOf(code).isEmpty();
        const bool noAddress = entry[EntryField::Address].trimmed().isEmpty();
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

int PostcardPrintJob::defaultNewYear(const QDate &today) {
    return today.month() == 12 ? today.year() + 1 : today.year();
}

void PostcardPrintJob::recordSent(const QStringList &printed) const {
    if (printed.isEmpty())
        return;
    if (!book_.readOnlyReason().isEmpty()) {
        prompter_->tell(QStringLiteral("電話帳を読み取り専用で開いているため、年賀状を出した記録はしていません。\r") +
                        book_.readOnlyReason());
        return;
    }
    const EntryWriter::Result written =
        book_.changePeopleData(loadedLinesOf(book_, printed),
                               [year = newYear_](people::PersonData &data) { data.yearRecord(year).sent = true; });
    if (!written)
        prompter_->tell(written.message + QStringLiteral("\r年賀状を出した記録ができませんでした。"));
    else if (written.vanished > 0)
        prompter_->tell(QStringLiteral("%1件の年賀状を出した記録ができませんでした。\r%2")
                            .arg(written.vanished)
                            .arg(EntryWriter::ChangedElsewhere));
    else if (!written.peopleError.isEmpty())
        prompter_->tell(written.peopleError);
}

int PostcardPrintJob::labelCell(addressmedium::Kind kind, int firstLabel, qsizetype sheet, qsizetype k) {
    const int perSheet = addressmedium::labelsPerSheet(kind);
    return int(k) + (sheet == 0 && perSheet > 0 ? std::clamp(firstLabel, 1, perSheet) - 1 : 0);
}

QList<QList<qsizetype>> PostcardPrintJob::sheetsOf(qsizetype recipients, addressmedium::Kind kind, int firstLabel) {
    QList<QList<qsizetype>> sheets;
    const int perSheet = addressmedium::labelsPerSheet(kind);
    qsizetype next = 0;
    // A partly used sheet of labels: its first free label on.
    int cell = labelCell(kind, firstLabel, 0, 0);
    while (next < recipients) {
        QList<qsizetype> sheet;
        for (; next < recipients && (sheet.isEmpty() || cell < perSheet); ++next, ++cell)
            sheet.append(next);
        sheets.append(sheet);
        cell = 0;
    }
    return sheets;
}

PostcardPrintJob::Outcome PostcardPrintJob::run() {
    sent_ = 0;
    std::unique_ptr<CardPrinter> printer = printerReadyToPrint(*prompter_, pictures_);
    if (!printer)
        return Outcome::NoPrinter;
    printer->setSheet(addressmedium::sheet(kind_));
    CardPrintJob::CollectPrintEntries(book_, lines_);
    QStringList recipients = book_.printTable();
    if (const QString question = lackingQuestion(recipients); !question.isEmpty() && prompter_->ask(question))
        recipients.removeIf(&PostcardPrintJob::lacksCodeOrAddress);
    if (recipients.isEmpty()) {
        prompter_->tell(QStringLiteral("印刷する宛先がありません。"));
        return Outcome::NothingToPrint;
    }
    const QList<people::PersonData> people = book_.peopleDataOf(loadedLinesOf(book_, recipients));
    const auto recipientAt = [&](qsizetype i) {
        return postcard::Recipient::of(EntryRecord::ofElement(recipients.at(i)), people.value(i));
    };
    const int perSheet = addressmedium::labelsPerSheet(kind_);
    const labels::SheetLayout labelLayout = labels::layoutOf(perSheet);
    const QList<QList<qsizetype>> sheets = sheetsOf(recipients.size(), kind_, firstLabel_);
    // A stack at a time: one prompt, one job, one notice; no wait between sheets.
    const qsizetype stack = std::max(1, setup_.options.stackSize);
    QStringList printed;
    for (qsizetype first = 0; first < sheets.size(); first += stack) {
        const QList<QList<qsizetype>> stacked = sheets.mid(first, stack);
        if (printer->pdfFolder().isEmpty() &&
            !prompter_->sheetsInserted(static_cast<int>(stacked.size()), addressmedium::paperName(kind_)))
            break;
        QStringList taken;
        {
            const BusyCursor busy;
            for (qsizetype s = 0; s < stacked.size() && !printer->failed(); ++s) {
                if (s > 0)
                    printer->nextPage();
                const QList<qsizetype> &sheet = stacked.at(s);
                for (qsizetype k = 0; k < sheet.size(); ++k) {
                    const postcard::Recipient recipient = recipientAt(sheet.at(k));
                    if (perSheet > 0)
                        labels::drawLabel(*printer, recipient,
                                          labels::cellMm(labelLayout, labelCell(kind_, firstLabel_, first + s, k)), {});
                    else
                        postcard::drawAddressSide(*printer, recipient, setup_.senderFor(recipient.person.sender),
                                                  setup_.options, {}, addressmedium::form(kind_));
                    taken.append(recipients.at(sheet.at(k)));
                }
            }
            printer->endDocument();
        }
        if (printer->failed()) {
            prompter_->tell(printer->error() + QStringLiteral("\r印刷を中止しました。"));
            break;
        }
        sent_ += static_cast<int>(taken.size());
        printed += taken;
        prompter_->cardSent();
    }
    if (addressmedium::marksSent(kind_))
        recordSent(printed);
    tellWherePdfsWent(*prompter_, *printer);
    return sent_ == 0 && !printer->failed() ? Outcome::Cancelled : Outcome::Printed;
}
