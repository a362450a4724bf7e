#include "render/fonts.h"

namespace fonts {

void installFontMap() {
    QFont::insertSubstitution(UiGothic, QStringLiteral("IPAPGothic"));
    QFont::insertSubstitution(Gothic, QStringLiteral("IPAGothic"));
    QFont::insertSubstitution(Mincho, QStringLiteral("IPAMincho"));
    QFont::insertSubstitution(Arial, QStringLiteral("Liberation Sans"));
}

QFont named(const QString &family, double pointSize, bool bold) {
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

} // namespace fonts
