#include "store/mdlDim.h"
#include "ui/fonts.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    fonts::installFontMap();
    if (!mdlDim::LoadData())
        return 1;
    QWidget placeholder;
    placeholder.setObjectName(QStringLiteral("frmMain"));
    placeholder.show();
    return app.exec();
}
