// New Year cards in stacks: 300 postcards through the print job to the PDF
// destination (one file a stack of 20), wall and CPU time; then a step of
// the preview (the next postcard drawn), median of 200.
// Run: build/bench/bench_postcards [COUNT]
#include "printing/frmPrint.h"
#include "printing/printeradjustment.h"
#include "printing/printjob.h"
#include "render/fonts.h"
#include "store/book.h"
#include "store/cp932.h"
#include "store/mdlDim.h"
#include "timing.h"
#include "ui/imagebutton.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Every answer yes, nothing waited for: what the user's clicks would be.
class Yes : public PrintPrompter {
public:
    bool wantsToChoosePrinter() override { return false; }
    bool paperInserted(CardPrinter::Sheet) override { return true; }
    bool sheetsInserted(int, const QString &) override { return true; }
    bool ask(const QString &) override { return true; }
    void cardSent() override {}
    void tell(const QString &message) override { std::fprintf(stderr, "%s\n", qPrintable(message)); }
};

void writeBook(const QString &dir, int count) {
    static const QStringList families = {"山田", "佐藤", "鈴木", "高橋", "長嶋", "渡辺", "伊藤", "小林"};
    static const QStringList givens = {"太郎", "花子", "一郎", "美智子", "綾之介", "翔", "さくら", "健"};
    QByteArray data;
    for (int i = 0; i < count; ++i)
        data += *cp932::encode(QStringLiteral("やまだ|%1　%2|%3|東京都渋谷区渋谷%4-%5-%6 渋谷ハイツ%7号|||||1|F")
                                   .arg(families.at(i % families.size()), givens.at(i / 3 % givens.size()))
                                   .arg(QStringLiteral("150-%1").arg(i % 10000, 4, 10, QLatin1Char('0')))
                                   .arg(1 + i % 4)
                                   .arg(1 + i % 30)
                                   .arg(1 + i % 12)
                                   .arg(100 + i)) +
                "\r\n";
    QFile entries(dir + "/VexaTel.txt");
    entries.open(QIODevice::WriteOnly);
    entries.write(data);
    QFile categories(dir + "/VexaType.txt");
    categories.open(QIODevice::WriteOnly);
    categories.write("1|\r\n2|\r\n3|\r\n4|\r\n5|\r\n6|\r\n7|\r\n8|\r\n9|\r\n10|\r\n");
}

} // namespace

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    fonts::installFontMap();
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 300;
    QTemporaryDir dir, pdfs;
    if (qEnvironmentVariableIsSet("TELBORA_BENCH_KEEP"))
        pdfs.setAutoRemove(false);
    writeBook(dir.path(), count);
    mdlDim::setDataDirectory(dir.path());
    Book book(dir.path());
    QString error;
    if (!book.load(&error) || !printeradjustment::saveChoice({QString(), pdfs.path()}).isEmpty())
        return std::fprintf(stderr, "%s\n", qPrintable(error)), 1;
    QList<int> items;
    for (qsizetype i = 0; i < book.entries().size(); ++i)
        items.append(book.entries().numberAt(i));
    // Joint names for a third of them, as households write.
    QList<mdlDim::LoadedLine> households;
    for (int i = 0; i < book.entries().size(); i += 3)
        households.append(book.entries().loadedLine(i));
    book.changePeopleData(households, [](people::PersonData &d) {
        d.joint = {{"花子", {}, {}, {}}, {"翔", {}, {}, "くん"}};
    });

    postcardsettings::Setup setup;
    setup.profiles = {{QStringLiteral("家族"),
                       {QStringLiteral("鈴木　一郎"),
                        QStringLiteral("150-0002"),
                        QStringLiteral("東京都渋谷区渋谷2-21-1 渋谷ヒカリエ11F"),
                        {QStringLiteral("花子")}}}};
    Yes yes;
    QElapsedTimer wall;
    wall.start();
    const double cpu = cpuSeconds();
    PrintJob job(book, items, {}, addressmedium::Kind::Postcard, setup, &yes);
    job.run();
    const double cpuUsed = cpuSeconds() - cpu;
    const double wallUsed = wall.nsecsElapsed() / 1e9;
    std::printf("%d postcards to PDF: %lld files, %.2f s wall, %.2f s CPU\n", int(job.printedLines().size()),
                static_cast<long long>(QDir(pdfs.path()).entryList(QDir::Files).size()), wallUsed, cpuUsed);

    frmPrint preview(book);
    preview.show();
    PrintJob::CollectPrintEntries(book, items);
    preview.showPostcards(setup, book.peopleDataOf(loadedLinesOf(book, book.printTable())));
    int steps = 0;
    const Timing step = timeRuns(std::min(200, count - 1), [&] {
        emit preview.imgDown->clicked();
        ++steps;
    });
    std::printf("preview step: %.2f ms median, %.2f ms fastest (%d steps)\n", step.median, step.fastest, steps);
    return 0;
}
