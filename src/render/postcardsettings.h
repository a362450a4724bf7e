#pragma once

#include "render/postcard.h"
#include "store/failure.h"

#include <QList>

// The postcards' senders and options, kept in telbora.ini beside the printer's.
namespace postcardsettings {

// One sender profile: who a card is from (the family, one of them alone, ...).
struct Profile {
    QString name; // what it is called in the lists: 「家族」, 「個人」
    postcard::Sender sender;
    bool operator==(const Profile &) const = default;
};

struct Setup {
    QList<Profile> profiles;
    int usual = 0; // the profile cards carry unless a person chose another
    postcard::Options options;

    // The sender of a person who chose `profile` (empty: none): that
    // profile's when it is kept, else the usual one's; none without profiles.
    postcard::Sender senderFor(const QString &profile) const;
    QStringList profileNames() const;
};

// What is kept; nothing kept, or a damaged file, gives no sender and kanji
// numerals. A file an earlier copy wrote, with one sender, gives one profile.
Setup load();
// Keeps `setup`, every other setting as it was. None on success, else why not.
Failure save(const Setup &setup);

} // namespace postcardsettings
