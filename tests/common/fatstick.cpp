#include "common/fatstick.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

namespace {
bool run(const QString &program, const QStringList &arguments) {
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool isMountPoint(const QString &path) {
    QFile mounts(QStringLiteral("/proc/mounts"));
    return mounts.open(QIODevice::ReadOnly) && mounts.readAll().contains(' ' + QFile::encodeName(path) + ' ');
}
} // namespace

FatStick::FatStick() {
    for (const char *tool : {"mkfs.vfat", "fusefat", "fusermount"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty() &&
            !QFile::exists(QStringLiteral("/usr/sbin/") + QString::fromLatin1(tool))) {
            why_ = QStringLiteral("%1 is not installed").arg(QString::fromLatin1(tool));
            return;
        }
    if (!QFile::exists(QStringLiteral("/dev/fuse"))) {
        why_ = QStringLiteral("no /dev/fuse");
        return;
    }
    const QString image = dir_.filePath(QStringLiteral("stick.img"));
    QFile file(image);
    if (!file.open(QIODevice::WriteOnly) || !file.resize(32 * 1024 * 1024)) {
        why_ = QStringLiteral("cannot make the image");
        return;
    }
    file.close();
    const QString mkfs = QStandardPaths::findExecutable(QStringLiteral("mkfs.vfat")).isEmpty()
                             ? QStringLiteral("/usr/sbin/mkfs.vfat")
                             : QStringLiteral("mkfs.vfat");
    QDir().mkpath(path());
    if (!run(mkfs, {image}) ||
        !run(QStringLiteral("fusefat"), {QStringLiteral("-o"), QStringLiteral("rw+"), image, path()}) ||
        !isMountPoint(path())) {
        why_ = QStringLiteral("cannot mount a FAT image through FUSE here (not root?)");
        return;
    }
}

FatStick::~FatStick() {
    if (mounted())
        run(QStringLiteral("fusermount"), {QStringLiteral("-u"), path()});
}
