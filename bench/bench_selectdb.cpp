// What a click costs, on generated phone books of 1,000, 10,000, 32,766 and
// 100,000 entries whose readings are like real ones: hiragana family and
// given names, some 6 % longer than eight kana and sharing their first eight,
// katakana, Latin, and many equal readings. Each size in a process of its own,
// so that its peak memory is its own. Medians in ms; beside each, the floor
// (floor.cpp) and the ratio to it:
//   warm      全表示 on an unchanged book (SelectDB and the redraw); floor: read and compare
//   cold      the same right after another program changed a reading; floor: read, decode, radix, runs
//   key       one key typed into txtFind, from the key until lblCount shows the count (ヤ, マ, ダ)
//   stored    全表示 right after a store that kept the entry's reading and category
//   key new   the first key after the book changed (the folded copy made anew)
//   key idle  the same after the pause a person makes between click and key,
//             in which the window makes the folded copy
//   store, delete, mark   CPU of the writer, the side file included; floor: the
//             two-fsync rewrite's CPU of the entry file alone
//   people    a start's side file: read and checked against the unchanged book
//   after     the same after another program changed a reading: found again and written
//   start     from the splash's timer to the painted browsing window
//   peak      peak RSS in MB, after all of it (the folded copy included)
// Then 300,000 entries of two readings in alternation against ordinary ones,
// and a store in 100,000 entries whose lines end in CR LF and in CR alone.
// Run: QT_QPA_PLATFORM=offscreen build/bench/bench_selectdb [--size N]
// `--profile N` only repeats SelectDB (for perf record), or with
// PROFILE_FIND=TEXT set, the search for TEXT.
#include "browse/frmLogo.h"
#include "browse/frmMain.h"
#include "common/exchangesort.h"
#include "floor.h"
#include "render/fonts.h"
#include "store/book.h"
#include "store/cp932.h"
#include "store/entrywriter.h"
#include "store/linefile.h"
#include "store/mdlDim.h"
#include "store/search.h"
#include "store/selection.h"
#include "timing.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>
#include <vector>

