#include "ui/loadfailure.h"

#include "store/book.h"
#include "ui/frmMsgBox.h"

#include <QDir>

namespace mdlDim {

bool loadOrSayWhy(Book &book) {
    QString error;
    if (book.load(&error))
        return true;
    showLoadFailure(book, error);
    return false;
}

void showLoadFailure(const Book &book, const QString &error) {
    const QString folder = QDir::toNativeSeparators(QDir(book.dir()).absolutePath());
    frmMsgBox::ask(error + QStringLiteral("\r（フォルダー：%1）").arg(folder), MsgButtons::Yes);
}

} // namespace mdlDim
