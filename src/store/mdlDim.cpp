#include "store/mdlDim.h"

#include <QCoreApplication>

namespace mdlDim {
namespace {
QString appDirOverride;
}

QString GetField(const QString &text, const QString &delim, int n) {
    if (delim.isEmpty())
        return {};
    // Works on the text in place; the end of the text acts as the delimiter
    // that closes the last field.
    const QStringView s(text);
    qsizetype start = 0;
    for (int round = 1; round < n; ++round) {
        const qsizetype found = s.indexOf(delim, start);
        if (found < 0) {
            start = s.size();
            break;
        }
        start = found + delim.size();
    }
    const qsizetype end = s.indexOf(delim, start);
    return (end >= 0 ? s.mid(start, end - start) : s.mid(start)).toString();
}

QString AppDir() {
    QString dir = appDirOverride.isEmpty() ? QCoreApplication::applicationDirPath() : appDirOverride;
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

void setDataDirectory(const QString &dir) {
    appDirOverride = dir;
}

} // namespace mdlDim
