#include "printing/frmPrintMsg.h"

#include "render/fonts.h"
#include "store/mdlDim.h"
#include "ui/centerform.h"
#include "ui/frameline.h"
#include "ui/skin.h"
#include "ui/twips.h"

#include <QLabel>
#include <QTimer>

frmPrintMsg::frmPrintMsg() : QDialog(nullptr) {
    skin::setUpWindow(this, QStringLiteral("frmPrintMsg"), 4170, 1215, QStringLiteral("印刷中..."));
    setModal(true);
    lblPrintMsg = new QLabel(QStringLiteral("印刷中..."), this);
    lblPrintMsg->setObjectName(QStringLiteral("lblPrintMsg"));
    lblPrintMsg->setFont(fonts::named(fonts::Gothic, 11.25));
    twips::place(lblPrintMsg, 1540, 520, 1080, 225);
    new FrameLine(this, QStringLiteral("linTop"), 0, 0, 4170, 0);
    new FrameLine(this, QStringLiteral("linLeft"), 0, 0, 0, 1215);
    new FrameLine(this, QStringLiteral("linRight"), 4155, 0, 4155, 1215);
    new FrameLine(this, QStringLiteral("linDown"), 0, 1200, 4170, 1200);
    timPrint = new QTimer(this);
    timPrint->setObjectName(QStringLiteral("timPrint"));
    timPrint->setSingleShot(true);
    timPrint->setInterval(displayMilliseconds);
    connect(timPrint, &QTimer::timeout, this, &QDialog::accept);
    mdlDim::CenterForm(this);
    timPrint->start();
}

void frmPrintMsg::showNotice() {
    frmPrintMsg notice;
    notice.exec();
}
