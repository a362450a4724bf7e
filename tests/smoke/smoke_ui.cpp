// Links the skin (ui) alone: the message box made and drawn, no window of the program's.
#include "render/fonts.h"
#include "ui/frmMsgBox.h"

#include <QApplication>
#include <QImage>

#include <cstdio>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    fonts::installFontMap();
    frmMsgBox *box = frmMsgBox::prepare(QStringLiteral("保存しました。"), MsgButtons::Yes);
    box->show();
    QApplication::processEvents();
    const QImage shot = box->grab().toImage();
    delete box;
    // Drawn means more than the background's one colour.
    int colours = 0;
    for (int y = 0; y < shot.height() && colours < 2; y += 3)
        colours += shot.pixel(shot.width() / 2, y) != shot.pixel(0, shot.height() - 1) ? 1 : 0;
    if (shot.isNull() || colours < 2) {
        std::fprintf(stderr, "smoke_ui: the message box drew nothing\n");
        return 1;
    }
    std::printf("smoke_ui: %dx%d message box drawn\n", shot.width(), shot.height());
    return 0;
}
