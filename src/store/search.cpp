#include "store/search.h"

#include "store/cp932.h"
#include "store/textforms.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace search {
namespace {

// Fields 1 to 8 (reading to e-mail) are searched; 9 and 10 are the category and the mark.
constexpr int SearchedFields = 8;
// Fields holding numbers whose digits a number query is compared with:
// postal code, telephone, fax, mobile (counting from 0).
constexpr bool NumberField[SearchedFields] = {false, false, true, false, true, true, true, false};

// Half-width katakana U+FF61 to U+FF9F as the hiragana (or punctuation) they stand for.
constexpr char16_t HalfWidth[] = {
    u'。', u'「', u'」', u'、', u'・', u'を', u'ぁ', u'ぃ', u'ぅ', u'ぇ', u'ぉ', u'ゃ', u'ゅ', u'ょ', u'っ', u'ー',
    u'あ', u'い', u'う', u'え', u'お', u'か', u'き', u'く', u'け', u'こ', u'さ', u'し', u'す', u'せ', u'そ', u'た',
    u'ち', u'つ', u'て', u'と', u'な', u'に', u'ぬ', u'ね', u'の', u'は', u'ひ', u'ふ', u'へ', u'ほ', u'ま', u'み',
    u'む', u'め', u'も', u'や', u'ゆ', u'よ', u'ら', u'り', u'る', u'れ', u'ろ', u'わ', u'ん', u'゛', u'゜'};
static_assert(std::size(HalfWidth) == 0xFF9F - 0xFF61 + 1);

// One unit for one unit, built once: 128 KB, looked up for every character of every line.
const std::array<char16_t, 65536> &foldTable() {
    static const std::unique_ptr<std::array<char16_t, 65536>> table = [] {
        auto t = std::make_unique<std::array<char16_t, 65536>>();
        for (int c = 0; c < 65536; ++c)
            (*t)[static_cast<size_t>(c)] = static_cast<char16_t>(c);
        for (int c = u'A'; c <= u'Z'; ++c)
            (*t)[static_cast<size_t>(c)] = static_cast<char16_t>(c + 32);
        for (int c = 0xFF01; c <= 0xFF5E; ++c) { // full-width ASCII
            const int ascii = c - 0xFF01 + 0x21;
            (*t)[static_cast<size_t>(c)] = static_cast<char16_t>(ascii >= 'A' && ascii <= 'Z' ? ascii + 32 : ascii);
        }
        for (char16_t c = u'ァ'; c <= u'ヶ'; ++c)
            (*t)[c] = textforms::hiraganaOf(c);
        for (int c = 0xFF61; c <= 0xFF9F; ++c)
            (*t)[static_cast<size_t>(c)] = HalfWidth[c - 0xFF61];
        (*t)[0x3000] = u' ';
        return t;
    }();
    return *table;
}

// The kana with a voiced (゛) or semi-voiced (゜) mark, or 0 when it takes none.
char16_t withMark(char16_t kana, char16_t mark) {
    const bool voiced = mark == u'゛';
    if (voiced && kana == u'う')
        return u'ゔ';
    if ((kana >= u'か' && kana <= u'ぢ') || (kana >= u'つ' && kana <= u'ど'))
        return voiced && (kana - u'か') % 2 == (kana >= u'つ' ? 1 : 0) ? static_cast<char16_t>(kana + 1) : 0;
    if (kana >= u'は' && kana <= u'ほ' && (kana - u'は') % 3 == 0)
        return static_cast<char16_t>(kana + (voiced ? 1 : 2));
    return 0;
}

// fold() into `out`, which has room for text.size() units; returns the units written.
qsizetype foldInto(QStringView text, char16_t *out) {
    const std::array<char16_t, 65536> &table = foldTable();
    qsizetype n = 0;
    for (QChar c : text) {
        const char16_t folded = table[c.unicode()];
        if ((folded == u'゛' || folded == u'゜') && n > 0)
            if (const char16_t joined = withMark(out[n - 1], folded)) {
                out[n - 1] = joined;
                continue;
            }
        out[n++] = folded;
    }
    return n;
}

using textforms::asciiDigit;
using textforms::isDigit;

// The digits of `text` (full-width ones as ASCII) when it is a number: only
// digits and the separators people type between them. Empty otherwise.
QString numberDigits(QStringView text) {
    QString digits;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (isDigit(u))
            digits.append(QChar(asciiDigit(u)));
        else if (!QStringView(u" 　-－‐ー()（）+＋.").contains(c))
            return {};
    }
    return digits;
}

// The digits of a number field are compared up to this many.
constexpr qsizetype DigitsKept = 256;

