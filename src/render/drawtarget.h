#pragma once

#include <QColor>
#include <QList>
#include <QPixmap>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QString>

class QPaintDevice;

struct PenSpec {
    Qt::PenStyle style = Qt::SolidLine;
    int width = 1;
    QColor colour;
    bool operator==(const PenSpec &) const = default;
};

struct FontSpec {
    QString name;
    double size = 0;
    bool bold = false;
    bool operator==(const FontSpec &) const = default;
};

// Glyphs of one font placed by the caller (vertical writing): each glyph's
// baseline origin in twips. `text` is what they say, for tests and screen
// readers; `glyphs` are the font's glyph indexes, its vertical forms included;
// `clusters` where in `text` each glyph's character starts.
struct GlyphRun {
    QString text;
    FontSpec font;
    QList<quint32> glyphs;
    QList<QPointF> origins;
    QList<qsizetype> clusters;
};

// Where the drawing primitives draw: a picture box on screen, the printer, or
// a recorder in the tests. All coordinates are twips from the target's top-left.
class DrawTarget {
public:
    virtual ~DrawTarget() = default;

    virtual void clear() = 0;
    virtual void drawLine(QPoint from, QPoint to, const PenSpec &pen) = 0;
    // The text's line cell has its top-left corner at `topLeft`.
    virtual void drawText(const QString &text, QPoint topLeft, const FontSpec &font, QColor colour) = 0;
    virtual void drawGlyphs(const GlyphRun &run, QColor colour) = 0;
    // Paints a picture scaled into `area`.
    virtual void drawPicture(const QPixmap &picture, const QRect &area) = 0;
    // Ends the current printed document; nothing to do on screen.
    virtual void endDocument() {}
    // The device text lands on, for measuring it; null for the screen.
    virtual QPaintDevice *measuringDevice() { return nullptr; }
};
