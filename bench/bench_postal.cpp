// The postal code table: loading it (ms, and the memory it takes), a code
// looked up, and an address looked up (the first builds the city index).
// Run: build/bench/bench_postal [TABLE]   (default: the build's data/postal.tsv)
#include "store/postalcodes.h"
#include "timing.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double rssMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    return 0;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : postalcodes::Table::installedPath();
    const double before = rssMb();
    postalcodes::Table table;
    QElapsedTimer first;
    first.start();
    if (const QString error = describe(table.load(path)); !error.isEmpty())
        return std::fprintf(stderr, "%s\n", qPrintable(error)), 1;
    const double firstLoad = first.nsecsElapsed() / 1e6;
    const double memory = rssMb() - before;
    const double load = timeRuns(9, [&] { table.load(path); }).median;
    const QStringList codes = {"1000001", "0600042", "9870403", "0608510", "9071801", "0000001"};
    int i = 0;
    const double lookUp = timeRuns(1001, [&] { table.lookUp(codes.at(i++ % codes.size())); }).median;
    QElapsedTimer indexing;
    indexing.start();
    table.forAddress(QStringLiteral("東京都千代田区千代田１－１"));
    const double firstAddress = indexing.nsecsElapsed() / 1e6;
    const QStringList addresses = {"東京都千代田区千代田１－１", "北海道札幌市中央区大通西３丁目", "千代田区千代田",
                                   "沖縄県八重山郡与那国町与那国", "どこか遠く"};
    const double address = timeRuns(201, [&] { table.forAddress(addresses.at(i++ % addresses.size())); }).median;
    std::printf("%d codes\nload         %7.1f ms (first %.1f ms), %.1f MB\nlook up code %7.3f ms\n"
                "look up address %4.3f ms (first, with the city index: %.1f ms), %.1f MB after\n",
                table.size(), load, firstLoad, memory, lookUp, address, firstAddress, rssMb() - before);
    return 0;
}
