#pragma once

#include <QFont>
#include <QString>

// The program names Windows fonts; this maps them once to the installed
// Japanese and Latin faces, so that text measures as it was designed.
namespace fonts {

void installFontMap();

// A font by its Windows name at a point size.
QFont named(const QString &family, double pointSize, bool bold = false);

inline const QString UiGothic = QStringLiteral("MS UI Gothic");
inline const QString Gothic = QStringLiteral("ＭＳ ゴシック");
inline const QString Mincho = QStringLiteral("ＭＳ 明朝");
inline const QString Arial = QStringLiteral("Arial");

} // namespace fonts
