// telbora-contacts importing 50,000 and 100,000 vCards of a phone's export:
// the time and the peak memory, each size in a process of its own. The
// cards are read one at a time, so the memory grows with the entries made,
// not with the cards held.
// Run: build/bench/bench_import
#include "contacts/importer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>

namespace {

double peakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

void writeCards(const QString &path, int count) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    for (int i = 0; i < count; ++i)
        file.write(QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nN:山田;太郎%1;;;\r\nFN:山田 太郎%1\r\n"
                                  "X-PHONETIC-LAST-NAME:ヤマダ\r\nX-PHONETIC-FIRST-NAME:タロウ\r\n"
                                  "TEL;TYPE=CELL:090-%2-5678\r\nTEL;TYPE=HOME:03-%2-1111\r\n"
                                  "EMAIL;TYPE=HOME:taro%1@example.jp\r\nADR;TYPE=HOME:;;千代田1-1;千代田区;東京都;"
                                  "100-0001;\r\nCATEGORIES:友人\r\nEND:VCARD\r\n")
                       .arg(i)
                       .arg(1000 + i % 9000)
                       .toUtf8());
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 2) { // the child: import the file, print time and peak memory
        QElapsedTimer timer;
        timer.start();
        std::array<QString, 11> categories;
        categories[1] = QStringLiteral("2|友人");
        contactimport::Importer importer({}, categories, 1);
        QStringList notes;
        contactimport::forEachContact(args.at(1), [&](const Contact &c) { importer.add(c); }, notes);
        std::printf("%12.1f %14.1f   (%lld entries)\n", timer.nsecsElapsed() / 1e9, peakRssMb(),
                    static_cast<long long>(importer.result().lines.size()));
        return 0;
    }
    std::printf("%-12s %12s %14s\n", "vCards", "seconds", "peak RSS MB");
    std::fflush(stdout);
    for (int count : {50000, 100000}) {
        QTemporaryDir dir;
        writeCards(dir.filePath("contacts.vcf"), count);
        QProcess one;
        one.start(app.applicationFilePath(), {dir.filePath("contacts.vcf")});
        one.waitForFinished(-1);
        std::printf("%-12d %s", count, one.readAllStandardOutput().constData());
        std::fflush(stdout);
    }
    return 0;
}
