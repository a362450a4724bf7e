#include "editor/postalfill.h"

#include "store/cp932.h"

namespace postalfill {

QString addressFor(const QList<postalcodes::Area> &areas, int limit) {
    if (areas.isEmpty())
        return {};
    const postalcodes::Area &a = areas.first();
    const bool oneTown =
        std::all_of(areas.begin(), areas.end(), [&](const postalcodes::Area &b) { return b.town == a.town; });
    const QString whole = oneTown ? a.address() : a.prefecture + a.city;
    for (const QString &text : {whole, a.prefecture + a.city + a.town, a.prefecture + a.city, a.city + a.town}) {
        if (text.size() > limit || text.contains(u'|') || !cp932::encode(text))
            continue;
        return text;
    }
    return {};
}

QString candidatesText(const QList<postalcodes::Area> &areas, int most) {
    QStringList lines;
    for (const postalcodes::Area &a : areas.mid(0, most))
        lines.append(postalcodes::withHyphen(a.code) + u' ' + a.address());
    if (areas.size() > most)
        lines.append(QStringLiteral("ほか %1 件").arg(areas.size() - most));
    return lines.join(u'\r');
}

} // namespace postalfill
