#include "browse/frmLogo.h"
#include "browse/frmMain.h"
#include "store/mdlDim.h"
#include "store/singleinstance.h"
#include "ui/fonts.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    SingleInstance instance(mdlDim::AppDir());
    if (!instance.acquire())
        return 0;
    fonts::installFontMap();
    // Closing the splash must not end the program before the browsing window shows.
    app.setQuitOnLastWindowClosed(false);
    auto *logo = new frmLogo();
    QObject::connect(logo, &frmLogo::handedOver, &app, [&app] {
        QObject::connect(frmMain::loaded(), &frmMain::closeRequested, &app, &QApplication::quit);
    });
    logo->show();
    const int result = app.exec();
    delete frmMain::loaded();
    return result;
}
