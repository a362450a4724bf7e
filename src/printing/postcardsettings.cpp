#include "printing/postcardsettings.h"

#include "printing/printeradjustment.h"

#include <QSettings>

namespace postcardsettings {
namespace {
const QString Group = QStringLiteral("postcard");
const QString Name = QStringLiteral("sender_name");
const QString PostalCode = QStringLiteral("sender_postal_code");
const QString Address = QStringLiteral("sender_address");
const QString KanjiNumerals = QStringLiteral("kanji_numerals");
const QString StackSize = QStringLiteral("stack_size");
} // namespace

Setup load() {
    Setup setup;
    printeradjustment::readSettings([&](QSettings &settings) {
        settings.beginGroup(Group);
        setup.sender.name = settings.value(Name).toString();
        setup.sender.postalCode = settings.value(PostalCode).toString();
        setup.sender.address = settings.value(Address).toString();
        setup.options.kanjiNumerals = settings.value(KanjiNumerals, true).toBool();
        bool number = false;
        const int stack = settings.value(StackSize).toInt(&number);
        if (number && stack >= 1 && stack <= 500)
            setup.options.stackSize = stack;
    });
    return setup;
}

QString save(const Setup &setup) {
    return printeradjustment::changeSettings([&](QSettings &settings) {
        settings.beginGroup(Group);
        settings.setValue(Name, setup.sender.name);
        settings.setValue(PostalCode, setup.sender.postalCode);
        settings.setValue(Address, setup.sender.address);
        settings.setValue(KanjiNumerals, setup.options.kanjiNumerals);
        settings.setValue(StackSize, setup.options.stackSize);
        settings.endGroup();
    });
}

} // namespace postcardsettings
