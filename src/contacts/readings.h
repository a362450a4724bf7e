#pragma once

#include <QString>

// Readings for names that come without one, and names made fit for the code page.
namespace readings {

// The reading of a name written in kanji (with kana), as hiragana, from MeCab
// and its IPA dictionary; empty when some part of the name has no reading or
// the dictionary is missing.
QString guess(const QString &name);

// Latin letters with accents as their plain letters (Müller → Muller,
// Ñ → N, ß → ss); other characters stay.
QString withoutAccents(const QString &text);

// Characters outside code page 932 that stand for one inside it (𠮷 → 吉).
QString withCodePageVariants(const QString &text);

} // namespace readings
