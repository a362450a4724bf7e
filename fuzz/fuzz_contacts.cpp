// Random bytes as a contacts file (vCard or CSV, any encoding), through the
// readers, the header mapping, the numbers and the readings, into entry
// lines; then those lines exported and imported again. Checks what must
// hold whatever the file holds: every line is one the store can write, and
// an export that names no entry comes back as the same lines.
#include "contacts/exporter.h"
#include "contacts/importer.h"
#include "fuzzcheck.h"
#include "store/categorytable.h"
#include "store/cp932.h"
#include "store/entryrules.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

const QString &scratch() {
    static QTemporaryDir dir;
    static const QString path = dir.path();
    return path;
}

mdlDim::CategoryLines categories() {
    mdlDim::CategoryLines table;
    const char16_t *names[] = {u"親戚", u"友人", u"お店", u"仕事", u"病院", u"趣味"};
    for (int slot = 0; slot < 10; ++slot)
        table[static_cast<size_t>(slot)] =
            QString::number(slot + 1) + u'|' + (slot < 6 ? QString::fromUtf16(names[slot]) : QString());
    return table;
}

// The lines the contacts of the file at `path` become, into an empty book.
QStringList importedLines(const QString &path, bool &read) {
    contactimport::Importer importer(QStringList(), categories(), 1);
    QStringList notes;
    read = !contactimport::forEachContact(
                path, [&](const Contact &c) { importer.add(c); }, notes)
                .failed();
    return importer.result().lines;
}

void checkLine(const QString &line) {
    for (QChar c : line)
        check(!entryrules::isControl(c), "no control character in a line");
    check(cp932::canEncode(line), "every line can be written in code page 932");
    check(line.count(u'|') == 9, "ten fields");
    bool isNumber = false;
    const int category = line.section(u'|', 8, 8).toInt(&isNumber);
    check(isNumber && category >= 1 && category <= 10, "a category from 1 to 10");
    check(line.section(u'|', 9, 9) == QLatin1String("F"), "not printed");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // A file of cards or rows, the way a phone or a spreadsheet writes it.
    const QString input = scratch() + QStringLiteral("/input.vcf");
    writeFile(input, QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    bool read = false;
    const QStringList lines = importedLines(input, read);
    for (const QString &line : lines)
        checkLine(line);
    if (lines.isEmpty())
        return 0;

    // Out and in again: when the export names no entry, every one comes back.
    const contactexport::Exported exported =
        contactexport::exportEntries(lines, categories(), contactexport::Format::VCard, contactexport::Encoding::Utf8);
    check(exported.error.isEmpty(), "imported lines can be exported");
    if (!exported.notices.isEmpty())
        return 0;
    const QString again = scratch() + QStringLiteral("/again.vcf");
    writeFile(again, exported.bytes);
    bool readAgain = false;
    const QStringList back = importedLines(again, readAgain);
    check(readAgain, "the export is read");
    check(back == lines, "an export imported again gives back the same lines");
    return 0;
}
