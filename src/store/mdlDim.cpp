#include "store/mdlDim.h"

#include "store/loader.h"
#include "ui/frmMsgBox.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cstdlib>

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

void setAppDirForTesting(const QString &dir) {
    appDirOverride = dir;
}

void CenterForm(QWidget *window) {
    QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    window->move(area.x() + (area.width() - window->width()) / 2, area.y() + (area.height() - window->height()) / 2);
}

bool LoadData() {
    LoadedTables tables;
    const QString error = loadTables(entryFilePath(), categoryFilePath(), CategoryTable, tables);
    if (error.isEmpty()) {
        EntryTable = std::move(tables.entries);
        EntryCount = static_cast<int>(EntryTable.size());
        PrintTable.clear();
        CategoryTable = tables.categories;
        return true;
    }
    frmMsgBox::ask(error, QStringLiteral("Yes"));
    endAfterLoadFailure();
    return false;
}

} // namespace mdlDim
