#include "store/cp932.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iconv.h>
#include <memory>
#include <mutex>
#include <vector>

namespace cp932 {
namespace {

// One converter per direction, opened once; iconv_open is far too slow to
// call per line when a file of 100,000 lines is read.
class Converter {
public:
    Converter(const char *to, const char *from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd_);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool isOpen() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    iconv_t handle() {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr); // back to the initial state
        return cd_;
    }

private:
    iconv_t cd_;
};

Converter &toUnicode() {
    thread_local Converter c("UTF-16LE", "CP932");
    return c;
}

Converter &fromUnicode() {
    thread_local Converter c("CP932", "UTF-16LE");
    return c;
}

// Marks a byte or pair that is no character; iconv never decodes to U+FFFF.
constexpr char16_t None = 0xFFFF;

// What iconv makes of every single byte and every lead-trail pair, asked once.
struct DecodeTables {
    std::array<char16_t, 256> single{};
    std::array<bool, 256> lead{};
    // The pairs of lead byte b start at rows[b] in `pairs`, 256 units a lead
    // byte; only lead bytes have rows, so the table stays small enough to stay cached.
    std::array<uint32_t, 256> rows{};
    std::vector<char16_t> pairs;
    bool asciiAsIs = true; // bytes 0x00 to 0x7F are the same units
};

// The one unit `bytes` decode to as a whole, or None.
char16_t decodeExactly(const unsigned char *bytes, size_t size, bool *incomplete = nullptr) {
    char16_t unit[2];
    iconv_t cd = toUnicode().handle();
    char *in = reinterpret_cast<char *>(const_cast<unsigned char *>(bytes));
    size_t inLeft = size;
    char *outPtr = reinterpret_cast<char *>(unit);
    size_t outLeft = sizeof unit;
    const size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    if (incomplete)
        *incomplete = result == static_cast<size_t>(-1) && errno == EINVAL;
    if (result == static_cast<size_t>(-1) || inLeft != 0 || outLeft != sizeof unit - 2)
        return None;
    return unit[0];
}

const DecodeTables *buildTables() {
    if (!toUnicode().isOpen())
        return nullptr;
    auto *t = new DecodeTables;
    for (int b = 0; b < 256; ++b) {
        const unsigned char byte = static_cast<unsigned char>(b);
        bool incomplete = false;
        t->single[static_cast<size_t>(b)] = decodeExactly(&byte, 1, &incomplete);
        t->lead[static_cast<size_t>(b)] = incomplete;
        if (b < 0x80 && t->single[static_cast<size_t>(b)] != b)
            t->asciiAsIs = false;
        if (!incomplete)
            continue;
        t->rows[static_cast<size_t>(b)] = static_cast<uint32_t>(t->pairs.size());
        for (int trail = 0; trail < 256; ++trail) {
            const unsigned char pair[2] = {byte, static_cast<unsigned char>(trail)};
            t->pairs.push_back(decodeExactly(pair, 2));
        }
    }
    return t;
}

const DecodeTables *tables() {
    static const DecodeTables *built = buildTables(); // lives for the whole run
    return built;
}

// The code of each BMP character, one page of 256 at a time, asked of iconv
// when first needed: -1 for none, otherwise the byte or lead * 256 + trail.
int codeOfUnit(char16_t unit) {
    static std::array<std::unique_ptr<std::array<int, 256>>, 256> pages;
    static std::mutex guard;
    const std::lock_guard lock(guard);
    auto &page = pages[unit >> 8];
    if (!page) {
        page = std::make_unique<std::array<int, 256>>();
        for (int low = 0; low < 256; ++low) {
            const char16_t c = static_cast<char16_t>((unit & 0xFF00) | low);
            const std::optional<QByteArray> bytes = QChar::isSurrogate(c) ? std::nullopt : encode(QStringView(&c, 1));
            const auto byte = [&](int i) { return static_cast<unsigned char>(bytes->at(i)); };
            (*page)[static_cast<size_t>(low)] = !bytes || bytes->isEmpty() ? -1
                                                : bytes->size() == 1       ? byte(0)
                                                                           : byte(0) * 256 + byte(1);
        }
    }
    return (*page)[unit & 0xFF];
}

} // namespace

bool available() {
    return toUnicode().isOpen() && fromUnicode().isOpen() && tables();
}

int separatorPositions(QByteArrayView bytes, char separator, qsizetype *positions, int max, bool *endsInLoneLead) {
    const DecodeTables *t = tables();
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype size = bytes.size();
    int found = 0;
    bool loneLead = false;
    for (qsizetype at = 0; at < size && (found < max || endsInLoneLead);) {
        const unsigned char b = data[at];
        if (b >= 0x80 && t && t->lead[b]) {
            if (at + 1 < size && t->pairs[t->rows[b] + data[at + 1]] != None) {
                at += 2;
                continue;
            }
            loneLead = at + 1 == size;
        } else if (b == static_cast<unsigned char>(separator) && found < max) {
            positions[found++] = at;
        }
        ++at;
    }
    if (endsInLoneLead)
        *endsInLoneLead = loneLead;
    return found;
}

