#include "contacts/readings.h"

#include "store/textforms.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QStringList>

#include <mecab.h>
extern "C" {
#include <libkakasi.h>
}
#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>

namespace readings {
namespace {

// The UTF-8 IPA dictionary as Debian installs it (mecab-ipadic-utf8).
const char *const MeCabDictionary = "/var/lib/mecab/dic/ipadic-utf8";
// SKK's names dictionary (skkdic-extra): reading → names, in EUC-JP.
const char *const NamesDictionary = "/usr/share/skk/SKK-JISYO.jinmei";
// SKK's large dictionary (skkdic-extra), in UTF-8: its words marked 姓 or 名
// add rare names the names dictionary lacks (小鳥遊 たかなし).
const char *const LargeDictionary = "/usr/share/skk/utf8/SKK-JISYO.L.utf8";

struct MeCabTools {
    std::unique_ptr<MeCab::Model> model;
    std::unique_ptr<MeCab::Tagger> tagger;
    std::unique_ptr<MeCab::Lattice> lattice;
};

MeCabTools *mecab() {
    static const std::unique_ptr<MeCabTools> made = []() -> std::unique_ptr<MeCabTools> {
        if (!QFileInfo::exists(QString::fromLatin1(MeCabDictionary)))
            return nullptr;
        auto tools = std::make_unique<MeCabTools>();
        tools->model.reset(MeCab::createModel((QByteArray("-r /dev/null -d ") + MeCabDictionary).constData()));
        if (!tools->model)
            return nullptr;
        tools->tagger.reset(tools->model->createTagger());
        tools->lattice.reset(tools->model->createLattice());
        return tools->tagger && tools->lattice ? std::move(tools) : nullptr;
    }();
    return made.get();
}

bool allKana(const QString &text) {
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), textforms::isKana);
}

enum class Script { Latin, Foreign, Japanese, Space };

Script scriptOf(QChar c) {
    const char16_t u = c.unicode();
    if (u == u' ' || u == u'\u3000')
        return Script::Space;
    if (u < 0x250)
        return Script::Latin;
    if ((u >= 0x370 && u < 0x530) || (u >= 0x1100 && u < 0x1200) || (u >= 0x3100 && u < 0x3130) ||
        (u >= 0x3130 && u < 0x3190) || (u >= 0x31A0 && u < 0x31C0) || (u >= 0xAC00 && u < 0xD7B0))
        return Script::Foreign;
    return Script::Japanese;
}

QString fromEucJp(const char *bytes, qsizetype size) {
    const icu::UnicodeString decoded(bytes, static_cast<int32_t>(size), "EUC-JP");
    return QString(reinterpret_cast<const QChar *>(decoded.getBuffer()), decoded.length());
}

// name → its readings from the names dictionaries, each with the rank of the
// name among that reading's names and whether it is a family or given name:
// marked so (姓, 名), or a person's name of either kind (人名).
struct NameReading {
    QString reading;
    int rank;
    bool family;
    bool given;
    bool markedFamily; // 姓 in its note, not only 人名
    bool markedGiven;
};
using NameReadings = QHash<QString, QList<NameReading>>;

// The names of one SKK line "reading /name;note/name/…/" into `map`; only
// names whose note passes `wanted`.
template <typename Wanted> void addSkkLine(QStringView line, NameReadings &map, Wanted wanted) {
    const qsizetype space = line.indexOf(u' ');
    if (line.isEmpty() || line.startsWith(u';') || space <= 0)
        return;
    const QString reading = line.left(space).toString();
    if (!allKana(reading))
        return;
    int rank = 0;
    for (QStringView candidate : line.mid(space + 1).split(u'/', Qt::SkipEmptyParts)) {
        const qsizetype semicolon = candidate.indexOf(u';');
        const QStringView name = semicolon < 0 ? candidate : candidate.left(semicolon);
        const QStringView note = semicolon < 0 ? QStringView() : candidate.mid(semicolon + 1);
        const bool person = note.startsWith(u"人名");
        const bool family = note.startsWith(u"姓") || (person && note.contains(u'姓'));
        const bool given = note.startsWith(u"名");
        if (wanted(note))
            map[name.toString()].append({reading, rank, person || family, person || given, family, given});
        ++rank;
    }
}