// The digits of `field` (full-width ones as ASCII) into `out`, which has room for DigitsKept.
qsizetype digitsOf(QStringView field, char16_t *out) {
    qsizetype n = 0;
    for (QChar c : field)
        if (isDigit(c.unicode()) && n < DigitsKept)
            out[n++] = asciiDigit(c.unicode());
    return n;
}

// Whether the digits of `field`, in order and without what stands between
// them, contain `digits`.
bool digitsContain(QStringView field, QStringView digits) {
    char16_t found[DigitsKept];
    return QStringView(found, digitsOf(field, found)).contains(digits);
}

// The line decoded whole into `buffer`, reused from line to line: the decoder
// walks the pairs anyway, and "|" is then found by the wide scans of indexOf.
QStringView decodedLine(QByteArrayView line, std::vector<char16_t> &buffer) {
    if (buffer.size() < static_cast<size_t>(line.size()))
        buffer.resize(static_cast<size_t>(line.size()));
    return QStringView(buffer.data(), cp932::decodeInto(line, buffer.data()));
}

// The searched fields of a decoded line with the bars between them.
QStringView searchedFields(QStringView text) {
    qsizetype end = -1;
    for (int bar = 0; bar < SearchedFields; ++bar)
        if ((end = text.indexOf(u'|', end + 1)) < 0)
            break;
    return end < 0 ? text : text.first(end);
}

// Calls visit(field number, field) for each of the searched fields `text` has.
template <typename Visit> void forEachSearchedField(QStringView text, Visit visit) {
    qsizetype start = 0;
    for (int f = 0; f < SearchedFields && start <= text.size(); ++f) {
        qsizetype bar = text.indexOf(u'|', start);
        if (bar < 0)
            bar = text.size();
        visit(f, text.sliced(start, bar - start));
        start = bar + 1;
    }
}

// Folded text as the index keeps it: each unit as its code page 932 bytes.
// A unit that is no character of the code page (U+FFFD for a byte that was
// none) becomes 0xFF, which is no character either, so it matches only itself.
class FoldedBytes {
public:
    // Appends `text`'s bytes to `out`; false when a unit has no code (only a
    // query can hold one: then it finds nothing).
    bool append(QStringView text, std::vector<char> &out) {
        bool all = true;
        for (QChar c : text) {
            const uint16_t code = codeOf(c.unicode());
            if (code == None) {
                out.push_back(static_cast<char>(0xFF));
                all = all && c.unicode() == 0xFFFD;
            } else if (code > 0xFF) {
                out.push_back(static_cast<char>(code >> 8));
                out.push_back(static_cast<char>(code & 0xFF));
            } else {
                out.push_back(static_cast<char>(code));
            }
        }
        return all;
    }

    // Whether a match at `at` in `text` starts on a character, not on the
    // second byte of a pair.
    static bool startsCharacter(const char *text, qsizetype at) {
        qsizetype i = 0;
        while (i < at) {
            const auto b = static_cast<unsigned char>(text[i]);
            i += (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC) ? 2 : 1;
        }
        return i == at;
    }

private:
    static constexpr uint16_t None = 0xFFFF;

    uint16_t codeOf(char16_t unit) {
        std::unique_ptr<std::array<uint16_t, 256>> &page = pages_[unit >> 8];
        if (!page) {
            page = std::make_unique<std::array<uint16_t, 256>>();
            for (int low = 0; low < 256; ++low) {
                char16_t c = static_cast<char16_t>((unit & 0xFF00) | low);
                if (c >= u'ゔ' && c <= u'ゖ')
                    c = static_cast<char16_t>(c + (u'ヴ' - u'ゔ'));
                const int code = QChar::isSurrogate(c) ? -1 : cp932::codeOf(QStringView(&c, 1));
                (*page)[static_cast<size_t>(low)] = code < 0 ? None : static_cast<uint16_t>(code);
            }
        }
        return (*page)[unit & 0xFF];
    }

    std::array<std::unique_ptr<std::array<uint16_t, 256>>, 256> pages_;
};

FoldedBytes &foldedBytes() {
    static FoldedBytes bytes;
    return bytes;
}

// The first place in [from, end) of `text` where `needle` stands; -1 when none.
qsizetype findBytes(const std::vector<char> &text, qsizetype from, qsizetype end, QByteArrayView needle) {
    const void *found = ::memmem(text.data() + from, static_cast<size_t>(end - from), needle.data(),
                                 static_cast<size_t>(needle.size()));
    return found ? static_cast<const char *>(found) - text.data() : -1;
}

} // namespace

QString fold(QStringView text) {
    QString folded(text.size(), Qt::Uninitialized);
    folded.resize(foldInto(text, reinterpret_cast<char16_t *>(folded.data())));
    return folded;
}

