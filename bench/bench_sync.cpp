// Sync with a CardDAV server on the loopback (Radicale, started here): the
// first upload of a book of COUNT entries, then a sync that finds nothing
// changed (median of 5), then one with ten entries edited on the PC.
// Run: build/bench/bench_sync [COUNT]
#include "store/book.h"
#include "store/cp932.h"
#include "store/mdlDim.h"
#include "sync/syncrun.h"
#include "timing.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

QByteArray bookLines(int count, const QString &mark) {
    static const QStringList families = {"山田", "佐藤", "鈴木", "高橋", "長嶋", "渡辺", "伊藤", "小林"};
    static const QStringList givens = {"太郎", "花子", "一郎", "美智子", "綾之介", "翔", "さくら", "健"};
    QByteArray data;
    for (int i = 0; i < count; ++i)
        data +=
            *cp932::encode(QStringLiteral("やまだ|%1　%2%3|%4|東京都渋谷区渋谷%5-%6|03-%7|||%8@example.jp|1|F")
                               .arg(families.at(i % families.size()), givens.at(i / 8 % givens.size()))
                               .arg(i)
                               .arg(QStringLiteral("150-%1").arg(i % 10000, 4, 10, QLatin1Char('0')))
                               .arg(1 + i % 4)
                               .arg(1 + i % 30)
                               .arg(QStringLiteral("%1-%2").arg(1000 + i).arg(i < 10 ? mark : QStringLiteral("0000")))
                               .arg(i)) +
            "\r\n";
    return data;
}

void write(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? QByteArray(argv[1]).toInt() : 1000;
    QTemporaryDir server, folder;
    QProcess start;
    start.start(QStringLiteral("sh"), {QStringLiteral(TELBORA_SOURCE_DIR "/scripts/radicale-test.sh"),
                                       QStringLiteral("start"), server.path()});
    start.waitForFinished(30000);
    if (start.exitCode() != 0) {
        std::fprintf(stderr, "no Radicale: %s\n", start.readAllStandardError().constData());
        return 1;
    }
    const QUrl url(QString::fromUtf8(start.readAllStandardOutput()).trimmed());
    write(folder.filePath("VexaTel.txt"), bookLines(count, QStringLiteral("0000")));
    write(folder.filePath("VexaType.txt"), "1|\r\n2|\r\n3|\r\n4|\r\n5|\r\n6|\r\n7|\r\n8|\r\n9|\r\n10|\r\n");
    mdlDim::setDataDirectory(folder.path());
    Book book(mdlDim::AppDir());
    const cardsync::Account account{url, QStringLiteral("taro"), QStringLiteral("secret")};
    const auto once = [&](cardsync::First first) {
        cardsync::Options options;
        options.first = first;
        const cardsync::Report report = cardsync::run(book, account, options);
        if (!report.error.isEmpty())
            qFatal("%s", qPrintable(report.error));
        return report;
    };
    QElapsedTimer timer;
    timer.start();
    const cardsync::Report first = once(cardsync::First::Upload);
    std::printf("first upload of %d entries: %.1f s (%s)\n", count, timer.nsecsElapsed() / 1e9,
                qPrintable(first.summary()));
    const Timing still = timeRuns(5, [&] { once(cardsync::First::Match); });
    std::printf("a sync with nothing changed: median %.0f ms, fastest %.0f ms\n", still.median, still.fastest);
    write(folder.filePath("VexaTel.txt"), bookLines(count, QStringLiteral("9999")));
    timer.restart();
    const cardsync::Report ten = once(cardsync::First::Match);
    std::printf("ten entries edited on the PC: %.0f ms (%s)\n", timer.nsecsElapsed() / 1e6, qPrintable(ten.summary()));
    QProcess::execute(QStringLiteral("sh"), {QStringLiteral(TELBORA_SOURCE_DIR "/scripts/radicale-test.sh"),
                                             QStringLiteral("stop"), server.path()});
    return 0;
}
