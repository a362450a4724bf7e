#include "store/runtimedir.h"

#include <QByteArray>
#include <QtGlobal>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace runtimedir {

void ensure() {
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    const QByteArray dir = "/tmp/runtime-" + QByteArray::number(::getuid());
    if (::mkdir(dir.constData(), 0700) != 0 && errno != EEXIST)
        return;
    // Only a folder of our own that nobody else may enter; anything else is left to Qt.
    struct stat st {};
    if (::lstat(dir.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() ||
        (st.st_mode & 0777) != 0700)
        return;
    qputenv("XDG_RUNTIME_DIR", dir);
}

} // namespace runtimedir