Query::Query(QStringView typed) : folded_(fold(typed.trimmed())), digits_(numberDigits(typed)) {
    // A "|" would reach across fields; no field holds one.
    if (folded_.contains(u'|'))
        folded_.clear();
}

bool Query::matches(QByteArrayView line) const {
    if (folded_.isEmpty())
        return false;
    const QStringView text = decodedLine(line, decoded_);
    // A number is compared by its digits with the postal code and the numbers only.
    if (!digits_.isEmpty()) {
        bool found = false;
        forEachSearchedField(text, [&](int f, QStringView field) {
            found = found || (NumberField[f] && digitsContain(field, digits_));
        });
        return found;
    }
    // Text: the searched fields folded in place (folding never lengthens) and
    // looked through at once; the query holds no "|", so it never reaches
    // across two fields.
    const QStringView searched = searchedFields(text);
    const qsizetype folded = foldInto(searched, decoded_.data());
    return QStringView(decoded_.data(), folded).contains(folded_);
}

bool Query::narrows(const Query &earlier) const {
    if (earlier.folded_.isEmpty() || digits_.isEmpty() != earlier.digits_.isEmpty())
        return false;
    return digits_.isEmpty() ? folded_.contains(earlier.folded_) : digits_.contains(earlier.digits_);
}

void Index::clear() {
    folded_.clear();
    digits_.clear();
    foldedStart_.assign(1, 0);
    digitsStart_.assign(1, 0);
}

void Index::reserve(int entries, qsizetype bytes) {
    // Folding can turn a half-width kana's byte into two.
    folded_.reserve(static_cast<size_t>(bytes) * 2 + static_cast<size_t>(entries));
    digits_.reserve(static_cast<size_t>(bytes) + static_cast<size_t>(entries) * 4);
    foldedStart_.reserve(static_cast<size_t>(entries) + 1);
    digitsStart_.reserve(static_cast<size_t>(entries) + 1);
}

void Index::add(QByteArrayView line) {
    const QStringView text = decodedLine(line, decoded_);
    const QStringView searched = searchedFields(text);
    if (folding_.size() < static_cast<size_t>(searched.size()))
        folding_.resize(static_cast<size_t>(searched.size()));
    foldedBytes().append(QStringView(folding_.data(), foldInto(searched, folding_.data())), folded_);
    folded_.push_back('|');
    foldedStart_.push_back(static_cast<int>(folded_.size()));
    forEachSearchedField(text, [&](int f, QStringView field) {
        if (!NumberField[f])
            return;
        char16_t digits[DigitsKept];
        const qsizetype n = digitsOf(field, digits);
        for (qsizetype i = 0; i < n; ++i)
            digits_.push_back(static_cast<char>(digits[i]));
        digits_.push_back('|');
    });
    digitsStart_.push_back(static_cast<int>(digits_.size()));
}

void Index::find(const Query &query, const std::vector<int> *within, std::vector<int> &hits) const {
    hits.clear();
    if (query.folded_.isEmpty())
        return;
    const bool number = !query.digits_.isEmpty();
    const std::vector<char> &text = number ? digits_ : folded_;
    const std::vector<int> &starts = number ? digitsStart_ : foldedStart_;
    std::vector<char> needleBytes;
    if (number) {
        for (QChar c : query.digits_)
            needleBytes.push_back(static_cast<char>(c.unicode()));
    } else if (!foldedBytes().append(query.folded_, needleBytes)) {
        return; // a character no entry can hold
    }
    const QByteArrayView needle(needleBytes.data(), static_cast<qsizetype>(needleBytes.size()));
    const auto startOf = [&](int e) { return static_cast<qsizetype>(starts[static_cast<size_t>(e)]); };
    // The first find in entry `e` at or after `from` that starts a character; -1 when none.
    const auto findIn = [&](int e, qsizetype from) -> qsizetype {
        for (qsizetype at = from;; ++at) {
            at = findBytes(text, at, startOf(e + 1), needle);
            if (at < 0 || number || FoldedBytes::startsCharacter(text.data() + startOf(e), at - startOf(e)))
                return at;
        }
    };
    if (within) {
        for (int e : *within)
            if (findIn(e, startOf(e)) >= 0)
                hits.push_back(e);
        return;
    }
    // The whole book at once: each find names its entry, which is then
    // checked and left for the next.
    const qsizetype size = static_cast<qsizetype>(text.size());
    for (qsizetype from = 0; from < size;) {
        const qsizetype found = findBytes(text, from, size, needle);
        if (found < 0)
            break;
        const int e =
            static_cast<int>(std::upper_bound(starts.begin(), starts.end(), static_cast<int>(found)) - starts.begin()) -
            1;
        if (findIn(e, found) >= 0)
            hits.push_back(e);
        from = startOf(e + 1);
    }
}

} // namespace search
