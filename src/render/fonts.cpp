#include "render/fonts.h"

#include "render/log.h"

#include <fontconfig/fontconfig.h>

namespace {

// Whether a font of that family is installed, by any of the names fontconfig
// knows it by: Qt lists a family under its localized name alone (IPA Pゴシック
// under ja_JP), so asking Qt for "IPAPGothic" would say no.
bool installed(const QString &family) {
    FcPattern *pattern = FcPatternCreate();
    const QByteArray name = family.toUtf8();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(name.constData()));
    FcObjectSet *objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet *fonts = FcFontList(nullptr, pattern, objects);
    const bool found = fonts && fonts->nfont > 0;
    if (fonts)
        FcFontSetDestroy(fonts);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return found;
}

} // namespace

namespace fonts {

void installFontMap() {
    const std::pair<QString, QString> map[] = {{UiGothic, QStringLiteral("IPAPGothic")},
                                               {Gothic, QStringLiteral("IPAGothic")},
                                               {Mincho, QStringLiteral("IPAMincho")},
                                               {Arial, QStringLiteral("Liberation Sans")}};
    for (const auto &[named, family] : map) {
        QFont::insertSubstitution(named, family);
        // Another family measures differently: text would leave the card's lines.
        if (!installed(family))
            qCWarning(lcRender).noquote() << "font" << family << "for" << named << "is not installed";
    }
}

QFont named(const QString &family, double pointSize, bool bold) {
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

} // namespace fonts
