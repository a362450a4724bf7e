#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Code page 932 (Windows-31J) conversion through glibc's iconv. The data files
// are in this code page; everything in memory is QString.
namespace cp932 {

// Whether the system's iconv has the code page; nothing can be read or written without it.
bool available();

// Bytes that are not valid code page 932 become U+FFFD, one per bad byte.
QString decode(QByteArrayView bytes);

// nullopt when the text holds a character the code page cannot represent.
std::optional<QByteArray> encode(QStringView text);

bool canEncode(QStringView text);

// The code of the first character: one byte as 0..255, two bytes as
// lead * 256 + trail. -1 for an empty text or a character outside the code page.
int codeOf(QStringView text);

} // namespace cp932
