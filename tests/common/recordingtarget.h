#pragma once

#include "render/drawtarget.h"

#include <QList>

// Remembers every call, so that tests can assert exactly what was drawn.
class RecordingTarget : public DrawTarget {
public:
    enum class Kind { Clear, Line, Text, Picture, Glyphs, EndDocument };

    struct Call {
        Kind kind;
        QPoint from; // line start, text position, picture top-left
        QPoint to;   // line end
        PenSpec pen;
        QString text;
        FontSpec font;
        QColor colour;
        QRect area;
        qint64 pictureKey = 0;
        GlyphRun glyphs;
    };

    void clear() override;
    void drawLine(QPoint from, QPoint to, const PenSpec &pen) override;
    void drawText(const QString &text, QPoint topLeft, const FontSpec &font, QColor colour) override;
    void drawPicture(const QPixmap &picture, const QRect &area) override;
    void drawGlyphs(const GlyphRun &run, QColor colour) override;
    void endDocument() override;

    QList<Call> calls;

    QList<Call> ofKind(Kind kind) const;
    // Texts and glyph runs alike, in the order drawn.
    QStringList texts() const;
    void reset() { calls.clear(); }
};
