#pragma once

#include <QString>
#include <QStringView>

// The rules every stored character obeys, for the editor's boxes and for
// anything else that writes entries. Widget-free.
namespace entryrules {

// CR, LF, TAB, NUL and the other C0 and C1 control characters, and DEL.
bool isControl(QChar c);

// The text as the data files can keep it: a character code page 932 stores as
// another character becomes that character (U+301C 〜 becomes ～); "|" and "'",
// control characters and characters the code page cannot hold are dropped.
// `dropped`, when given, receives how many characters were dropped.
QString keepText(QStringView text, int *dropped = nullptr);

// The digits 0 to 9 of the text, nothing else.
QString keepDigits(QStringView text, int *dropped = nullptr);

// Whether the reading may begin with its first character: A to z (codes 65
// to 122) or あ to ン (0x82A0 to 0x8393) in code page 932.
bool isValidFuriganaStart(QStringView reading);

} // namespace entryrules
