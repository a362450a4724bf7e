#include "browse/search.h"

#include "store/cp932.h"

#include <algorithm>
#include <array>
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
        for (int c = 0x30A1; c <= 0x30F6; ++c) // katakana ァ to ヶ
            (*t)[static_cast<size_t>(c)] = static_cast<char16_t>(c - 0x60);
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

bool isDigit(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'０' && c <= u'９');
}

// A digit, full-width or not, as its ASCII digit.
char16_t asciiDigit(char16_t c) {
    return c >= u'０' ? static_cast<char16_t>(c - u'０' + u'0') : c;
}

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
    // Decoded whole: the decoder walks the pairs anyway, and "|" is then found
    // by the wide scans of indexOf.
    if (decoded_.size() < static_cast<size_t>(line.size()))
        decoded_.resize(static_cast<size_t>(line.size()));
    const QStringView text(decoded_.data(), cp932::decodeInto(line, decoded_.data()));
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
    qsizetype end = -1;
    for (int bar = 0; bar < SearchedFields; ++bar)
        if ((end = text.indexOf(u'|', end + 1)) < 0)
            break;
    const QStringView searched = end < 0 ? text : text.first(end);
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

void Index::add(QByteArrayView line) {
    if (decoded_.size() < static_cast<size_t>(line.size()))
        decoded_.resize(static_cast<size_t>(line.size()));
    const QStringView text(decoded_.data(), cp932::decodeInto(line, decoded_.data()));
    qsizetype end = -1;
    for (int bar = 0; bar < SearchedFields; ++bar)
        if ((end = text.indexOf(u'|', end + 1)) < 0)
            break;
    const QStringView searched = end < 0 ? text : text.first(end);
    const size_t at = folded_.size();
    folded_.resize(at + static_cast<size_t>(searched.size()) + 1);
    const qsizetype folded = foldInto(searched, folded_.data() + at);
    folded_.resize(at + static_cast<size_t>(folded));
    folded_.push_back(u'|');
    foldedStart_.push_back(static_cast<int>(folded_.size()));
    forEachSearchedField(text, [&](int f, QStringView field) {
        if (!NumberField[f])
            return;
        const size_t from = digits_.size();
        digits_.resize(from + DigitsKept + 1);
        digits_.resize(from + static_cast<size_t>(digitsOf(field, digits_.data() + from)));
        digits_.push_back(u'|');
    });
    digitsStart_.push_back(static_cast<int>(digits_.size()));
}

void Index::find(const Query &query, const std::vector<int> *within, std::vector<int> &hits) const {
    hits.clear();
    if (query.folded_.isEmpty())
        return;
    const bool number = !query.digits_.isEmpty();
    const std::vector<char16_t> &text = number ? digits_ : folded_;
    const std::vector<int> &starts = number ? digitsStart_ : foldedStart_;
    const QStringView needle = number ? QStringView(query.digits_) : QStringView(query.folded_);
    const auto entryText = [&](int e) {
        return QStringView(text.data() + starts[static_cast<size_t>(e)],
                           starts[static_cast<size_t>(e) + 1] - starts[static_cast<size_t>(e)]);
    };
    if (within) {
        for (int e : *within)
            if (entryText(e).contains(needle))
                hits.push_back(e);
        return;
    }
    // The whole book at once: each find names its entry, and the search goes
    // on from the next entry.
    const QStringView all(text.data(), static_cast<qsizetype>(text.size()));
    for (qsizetype from = 0; from < all.size();) {
        const qsizetype found = all.indexOf(needle, from);
        if (found < 0)
            break;
        const auto next = std::upper_bound(starts.begin(), starts.end(), static_cast<int>(found));
        hits.push_back(static_cast<int>(next - starts.begin()) - 1);
        from = *next;
    }
}

} // namespace search
