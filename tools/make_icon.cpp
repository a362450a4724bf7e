// Writes the desktop icon, drawn by the program's artwork, to a PNG file.
// Run: make_icon OUT.png SIZE (offscreen; the build runs it).
#include "render/fonts.h"
#include "ui/artwork.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    if (argc != 3) {
        qWarning("usage: make_icon OUT.png SIZE");
        return 2;
    }
    fonts::installFontMap();
    const int size = QString::fromLocal8Bit(argv[2]).toInt();
    return size > 0 && artwork::appIcon(size).save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
