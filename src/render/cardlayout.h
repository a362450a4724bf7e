#pragma once

#include <QList>
#include <QPoint>
#include <QSize>
#include <QString>
#include <array>

// The geometry of the four card formats, for paper and for the preview, as
// data: the form is a list of drawing steps, the text of a line a list of rows.
namespace cardlayout {

enum class Medium { Paper, Preview };

inline constexpr int FormatCount = 4;

// A step of the printed form. Offsets are relative to the origin X and to a
// base y: Y for the head, the line's top r for a line, the last thick line b
// for the closing.
struct FormStep {
    enum Kind { Picture, NaturalPicture, Thick, Grey, Dotted } kind;
    int picture = 0; // picture index 1 to 10
    QPoint at;       // a picture's top-left, or a line's start
    QSize size;      // a scaled picture's size (Picture only)
    QPoint end;      // a line's end (lines only)
    int width = 1;   // grey lines only
};

enum class Source {
    Literal,
    Name,
    Telephone,
    TelephonePart1,
    TelephonePart2,
    TelephonePart3,
    Fax,
    PostalCode,
    Address,
    Mobile,
    EmailLine,
    Stroke
};

// How a fitted row's size is found, and how its height offset moves it.
struct Fit {
    int widthLimit = 0;
    int sizeCap = 0;
    int divisor = 1;
    int direction = -1; // -1: y - h, +1: y + h
};

// A text or stroke written on each entry line, relative to the line's t.
struct TextRow {
    Source source;
    QString literal;
    int x = 0; // every row but telephone parts 1 and 2
    // Telephone parts 1 and 2: x for a part of at most 1, of 2, 3, 4, and of 5 or more characters.
    std::array<int, 5> xByPartLength = {};
    bool fromOriginX; // x is X + offset
    int dy;
    QString font;
    double size; // 0: fitted
    bool bold;
    bool onlyIfNotEmpty = false;
    Fit fit = {};
    int strokeX2 = 0, strokeDy2 = 0; // the end of a stroke
    // When set, a text wider than the room up to this x is written smaller to
    // end there, its bottom kept (a long address with its building and room).
    int rightEdge = 0;
};

struct CardForm {
    QList<FormStep> head;
    QList<FormStep> line;
    QList<FormStep> closing;
    int linePitch;
    int headHeight; // first line's top relative to Y
    QList<TextRow> text;
    int textPitch;
};

int LinesPerCard(int format);
// nullptr for a format outside 0 to 3.
const CardForm *form(Medium medium, int format);

// Cards needed for `entries` entries beginning at `startLine`: at least one.
int cardCount(int entries, int startLine, int format);
// Print table index of the first entry on card `card` (1-based).
int firstIndexOfCard(int card, int startLine, int format);
// The line the first entry of card `card` (from 1) is written on.
inline int firstLineOfCard(int card, int startLine) {
    return card <= 1 ? startLine : 1;
}

} // namespace cardlayout
