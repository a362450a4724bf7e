#include "printing/printeradjustment.h"

#include "store/settingsfile.h"

#include "store/linefile.h"
#include "store/mdlDim.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <cmath>
#include <functional>

namespace printeradjustment {
namespace {

const QString X = QStringLiteral("offset_x_mm");
const QString Y = QStringLiteral("offset_y_mm");

// The keys of a sheet's offsets: the cards' as earlier copies kept them,
// the others' with the sheet's name in front.
std::pair<QString, QString> keysOf(CardPrinter::Sheet sheet) {
    const char *prefix = "";
    switch (sheet) {
    case CardPrinter::Sheet::Card:
        return {X, Y};
    case CardPrinter::Sheet::Postcard:
        prefix = "postcard_";
        break;
    case CardPrinter::Sheet::LongEnvelope:
        prefix = "long_envelope_";
        break;
    case CardPrinter::Sheet::WesternEnvelope:
        prefix = "western_envelope_";
        break;
    case CardPrinter::Sheet::LabelSheet:
        prefix = "labels_";
        break;
    }
    return {QLatin1String(prefix) + X, QLatin1String(prefix) + Y};
}

QString damaged() {
    return QStringLiteral("「telbora.ini」が壊れています。位置調整なしで印刷します。");
}

// A value as kept: a number within the limits, to a tenth of a millimetre.
bool readValue(const QSettings &settings, const QString &key, double &value) {
    if (!settings.contains(key))
        return true;
    bool isNumber = false;
    const double v = settings.value(key).toString().toDouble(&isNumber);
    if (!isNumber || !std::isfinite(v) || std::abs(v) > LimitMm)
        return false;
    value = std::round(v * 10) / 10;
    return true;
}

} // namespace

QString sheetName(CardPrinter::Sheet sheet) {
    switch (sheet) {
    case CardPrinter::Sheet::Card:
        return QStringLiteral("カード");
    case CardPrinter::Sheet::Postcard:
        return QStringLiteral("はがき");
    case CardPrinter::Sheet::LongEnvelope:
        return QStringLiteral("封筒 長形3号");
    case CardPrinter::Sheet::WesternEnvelope:
        return QStringLiteral("封筒 洋形2号");
    case CardPrinter::Sheet::LabelSheet:
        return QStringLiteral("A4 ラベル");
    }
    return {};
}

bool hasOwn(const QString &queue, CardPrinter::Sheet sheet) {
    bool own = false;
    readSettings([&](QSettings &settings) {
        settings.beginGroup(queue);
        own = settings.contains(keysOf(sheet).first);
    });
    return own;
}

QPointF load(const QString &queue, CardPrinter::Sheet sheet, QString *warning) {
    return loadAll(queue, warning).value(sheet);
}

Offsets loadAll(const QString &queue, QString *warning) {
    Offsets offsets;
    if (queue.isEmpty() || !QFileInfo::exists(settingsPath()))
        return offsets;
    bool valid = true;
    const bool parsed = readSettings([&](QSettings &settings) {
        settings.beginGroup(queue);
        for (const CardPrinter::Sheet sheet : Sheets) {
            const auto [keyX, keyY] =
                settings.contains(keysOf(sheet).first) ? keysOf(sheet) : keysOf(CardPrinter::Sheet::Card);
            double x = 0, y = 0;
            // A damaged value counts as none, for its sheet alone.
            if (readValue(settings, keyX, x) && readValue(settings, keyY, y))
                offsets.insert(sheet, {x, y});
            else
                valid = false;
        }
    });
    if ((!parsed || !valid) && warning)
        *warning = damaged();
    if (!parsed)
        offsets.clear();
    return offsets;
}

namespace {
const QString ChoiceGroup = QStringLiteral("printer");

} // namespace

QString save(const QString &queue, QPointF offsetMm, CardPrinter::Sheet sheet) {
    return changeSettings([&](QSettings &settings) {
        settings.beginGroup(queue);
        const auto [keyX, keyY] = keysOf(sheet);
        settings.setValue(keyX, QString::number(offsetMm.x(), 'f', 1));
        settings.setValue(keyY, QString::number(offsetMm.y(), 'f', 1));
        settings.endGroup();
    });
}

Chosen loadChoice() {
    Chosen chosen;
    readSettings([&](QSettings &settings) {
        settings.beginGroup(ChoiceGroup);
        chosen = {settings.value(QStringLiteral("queue")).toString(),
                  settings.value(QStringLiteral("pdf_folder")).toString()};
    });
    return chosen;
}

QString saveChoice(const Chosen &chosen) {
    return changeSettings([&](QSettings &settings) {
        settings.beginGroup(ChoiceGroup);
        settings.setValue(QStringLiteral("queue"), chosen.queue);
        settings.setValue(QStringLiteral("pdf_folder"), chosen.pdfFolder);
        settings.endGroup();
    });
}

} // namespace printeradjustment
