#include "browse/frmImport.h"

#include "render/fonts.h"
#include "store/mdlDim.h"
#include "ui/centerform.h"
#include "ui/imagebutton.h"
#include "ui/skin.h"
#include "ui/titleimage.h"
#include "ui/twips.h"

#include <QLabel>
#include <QPlainTextEdit>

namespace {
constexpr int WindowWidth = 6615;
constexpr int WindowHeight = 4815;
} // namespace

frmImport::frmImport(const QStringList &report, const QString &summary) : QDialog(nullptr) {
    skin::setUpWindow(this, QStringLiteral("frmImport"), WindowWidth, WindowHeight, QStringLiteral("連絡先の取り込み"));
    setModal(true);
    imgTitle = new TitleImage(this, WindowWidth, QStringLiteral("連絡先の取り込み"));

    lblSummary = skin::makeLabel(this, QStringLiteral("lblSummary"), summary, QRect(240, 480, 6135, 300),
                                 fonts::named(fonts::Gothic, 11.25, true));
    lblSummary->setTextFormat(Qt::PlainText);

    txtReport = new QPlainTextEdit(this);
    txtReport->setObjectName(QStringLiteral("txtReport"));
    txtReport->setReadOnly(true);
    txtReport->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtReport->setFont(fonts::named(fonts::Gothic, 9));
    txtReport->setAccessibleName(QStringLiteral("取り込みの報告"));
    txtReport->setPlainText(report.isEmpty() ? QStringLiteral("（報告することはありません）") : report.join(u'\n'));
    twips::place(txtReport, 240, 870, 6135, 3210);

    imgOK = makeImageButton(this, QStringLiteral("imgOK"), QRect(5280, 4230, 1095, 330), QPoint(5290, 4240),
                            QStringLiteral("閉じる"));
    connect(imgOK, &ImageButton::clicked, this, &QDialog::accept);
    skin::addBorder(this, WindowWidth, WindowHeight, 420, QStringLiteral("linDown"));
    mdlDim::CenterForm(this);
    imgOK->setFocus();
}