const NameReadings &namesDictionary() {
    static const NameReadings names = [] {
        NameReadings map;
        QFile file(QString::fromLatin1(NamesDictionary));
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = file.readAll();
            const QString text = fromEucJp(bytes.constData(), bytes.size());
            for (QStringView line : QStringView(text).split(u'\n'))
                addSkkLine(line, map, [](QStringView) { return true; });
        }
        QFile large(QString::fromLatin1(LargeDictionary));
        if (large.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = large.readAll();
            // Only the few lines with a name marked 姓 or 名 are decoded.
            for (qsizetype at = 0; at < bytes.size();) {
                qsizetype end = bytes.indexOf('\n', at);
                if (end < 0)
                    end = bytes.size();
                const QByteArrayView line = QByteArrayView(bytes).sliced(at, end - at);
                if (line.contains(";姓") || line.contains(";名"))
                    addSkkLine(QString::fromUtf8(line), map,
                               [](QStringView note) { return note.startsWith(u"姓") || note.startsWith(u"名"); });
                at = end + 1;
            }
        }
        return map;
    }();
    return names;
}

// How the names dictionaries list `name` under `reading` for the part: its
// place among that reading's names (-1: not listed so), and whether marked
// as that part (姓, 名) rather than only as a person's name.
struct Listing {
    int rank = -1;
    bool marked = false;
};
Listing dictionaryListing(const QString &name, const QString &reading, NamePart part) {
    Listing best;
    for (const NameReading &r : namesDictionary().value(name)) {
        if (r.reading != reading || !(part == NamePart::Family ? r.family : r.given))
            continue;
        const bool marked = part == NamePart::Family ? r.markedFamily : r.markedGiven;
        if (best.rank < 0 || r.rank < best.rank)
            best.rank = r.rank;
        best.marked |= marked;
    }
    return best;
}

// A family or given name read as a person's name. MeCab's person-name
// entries for the whole text are the candidates, each at its cost plus a
// step for each place the names dictionary lists the name further down under
// that reading (its usual names come first), and a larger one unless a
// dictionary marks it as that part: MeCab's costs alone read 智子 さとこ,
// 葵 まもる, 大谷 おおや and 須藤 すとう. Without a MeCab entry, the
// dictionaries' best.
QString personReading(const QString &text, NamePart part) {
    struct Candidate {
        QString reading;
        long cost;
        Listing listing;
    };
    QList<Candidate> candidates;
    if (MeCabTools *tools = mecab()) {
        const QByteArray utf8 = text.toUtf8();
        MeCab::Lattice *lattice = tools->lattice.get();
        lattice->set_sentence(utf8.constData(), static_cast<size_t>(utf8.size()));
        if (tools->tagger->parse(lattice)) {
            const QString role = part == NamePart::Family ? QStringLiteral("姓") : QStringLiteral("名");
            for (const MeCab::Node *node = lattice->begin_nodes(0); node; node = node->bnext) {
                if (node->length != static_cast<unsigned>(utf8.size()) || node->stat != MECAB_NOR_NODE)
                    continue;
                const QStringList features = QString::fromUtf8(node->feature).split(u',');
                if (features.size() <= 7 || features.at(2) != u"人名" || features.at(3) != role)
                    continue;
                const QString reading = hiragana(features.at(7));
                candidates.append({reading, node->wcost, dictionaryListing(text, reading, part)});
            }
        }
    }
    // Family names only: the names dictionary marks given names' rare readings 名.
    const long unmarked = part == NamePart::Family ? 1500 : 0;
    const auto score = [&](const Candidate &c) {
        return c.cost + 1000 * (c.listing.rank < 0 ? 10 : c.listing.rank) + (c.listing.marked ? 0 : unmarked);
    };
    const auto better = [&](const Candidate &a, const Candidate &b) { return score(a) < score(b); };
    if (!candidates.isEmpty())
        return std::min_element(candidates.begin(), candidates.end(), better)->reading;
    const QList<NameReading> listed = namesDictionary().value(text);
    const NameReading *best = nullptr;
    const auto marked = [&](const NameReading &r) { return part == NamePart::Family ? r.markedFamily : r.markedGiven; };
    for (const NameReading &r : listed)
        if ((part == NamePart::Family ? r.family : r.given) &&
            (!best || std::pair(!marked(r), r.rank) < std::pair(!marked(*best), best->rank)))
            best = &r;
    return best ? hiragana(best->reading) : QString();
}

