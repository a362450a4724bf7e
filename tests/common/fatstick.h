#pragma once

#include <QString>
#include <QTemporaryDir>

// A USB stick's file system: FAT on an image file, mounted through FUSE
// (fusefat) in a temporary folder, with no hard links, owners or permission
// bits. Needs mkfs.vfat, fusefat and /dev/fuse with the right to mount
// (root in CI); otherwise it is not mounted and says why.
class FatStick {
public:
    FatStick();
    ~FatStick();
    FatStick(const FatStick &) = delete;
    FatStick &operator=(const FatStick &) = delete;

    bool mounted() const { return why_.isEmpty(); }
    const QString &why() const { return why_; }
    // The stick's top folder.
    QString path() const { return dir_.filePath(QStringLiteral("stick")); }

private:
    QTemporaryDir dir_;
    QString why_;
};
