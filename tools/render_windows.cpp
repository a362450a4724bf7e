// Renders the program's windows to PNG files in the directory given as the
// first argument (default: the current directory). Run it with
// QT_QPA_PLATFORM=offscreen; the data files are read from the second argument
// when given (for example the sample phone book).
#include "store/mdlDim.h"
#include "ui/fonts.h"
#include "ui/frmMsgBox.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QWidget>

namespace {
QString outDir;

void save(QWidget *w, const QString &name) {
    w->show();
    QApplication::processEvents();
    const QString path = QDir(outDir).filePath(name + QStringLiteral(".png"));
    if (!w->grab().save(path))
        qWarning("could not write %s", qPrintable(path));
    else
        qInfo("%s", qPrintable(path));
}

void renderMessageBoxes() {
    save(frmMsgBox::prepare(QStringLiteral("印刷できるリストがありません。"), QStringLiteral("Yes")), "frmMsgBox-yes");
    save(frmMsgBox::prepare(QStringLiteral("このリストを保存しますか？"), QStringLiteral("YesNo")), "frmMsgBox-yesno");
    frmMsgBox *paper = frmMsgBox::prepare(QStringLiteral("紙を挿入したあとで,確認ボタン \rを押してください。"),
                                          QStringLiteral("YesNo"));
    paper->makePaperPrompt();
    save(paper, "frmMsgBox-paper-up");
    paper->timPaperMove->setInterval(1);
    while (!paper->PaperUp)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    paper->timPaperMove->stop();
    save(paper, "frmMsgBox-paper-down");
    paper->unload();
    save(frmMsgBox::prepare(QStringLiteral("「VexaTel.txt」を開けません。\rファイルが見つかりません。"),
                            QStringLiteral("Yes")),
         "frmMsgBox-load-failure");
    frmMsgBox::loaded()->unload();
}
}  // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    fonts::installFontMap();
    outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QDir().mkpath(outDir);
    if (argc > 2)
        mdlDim::setAppDirForTesting(QString::fromLocal8Bit(argv[2]));
    renderMessageBoxes();
    return 0;
}
