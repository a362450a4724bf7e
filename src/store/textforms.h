#pragma once

#include <QByteArrayView>
#include <QChar>
#include <QString>

// Small facts about text that the store, the search and the contacts share.
namespace textforms {

inline constexpr QByteArrayView Utf8Bom("\xEF\xBB\xBF", 3);

// `bytes` without a UTF-8 byte-order mark at its start.
inline QByteArrayView withoutUtf8Bom(QByteArrayView bytes) {
    return bytes.startsWith(Utf8Bom) ? bytes.sliced(Utf8Bom.size()) : bytes;
}

// Hiragana or katakana (U+3041 to U+30FF), marks and ー included.
inline bool isKana(QChar c) {
    return c >= u'\u3041' && c <= u'\u30FF';
}

// A digit, ASCII or full-width.
inline bool isDigit(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'０' && c <= u'９');
}
// A digit, full-width or not, as its ASCII digit; anything else as it is.
inline char16_t asciiDigit(char16_t c) {
    return c >= u'０' && c <= u'９' ? static_cast<char16_t>(c - u'０' + u'0') : c;
}

// The hiragana of a katakana from ァ up to `last`, else `c` itself. Text the
// code page must hold stops at ヴ (ゕ and ゖ are not in it); comparing goes on to ヶ.
inline char16_t hiraganaOf(char16_t c, char16_t last = u'ヶ') {
    return c >= u'ァ' && c <= last ? static_cast<char16_t>(c - (u'ァ' - u'ぁ')) : c;
}

inline constexpr char16_t KanjiDigits[] = u"〇一二三四五六七八九";
// 0 to 9999 as an address writes a number in kanji: 十, 十一, 二十二, 百五
// (digits as they are beyond).
QString kanjiNumber(int n);

// Half-width katakana (ｶﾞ, ｰ, ｡) as their full-width forms (ガ, ー, 。), the
// voicing marks joined to their kana; everything else as it is.
QString fullWidthKana(const QString &text);

// Bytes in UTF-8 when they are valid UTF-8, otherwise in code page 932: what
// Japanese phones and spreadsheets that name no encoding write.
QString decodeUtf8OrCp932(QByteArrayView bytes);

// `text` (already in NFKC, where ㈱ and （株） are "(株)") without the legal
// forms of companies (株式会社, (有), 一般社団法人, ...).
QString withoutLegalForms(QString text);
// Whether a name is a company's: it carries a legal form.
bool isCompanyName(const QString &name);

} // namespace textforms
