// SelectDB from disk to the sorted table (both files loaded, filtered, sorted)
// on generated phone books of 1,000, 10,000 and 32,766 entries, against the
// literal exchange sort on the same readings, and the time of a full list
// redraw. Run: QT_QPA_PLATFORM=offscreen build/bench/bench_selectdb
#include "browse/frmMain.h"
#include "browse/selection.h"
#include "common/exchangesort.h"
#include "store/cp932.h"
#include "store/mdlDim.h"
#include "ui/fonts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
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

void writePhoneBook(const QString &dir, int count) {
    QRandomGenerator random(20261207);
    QByteArray data;
    for (int i = 0; i < count; ++i) {
        const QString line =
            QStringLiteral("%1|山田　太郎%2|100-0001|東京都千代田区千代田%2|03-1234-5678||090-1111-2222|"
                           "yamada%2@example.jp|%3|F")
                .arg(reading(random))
                .arg(i)
                .arg(1 + random.bounded(10));
        data += *cp932::encode(line) + "\r\n";
    }
    QFile entries(dir + "/VexaTel.txt");
    entries.open(QIODevice::WriteOnly);
    entries.write(data);
    QFile categories(dir + "/VexaType.txt");
    categories.open(QIODevice::WriteOnly);
    categories.write(*cp932::encode(
        QStringLiteral("1|親戚\r\n2|友人\r\n3|お店\r\n4|仕事\r\n5|病院\r\n6|\r\n7|\r\n8|\r\n9|\r\n10|\r\n")));
}

template <typename F> double medianMs(int runs, F &&work) {
    std::vector<double> times;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    fonts::installFontMap();
    std::printf("%8s %12s %16s %20s %22s %15s\n", "entries", "SelectDB ms", "literal sort ms", "our filter+sort ms",
                "literal / SelectDB", "ViewTelList ms");
    for (int count : {1000, 10000, 32766}) {
        QTemporaryDir dir;
        writePhoneBook(dir.path(), count);
        mdlDim::setAppDirForTesting(dir.path());
        mdlDim::CurrentCategory = 0;
        frmMain window;
        window.show();
        const double select = medianMs(count > 10000 ? 9 : 21, [&] { window.SelectDB(0); });

        mdlDim::LoadData();
        QList<QString> readings;
        for (const QString &e : std::as_const(mdlDim::EntryTable))
            readings.append(selection::readingOf(e));
        QList<int> literal;
        const double literalMs = medianMs(1, [&] { literal = literalExchangeSort(readings); });
        QStringList fast;
        const double fastMs = medianMs(5, [&] { fast = selection::select(mdlDim::EntryTable, 0, 0); });
        bool same = fast.size() == literal.size();
        for (int i = 0; same && i < literal.size(); ++i)
            same = fast.at(i) == mdlDim::EntryTable.at(literal.at(i));

        window.SelectDB(0);
        const double redraw = medianMs(51, [&] { window.ViewTelList(0); });
        std::printf("%8d %12.2f %16.1f %13.2f (%s) %21.0fx %15.3f\n", count, select, literalMs, fastMs,
                    same ? "same" : "DIFF", literalMs / select, redraw);
    }
    mdlDim::setAppDirForTesting({});
    return 0;
}
