// telbora-contacts: brings contacts into the phone book from vCard and CSV
// files, and takes them out again, through the same store and rules.
#include "contacts/exporter.h"
#include "contacts/importer.h"
#include "contacts/postalcheck.h"
#include "store/book.h"
#include "store/bookencoding.h"
#include "store/bookfolder.h"
#include "store/entryrecord.h"
#include "store/linefile.h"
#include "store/mdlDim.h"
#include "store/qtjapanese.h"
#include "store/runtimedir.h"
#include "store/singleinstance.h"
#include "sync/syncaccount.h"
#include "sync/syncrun.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <optional>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

// The text as one line of output: control characters (a NUL, a line break
// inside a value) shown as their pictures, so that no line is cut or split.
QByteArray oneLine(const QString &text) {
    QString shown = text;
    for (QChar &c : shown)
        if (c.unicode() < 0x20)
            c = QChar(0x2400 + c.unicode());
    return (shown + u'\n').toUtf8();
}

void say(const QString &text) {
    const QByteArray line = oneLine(text);
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
}

// A notice on standard error, so that an export to standard output stays the export alone.
void notice(const QString &text) {
    const QByteArray line = oneLine(QStringLiteral("telbora-contacts: ") + text);
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
}

int fail(const QString &text) {
    // A message's own line breaks ("\r") become spaces; other controls show as pictures.
    const QByteArray line = oneLine(QStringLiteral("telbora-contacts: ") + QString(text).replace(u'\r', u' '));
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
    return 1;
}

int fail(const Failure &failure) {
    return fail(describe(failure));
}

// The book's entry lines without their line numbers.
QStringList entryLines(const Book &book) {
    QStringList lines;
    for (const QString &element : std::as_const(book.entries()))
        lines.append(element.mid(element.indexOf(u'|') + 1));
    return lines;
}

int categoryOption(const QCommandLineParser &parser, int &category) {
    if (!parser.isSet(QStringLiteral("category")))
        return 0;
    bool isNumber = false;
    category = parser.value(QStringLiteral("category")).toInt(&isNumber);
    if (!isNumber || category < 1 || category > 10)
        return fail(QStringLiteral("--category は 1 から 10 の数で指定して下さい。"));
    return 0;
}

int runImport(Book &book, const QCommandLineParser &parser, const QStringList &files) {
    int category = 1;
    if (int error = categoryOption(parser, category))
        return error;
    const contactimport::BookImport done =
        contactimport::importIntoBook(book, files, category, parser.isSet(QStringLiteral("dry-run")));
    if (!done.error.isEmpty())
        return fail(done.error);
    for (const QString &line : done.report)
        say(line);
    say(done.summary);
    return 0;
}

// Why OUT may not be written: the book's own file, a link, or an existing
// file without --force. Empty when it may.
QString refusalOf(const Book &own, const QString &out, bool force) {
    const QByteArray name = QFile::encodeName(out);
    struct stat target {};
    if (::lstat(name.constData(), &target) != 0)
        return {}; // a new file
    const QString label = QStringLiteral("「%1」").arg(QDir::toNativeSeparators(out));
    for (const QString &file : {own.entryPath(), own.categoryPath()}) {
        struct stat book {};
        if (::stat(QFile::encodeName(file).constData(), &book) == 0 && book.st_dev == target.st_dev &&
            book.st_ino == target.st_ino)
            return label + QStringLiteral("は電話帳のファイルです。書き出し先にはできません。");
    }
    if (S_ISLNK(target.st_mode))
        return label + QStringLiteral("はシンボリックリンクです。書き出しません。");
    if (!S_ISREG(target.st_mode))
        return label + QStringLiteral("は通常のファイルではありません。書き出しません。");
    if (!force)
        return label + QStringLiteral("は既にあります。置き換えるには --force を付けて下さい。");
    return {};
}

