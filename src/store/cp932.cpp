#include "store/cp932.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

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

} // namespace

bool available() {
    return toUnicode().isOpen() && fromUnicode().isOpen();
}

QString decode(QByteArrayView bytes) {
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
    if (text.isEmpty())
        return -1;
    const qsizetype length = text.front().isHighSurrogate() ? 2 : 1;
    const std::optional<QByteArray> bytes = encode(text.first(qMin(length, text.size())));
    if (!bytes || bytes->isEmpty())
        return -1;
    const auto byte = [&](int i) { return static_cast<unsigned char>(bytes->at(i)); };
    return bytes->size() == 1 ? byte(0) : byte(0) * 256 + byte(1);
}

} // namespace cp932
