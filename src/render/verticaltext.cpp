#include "render/verticaltext.h"

#include "render/fonts.h"
#include "render/twipunits.h"
#include "store/textforms.h"

#include <QGlyphRun>
#include <QHash>
#include <QPainter>
#include <QRawFont>

#include <hb.h>

#include <memory>

namespace verticaltext {
namespace {

bool isDigit(QChar c) {
    return textforms::isDigit(c.unicode());
}

bool isDash(QChar c) {
    switch (c.unicode()) {
    case u'-':
    case u'－':
    case u'‐':
    case u'‑':
    case u'−':
    case u'ー':
    case u'ｰ':
    case u'―':
    case u'—':
    case u'─':
        return true;
    default:
        return false;
    }
}

// One font's shaping data: HarfBuzz reads the tables of the very font Qt
// draws with, so that glyph indexes agree.
class Shaper {
public:
    explicit Shaper(const QString &fontName)
        : raw_(QRawFont::fromFont(fonts::named(fontName, 12))),
          face_(hb_face_create_for_tables(&Shaper::table, this, nullptr), hb_face_destroy),
          font_(nullptr, hb_font_destroy) {
        hb_face_set_upem(face_.get(), static_cast<unsigned>(raw_.unitsPerEm()));
        font_.reset(hb_font_create(face_.get()));
    }

    const QRawFont &raw() const { return raw_; }
    double unitsPerEm() const { return raw_.unitsPerEm(); }
    // How far below a cell's top an upright character's baseline lies, in ems.
    double uprightBaseline() const {
        if (baseline_ < 0) {
            const Shaped zero = shape(QStringLiteral("０"));
            baseline_ = zero.positions.isEmpty() ? 0.88 : -zero.positions.first().y() / unitsPerEm();
        }
        return baseline_;
    }

    // Glyphs and their positions in font units, HarfBuzz's way up (y grows upwards).
    struct Shaped {
        QList<quint32> glyphs;
        QList<QPointF> positions;
        QList<qsizetype> clusters;
        double length = 0; // down the column
    };
    Shaped shape(const QString &text) const {
        std::unique_ptr<hb_buffer_t, decltype(&hb_buffer_destroy)> buffer(hb_buffer_create(), hb_buffer_destroy);
        hb_buffer_add_utf16(buffer.get(), reinterpret_cast<const uint16_t *>(text.utf16()), int(text.size()), 0,
                            int(text.size()));
        hb_buffer_set_script(buffer.get(), HB_SCRIPT_HAN);
        hb_buffer_set_language(buffer.get(), hb_language_from_string("ja", -1));
        // Top to bottom turns on the fonts' vertical forms (vert, vrt2).
        hb_buffer_set_direction(buffer.get(), HB_DIRECTION_TTB);
        hb_shape(font_.get(), buffer.get(), nullptr, 0);
        unsigned count = 0;
        const hb_glyph_info_t *info = hb_buffer_get_glyph_infos(buffer.get(), &count);
        const hb_glyph_position_t *pos = hb_buffer_get_glyph_positions(buffer.get(), &count);
        Shaped shaped;
        double x = 0, y = 0;
        for (unsigned i = 0; i < count; ++i) {
            shaped.glyphs.append(info[i].codepoint);
            shaped.clusters.append(info[i].cluster);
            shaped.positions.append(QPointF(x + pos[i].x_offset, y + pos[i].y_offset));
            x += pos[i].x_advance;
            y += pos[i].y_advance;
        }
        shaped.length = -y;
        return shaped;
    }

private:
    static hb_blob_t *table(hb_face_t *, hb_tag_t tag, void *self) {
        const char name[4] = {char(tag >> 24), char(tag >> 16), char(tag >> 8), char(tag)};
        const QByteArray data = static_cast<Shaper *>(self)->raw_.fontTable(name);
        if (data.isEmpty())
            return nullptr;
        return hb_blob_create(data.constData(), static_cast<unsigned>(data.size()), HB_MEMORY_MODE_DUPLICATE, nullptr,
                              nullptr);
    }

