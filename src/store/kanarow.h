#pragma once

#include <QString>
#include <QStringList>

// The kana-row filter of the browsing window: position 0 keeps everything,
// 1 keeps Latin letters, 2 to 11 the rows あ to わ (hiragana or katakana).
namespace kanarow {

inline constexpr int RowCount = 12;

QStringList captions();
// Whether the reading's first character, by its code page 932 code, lies in the row.
bool matches(QStringView reading, int row);

} // namespace kanarow
