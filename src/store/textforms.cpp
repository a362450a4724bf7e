#include "store/textforms.h"

#include "store/cp932.h"

#include <QStringDecoder>

#include <algorithm>

namespace textforms {

QString decodeUtf8OrCp932(QByteArrayView bytes) {
    QStringDecoder utf8(QStringConverter::Utf8);
    const QString text = utf8(bytes);
    return utf8.hasError() ? cp932::decode(bytes) : text;
}

QString kanjiNumber(int n) {
    if (n == 0)
        return QStringLiteral("〇");
    if (n < 0 || n > 9999)
        return QString::number(n);
    static constexpr char16_t units[] = u"千百十";
    QString text;
    int scale = 1000;
    for (int u = 0; u < 3; ++u, scale /= 10) {
        const int d = n / scale % 10;
        if (d > 1)
            text.append(QChar(KanjiDigits[d]));
        if (d > 0)
            text.append(QChar(units[u]));
    }
    if (n % 10)
        text.append(QChar(KanjiDigits[n % 10]));
    return text;
}

QString fullWidthKana(const QString &text) {
    const auto isHalfWidthKana = [](QChar c) { return c >= u'\uFF61' && c <= u'\uFF9F'; };
    if (std::none_of(text.begin(), text.end(), isHalfWidthKana))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        qsizetype end = i;
        while (end < text.size() && isHalfWidthKana(text.at(end)))
            ++end;
        if (end == i) {
            out.append(text.at(i++));
            continue;
        }
        // NFKC of the run alone: it maps and composes ｶﾞ to ガ, and nothing else changes.
        QString run = text.mid(i, end - i).normalized(QString::NormalizationForm_KC);
        // A mark with no kana before it stands as the spacing mark.
        if (run.startsWith(u'\u3099') || run.startsWith(u'\u309A'))
            run[0] = QChar(run.at(0).unicode() + 2);
        out.append(run);
        i = end;
    }
    return out;
}

QString withoutLegalForms(QString text) {
    static const char16_t *const forms[] = {u"特定非営利活動法人",
                                            u"一般社団法人",
                                            u"一般財団法人",
                                            u"公益社団法人",
                                            u"公益財団法人",
                                            u"医療法人社団",
                                            u"医療法人財団",
                                            u"社会福祉法人",
                                            u"医療法人",
                                            u"学校法人",
                                            u"宗教法人",
                                            u"NPO法人",
                                            u"株式会社",
                                            u"有限会社",
                                            u"合同会社",
                                            u"合資会社",
                                            u"合名会社",
                                            u"(株)",
                                            u"(有)",
                                            u"(同)",
                                            u"(資)",
                                            u"(名)",
                                            u"(医)",
                                            u"(社)",
                                            u"(財)"};
    for (const char16_t *form : forms)
        text.remove(QString::fromUtf16(form));
    return text;
}

bool isCompanyName(const QString &name) {
    const QString folded = name.normalized(QString::NormalizationForm_KC);
    return withoutLegalForms(folded) != folded;
}

} // namespace textforms