    QRawFont raw_;
    mutable double baseline_ = -1;
    std::unique_ptr<hb_face_t, decltype(&hb_face_destroy)> face_;
    std::unique_ptr<hb_font_t, decltype(&hb_font_destroy)> font_;
};

const Shaper &shaperFor(const QString &fontName) {
    // Kept to the end of the process: a font engine must not outlive the
    // application's font machinery in a static destructor.
    static auto *shapers = new QHash<QString, Shaper *>;
    Shaper *&shaper = (*shapers)[fontName];
    if (!shaper)
        shaper = new Shaper(fontName);
    return *shaper;
}

// A vertical form is a glyph the font's character map does not lead to, so a
// PDF cannot tell which character it is. The character is written over it
// in invisible ink, which a PDF keeps as text (search, copy, pdftotext).
void sayVerticalForms(QPainter &painter, const GlyphRun &run, const QRawFont &raw, const QList<QPointF> &positions) {
    QFont font = fonts::named(run.font.name, run.font.size);
    font.setPixelSize(qMax(1, qRound(raw.pixelSize())));
    bool penSet = false;
    for (qsizetype i = 0; i < run.glyphs.size() && i < run.clusters.size(); ++i) {
        const qsizetype at = run.clusters.at(i);
        if (at < 0 || at >= run.text.size())
            continue;
        const QString character = run.text.mid(at, run.text.at(at).isHighSurrogate() ? 2 : 1);
        if (raw.glyphIndexesForString(character).value(0) == run.glyphs.at(i))
            continue;
        if (!penSet) {
            painter.setFont(font);
            painter.setPen(Qt::transparent);
            penSet = true;
        }
        painter.drawText(positions.at(i), character);
    }
}

double twipsPerUnit(const Shaper &shaper, const FontSpec &font) {
    return font.size * twips::PerPoint / shaper.unitsPerEm();
}

} // namespace

namespace {
// A number that names a place or a floor is read as a number (北十条,
// 二十五階), where a house number is read digit by digit (一〇番地, 一〇一).
// Place names keep it whichever numerals are chosen: the town is 北十条.
enum class NumberKind { HouseNumber, Counted, PlaceName };
NumberKind kindOfNumberBefore(QStringView rest) {
    for (QStringView place : {u"条", u"線", u"番町", u"地割"})
        if (rest.startsWith(place))
            return NumberKind::PlaceName;
    for (QStringView counter : {u"丁目", u"丁", u"階", u"区"})
        if (rest.startsWith(counter))
            return NumberKind::Counted;
    return NumberKind::HouseNumber;
}
} // namespace

QString forColumn(const QString &text, Numerals numerals) {
    QString written;
    written.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text.at(i);
        if (!isDigit(c)) {
            const bool betweenDigits =
                i > 0 && i + 1 < text.size() && isDigit(text.at(i - 1)) && isDigit(text.at(i + 1));
            written.append(isDash(c) && betweenDigits ? QChar(u'―') : c);
            ++i;
            continue;
        }
        qsizetype end = i;
        QString digits;
        for (; end < text.size() && isDigit(text.at(end)); ++end)
            digits.append(QChar(textforms::asciiDigit(text.at(end).unicode())));
        const NumberKind kind = kindOfNumberBefore(QStringView(text).sliced(end));
        const bool kanji = numerals != Numerals::Arabic;
        // A leading zero is kept as a digit: 05 is not 五.
        const bool countable = digits.size() <= 4 && (digits.size() == 1 || digits.at(0) != u'0');
        const bool counted = kind == NumberKind::PlaceName ||
                             (kanji && (kind == NumberKind::Counted || numerals == Numerals::KanjiCounted));
        if (countable && counted)
            written.append(textforms::kanjiNumber(digits.toInt()));
        else if (kanji)
            for (const QChar d : digits)
                written.append(QChar(textforms::KanjiDigits[d.unicode() - u'0']));
        else
            written.append(QStringView(text).sliced(i, end - i));
        i = end;
    }
    return written;
}

