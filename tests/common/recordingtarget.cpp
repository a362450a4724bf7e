#include "common/recordingtarget.h"

void RecordingTarget::clear() {
    calls.append(Call{Kind::Clear, {}, {}, {}, {}, {}, {}, {}, 0, {}});
}

void RecordingTarget::drawLine(QPoint from, QPoint to, const PenSpec &pen) {
    calls.append(Call{Kind::Line, from, to, pen, {}, {}, pen.colour, {}, 0, {}});
}

void RecordingTarget::drawText(const QString &text, QPoint topLeft, const FontSpec &font, QColor colour) {
    calls.append(Call{Kind::Text, topLeft, {}, {}, text, font, colour, {}, 0, {}});
}

void RecordingTarget::drawPicture(const QPixmap &picture, const QRect &area) {
    calls.append(Call{Kind::Picture, area.topLeft(), {}, {}, {}, {}, {}, area, picture.cacheKey(), {}});
}

void RecordingTarget::drawGlyphs(const GlyphRun &run, QColor colour) {
    const QPoint first = run.origins.isEmpty() ? QPoint() : run.origins.first().toPoint();
    calls.append(Call{Kind::Glyphs, first, {}, {}, run.text, run.font, colour, {}, 0, run});
}

void RecordingTarget::endDocument() {
    calls.append(Call{Kind::EndDocument, {}, {}, {}, {}, {}, {}, {}, 0, {}});
}

QList<RecordingTarget::Call> RecordingTarget::ofKind(Kind kind) const {
    QList<Call> matching;
    for (const Call &call : calls)
        if (call.kind == kind)
            matching.append(call);
    return matching;
}

QStringList RecordingTarget::texts() const {
    QStringList all;
    for (const Call &call : calls)
        if (call.kind == Kind::Text || call.kind == Kind::Glyphs)
            all.append(call.text);
    return all;
}
