#include "ui/loadfailure.h"

#include "store/book.h"
#include "ui/frmMsgBox.h"

#include <QDir>

#include <cstdlib>

namespace mdlDim {
namespace {

std::function<void()> &replacedEnd() {
    static std::function<void()> end;
    return end;
}

} // namespace

bool LoadDataOrEnd(Book &book) {
    QString error;
    if (book.load(&error))
        return true;
    showLoadFailureAndEnd(book, error);
    return false;
}

void showLoadFailure(const Book &book, const QString &error) {
    const QString folder = QDir::toNativeSeparators(QDir(book.dir()).absolutePath());
    frmMsgBox::ask(error + QStringLiteral("\r（フォルダー：%1）").arg(folder), MsgButtons::Yes);
}

void showLoadFailureAndEnd(const Book &book, const QString &error) {
    showLoadFailure(book, error);
    endAfterLoadFailure();
}

void endAfterLoadFailure() {
    if (replacedEnd())
        replacedEnd()();
    else
        std::_Exit(EXIT_FAILURE); // nothing may be written after a failed load, so no clean-up runs
}

void setLoadFailureEnd(std::function<void()> end) {
    replacedEnd() = std::move(end);
}

} // namespace mdlDim
