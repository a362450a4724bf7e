#pragma once

#include <QList>
#include <QPixmap>

// The small pictures of the printed card form, 1 to 10, at their pixel sizes
// for the screen and for paper. Index 0 holds no picture.
namespace formpictures {

QSize pixelSize(int index, bool paper);
QPixmap picture(int index, bool paper);
// All eleven, for a window's picture array.
QList<QPixmap> all(bool paper);

} // namespace formpictures
