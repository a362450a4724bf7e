#include "render/mdlView.h"

#include "render/cardrenderer.h"
#include "render/drawtarget.h"

namespace mdlView {

void ViewCardLines(DrawTarget &target, int format, int X, int Y, const QList<QPixmap> &pictures) {
    cardrenderer::drawForm(target, cardlayout::Medium::Preview, format, X, Y, pictures);
}

int ViewCardInfo(DrawTarget &target, int format, int Y, const QStringList &entries, int first, int firstLine) {
    // The preview's text positions are absolute: no X.
    return cardrenderer::drawEntries(target, cardlayout::Medium::Preview, format, entries, first, firstLine, 0, Y);
}

} // namespace mdlView
