#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
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

// nullopt when the text holds a character the code page cannot represent.
std::optional<QByteArray> encode(QStringView text);

bool canEncode(QStringView text);

// The code of the first character: one byte as 0..255, two bytes as
// lead * 256 + trail. -1 for an empty text or a character outside the code page.
int codeOf(QStringView text);

// The pair table decode() reads, for walking many bytes as characters
// without a call per byte: a byte pair is one character exactly when
// isPair() says so, so separators found this way agree with the decoded
// text. Only valid while available() is true.
struct PairTable {
    const bool *lead;
    const uint32_t *rows;
    const char16_t *pairs;
    bool isPair(unsigned char first, unsigned char second) const {
        return lead[first] && pairs[rows[first] + second] != 0xFFFF;
    }
};
PairTable pairTable();

namespace detail {
// Decoding through iconv itself, the reference the tables are built from.
QString decodeWithIconv(QByteArrayView bytes);
} // namespace detail

} // namespace cp932