int runExport(Book &book, const QCommandLineParser &parser, const QStringList &args) {
    if (args.size() != 1)
        return fail(QStringLiteral("export には書き出し先のファイルを一つ指定して下さい（標準出力なら -）。"));
    int category = 0;
    if (int error = categoryOption(parser, category))
        return error;
    const QString format = parser.value(QStringLiteral("format"));
    const QString encoding = parser.value(QStringLiteral("encoding"));
    if (format != QLatin1String("vcard") && format != QLatin1String("csv"))
        return fail(QStringLiteral("--format は vcard か csv です。"));
    if (encoding != QLatin1String("utf-8") && encoding != QLatin1String("cp932"))
        return fail(QStringLiteral("--encoding は utf-8 か cp932 です。"));
    const QString out = args.first();
    const bool toStdout = out == QLatin1String("-");
    QString error;
    if (!book.load(&error))
        return fail(error);
    if (!toStdout)
        if (const QString refused = refusalOf(book, out, parser.isSet(QStringLiteral("force"))); !refused.isEmpty())
            return fail(refused);
    // Each entry with its identity and what the side file holds for it.
    QString damaged;
    if (const Failure failed = book.attachPeople(&damaged); failed.failed())
        return fail(failed);
    if (!damaged.isEmpty())
        notice(damaged);
    const std::vector<people::Record> records = book.records();
    const QStringList all = entryLines(book);
    if (static_cast<qsizetype>(records.size()) != all.size())
        return fail(EntryWriter::ChangedElsewhere);
    QList<contactexport::Entry> entries;
    for (qsizetype i = 0; i < all.size(); ++i)
        if (category == 0 || fieldOfLine(all.at(i), EntryField::Category).toInt() == category)
            entries.append({all.at(i), records[static_cast<size_t>(i)].uid(), records[static_cast<size_t>(i)].data()});
    const contactexport::Exported exported = contactexport::exportEntries(
        entries, book.categories(),
        format == QLatin1String("csv") ? contactexport::Format::Csv : contactexport::Format::VCard,
        encoding == QLatin1String("cp932") ? contactexport::Encoding::Cp932 : contactexport::Encoding::Utf8);
    for (const QString &notice : exported.notices)
        std::fputs(qPrintable(notice + u'\n'), stderr);
    if (!exported.error.isEmpty())
        return fail(exported.error + QStringLiteral("; nothing was written"));
    if (toStdout) {
        QFile stream;
        if (!stream.open(stdout, QIODevice::WriteOnly) || stream.write(exported.bytes) != exported.bytes.size() ||
            !stream.flush())
            return fail(QStringLiteral("標準出力に書き出せません：%1").arg(stream.errorString()));
        return 0;
    }
    // The export is as private as the book it comes from.
    struct stat entryFile {};
    const mode_t mode =
        ::stat(QFile::encodeName(book.entryPath()).constData(), &entryFile) == 0 ? (entryFile.st_mode & 0777) : 0600;
    if (const QString failed =
            describe(linefile::writeBytes(out, exported.bytes, mode, parser.isSet(QStringLiteral("force"))));
        !failed.isEmpty())
        return fail(failed);
    return 0;
}

// Lists the entries whose postal code and address disagree, or that lack one.
int runCheck(Book &book, const QCommandLineParser &parser) {
    int category = 0;
    if (int error = categoryOption(parser, category))
        return error;
    const postalcodes::Table *table = postalcodes::Table::installed();
    if (!table)
        return fail(postalcodes::Table::installedProblem());
    QString error;
    if (!book.load(&error))
        return fail(error);
    int listed = 0;
    for (const QString &element : std::as_const(book.entries())) {
        const QString line = element.mid(element.indexOf(u'|') + 1);
        if (category != 0 && fieldOfLine(line, EntryField::Category).toInt() != category)
            continue;
        if (const QString problem = postalcheck::problemOf(line, *table); !problem.isEmpty()) {
            say(QStringLiteral("%1 行目 %2：%3")
                    .arg(lineNumberOfElement(element), fieldOfLine(line, EntryField::Name), problem));
            ++listed;
        }
    }
    say(QStringLiteral("%1 件").arg(listed));
    return 0;
}

// The password typed on the terminal, not echoed; empty when there is no terminal.
QString promptPassword(const QString &prompt) {
    if (!::isatty(STDIN_FILENO))
        return {};
    std::fputs(prompt.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    termios before{};
    const bool quiet = ::tcgetattr(STDIN_FILENO, &before) == 0;
    if (quiet) {
        termios silent = before;
        silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &silent);
    }
    char buffer[1024] = {};
    const bool read = std::fgets(buffer, sizeof buffer, stdin) != nullptr;
    if (quiet)
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &before);
    std::fputs("\n", stderr);
    return read ? QString::fromLocal8Bit(buffer).remove(u'\n').remove(u'\r') : QString();
}

