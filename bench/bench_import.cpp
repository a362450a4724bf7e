// telbora-contacts importing 50,000 and 100,000 vCards of a phone's export
// into a new book (matching, writing the book and its side file), and
// exporting 100,000 entries as vCard: the CPU time and the peak memory, each
// in a process of its own. The cards are read one at a time, so the
// memory grows with the entries made, not with the cards held. One card in
// ten has no reading (guessed by MeCab), one number in five comes without
// groups (+81…, grouped by the numbering plan).
// Run: build/bench/bench_import
#include "contacts/exporter.h"
#include "contacts/importer.h"
#include "store/categorytable.h"

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

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void writeCards(const QString &path, int count) {
    static const char *const families[] = {"山田", "佐藤", "鈴木", "高橋", "田中", "伊藤", "渡辺", "中村"};
    static const char *const givens[] = {"太郎", "花子", "陽子", "健一", "美咲", "大翔", "蓮", "一郎"};
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    for (int i = 0; i < count; ++i) {
        const QString phonetic =
            i % 10 ? QStringLiteral("X-PHONETIC-LAST-NAME:ヤマダ\r\nX-PHONETIC-FIRST-NAME:タロウ\r\n") : QString();
        const QString home = i % 5 ? QStringLiteral("03-%1-1111").arg(1000 + i % 9000)
                                   : QStringLiteral("+81%1%2").arg(3 + i % 7).arg(10000000 + i % 9000000);
        const QString family = QString::fromUtf8(families[i % 8]);
        const QString given = QString::fromUtf8(givens[i / 8 % 8]) + QString::number(i);
        file.write(QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nN:%1;%2;;;\r\nFN:%1 %2\r\n%3"
                                  "TEL;TYPE=CELL:090-%4-5678\r\nTEL;TYPE=HOME:%5\r\n"
                                  "EMAIL;TYPE=HOME:taro%6@example.jp\r\nADR;TYPE=HOME:;;千代田1-1;千代田区;東京都;"
                                  "100-0001;\r\nCATEGORIES:友人\r\nEND:VCARD\r\n")
                       .arg(family, given, phonetic, QString::number(1000 + i % 9000), home, QString::number(i))
                       .toUtf8());
    }
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    mdlDim::CategoryLines categories;
    categories[1] = QStringLiteral("2|友人");
    if (args.size() == 2) { // the child: the program imports the file; its CPU time and peak memory
        QTemporaryDir book;
        QProcess program;
        program.start(QStringLiteral(TELBORA_CONTACTS_BINARY),
                      {QStringLiteral("import"), QStringLiteral("--dir"), book.path(), args.at(1)});
        program.waitForFinished(-1);
        const QList<QByteArray> said = program.readAllStandardOutput().trimmed().split('\n');
        rusage usage{};
        getrusage(RUSAGE_CHILDREN, &usage);
        std::printf("%12.2f %14.1f   (%s)\n",
                    usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                        (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6,
                    usage.ru_maxrss / 1024.0, said.last().constData());
        return 0;
    }
    if (args.size() == 3) { // the child: export entries as vCard
        QStringList lines;
        for (int i = 0; i < args.at(2).toInt(); ++i)
            lines.append(
                QStringLiteral("やまだ%1|山田　太郎%1|100-0001|東京都千代田区千代田1-1|03-%2-1111||090-%2-5678|"
                               "taro%1@example.jp|2|F")
                    .arg(i)
                    .arg(1000 + i % 9000));
        const double before = cpuSeconds();
        const contactexport::Exported out = contactexport::exportEntries(
            lines, categories, contactexport::Format::VCard, contactexport::Encoding::Utf8);
        std::printf("%-12s %12.2f %14.1f   (%lld bytes)\n", "export", cpuSeconds() - before, peakRssMb(),
                    static_cast<long long>(out.bytes.size()));
        return 0;
    }
    std::printf("%-12s %12s %14s\n", "vCards", "CPU seconds", "peak RSS MB");
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
    QProcess exporting;
    exporting.start(app.applicationFilePath(), {QStringLiteral("export"), QStringLiteral("100000")});
    exporting.waitForFinished(-1);
    std::printf("%s", exporting.readAllStandardOutput().constData());
    return 0;
}
