// Random bytes as "telbora.ini", as a damaged disk, a sync conflict or a
// hand edit may leave it. Checks: an offset read, for every sheet, is within
// the limits and finite; the choice and the postcards' senders read without
// harm; and an offset or the senders saved over whatever was there read back
// as saved.
#include "fuzzcheck.h"
#include "printing/printeradjustment.h"
#include "render/postcardsettings.h"
#include "store/mdlDim.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

bool withinLimits(QPointF offset) {
    const auto ok = [](double v) { return std::isfinite(v) && std::abs(v) <= printeradjustment::LimitMm; };
    return ok(offset.x()) && ok(offset.y());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    static QCoreApplication app(*argc, *argv);
    static QTemporaryDir dir;
    mdlDim::setDataDirectory(dir.path());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    QFile::remove(printeradjustment::settingsPath());
    writeFile(printeradjustment::settingsPath(),
              QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    for (const QString &queue : {QStringLiteral("TelboraPDF"), QStringLiteral("Office"), QStringLiteral("a/b")})
        for (const CardPrinter::Sheet sheet : printeradjustment::Sheets) {
            QString warning;
            check(withinLimits(printeradjustment::load(queue, sheet, &warning)), "an offset read is within the limits");
        }
    printeradjustment::loadChoice();
    postcardsettings::load();
    const QPointF saved(2.5, -9.9);
    if (printeradjustment::save(QStringLiteral("TelboraPDF"), saved, CardPrinter::Sheet::Postcard).isEmpty())
        check(printeradjustment::load(QStringLiteral("TelboraPDF"), CardPrinter::Sheet::Postcard) == saved,
              "an offset saved reads back as saved");
    postcardsettings::Setup setup;
    setup.profiles = {{QStringLiteral("家族"),
                       {QStringLiteral("鈴木　一郎"),
                        QStringLiteral("150-0002"),
                        QStringLiteral("東京都渋谷区渋谷2-21-1, 11F \"A\""),
                        {QStringLiteral("花子")}}},
                      {QStringLiteral("個人"), {QStringLiteral("鈴木　花子"), {}, {}, {}}}};
    setup.usual = 1;
    setup.options.numerals = verticaltext::Numerals::Arabic;
    if (!postcardsettings::save(setup).failed()) {
        const postcardsettings::Setup back = postcardsettings::load();
        check(back.profiles == setup.profiles && back.usual == 1 &&
                  back.options.numerals == verticaltext::Numerals::Arabic,
              "the senders saved read back as saved");
    }
    return 0;
}
