// SelectDB from disk to the sorted table plus the list redraw, on generated
// phone books of 1,000, 10,000, 32,766 and 100,000 entries, beside the literal
// exchange sort on the same readings where it finishes in reasonable time, the
// peak memory of each size, and the start to the browsing window; then a store
// in 100,000 entries whose lines end in CR LF and in CR alone. Beside each
// size, the floor (floor.cpp) and the selection's ratio to it; then 300,000
// entries of two readings in alternation against ordinary ones. "find text"
// and "find 090" are one key typed into the search box (ヤマダ, 090 1111):
// the search over the whole book and the redraw, in ms. The import of
// contacts is measured by bench_import.
// Run: QT_QPA_PLATFORM=offscreen build/bench/bench_selectdb
// Each size runs in a process of its own, so that its peak memory is its own;
// standard error also gets the selection and the redraw timed apart.
// `bench_selectdb --size N` runs one size; `--profile N` only repeats SelectDB
// (for perf record), or with PROFILE_FIND=TEXT set, the search for TEXT.
#include "browse/frmLogo.h"
#include "browse/frmMain.h"
#include "browse/search.h"
#include "browse/selection.h"
#include "common/exchangesort.h"
#include "floor.h"
#include "store/cp932.h"
#include "store/entrywriter.h"
#include "store/mdlDim.h"
#include "ui/fonts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {

// Readings as people type them: mostly hiragana family and given names, some
// katakana and Latin, with many repeated family names.
QString reading(QRandomGenerator &random) {
    static const QStringList families = {"さとう",   "すずき",   "たかはし", "たなか", "いとう", "わたなべ", "やまもと",
                                         "なかむら", "こばやし", "かとう",   "よしだ", "やまだ", "ささき",   "やまぐち",
                                         "まつもと", "いのうえ", "きむら",   "はやし", "しみず", "やまざき"};
    static const QStringList givens = {"", "", "", "はなこ", "たろう", "ゆき", "けんじ", "みさき", "あや", "ひろし"};
    static const QStringList katakana = {"サトウ", "スズキ", "タナカ", "ヤマダ", "キムラ", "ハヤシ"};
    static const QStringList latin = {"Smith", "Brown", "Tanaka", "Wilson", "smith", "Lee"};
    const int kind = random.bounded(100);
    if (kind < 75)
        return families.at(random.bounded(families.size())) + givens.at(random.bounded(givens.size()));
    if (kind < 90)
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

struct Timing {
    double median;
    double fastest;
};

template <typename F> Timing timeRuns(int runs, F &&work) {
    std::vector<double> times;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.front()};
}

double peakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// One size, on the phone book in `dir`: prints its row.
int runSize(const QString &dir, int count, bool profileOnly) {
    mdlDim::setDataDirectory(dir);
    mdlDim::CurrentCategory = 0;

    // Start: the splash and the browsing window as the program builds them, without the splash's own 2 s.
    QElapsedTimer start;
    start.start();
    auto *logo = new frmLogo();
    logo->show();
    frmMain window;
    window.show();
    delete logo;
    const double startMs = start.nsecsElapsed() / 1e6;

    if (profileOnly) {
        // PROFILE_FIND=text repeats a search instead.
        const QString find = qEnvironmentVariable("PROFILE_FIND");
        const search::Query query(find);
        for (int i = 0; i < 200; ++i)
            if (find.isEmpty())
                window.SelectDB(0);
            else
                selection::loadSearch(query, nullptr);
        return 0;
    }
    const int runs = count >= 100000 ? 15 : count > 10000 ? 31 : 101;
    const Timing select = timeRuns(runs, [&] {
        window.SelectDB(0);
        window.ViewTelList(0);
    });
    const double peak = peakRssMb();
    const Timing selectOnly = timeRuns(runs, [&] { selection::loadSelection(0, 0, nullptr); });
    const Timing floor = timeRuns(runs, [&] { floorSelection(mdlDim::entryFilePath()); });
    // One key typed into the search box: the search over the whole book and the redraw.
    const auto findTiming = [&](const QString &typed) {
        const search::Query query(typed);
        return timeRuns(runs, [&] {
            selection::loadSearch(query, nullptr);
            window.ViewTelList(0);
        });
    };
    const Timing findText = findTiming(QStringLiteral("ヤマダ"));
    const Timing findDigits = findTiming(QStringLiteral("090 1111"));
    const Timing drawOnly = timeRuns(runs, [&] { window.ViewTelList(0); });
    std::fprintf(stderr, "  (%d: loadSelection %.2f ms, ViewTelList %.2f ms)\n", count, selectOnly.median,
                 drawOnly.median);

    mdlDim::LoadData();
    QList<QString> readings;
    for (const QString &e : std::as_const(mdlDim::EntryTable))
        readings.append(selection::readingOf(e));
    const QStringList selected = selection::select(mdlDim::EntryTable.toList(), 0, 0);
    QString literalColumn = QStringLiteral("-");
    QString same = QStringLiteral("-");
    if (count <= 32766) {
        QList<int> literal;
        literalColumn = QString::number(timeRuns(1, [&] { literal = literalExchangeSort(readings); }).median, 'f', 1);
        bool equal = selected.size() == literal.size();
        for (int i = 0; equal && i < literal.size(); ++i)
            equal = selected.at(i) == mdlDim::EntryTable.at(literal.at(i));
        same = equal ? QStringLiteral("same") : QStringLiteral("DIFF");
    }
    std::printf("%8d %18.2f %12.2f %9.2f %6.2f %10.2f %10.2f %16s %7s %14.1f %12.1f\n", count, select.median,
                select.fastest, floor.median, select.median / floor.median, findText.median, findDigits.median,
                qPrintable(literalColumn), qPrintable(same), peak, startMs);
    mdlDim::setDataDirectory({});
    return same == QLatin1String("DIFF") ? 1 : 0;
}

// The selection alone of 300,000 entries, ordinary readings against two
// readings in alternation through the file (large groups of equal readings).
int benchAlternatingReadings(const QString &program) {
    std::printf("\n%-36s %14s\n", "select 300,000 entries", "median ms");
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
        if (!mdlDim::LoadData(&error))
            return std::fprintf(stderr, "%s\n", qPrintable(error)), 1;
        // The line stored as it is, so that it stays the line that was loaded.
        const mdlDim::LoadedLine line = mdlDim::EntryTable.loadedLine(50000);
        const QString element = mdlDim::EntryTable.at(50000);
        const Timing store = timeRuns(7, [&] {
            const EntryWriter::Result written =
                EntryWriter::replaceEntry(line, element.mid(element.indexOf(u'|') + 1));
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
    if (args.size() == 3 && args.at(1) == "--select-only") {
        mdlDim::setDataDirectory(args.at(2));
        std::printf("%.2f\n", timeRuns(7, [] { selection::loadSelection(0, 0, nullptr); }).median);
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

    std::printf("%8s %18s %12s %9s %6s %10s %10s %16s %7s %14s %12s\n", "entries", "SelectDB+draw ms", "fastest ms",
                "floor ms", "ratio", "find text", "find 090", "literal sort ms", "order", "peak RSS MB", "start ms");
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
