// telbora-contacts: brings contacts into the phone book from vCard and CSV
// files, and takes them out again, through the same store and rules.
#include "contacts/exporter.h"
#include "contacts/importer.h"
#include "store/bookfolder.h"
#include "store/entrywriter.h"
#include "store/mdlDim.h"
#include "store/singleinstance.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

void say(const QString &text) {
    std::fputs(qPrintable(text + u'\n'), stdout);
}

int fail(const QString &text) {
    std::fputs(qPrintable(QStringLiteral("telbora-contacts: ") + QString(text).replace(u'\r', u' ') + u'\n'), stderr);
    return 1;
}

// The book's entry lines without their line numbers.
QStringList entryLines() {
    QStringList lines;
    for (const QString &element : std::as_const(mdlDim::EntryTable))
        lines.append(element.mid(element.indexOf(u'|') + 1));
    return lines;
}

int categoryOption(const QCommandLineParser &parser, int &category) {
    if (!parser.isSet(QStringLiteral("category")))
        return 0;
    bool isNumber = false;
    category = parser.value(QStringLiteral("category")).toInt(&isNumber);
    if (!isNumber || category < 1 || category > 10)
        return fail(QStringLiteral("--category must be a number from 1 to 10"));
    return 0;
}

int runImport(const QCommandLineParser &parser, const QStringList &files) {
    int category = 1;
    if (int error = categoryOption(parser, category))
        return error;
    if (files.isEmpty())
        return fail(QStringLiteral("import needs at least one vCard or CSV file"));
    QString error;
    if (!mdlDim::LoadData(&error))
        return fail(error);
    if (category > 5 && mdlDim::categoryNameOfSlot(category - 1).isEmpty())
        return fail(QStringLiteral("category %1 has no name yet; name it in the phone book first").arg(category));
    QList<Contact> contacts;
    for (const QString &file : files) {
        contacts += contactimport::readFile(file, error);
        if (!error.isEmpty())
            return fail(error);
    }
    const contactimport::Result result =
        contactimport::toEntries(contacts, entryLines(), mdlDim::CategoryTable, category);
    for (const QString &line : result.report)
        say(line);
    if (parser.isSet(QStringLiteral("dry-run"))) {
        for (const QString &line : result.lines)
            say(QStringLiteral("would add: ") + line);
    } else if (!result.lines.isEmpty()) {
        const EntryWriter::Result written = EntryWriter::appendEntries(result.lines);
        if (!written)
            return fail(written.message);
    }
    say(QStringLiteral("%1 imported, %2 skipped, %3 duplicates")
            .arg(result.imported)
            .arg(result.skipped)
            .arg(result.duplicates));
    return 0;
}

int runExport(const QCommandLineParser &parser, const QStringList &args) {
    if (args.size() != 1)
        return fail(QStringLiteral("export needs one OUT file, or - for standard output"));
    int category = 0;
    if (int error = categoryOption(parser, category))
        return error;
    const QString format = parser.value(QStringLiteral("format"));
    const QString encoding = parser.value(QStringLiteral("encoding"));
    if (format != QLatin1String("vcard") && format != QLatin1String("csv"))
        return fail(QStringLiteral("--format is vcard or csv"));
    if (encoding != QLatin1String("utf-8") && encoding != QLatin1String("cp932"))
        return fail(QStringLiteral("--encoding is utf-8 or cp932"));
    QString error;
    if (!mdlDim::LoadData(&error))
        return fail(error);
    QStringList lines;
    for (const QString &line : entryLines())
        if (category == 0 || mdlDim::GetField(line, QStringLiteral("|"), 9).toInt() == category)
            lines.append(line);
    const QByteArray bytes = contactexport::exportEntries(
        lines, mdlDim::CategoryTable,
        format == QLatin1String("csv") ? contactexport::Format::Csv : contactexport::Format::VCard,
        encoding == QLatin1String("cp932") ? contactexport::Encoding::Cp932 : contactexport::Encoding::Utf8);
    QFile out;
    const bool opened = args.first() == QLatin1String("-")
                            ? out.open(stdout, QIODevice::WriteOnly)
                            : (out.setFileName(args.first()), out.open(QIODevice::WriteOnly));
    if (!opened || out.write(bytes) != bytes.size() || !out.flush())
        return fail(QStringLiteral("cannot write %1: %2").arg(args.first(), out.errorString()));
    return 0;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Contacts in and out of the phone book.\n"
                       "  import [--dir DIR] [--category N] [--dry-run] FILE...\n"
                       "  export [--dir DIR] [--format vcard|csv] [--encoding utf-8|cp932] [--category N] OUT"));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("import or export"));
    parser.addOptions({
        {QStringLiteral("dir"), QStringLiteral("The folder of VexaTel.txt and VexaType.txt (default: TELBORA_DIR, else beside the program when the book is there, else ~/.local/share/telbora)."),
         QStringLiteral("DIR")},
        {QStringLiteral("category"),
         QStringLiteral("Category 1 to 10 (import: for contacts naming none; export: only it)."), QStringLiteral("N")},
        {QStringLiteral("dry-run"), QStringLiteral("Write nothing; print what would be done.")},
        {QStringLiteral("format"), QStringLiteral("vcard or csv."), QStringLiteral("FORMAT"), QStringLiteral("vcard")},
        {QStringLiteral("encoding"), QStringLiteral("CSV: utf-8 or cp932."), QStringLiteral("ENCODING"),
         QStringLiteral("utf-8")},
    });
    parser.process(app);
    QStringList args = parser.positionalArguments();
    const QString command = args.isEmpty() ? QString() : args.takeFirst();
    if (command != QLatin1String("import") && command != QLatin1String("export"))
        return fail(QStringLiteral("the command is import or export (see --help)"));

    QString dir;
    if (parser.isSet(QStringLiteral("dir"))) {
        const QFileInfo given(parser.value(QStringLiteral("dir")));
        if (!given.isDir())
            return fail(QStringLiteral("%1 is not a folder").arg(parser.value(QStringLiteral("dir"))));
        dir = given.canonicalFilePath();
    }
    if (const QString error = bookfolder::use(dir); !error.isEmpty())
        return fail(error);
    // The same lock as the phone book's: never while its windows are open, and
    // the phone book does not start while this runs.
    SingleInstance instance(mdlDim::AppDir());
    switch (instance.acquire()) {
    case SingleInstance::State::HeldElsewhere:
        return fail(QStringLiteral("the phone book in %1 is open in telbora; close it first")
                        .arg(QDir::toNativeSeparators(mdlDim::AppDir())));
    case SingleInstance::State::Unavailable:
        return fail(instance.error());
    case SingleInstance::State::Acquired:
        break;
    }
    return command == QLatin1String("import") ? runImport(parser, args) : runExport(parser, args);
}
