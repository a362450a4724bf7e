#include "store/kanarow.h"

#include "store/cp932.h"

namespace kanarow {
namespace {

struct CodeRange {
    int first;
    int last;
};

struct Row {
    const char16_t *caption;
    CodeRange hiragana;
    CodeRange katakana;
};

// Inclusive code page 932 codes; small ぁ and ヴ ヵ ヶ fall outside every row.
constexpr Row Rows[RowCount] = {
    {u"全表示", {0, -1}, {0, -1}},
    {u"英字", {65, 122}, {0, -1}},
    {u"あ行", {0x82A0, 0x82A8}, {0x8340, 0x8349}},
    {u"か行", {0x82A9, 0x82B2}, {0x834A, 0x8353}},
    {u"さ行", {0x82B3, 0x82BC}, {0x8354, 0x835D}},
    {u"た行", {0x82BD, 0x82C7}, {0x835E, 0x8368}},
    {u"な行", {0x82C8, 0x82CC}, {0x8369, 0x836D}},
    {u"は行", {0x82CD, 0x82DB}, {0x836E, 0x837C}},
    {u"ま行", {0x82DC, 0x82E0}, {0x837D, 0x8382}},
    {u"や行", {0x82E1, 0x82E6}, {0x8383, 0x8388}},
    {u"ら行", {0x82E7, 0x82EB}, {0x8389, 0x838D}},
    {u"わ行", {0x82EC, 0x82F1}, {0x838E, 0x8393}},
};

bool within(int code, CodeRange range) {
    return code >= range.first && code <= range.last;
}

} // namespace

QStringList captions() {
    QStringList all;
    for (const Row &row : Rows)
        all.append(QString::fromUtf16(row.caption));
    return all;
}

bool matches(QStringView reading, int row) {
    if (row <= 0)
        return true;
    if (row >= RowCount)
        return false;
    const int code = cp932::codeOf(reading);
    return code >= 0 && (within(code, Rows[row].hiragana) || within(code, Rows[row].katakana));
}

} // namespace kanarow
