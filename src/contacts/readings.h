#pragma once

#include <QString>

// Readings for names that come without one, and names made fit for the code page.
namespace readings {

enum class NamePart { Family, Given, Whole };

struct Guess {
    QString reading;             // hiragana, with Latin letters and digits as written; empty: none found
    bool perCharacter = false;   // some word was read character by character (kakasi), not as a word
    bool transliterated = false; // a foreign script written in Latin letters (ICU)
};

// The reading of a name or a company. A family or given name is read as a
// person's name first: MeCab's person-name analyses of the whole part, then
// the SKK names dictionary; anything else by MeCab's best analysis, words it
// cannot read by kakasi, Greek, Cyrillic, Hangul and bopomofo by ICU. Legal
// forms (株式会社, ㈱ …) are left out, as Japanese address books sort companies.
Guess guess(const QString &name, NamePart part = NamePart::Whole);

// Katakana (and ヴ) as hiragana; ヵ and ヶ stay, their hiragana are not in the code page.
QString hiragana(QString text);

// Variant kanji as their common forms, for looking a name up (髙 → 高, 﨑 → 崎).
QString commonForms(const QString &text);

// The text in Latin letters when it is written in a script the code page
// lacks (Hangul, bopomofo) or one it holds but few readers sort (Greek, Cyrillic).
QString transliterated(const QString &text);

// Latin letters with accents as their plain letters (Müller → Muller,
// Ñ → N, ß → ss); other characters stay.
QString withoutAccents(const QString &text);

// Characters outside code page 932 that stand for one inside it (𠮷 → 吉).
QString withCodePageVariants(const QString &text);

} // namespace readings