// A word the dictionaries lack, read by kakasi's kanji dictionary; empty
// when kakasi leaves a character unread. kakasi is given EUC-JP: its own
// UTF-8 mode loops in the library.
QString kakasiReading(const QString &text) {
    static const bool ready = [] {
        static char program[] = "kakasi", in[] = "-ieuc", out[] = "-oeuc", kanji[] = "-JH";
        char *argv[] = {program, in, out, kanji};
        return kakasi_getopt_argv(4, argv) == 0;
    }();
    if (!ready)
        return {};
    const icu::UnicodeString unicode(reinterpret_cast<const UChar *>(text.utf16()), static_cast<int32_t>(text.size()));
    std::string euc(static_cast<size_t>(unicode.length()) * 3 + 1, '\0');
    const int32_t length = unicode.extract(0, unicode.length(), euc.data(), static_cast<int32_t>(euc.size()), "EUC-JP");
    if (length <= 0 || length >= static_cast<int32_t>(euc.size()))
        return {};
    euc.resize(static_cast<size_t>(length));
    char *result = kakasi_do(euc.data());
    if (!result)
        return {};
    const QString reading = fromEucJp(result, qsizetype(strlen(result))).trimmed();
    kakasi_free(result);
    return allKana(reading) ? hiragana(reading) : QString();
}

// MeCab's best analysis of a run of Japanese text, word by word.
bool readJapanese(const QString &text, Guess &guess) {
    MeCabTools *tools = mecab();
    if (!tools)
        return false;
    const QByteArray utf8 = text.toUtf8();
    for (const MeCab::Node *node = tools->tagger->parseToNode(utf8.constData(), static_cast<size_t>(utf8.size())); node;
         node = node->next) {
        if (node->stat == MECAB_BOS_NODE || node->stat == MECAB_EOS_NODE)
            continue;
        const QString surface = QString::fromUtf8(node->surface, static_cast<qsizetype>(node->length));
        if (allKana(surface)) {
            guess.reading += hiragana(surface);
            continue;
        }
        // IPA dictionary features: part of speech (4), forms (2), base form, reading, pronunciation.
        const QStringList features = QString::fromUtf8(node->feature).split(u',');
        if (node->stat == MECAB_NOR_NODE && features.size() > 7 && features.at(7) != u'*') {
            guess.reading += hiragana(features.at(7));
            continue;
        }
        const QString perCharacter = kakasiReading(surface);
        if (perCharacter.isEmpty())
            return false;
        guess.reading += perCharacter;
        guess.perCharacter = true;
    }
    return true;
}

} // namespace

QString hiragana(QString text) {
    for (QChar &c : text)
        c = QChar(textforms::hiraganaOf(c.unicode(), u'ヴ'));
    return text;
}

