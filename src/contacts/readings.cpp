#include "contacts/readings.h"

#include <QFileInfo>
#include <QStringList>

#include <mecab.h>

#include <algorithm>
#include <iterator>
#include <memory>

namespace readings {
namespace {

// The UTF-8 IPA dictionary as Debian installs it (mecab-ipadic-utf8).
const char *const Dictionary = "/var/lib/mecab/dic/ipadic-utf8";

MeCab::Tagger *tagger() {
    static const std::unique_ptr<MeCab::Tagger> made = []() -> std::unique_ptr<MeCab::Tagger> {
        if (!QFileInfo::exists(QString::fromLatin1(Dictionary)))
            return nullptr;
        return std::unique_ptr<MeCab::Tagger>(
            MeCab::createTagger((QByteArray("-r /dev/null -d ") + Dictionary).constData()));
    }();
    return made.get();
}

QString hiragana(QString text) {
    for (QChar &c : text)
        if (c >= u'\u30A1' && c <= u'\u30F6')
            c = QChar(c.unicode() - 0x60);
    return text;
}

bool isKana(QChar c) {
    return (c >= u'\u3041' && c <= u'\u309F') || (c >= u'\u30A0' && c <= u'\u30FF');
}

} // namespace

QString guess(const QString &name) {
    MeCab::Tagger *t = tagger();
    if (!t)
        return {};
    const QByteArray utf8 = name.simplified().remove(u' ').remove(u'\u3000').toUtf8();
    QString reading;
    for (const MeCab::Node *node = t->parseToNode(utf8.constData(), static_cast<size_t>(utf8.size())); node;
         node = node->next) {
        if (node->stat == MECAB_BOS_NODE || node->stat == MECAB_EOS_NODE)
            continue;
        const QString surface = QString::fromUtf8(node->surface, node->length);
        // IPA dictionary features: part of speech (4), forms (2), base form, reading, pronunciation.
        const QStringList features = QString::fromUtf8(node->feature).split(u',');
        QString part = features.size() > 7 && features.at(7) != u'*' ? features.at(7) : QString();
        if (part.isEmpty()) {
            for (QChar c : surface)
                if (!isKana(c))
                    return {};
            part = surface;
        }
        reading += hiragana(part);
    }
    return reading;
}

QString withoutAccents(const QString &text) {
    // Letters that are no accented form of a plain one.
    static const std::pair<char16_t, const char *> ligatures[] = {
        {u'ß', "ss"}, {u'æ', "ae"}, {u'Æ', "AE"}, {u'œ', "oe"}, {u'Œ', "OE"}, {u'ø', "o"},
        {u'Ø', "O"},  {u'ł', "l"},  {u'Ł', "L"},  {u'đ', "d"},  {u'Đ', "D"}};
    QString out;
    for (QChar c : text) {
        const auto ligature = std::find_if(std::begin(ligatures), std::end(ligatures),
                                           [c](const auto &l) { return l.first == c.unicode(); });
        if (ligature != std::end(ligatures)) {
            out += QLatin1String(ligature->second);
        } else if (c.unicode() >= 0xC0 && c.unicode() < 0x250) {
            // The letter without its marks: its canonical decomposition's first character.
            const QString decomposed = QString(c).normalized(QString::NormalizationForm_D);
            out += decomposed.at(0).unicode() < 0x80 ? decomposed.at(0) : c;
        } else {
            out += c;
        }
    }
    return out;
}

QString withCodePageVariants(const QString &text) {
    static const std::pair<QString, QString> variants[] = {
        {QStringLiteral("𠮷"), QStringLiteral("吉")}, {QStringLiteral("𡈽"), QStringLiteral("土")},
        {QStringLiteral("𣘺"), QStringLiteral("橋")}, {QStringLiteral("𥔎"), QStringLiteral("碕")},
        {QStringLiteral("𦚰"), QStringLiteral("脇")}};
    QString out = text;
    for (const auto &[from, to] : variants)
        out.replace(from, to);
    return out;
}

} // namespace readings
