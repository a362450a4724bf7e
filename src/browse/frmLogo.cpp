#include "browse/frmLogo.h"
#include "store/book.h"

#include "browse/frmMain.h"
#include "store/mdlDim.h"
#include "ui/artwork.h"
#include "ui/centerform.h"
#include "ui/skin.h"
#include "ui/twips.h"

#include <QLabel>
#include <QTimer>

frmLogo::frmLogo(Book &book) : book_(book) {
    skin::setUpWindow(this, QStringLiteral("frmLogo"), 3735, 3720);
    setAttribute(Qt::WA_DeleteOnClose);
    imgLogo = new QLabel(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    twips::place(imgLogo, 0, 0, 3735, 3720);
    imgLogo->setPixmap(artwork::splash(QSize(249, 248)));
    imgLogo->setAccessibleName(skin::ProductCaption);

    timStart = new QTimer(this);
    timStart->setObjectName(QStringLiteral("timStart"));
    timStart->setInterval(2000);
    timStart->setSingleShot(true);
    connect(timStart, &QTimer::timeout, this, &frmLogo::handOver);

    mdlDim::CenterForm(this);
    timStart->start();
    // Once the splash is on screen.
    QTimer::singleShot(0, this, &frmLogo::prepareBrowsing);
}

void frmLogo::prepareBrowsing() {
    if (browsing_ || preparing_)
        return;
    // The window's constructor may ask something in a modal box, whose loop
    // runs this splash's timer: the hand-over waits until the window exists.
    preparing_ = true;
    auto *home = new frmMain(book_);
    home->ensurePolished();
    home->winId(); // its native window made now, not when the timer ends
    browsing_ = home;
    preparing_ = false;
    if (handOverDue_)
        handOver();
}

void frmLogo::handOver() {
    if (preparing_) {
        handOverDue_ = true;
        return;
    }
    prepareBrowsing();
    browsing_->show();
    emit handedOver();
    close();
}