// The exit status of a sync that stopped before deleting most of the linked cards.
constexpr int MassDeleteRefused = 4;
// The exit status of a sync that left a change unsent (refused, or raced pass after pass).
constexpr int Unsent = 5;

// Syncs with the address book at URL (or the one telbora.ini names) as --user.
int runSync(Book &book, const QCommandLineParser &parser, const QStringList &args) {
    syncaccount::Saved account = syncaccount::load();
    // The address book's URL, and with --take the names of the entries whose conflicts it settles.
    QStringList urls, names;
    for (const QString &arg : args)
        (arg.contains(QLatin1String("://")) ? urls : names).append(arg);
    if (urls.size() > 1)
        return fail(QStringLiteral("sync にはアドレス帳の URL を一つ指定して下さい。"));
    if (!names.isEmpty() && !parser.isSet(QStringLiteral("take")))
        return fail(QStringLiteral("URL のほかに名前を指定できるのは --take のときだけです：%1").arg(names.join(u' ')));
    if (!urls.isEmpty()) {
        account.url = QUrl(urls.first());
        account.user.clear();
    }
    if (parser.isSet(QStringLiteral("user")))
        account.user = parser.value(QStringLiteral("user"));
    if (!account.isSet())
        return fail(QStringLiteral(
            "アドレス帳の URL と --user を指定して下さい（例：sync https://example.jp/dav/taro/book/ --user taro）。"));
    if (const QString problem = syncaccount::urlProblem(account.url); !problem.isEmpty())
        return fail(problem);
    cardsync::Options options;
    const QString first = parser.value(QStringLiteral("first"));
    if (first == QLatin1String("upload"))
        options.first = cardsync::First::Upload;
    else if (first == QLatin1String("download"))
        options.first = cardsync::First::Download;
    else if (first != QLatin1String("match"))
        return fail(QStringLiteral("--first は upload、download、match のどれかです。"));
    options.firstChosen = parser.isSet(QStringLiteral("first"));
    if (parser.isSet(QStringLiteral("take"))) {
        const QString side = parser.value(QStringLiteral("take"));
        if (side != QLatin1String("pc") && side != QLatin1String("phone"))
            return fail(QStringLiteral("--take は pc か phone です。"));
        options.take = side == QLatin1String("pc") ? cardsync::Side::Pc : cardsync::Side::Phone;
        options.takeNames = names;
    }
    options.dryRun = parser.isSet(QStringLiteral("dry-run"));
    options.allowMassDelete = parser.isSet(QStringLiteral("allow-mass-delete"));
    QString password = qEnvironmentVariable("TELBORA_SYNC_PASSWORD");
    QString noKeyring;
    if (password.isEmpty())
        password = syncaccount::readPassword(account, &noKeyring);
    if (password.isEmpty())
        password = promptPassword(QStringLiteral("%1 のパスワード：").arg(account.user));
    if (password.isEmpty())
        return fail(
            QStringLiteral("パスワードがありません。TELBORA_SYNC_PASSWORD に入れるか、端末から入力して下さい。") +
            noKeyring);
    options.progress = [](const QString &step) { notice(step); };
    const cardsync::Report report = cardsync::run(book, {account.url, account.user, password}, options);
    for (const QString &line : report.lines)
        say(line);
    if (!report.error.isEmpty()) {
        // A sync refused before it did anything says the refusal alone.
        if (report.sent || report.received || report.deleted || !report.lines.isEmpty())
            say(report.summary());
        fail(report.error);
        return report.refusedMassDelete ? MassDeleteRefused : 1;
    }
    if (!options.dryRun)
        if (const QString failed = syncaccount::save(account); !failed.isEmpty())
            notice(failed);
    say(options.dryRun ? QStringLiteral("予定：") + report.summary() : report.summary());
    if (report.unsent > 0)
        return Unsent;
    return report.conflicts.isEmpty() ? 0 : 3;
}

