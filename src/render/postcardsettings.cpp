#include "render/postcardsettings.h"

#include "store/settingsfile.h"

#include <QSettings>

namespace postcardsettings {
namespace {
const QString Group = QStringLiteral("postcard");
// One sender, as earlier copies kept it; still written, for them.
const QString Name = QStringLiteral("sender_name");
const QString PostalCode = QStringLiteral("sender_postal_code");
const QString Address = QStringLiteral("sender_address");
const QString Joint = QStringLiteral("sender_joint");
const QString ProfileName = QStringLiteral("profile");
const QString Profiles = QStringLiteral("senders");
const QString Usual = QStringLiteral("usual_sender");
const QString KanjiNumerals = QStringLiteral("kanji_numerals");
const QString KanjiTens = QStringLiteral("kanji_tens");
const QString SpreadNames = QStringLiteral("spread_names");
const QString StackSize = QStringLiteral("stack_size");
const QString FirstProfileName = QStringLiteral("差出人");

postcard::Sender readSender(const QSettings &settings) {
    return {settings.value(Name).toString(), settings.value(PostalCode).toString(), settings.value(Address).toString(),
            settings.value(Joint).toStringList()};
}

void writeSender(QSettings &settings, const postcard::Sender &sender) {
    settings.setValue(Name, sender.name);
    settings.setValue(PostalCode, sender.postalCode);
    settings.setValue(Address, sender.address);
    settings.setValue(Joint, sender.joint);
}
} // namespace

postcard::Sender Setup::senderFor(const QString &profile) const {
    for (const Profile &p : profiles)
        if (!profile.isEmpty() && p.name == profile)
            return p.sender;
    return profiles.value(usual).sender;
}

QStringList Setup::profileNames() const {
    QStringList names;
    for (const Profile &p : profiles)
        names.append(p.name);
    return names;
}

Setup load() {
    Setup setup;
    settingsfile::read([&](QSettings &settings) {
        const int count = settings.beginReadArray(Profiles);
        for (int i = 0; i < count; ++i) {
            settings.setArrayIndex(i);
            setup.profiles.append({settings.value(ProfileName).toString(), readSender(settings)});
        }
        settings.endArray();
        settings.beginGroup(Group);
        if (setup.profiles.isEmpty()) {
            const postcard::Sender kept = readSender(settings);
            if (!kept.isEmpty())
                setup.profiles.append({FirstProfileName, kept});
        }
        setup.usual = std::clamp(settings.value(Usual, 0).toInt(), 0, std::max(0, int(setup.profiles.size()) - 1));
        using verticaltext::Numerals;
        setup.options.numerals = !settings.value(KanjiNumerals, true).toBool() ? Numerals::Arabic
                                 : settings.value(KanjiTens, false).toBool()   ? Numerals::KanjiCounted
                                                                               : Numerals::KanjiDigits;
        setup.options.spreadNames = settings.value(SpreadNames, true).toBool();
        bool number = false;
        const int stack = settings.value(StackSize).toInt(&number);
        if (number && stack >= 1 && stack <= 500)
            setup.options.stackSize = stack;
    });
    return setup;
}

Failure save(const Setup &setup) {
    return settingsfile::change([&](QSettings &settings) {
        settings.remove(Profiles);
        settings.beginWriteArray(Profiles, int(setup.profiles.size()));
        for (int i = 0; i < setup.profiles.size(); ++i) {
            settings.setArrayIndex(i);
            settings.setValue(ProfileName, setup.profiles.at(i).name);
            writeSender(settings, setup.profiles.at(i).sender);
        }
        settings.endArray();
        settings.beginGroup(Group);
        writeSender(settings, setup.profiles.value(setup.usual).sender);
        settings.setValue(Usual, setup.usual);
        settings.setValue(KanjiNumerals, setup.options.numerals != verticaltext::Numerals::Arabic);
        settings.setValue(KanjiTens, setup.options.numerals == verticaltext::Numerals::KanjiCounted);
        settings.setValue(SpreadNames, setup.options.spreadNames);
        settings.setValue(StackSize, setup.options.stackSize);
        settings.endGroup();
    });
}

} // namespace postcardsettings