namespace detail {

QString decodeWithIconv(QByteArrayView bytes) {
    if (bytes.isEmpty() || !toUnicode().isOpen())
        return {};
    // Every code page 932 character is one or two bytes and one UTF-16 unit.
    QString out(bytes.size(), Qt::Uninitialized);
    iconv_t cd = toUnicode().handle();
    char *in = const_cast<char *>(bytes.data());
    size_t inLeft = static_cast<size_t>(bytes.size());
    char *outPtr = reinterpret_cast<char *>(out.data());
    size_t outLeft = static_cast<size_t>(out.size()) * 2;
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1))
            break;
        if (errno != EILSEQ && errno != EINVAL)
            break;
        // Replace the offending byte and go on with the next one.
        const char16_t replacement = 0xFFFD;
        std::memcpy(outPtr, &replacement, 2);
        outPtr += 2;
        outLeft -= 2;
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    out.truncate(static_cast<qsizetype>(outPtr - reinterpret_cast<char *>(out.data())) / 2);
    return out;
}

} // namespace detail

namespace {

// The one decoding walk: into `out` until the end, or, with StopAtSeparator,
// until a `separator` byte that stands as a character of its own. Returns
// the units written; `taken` gets the bytes read.
template <bool StopAtSeparator>
qsizetype decodeWalk(QByteArrayView bytes, char separator, char16_t *out, qsizetype *taken) {
    const DecodeTables *t = tables();
    const auto *start = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *p = start;
    const auto *end = p + bytes.size();
    char16_t *o = out;
    const auto stop = static_cast<unsigned char>(separator);
    if (t) {
        const char16_t *single = t->single.data();
        const bool *lead = t->lead.data();
        const uint32_t *rows = t->rows.data();
        const char16_t *pairs = t->pairs.data();
        const bool asciiAsIs = t->asciiAsIs;
        while (p < end) {
            const unsigned char b = *p;
            if (b < 0x80 && asciiAsIs) {
                if (StopAtSeparator && b == stop)
                    break;
                *o++ = b;
                ++p;
                continue;
            }
            if (lead[b] && p + 1 < end) {
                const char16_t unit = pairs[rows[b] + p[1]];
                if (unit != None) {
                    *o++ = unit;
                    p += 2;
                    continue;
                }
            }
            if (StopAtSeparator && b == stop)
                break;
            const char16_t unit = single[b];
            *o++ = unit == None ? char16_t(0xFFFD) : unit;
            ++p;
        }
    }
    *taken = p - start;
    return o - out;
}

} // namespace

qsizetype decodeInto(QByteArrayView bytes, char16_t *out) {
    qsizetype taken = 0;
    return decodeWalk<false>(bytes, '\0', out, &taken);
}

qsizetype decodeField(QByteArrayView bytes, char separator, char16_t *out, qsizetype *taken) {
    return decodeWalk<true>(bytes, separator, out, taken);
}

bool isClean(QByteArrayView bytes) {
    const DecodeTables *t = tables();
    if (!t)
        return false;
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = p + bytes.size();
    while (p < end) {
        const unsigned char b = *p;
        if (t->lead[b] && p + 1 < end && t->pairs[t->rows[b] + p[1]] != None) {
            p += 2;
            continue;
        }
        if (t->single[b] == None)
            return false;
        ++p;
    }
    return true;
}

QString decode(QByteArrayView bytes) {
    if (bytes.isEmpty())
        return {};
    QString out(bytes.size(), Qt::Uninitialized);
    out.truncate(decodeInto(bytes, reinterpret_cast<char16_t *>(out.data())));
    return out;
}

std::optional<QByteArray> encode(QStringView text) {
    if (text.isEmpty())
        return QByteArray();
    if (!fromUnicode().isOpen())
        return std::nullopt;
    QByteArray out(text.size() * 2, Qt::Uninitialized);
    iconv_t cd = fromUnicode().handle();
    char *in = reinterpret_cast<char *>(const_cast<QChar *>(text.data()));
    size_t inLeft = static_cast<size_t>(text.size()) * 2;
    char *outPtr = out.data();
    size_t outLeft = static_cast<size_t>(out.size());
    if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1))
        return std::nullopt;
    out.truncate(outPtr - out.data());
    return out;
}

bool canEncode(QStringView text) {
    return encode(text).has_value();
}

int codeOf(QStringView text) {
    if (text.isEmpty() || text.front().isSurrogate() || !fromUnicode().isOpen())
        return -1;
    return codeOfUnit(text.front().unicode());
}

} // namespace cp932