namespace {
// Where the exactly-two-digit numbers of `text` stand, each as its start.
QList<qsizetype> twoDigitNumbers(const QString &text) {
    QList<qsizetype> starts;
    for (qsizetype i = 0; i + 1 < text.size(); ++i)
        if (isDigit(text.at(i)) && isDigit(text.at(i + 1)) && (i == 0 || !isDigit(text.at(i - 1))) &&
            (i + 2 == text.size() || !isDigit(text.at(i + 2))))
            starts.append(i);
    return starts;
}

// Lays `text` down a column into `run` (when given) and says how far it runs,
// in twips: shaped stretches, and two-digit numbers across one cell each.
double layOut(const QString &text, const FontSpec &font, QPointF topCentre, GlyphRun *run) {
    const Shaper &shaper = shaperFor(font.name);
    const double k = twipsPerUnit(shaper, font);
    const double em = font.size * twips::PerPoint;
    double y = 0;
    const auto shapeStretch = [&](qsizetype from, qsizetype to) {
        if (to <= from)
            return;
        const Shaper::Shaped shaped = shaper.shape(text.mid(from, to - from));
        if (run) {
            for (qsizetype g = 0; g < shaped.glyphs.size(); ++g) {
                const QPointF p = shaped.positions.at(g);
                run->glyphs.append(shaped.glyphs.at(g));
                run->origins.append(QPointF(topCentre.x() + p.x() * k, topCentre.y() + y - p.y() * k));
                run->clusters.append(from + shaped.clusters.at(g));
            }
        }
        y += shaped.length * k;
    };
    qsizetype from = 0;
    for (const qsizetype at : twoDigitNumbers(text)) {
        shapeStretch(from, at);
        if (run) {
            QRawFont raw = shaper.raw();
            raw.setPixelSize(em);
            const QString pair = QString(QChar(textforms::asciiDigit(text.at(at).unicode()))) +
                                 QChar(textforms::asciiDigit(text.at(at + 1).unicode()));
            const QList<quint32> glyphs = raw.glyphIndexesForString(pair);
            const QList<QPointF> advances = raw.advancesForGlyphIndexes(glyphs);
            double width = 0;
            for (const QPointF &a : advances)
                width += a.x();
            // As wide as a cell at most, on the baseline upright digits stand on.
            const double squeeze = width > em ? em / width : 1.0;
            double x = topCentre.x() - width * squeeze / 2;
            for (qsizetype g = 0; g < glyphs.size(); ++g) {
                run->glyphs.append(glyphs.at(g));
                run->origins.append(QPointF(x, topCentre.y() + y + shaper.uprightBaseline() * em));
                run->clusters.append(at + g);
                x += advances.at(g).x() * squeeze;
            }
        }
        y += em;
        from = at + 2;
    }
    shapeStretch(from, text.size());
    return y;
}
} // namespace

double length(const QString &text, const FontSpec &font) {
    return layOut(text, font, {}, nullptr);
}

GlyphRun column(const QString &text, const FontSpec &font, QPointF topCentre) {
    GlyphRun run{text, font, {}, {}, {}};
    layOut(text, font, topCentre, &run);
    return run;
}

GlyphRun centred(const QString &text, const FontSpec &font, QPointF centre) {
    QRawFont raw = shaperFor(font.name).raw();
    raw.setPixelSize(font.size * twips::PerPoint); // so that its metrics are twips
    const QList<quint32> glyphs = raw.glyphIndexesForString(text);
    const QList<QPointF> advances = raw.advancesForGlyphIndexes(glyphs);
    double width = 0;
    for (const QPointF &a : advances)
        width += a.x();
    GlyphRun run{text, font, glyphs, {}, {}};
    QPointF origin(centre.x() - width / 2, centre.y() + raw.capHeight() / 2);
    for (const QPointF &a : advances) {
        run.origins.append(origin);
        origin.rx() += a.x();
    }
    for (qsizetype i = 0; i < glyphs.size(); ++i)
        run.clusters.append(i);
    return run;
}

void paint(QPainter &painter, const GlyphRun &run, QColor colour, double devicePerTwip) {
    QRawFont raw = shaperFor(run.font.name).raw();
    raw.setPixelSize(run.font.size * twips::PerPoint * devicePerTwip);
    QList<QPointF> positions;
    positions.reserve(run.origins.size());
    for (const QPointF &o : run.origins)
        positions.append(o * devicePerTwip);
    QGlyphRun glyphs;
    glyphs.setRawFont(raw);
    glyphs.setGlyphIndexes(run.glyphs);
    glyphs.setPositions(positions);
    painter.setPen(colour);
    painter.drawGlyphRun(QPointF(0, 0), glyphs);
    sayVerticalForms(painter, run, raw, positions);
}

} // namespace verticaltext