namespace {

// The book in the data folder, one object for the run as the programs keep one.
Book &theBook() {
    static Book book(mdlDim::AppDir());
    return book;
}

// Readings as people type them: mostly hiragana family and given names, many
// family names alone (equal readings), some 6 % longer than eight kana and
// sharing their first eight, katakana and Latin.
QString reading(QRandomGenerator &random) {
    static const QStringList families = {"さとう",   "すずき",   "たかはし", "たなか", "いとう", "わたなべ", "やまもと",
                                         "なかむら", "こばやし", "かとう",   "よしだ", "やまだ", "ささき",   "やまぐち",
                                         "まつもと", "いのうえ", "きむら",   "はやし", "しみず", "やまざき"};
    static const QStringList givens = {"", "", "", "はなこ", "たろう", "ゆき", "けんじ", "みさき", "あや", "ひろし"};
    static const QStringList longOnes = {"ながしまあやのすけ",           "ながしまあやのすけえもん",
                                         "ながしまあやのじょう",         "やまもとたろうざえもん",
                                         "やまもとたろうざえもんのすけ", "おおくぼひこざえもん"};
    static const QStringList katakana = {"サトウ", "スズキ", "タナカ", "ヤマダ", "キムラ", "ハヤシ", "ヤマダハナコ"};
    static const QStringList latin = {"Smith", "Brown", "Tanaka", "Wilson", "smith", "Lee"};
    const int kind = random.bounded(100);
    if (kind < 6)
        return longOnes.at(random.bounded(longOnes.size()));
    if (kind < 78)
        return families.at(random.bounded(families.size())) + givens.at(random.bounded(givens.size()));
    if (kind < 92)
        return katakana.at(random.bounded(katakana.size()));
    return latin.at(random.bounded(latin.size()));
}

// `alternating`: two readings in turn through the whole file instead, the
// hardest case for putting equal readings in order.
void writePhoneBook(const QString &dir, int count, const QByteArray &lineEnd = "\r\n", bool alternating = false) {
    QRandomGenerator random(20261207);
    QByteArray data;
    for (int i = 0; i < count; ++i) {
        const QString line =
            QStringLiteral("%1|山田　太郎%2|100-0001|東京都千代田区千代田%2|03-1234-5678||090-1111-2222|"
                           "yamada%2@example.jp|%3|F")
                .arg(alternating ? (i % 2 ? QStringLiteral("やまだ") : QStringLiteral("さとう")) : reading(random))
                .arg(i)
                .arg(1 + random.bounded(10));
        data += *cp932::encode(line) + lineEnd;
    }
    QFile entries(dir + "/VexaTel.txt");
    entries.open(QIODevice::WriteOnly);
    entries.write(data);
    QFile categories(dir + "/VexaType.txt");
    categories.open(QIODevice::WriteOnly);
    categories.write(*cp932::encode(
        QStringLiteral("1|親戚\r\n2|友人\r\n3|お店\r\n4|仕事\r\n5|病院\r\n6|\r\n7|\r\n8|\r\n9|\r\n10|\r\n")));
}

double peakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// A key as the input method gives it: its text committed to the box.
void typeKey(QLineEdit *box, const QString &key) {
    QInputMethodEvent commit;
    commit.setCommitString(key);
    QApplication::sendEvent(box, &commit);
}

double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// The median CPU time of `work`, each run after `prepare` (not counted).
template <typename Prepare, typename Work> double cpuRuns(int runs, Prepare prepare, Work work) {
    std::vector<double> times;
    for (int r = 0; r < runs; ++r) {
        prepare();
        const double before = cpuMs();
        work();
        times.push_back(cpuMs() - before);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Another program changes one reading of the book: two versions in turn,
// the same size, so that only the bytes tell them apart. Written in place:
// the benchmark holds no copy of the book, which would count in its peak.
class ChangingBook {
public:
    explicit ChangingBook(const QString &path) : path_(path) {
        // Found in a piece from the middle: the whole book read here would count in the peak.
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        file.seek(file.size() / 2);
        const QByteArray piece = file.read(1 << 16);
        at_ = file.size() / 2 + piece.indexOf(*cp932::encode(QStringLiteral("さとう|")));
    }
    void change() {
        toggled_ = !toggled_;
        QFile file(path_);
        file.open(QIODevice::ReadWrite);
        file.seek(at_);
        file.write(*cp932::encode(toggled_ ? QStringLiteral("さとお|") : QStringLiteral("さとう|")));
    }

private:
    QString path_;
    qsizetype at_ = 0;
    bool toggled_ = false;
};

// The peak memory of the program's own work on the book in `dir`, in a
// process of its own, without the floors and the benchmark's bookkeeping:
// the start, clicks on every category, a change by another program and the
// click after it, and a word typed into the find box.
double programPeak(const QString &program, const QString &dir, int count) {
    QProcess one;
    one.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    one.start(program, {QStringLiteral("--peak"), QString::number(count), dir});
    one.waitForFinished(-1);
    return one.readAllStandardOutput().trimmed().toDouble();
}

// The page shown and painted: the list draws when it paints.
void drawPage(frmMain &window) {
    window.ViewTelList(0);
    window.picList0->viewport()->repaint();
}

int runPeak(const QString &dir) {
    mdlDim::setDataDirectory(dir);
    auto *logo = new frmLogo(theBook());
    logo->show();
    logo->timStart->setInterval(0);
    logo->timStart->start();
    while (!frmMain::loaded() || !frmMain::loaded()->isVisible())
        QApplication::processEvents();
    frmMain &window = *frmMain::loaded();
    ChangingBook book(theBook().entryPath());
    for (int round = 0; round < 3; ++round) {
        for (int category = 0; category <= 10; ++category) {
            window.SelectDB(category);
            drawPage(window);
        }
        book.change();
        window.SelectDB(0);
        drawPage(window);
        for (const QString &key : {QStringLiteral("ヤ"), QStringLiteral("マ"), QStringLiteral("ダ")})
            typeKey(window.txtFind, key);
        window.txtFind->clear();
    }
    std::printf("%.1f\n", peakRssMb());
    return 0;
}

// One size, on the phone book in `dir`: prints its row.
int runSize(const QString &dir, int count, bool profileOnly) {
    const double peak = profileOnly ? 0 : programPeak(QApplication::applicationFilePath(), dir, count);
    mdlDim::setDataDirectory(dir);

    // Start: the splash builds the browsing window while it shows; measured
    // from its timer to the browsing window painted.
    auto *logo = new frmLogo(theBook());
    logo->show();
    while (!frmMain::loaded())
        QApplication::processEvents();
    QElapsedTimer start;
    logo->timStart->setInterval(0);
    start.start();
    logo->timStart->start();
    while (!frmMain::loaded()->isVisible())
        QApplication::processEvents();
    frmMain &window = *frmMain::loaded();
    window.repaint();
    const double startMs = start.nsecsElapsed() / 1e6;
    QApplication::processEvents();

    if (profileOnly) {
        // PROFILE_FIND=text repeats a search instead.
        const QString find = qEnvironmentVariable("PROFILE_FIND");
        // PROFILE_STORE=1 repeats a store instead.
        if (qEnvironmentVariableIsSet("PROFILE_STORE")) {
            theBook().load();
            mdlDim::LoadedLine line = theBook().entries().loadedLine(count / 2);
            const QString text = cp932::decode(line.bytes);
            for (int i = 0; i < 100; ++i)
                line = theBook().replaceEntry(line, text).written;
            return 0;
        }
        // PROFILE_ATTACH=1 repeats a start's reading of the side file instead.
        // With PROFILE_ATTACH=after, each start after another program changed a reading.
        if (qEnvironmentVariableIsSet("PROFILE_ATTACH")) {
            ChangingBook changing(theBook().entryPath());
            const bool after = qEnvironmentVariable("PROFILE_ATTACH") == QLatin1String("after");
            Book(mdlDim::AppDir()).attachPeople();
            for (int i = 0; i < (after ? 10 : 100); ++i) {
                if (after)
                    changing.change();
                Book(mdlDim::AppDir()).attachPeople();
            }
            return 0;
        }
        // PROFILE_COLD=1 changes a reading before each SelectDB.
        const search::Query query(find);
        ChangingBook book(theBook().entryPath());
        const bool cold = qEnvironmentVariableIsSet("PROFILE_COLD");
        for (int i = 0; i < 200; ++i) {
            if (cold)
                book.change();
            if (find.isEmpty())
                window.SelectDB(0);
            else
                selection::loadSearch(theBook(), query, nullptr);
        }
        return 0;
    }
    const int runs = count >= 100000 ? 15 : count > 10000 ? 31 : 101;
    const auto nothing = [] {};
    const auto click = [&] {
        window.SelectDB(0);
        drawPage(window);
    };
    const double warm = timeRuns(runs, nothing, click).median;
    const double warmFloor = timeRuns(runs, nothing, [&] {
                                 floorUnchanged(theBook().entryPath());
                                 drawPage(window);
                             }).median;
    ChangingBook book(theBook().entryPath());
    const double cold = timeRuns(
                            runs, [&] { book.change(); }, click)
                            .median;
    const double coldFloor = timeRuns(
                                 runs, [&] { book.change(); }, [&] { floorSelection(theBook().entryPath()); })
                                 .median;

    // Keys typed into the find box: the first after a change makes the folded copy.
    std::vector<double> keys, firstKeys;
    for (int r = 0; r < runs; ++r) {
        window.txtFind->clear();
        book.change();
        click();
        for (const QString &key : {QStringLiteral("ヤ"), QStringLiteral("マ"), QStringLiteral("ダ")}) {
            QElapsedTimer timer;
            timer.start();
            typeKey(window.txtFind, key);
            (key == QStringLiteral("ヤ") ? firstKeys : keys).push_back(timer.nsecsElapsed() / 1e6);
        }
        if (!window.lblCount->text().startsWith(QStringLiteral("現在")))
            return std::fprintf(stderr, "no count after the keys\n"), 1;
    }
    window.txtFind->clear();
    // Once the folded copy is made: each key, the first included.
    for (int r = 0; r < runs; ++r) {
        window.txtFind->clear();
        for (const QString &key : {QStringLiteral("ヤ"), QStringLiteral("マ"), QStringLiteral("ダ")}) {
            QElapsedTimer timer;
            timer.start();
            typeKey(window.txtFind, key);
            keys.push_back(timer.nsecsElapsed() / 1e6);
        }
    }
    window.txtFind->clear();
    // The first key as a person types it: after the pause between the click
    // and the key, in which the window makes the folded copy.
    std::vector<double> idleKeys;
    for (int r = 0; r < runs; ++r) {
        window.txtFind->clear();
        book.change();
        click();
        QCoreApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        typeKey(window.txtFind, QStringLiteral("ヤ"));
        idleKeys.push_back(timer.nsecsElapsed() / 1e6);
    }
    window.txtFind->clear();
    std::sort(keys.begin(), keys.end());
    std::sort(firstKeys.begin(), firstKeys.end());
    std::sort(idleKeys.begin(), idleKeys.end());
    const double key = keys[keys.size() / 2];
    const double keyNew = firstKeys[firstKeys.size() / 2];
    const double keyIdle = idleKeys[idleKeys.size() / 2];

    // Writers, each on a line as loaded; the floor is the rewrite alone.
    const auto loadedLine = [](int i) {
        theBook().load();
        return theBook().entries().loadedLine(i);
    };
    mdlDim::LoadedLine line;
    QString text;
    const int writes = 7;
    const double storeCpu = cpuRuns(
        writes,
        [&] {
            line = loadedLine(count / 2);
            text = cp932::decode(line.bytes);
        },
        [&] { theBook().replaceEntry(line, text); });
    const double deleteCpu = cpuRuns(
        writes, [&] { line = loadedLine(count / 3); }, [&] { theBook().deleteEntry(line); });
    const double markCpu = cpuRuns(
        writes, [&] { line = loadedLine(count / 4); }, [&] { theBook().markPrinted({line}); });
    const double rewriteCpu = cpuRuns(writes, nothing, [&] { floorRewrite(theBook().entryPath()); });
    // The click after a store that kept the reading and the category (a number changed).
    bool toggled = false;
    const double afterStore =
        timeRuns(
            runs,
            [&] {
                line = loadedLine(count / 2);
                QString changed = cp932::decode(line.bytes);
                toggled = !toggled;
                changed.replace(toggled ? "03-1234-5678" : "03-12345-6789", toggled ? "03-12345-6789" : "03-1234-5678");
                if (!theBook().replaceEntry(line, changed))
                    qFatal("the store failed");
            },
            click)
            .median;

    // The side file at a start: an unchanged book, and one another program changed a reading in.
    const auto startOfBook = [] {
        Book fresh(mdlDim::AppDir());
        fresh.attachPeople();
    };
    startOfBook();
    const double attach = timeRuns(runs, nothing, startOfBook).median;
    const double reattach = timeRuns(
                                runs, [&] { book.change(); }, startOfBook)
                                .median;

    const auto ratio = [](double value, double floor) { return floor > 0 ? value / floor : 0; };
    std::printf("%8d %7.2f %6.2f %5.2f %7.2f %6.2f %5.2f %7.2f %6.2f %7.2f %7.2f %6.2f %6.2f %6.2f %6.2f %5.2f %7.2f "
                "%7.2f %7.1f %6.1f\n",
                count, warm, warmFloor, ratio(warm, warmFloor), cold, coldFloor, ratio(cold, coldFloor), afterStore,
                key, keyNew, keyIdle, storeCpu, deleteCpu, markCpu, rewriteCpu,
                ratio(std::max({storeCpu, deleteCpu, markCpu}), rewriteCpu), attach, reattach, startMs, peak);
    std::fflush(stdout);

    // The order is the literal exchange sort's where that finishes in reasonable time.
    if (count <= 32766) {
        theBook().load();
        QList<QString> readings;
        for (const QString &e : std::as_const(theBook().entries()))
            readings.append(selection::readingOf(e));
        const QStringList all = theBook().entries().toList();
        const QList<int> literal = literalExchangeSort(readings);
        selection::loadSelection(theBook(), 0, 0, nullptr);
        for (int i = 0; i < literal.size(); ++i)
            if (theBook().entries().at(i) != all.at(literal.at(i)))
                return std::fprintf(stderr, "%d: the order differs from the exchange sort's at %d\n", count, i), 1;
    }
    mdlDim::setDataDirectory({});
    return 0;
}

// The selection alone of 300,000 entries, ordinary readings against two
// readings in alternation through the file (large groups of equal readings).
int benchAlternatingReadings(const QString &program) {
    std::printf("\n%-36s %14s\n", "select 300,000 entries, changed", "median ms");
    double ordinary = 0;
    for (bool alternating : {false, true}) {
        QTemporaryDir dir;
        writePhoneBook(dir.path(), 300000, "\r\n", alternating);
        QProcess one;
        one.start(program, {QStringLiteral("--select-only"), dir.path()});
        one.waitForFinished(-1);
        const double median = one.readAllStandardOutput().trimmed().toDouble();
        std::printf("%-36s %14.1f%s\n", alternating ? "two readings in alternation" : "ordinary readings", median,
                    alternating ? qPrintable(QStringLiteral("   (%1x ordinary)").arg(median / ordinary, 0, 'f', 2))
                                : "");
        if (!alternating)
            ordinary = median;
    }
    std::fflush(stdout);
    return 0;
}

// Storing one entry in a book of 100,000 whose lines end in CR LF, and in one
// whose lines end in CR alone: the line ends are found in one linear pass, so
// the two cost the same.
int benchStoreByLineEnds() {
    std::printf("\n%-28s %14s\n", "store one of 100,000, ends", "median ms");
    double crlf = 0;
    for (const QByteArray &lineEnd : {QByteArray("\r\n"), QByteArray("\r")}) {
        QTemporaryDir dir;
        writePhoneBook(dir.path(), 100000, lineEnd);
        mdlDim::setDataDirectory(dir.path());
        QString error;
        if (!theBook().load(&error))
            return std::fprintf(stderr, "%s\n", qPrintable(error)), 1;
        // The line stored as it is, so that it stays the line that was loaded.
        const mdlDim::LoadedLine line = theBook().entries().loadedLine(50000);
        const QString element = theBook().entries().at(50000);
        const Timing store = timeRuns(7, [&] {
            const EntryWriter::Result written = theBook().replaceEntry(line, element.mid(element.indexOf(u'|') + 1));
            if (!written)
                std::fprintf(stderr, "%s\n", qPrintable(written.message));
        });
        const bool cr = lineEnd == "\r";
        std::printf("%-28s %14.1f%s\n", cr ? "CR alone" : "CR LF", store.median,
                    cr ? qPrintable(QStringLiteral("   (%1x CR LF)").arg(store.median / crlf, 0, 'f', 2)) : "");
        if (!cr)
            crlf = store.median;
        mdlDim::setDataDirectory({});
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    fonts::installFontMap();
    const QStringList args = app.arguments();
    if (args.size() == 4 && args.at(1) == "--peak")
        return runPeak(args.at(3));
    if (args.size() == 3 && args.at(1) == "--select-only") {
        // Each run right after a reading changed, so that the order is made anew.
        mdlDim::setDataDirectory(args.at(2));
        ChangingBook book(theBook().entryPath());
        std::printf("%.2f\n", timeRuns(
                                  7, [&] { book.change(); }, [] { selection::loadSelection(theBook(), 0, 0, nullptr); })
                                  .median);
        return 0;
    }
    if (args.size() >= 3 && (args.at(1) == "--size" || args.at(1) == "--profile")) {
        const int count = args.at(2).toInt();
        if (args.size() == 4) // the phone book written by the parent, so that its making is not in the peak
            return runSize(args.at(3), count, args.at(1) == "--profile");
        QTemporaryDir dir;
        writePhoneBook(dir.path(), count);
        QProcess one;
        one.setProcessChannelMode(QProcess::ForwardedChannels);
        one.start(app.applicationFilePath(), {args.at(1), args.at(2), dir.path()});
        one.waitForFinished(-1);
        return one.exitCode();
    }

    std::printf("%8s %7s %6s %5s %7s %6s %5s %7s %6s %7s %7s %6s %6s %6s %6s %5s %7s %7s %7s %6s\n", "entries", "warm",
                "floor", "ratio", "cold", "floor", "ratio", "stored", "key", "key new", "key idle", "store", "delete",
                "mark", "floor", "ratio", "people", "after", "start", "peak");
    std::fflush(stdout);
    int failures = 0;
    for (int count : {1000, 10000, 32766, 100000}) {
        QTemporaryDir dir;
        writePhoneBook(dir.path(), count);
        QProcess one;
        one.setProcessChannelMode(QProcess::ForwardedChannels);
        one.start(app.applicationFilePath(), {QStringLiteral("--size"), QString::number(count), dir.path()});
        one.waitForFinished(-1);
        failures += one.exitCode() != 0;
    }
    failures += benchAlternatingReadings(app.applicationFilePath());
    failures += benchStoreByLineEnds();
    return failures;
}
