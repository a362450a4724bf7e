#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Code page 932 (Windows-31J) conversion. The data files are in this code page;
// everything in memory is QString. glibc's iconv ("CP932") is the authority:
// decoding goes through tables built from it once, encoding through it directly.
namespace cp932 {

// Whether the system's iconv has the code page; nothing can be read or written without it.
bool available();

// Bytes that are not valid code page 932 become U+FFFD, one per bad byte; a
// lead byte whose pair is not a character is one bad byte, and the byte after
// it is read on its own.
QString decode(QByteArrayView bytes);
// decode() into `out`, which has room for bytes.size() units; returns the units written.
qsizetype decodeInto(QByteArrayView bytes, char16_t *out);

// Whether every byte of `bytes` reads as a code page 932 character: decode()
// would put no U+FFFD in.
bool isClean(QByteArrayView bytes);

// decodeInto() of the bytes before the first `separator` that stands as a
// character of its own (as separatorPositions() finds it), in one walk.
// `taken` receives how many bytes that was.
qsizetype decodeField(QByteArrayView bytes, char separator, char16_t *out, qsizetype *taken);

// nullopt when the text holds a character the code page cannot represent.
std::optional<QByteArray> encode(QStringView text);

bool canEncode(QStringView text);

// The code of the first character: one byte as 0..255, two bytes as
// lead * 256 + trail. -1 for an empty text or a character outside the code page.
int codeOf(QStringView text);

// The positions of the first `max` bytes `separator` that stand as characters
// of their own when the bytes are read as decode() reads them, so a "|" that
// is the second byte of a pair ("－" is 81 7C) is no separator and the
// separators found agree with the decoded text. Returns how many were found.
// `endsInLoneLead`, when given, tells whether the last byte is a lead byte
// with nothing after it, which a byte appended would join.
int separatorPositions(QByteArrayView bytes, char separator, qsizetype *positions, int max,
                       bool *endsInLoneLead = nullptr);

namespace detail {
// Decoding through iconv itself, the reference the tables are built from.
QString decodeWithIconv(QByteArrayView bytes);
} // namespace detail

} // namespace cp932
