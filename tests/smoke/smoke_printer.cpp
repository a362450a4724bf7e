// Links the printer layer alone: a test sheet drawn into a PDF, no window in sight.
#include "printer/printerservice.h"
#include "render/fonts.h"
#include "render/testsheet.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char *argv[]) {
    QGuiApplication app(argc, argv);
    fonts::installFontMap();
    QTemporaryDir dir;
    PrinterService pdf(dir.filePath(QStringLiteral("sheet-%1.pdf")));
    testsheet::printSheet(pdf, {100, 148}, {QRectF(4, 125, 4, 6)}, QStringLiteral("smoke"), {});
    const QFileInfo out(dir.filePath(QStringLiteral("sheet-1.pdf")));
    if (pdf.failed() || !out.exists() || out.size() < 1000) {
        std::fprintf(stderr, "smoke_printer: no sheet drawn: %s\n", qPrintable(pdf.error()));
        return 1;
    }
    std::printf("smoke_printer: %lld bytes of PDF\n", static_cast<long long>(out.size()));
    return 0;
}