QString commonForms(const QString &text) {
    static const std::pair<QString, QString> variants[] = {
        {QStringLiteral("髙"), QStringLiteral("高")}, {QStringLiteral("﨑"), QStringLiteral("崎")},
        {QStringLiteral("德"), QStringLiteral("徳")}, {QStringLiteral("邊"), QStringLiteral("辺")},
        {QStringLiteral("邉"), QStringLiteral("辺")}, {QStringLiteral("濵"), QStringLiteral("浜")},
        {QStringLiteral("濱"), QStringLiteral("浜")}, {QStringLiteral("櫻"), QStringLiteral("桜")},
        {QStringLiteral("廣"), QStringLiteral("広")}, {QStringLiteral("齋"), QStringLiteral("斎")},
        {QStringLiteral("齊"), QStringLiteral("斉")}, {QStringLiteral("澤"), QStringLiteral("沢")},
        {QStringLiteral("國"), QStringLiteral("国")}, {QStringLiteral("嶋"), QStringLiteral("島")},
        {QStringLiteral("嶌"), QStringLiteral("島")}, {QStringLiteral("槇"), QStringLiteral("槙")},
        {QStringLiteral("眞"), QStringLiteral("真")}, {QStringLiteral("惠"), QStringLiteral("恵")},
        {QStringLiteral("瀨"), QStringLiteral("瀬")}, {QStringLiteral("靍"), QStringLiteral("鶴")},
        {QStringLiteral("桒"), QStringLiteral("桑")}, {QStringLiteral("﨔"), QStringLiteral("欅")}};
    QString out = withCodePageVariants(text);
    for (const auto &[from, to] : variants)
        out.replace(from, to);
    return out;
}

QString transliterated(const QString &text) {
    static const std::unique_ptr<icu::Transliterator> toLatin = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Transliterator> t(
            icu::Transliterator::createInstance("Any-Latin; Latin-ASCII", UTRANS_FORWARD, status));
        return U_SUCCESS(status) ? std::move(t) : nullptr;
    }();
    if (!toLatin)
        return {};
    icu::UnicodeString u(reinterpret_cast<const UChar *>(text.utf16()), static_cast<int32_t>(text.size()));
    toLatin->transliterate(u);
    return QString(reinterpret_cast<const QChar *>(u.getBuffer()), u.length());
}

Guess guess(const QString &name, NamePart part) {
    Guess out;
    const QString text =
        textforms::withoutLegalForms(commonForms(name).normalized(QString::NormalizationForm_KC)).trimmed();
    if (text.isEmpty())
        return out;
    if (part != NamePart::Whole &&
        std::none_of(text.begin(), text.end(), [](QChar c) { return scriptOf(c) != Script::Japanese; })) {
        out.reading = personReading(text, part);
        if (!out.reading.isEmpty())
            return out;
    }
    // Runs of one script each: Latin letters and digits stay as written.
    for (qsizetype start = 0; start < text.size();) {
        const Script script = scriptOf(text.at(start));
        qsizetype end = start + 1;
        while (end < text.size() && scriptOf(text.at(end)) == script)
            ++end;
        const QString run = text.mid(start, end - start);
        start = end;
        switch (script) {
        case Script::Space:
            break;
        case Script::Latin:
            out.reading += run;
            break;
        case Script::Foreign: {
            const QString latin = transliterated(run);
            if (latin.isEmpty())
                return {};
            out.reading += latin;
            out.transliterated = true;
            break;
        }
        case Script::Japanese:
            if (!readJapanese(run, out))
                return {};
            break;
        }
    }
    return out;
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
    static const std::pair<QString, QString> variants[] = {{QStringLiteral("𠮷"), QStringLiteral("吉")},
                                                           {QStringLiteral("𡈽"), QStringLiteral("土")},
                                                           {QStringLiteral("𣘺"), QStringLiteral("橋")},
                                                           {QStringLiteral("𥔎"), QStringLiteral("碕")},
                                                           {QStringLiteral("𦚰"), QStringLiteral("脇")}};
    QString out = text;
    for (const auto &[from, to] : variants)
        out.replace(from, to);
    return out;
}

} // namespace readings
