#pragma once

#include <QRect>
#include <QtMath>

// Geometry is kept in twips (1/1440 inch); Qt's logical pixel is 15 twips at 96 dpi.
namespace twips {

inline constexpr int PerPixel = 15;
inline constexpr int PerInch = 1440;
inline constexpr double PerMm = PerInch / 25.4;
inline constexpr double MmPerInch = 25.4;
inline constexpr int PerPoint = 20;

inline int toPx(double twipValue) {
    return qRound(twipValue / PerPixel);
}
inline double toPxF(double twipValue) {
    return twipValue / PerPixel;
}
inline int fromPx(double px) {
    return qRound(px * PerPixel);
}
inline QRect toPx(const QRect &t) {
    return QRect(toPx(t.left()), toPx(t.top()), toPx(t.width()), toPx(t.height()));
}

} // namespace twips
