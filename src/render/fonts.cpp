#include "render/fonts.h"

#include "render/log.h"

#include <QFontDatabase>

namespace fonts {

void installFontMap() {
    const std::pair<QString, QString> map[] = {{UiGothic, QStringLiteral("IPAPGothic")},
                                               {Gothic, QStringLiteral("IPAGothic")},
                                               {Mincho, QStringLiteral("IPAMincho")},
                                               {Arial, QStringLiteral("Liberation Sans")}};
    for (const auto &[named, installed] : map) {
        QFont::insertSubstitution(named, installed);
        // Another family measures differently: text would leave the card's lines.
        if (!QFontDatabase::hasFamily(installed))
            qCWarning(lcRender).noquote() << "font" << installed << "for" << named << "is not installed";
    }
}

QFont named(const QString &family, double pointSize, bool bold) {
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

} // namespace fonts
