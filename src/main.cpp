#include "browse/frmLogo.h"
#include "browse/frmMain.h"
#include "browse/runningcopy.h"
#include "browse/startup.h"
#include "render/fonts.h"
#include "store/book.h"
#include "store/bookfolder.h"
#include "store/mdlDim.h"
#include "store/qtjapanese.h"
#include "store/runtimedir.h"
#include "ui/frmMsgBox.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <cstring>

namespace {

// Qt aborts when its window system is missing; say so in words instead.
bool displayReachable(int argc, char *argv[]) {
    QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0)
            platform = argv[i + 1];
    if (!platform.isEmpty() && !platform.startsWith("xcb") && !platform.startsWith("wayland"))
        return true;
    return !qgetenv("DISPLAY").isEmpty() || !qgetenv("WAYLAND_DISPLAY").isEmpty();
}

bool asksForHelp(int argc, char *argv[]) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            return true;
    return false;
}

void describeOptions(QCommandLineParser &parser) {
    parser.setApplicationDescription(QStringLiteral("テルボラ：住所録カードとはがきを印刷する電話帳"));
    parser.addOption({QStringLiteral("dir"),
                      QStringLiteral("電話帳のフォルダー（なければ TELBORA_DIR、プログラムと同じフォルダー、"
                                     "~/.local/share/telbora の順）"),
                      QStringLiteral("DIR")});
    parser.addOption(qtjapanese::helpOption());
}

int endWith(const QString &message) {
    frmMsgBox::ask(message, MsgButtons::Yes);
    return 1;
}

} // namespace

int main(int argc, char *argv[]) {
    if (asksForHelp(argc, argv)) { // answered without a screen
        QCoreApplication app(argc, argv);
        qtjapanese::install(app);
        QCommandLineParser parser;
        describeOptions(parser);
        parser.process(app);
        parser.showHelp(0);
    }
    if (!displayReachable(argc, argv)) {
        std::fputs("画面（ディスプレイ）が見つかりません。デスクトップで起動して下さい。\n", stderr);
        return 1;
    }
    runtimedir::ensure();
    QApplication app(argc, argv);
    qtjapanese::install(app);
    QCommandLineParser parser;
    describeOptions(parser);
    parser.process(app);
    fonts::installFontMap();
    if (const Failure error = bookfolder::use(parser.value(QStringLiteral("dir"))); error.failed())
        return endWith(describe(error));
    Book book(mdlDim::AppDir());
    if (const int ended = startup::takeBook(book); ended >= 0)
        return ended;
    runningcopy::listenForShowRequests(book.dir(), &app);
    // Closing the splash must not end the program before the browsing window shows.
    app.setQuitOnLastWindowClosed(false);
    auto *logo = new frmLogo(book);
    QObject::connect(logo, &frmLogo::handedOver, &app, [&app] {
        QObject::connect(frmMain::loaded(), &frmMain::closeRequested, &app, &QApplication::quit);
    });
    logo->show();
    const int result = app.exec();
    delete frmMain::loaded();
    return result;
}
