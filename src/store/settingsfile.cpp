#include "store/settingsfile.h"

#include "store/linefile.h"
#include "store/mdlDim.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <cerrno>

namespace settingsfile {

QString path() {
    return mdlDim::AppDir() + QStringLiteral("telbora.ini");
}

bool read(const std::function<void(QSettings &)> &read) {
    if (!QFileInfo::exists(path()))
        return false;
    // QSettings keeps a parsed file for the process and takes a replaced file
    // of the same size and time for the one it has: a copy under a new name
    // is always read afresh.
    QTemporaryDir scratch;
    const QString copy = scratch.filePath(QStringLiteral("telbora.ini"));
    if (!QFile::copy(path(), copy))
        return false;
    QSettings settings(copy, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return false;
    read(settings);
    return true;
}

// QSettings writes the text into a private folder, the safe writer puts it in
// place. A damaged file is not carried on.
Failure change(const std::function<void(QSettings &)> &change) {
    QTemporaryDir scratch;
    const QString draft = scratch.filePath(QStringLiteral("telbora.ini"));
    if (read([](QSettings &) {}))
        QFile::copy(path(), draft);
    {
        QSettings settings(draft, QSettings::IniFormat);
        change(settings);
        settings.sync();
        if (settings.status() != QSettings::NoError)
            return {Failure::Kind::CannotSave, path()};
    }
    QFile file(draft);
    if (!file.open(QIODevice::ReadOnly))
        return {Failure::Kind::CannotSave, path(), errno};
    return linefile::writeBytes(path(), file.readAll(), 0600, true);
}

} // namespace settingsfile