// A book a text editor re-saved as UTF-8 is converted back only when asked
// (--convert); a command that only reads it (export) reads a converted copy
// and leaves the files alone; a mix is refused. 0 when the book can be read.
int checkEncoding(Book &book, bool convert, bool onlyReads) {
    const bookencoding::BookFiles found = bookencoding::checkFiles({book.entryPath(), book.categoryPath()});
    if (found.refused.failed())
        return fail(found.refused);
    const QStringList &utf8Paths = found.utf8Paths;
    const QStringList &utf8Names = found.utf8Names;
    if (utf8Paths.isEmpty())
        return 0;
    if (!convert && onlyReads) {
        QStringList unheld;
        if (const Failure failed = book.readThroughConvertedCopy(&unheld); failed.failed())
            return fail(utf8Explanation(utf8Names) + u' ' + describe(failed));
        notice(utf8Explanation(utf8Names) +
               QStringLiteral(" 元のファイルはそのままにして、Shift_JIS に変換したものから読みます。"));
        for (const QString &character : unheld)
            notice(QStringLiteral("Shift_JIS にない文字は「〓」として読みます：") + character);
        return 0;
    }
    if (!convert)
        return fail(utf8Explanation(utf8Names) +
                    QStringLiteral(" --convert を付けると Shift_JIS に戻します（元のファイルは横に残します）。"));
    if (!book.readOnlyReason().isEmpty())
        return fail(utf8Explanation(utf8Names) + QStringLiteral(" 読み取り専用のため戻せません。") +
                    book.readOnlyReason());
    const QDateTime now = QDateTime::currentDateTime();
    for (const QString &path : utf8Paths) {
        const bookencoding::Conversion done = bookencoding::convertToCp932(path, now);
        if (done.failure.failed())
            return fail(done.failure);
        notice(QStringLiteral("%1 を Shift_JIS に戻しました（元のファイル：%2）")
                   .arg(QFileInfo(path).fileName(), QDir::toNativeSeparators(done.keptAs)));
        for (const bookencoding::Unheld &character : done.unheld)
            notice(QStringLiteral("Shift_JIS にない文字を「〓」にしました：") +
                   unheldCharacter(QFileInfo(path).fileName(), character.line, character.character));
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[]) {
    runtimedir::ensure();
    QCoreApplication app(argc, argv);
    qtjapanese::install(app);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "テルボラの電話帳への連絡先の取り込みと書き出し\n"
        "  import [--dir DIR] [--category N] [--dry-run] [--convert] FILE...\n"
        "      vCard・CSV のファイルの連絡先を電話帳に加えます\n"
        "  export [--dir DIR] [--format vcard|csv] [--encoding utf-8|cp932] [--category N] [--force] [--convert] OUT\n"
        "      電話帳を vCard か CSV で書き出します（OUT が - なら標準出力へ）\n"
        "  check [--dir DIR] [--category N]\n"
        "      郵便番号と住所が合わない項目、どちらかがない項目を示します\n"
        "  sync [--dir DIR] [URL --user NAME] [--first upload|download|match] [--dry-run] [--allow-mass-delete]\n"
        "       [--take pc|phone [氏名...]]\n"
        "      CardDAV のアドレス帳（スマホと同じもの）と双方向に同期します。パスワードは\n"
        "      TELBORA_SYNC_PASSWORD、キーリング、端末からの入力の順に探します\n"
        "終了コード：0 すべて済んだ、1 失敗、3 競合が残った、4 大量の削除を止めた、5 送れなかった変更がある"));
    parser.addOption(qtjapanese::helpOption());
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("import、export、check、sync のどれか"));
    parser.addOptions({
        {QStringLiteral("dir"),
         QStringLiteral("電話帳（VexaTel.txt と VexaType.txt）のフォルダー（なければ TELBORA_DIR、プログラムと同じ"
                        "フォルダー、~/.local/share/telbora の順）"),
         QStringLiteral("DIR")},
        {QStringLiteral("category"),
         QStringLiteral("分類 1〜10（取り込み：分類のない連絡先の分類。書き出し：その分類だけ）"), QStringLiteral("N")},
        {QStringLiteral("dry-run"), QStringLiteral("取り込み・同期：何も書かず、変わる予定の内容を示します")},
        {QStringLiteral("user"), QStringLiteral("同期：サーバーのユーザー名"), QStringLiteral("NAME")},
        {QStringLiteral("take"),
         QStringLiteral("同期：競合をパソコン（pc）かスマホ（phone）の値で決めます。氏名を続ければその人だけ"),
         QStringLiteral("SIDE")},
        {QStringLiteral("allow-mass-delete"),
         QStringLiteral("同期：同期していた連絡先の半分を超える数（またはすべて）をサーバーから削除するのを許します")},
        {QStringLiteral("first"),
         QStringLiteral("初めての同期：upload（空のサーバーへ）、download（空の電話帳へ）、match（両方を突き合わせ）"),
         QStringLiteral("MODE"), QStringLiteral("match")},
        {QStringLiteral("format"), QStringLiteral("vcard か csv"), QStringLiteral("FORMAT"), QStringLiteral("vcard")},
        {QStringLiteral("encoding"), QStringLiteral("CSV の文字コード：utf-8 か cp932"), QStringLiteral("ENCODING"),
         QStringLiteral("utf-8")},
        {QStringLiteral("force"), QStringLiteral("書き出し：すでにある OUT を置き換えます")},
        {QStringLiteral("convert"),
         QStringLiteral("テキストエディターが電話帳を UTF-8 で保存し直していたら、先に Shift_JIS に戻します"
                        "（元のファイルは VexaTel.txt.utf8-日付-時刻 として残します）")},
    });
    parser.process(app);
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    QStringList args = parser.positionalArguments();
    const QString command = args.isEmpty() ? QString() : args.takeFirst();
    if (command != QLatin1String("import") && command != QLatin1String("export") && command != QLatin1String("check") &&
        command != QLatin1String("sync"))
        return fail(QStringLiteral("コマンドは import、export、check、sync のどれかです（--help を参照）"));

    QString dir;
    if (parser.isSet(QStringLiteral("dir"))) {
        if (const Failure problem = bookfolder::folderProblem(parser.value(QStringLiteral("dir"))); problem.failed())
            return fail(problem);
        dir = QFileInfo(parser.value(QStringLiteral("dir"))).canonicalFilePath();
    }
    // An import into an empty folder makes the book there, as the first start
    // does; a dry run tries it on a new book in a scratch folder and makes nothing.
    const bool bringsIn = command == QLatin1String("import") || command == QLatin1String("sync");
    const bool dryRun = bringsIn && parser.isSet(QStringLiteral("dry-run"));
    const bookfolder::Location location = bookfolder::locate(dir);
    const bool newBook = bringsIn && !bookfolder::hasBook(location.dir) &&
                         (location.standard || QDir(location.dir).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot));
    std::optional<QTemporaryDir> scratch;
    if (newBook && dryRun) {
        const QString book = scratch.emplace().filePath(QStringLiteral("book"));
        if (const Failure error = bookfolder::prepareStandard(book); error.failed())
            return fail(error);
        mdlDim::setDataDirectory(book);
        say(QStringLiteral("電話帳はまだありません（試しのため作りません）：%1")
                .arg(QDir::toNativeSeparators(location.dir)));
    } else {
        if (const Failure error = bookfolder::use(dir); error.failed())
            return fail(error);
        if (newBook && !location.standard) {
            if (const Failure error = bookfolder::prepareStandard(location.dir); error.failed())
                return fail(error);
        }
        if (newBook)
            say(QStringLiteral("電話帳を新しく作りました：%1").arg(QDir::toNativeSeparators(location.dir)));
    }
    // The same lock as the phone book's: never while its windows are open, and
    // the phone book does not start while this runs.
    Book book(mdlDim::AppDir());
    switch (book.takeLock(QStringLiteral("telbora-contacts"))) {
    case SingleInstance::State::HeldElsewhere:
        return fail(book.lock().held());
    case SingleInstance::State::Unavailable:
        return fail(book.lock().error());
    case SingleInstance::State::ReadOnly:
    case SingleInstance::State::Acquired:
        break;
    }
    if (const int refused =
            checkEncoding(book, parser.isSet(QStringLiteral("convert")), command == QLatin1String("export")))
        return refused;
    if (command == QLatin1String("check"))
        return runCheck(book, parser);
    if (command == QLatin1String("sync"))
        return runSync(book, parser, args);
    return command == QLatin1String("import") ? runImport(book, parser, args) : runExport(book, parser, args);
}
