#include "common/boxanswerer.h"

#include "ui/frmMsgBox.h"
#include "ui/imagebutton.h"

#include <QLabel>
#include <QTest>

BoxAnswerer::BoxAnswerer(QList<bool> answers) : answers_(std::move(answers)) {
    timer_.setInterval(1);
    connect(&timer_, &QTimer::timeout, this, &BoxAnswerer::answerOpenBox);
    timer_.start();
}

void BoxAnswerer::answerOpenBox() {
    frmMsgBox *box = frmMsgBox::loaded();
    if (!box || !box->isVisible())
        return;
    seen.append(box->message());
    const bool yes = answers_.isEmpty() ? true : answers_.takeFirst();
    QTest::mouseClick(yes ? box->picYes : box->picNo, Qt::LeftButton, {}, QPoint(3, 3));
}
