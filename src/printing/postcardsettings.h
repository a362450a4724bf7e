#pragma once

#include "render/postcard.h"

// The postcards' sender and options, kept in telbora.ini beside the printer's.
namespace postcardsettings {

struct Setup {
    postcard::Sender sender;
    postcard::Options options;
};

// What is kept; nothing kept, or a damaged file, gives no sender and kanji numerals.
Setup load();
// Keeps `setup`, every other setting as it was. Empty on success, else why not.
QString save(const Setup &setup);

} // namespace postcardsettings
