#include "browse/encodingoffer.h"

#include "store/book.h"
#include "store/bookencoding.h"
#include "store/mdlDim.h"
#include "ui/frmMsgBox.h"

#include <QDir>
#include <QFileInfo>

namespace encodingoffer {
namespace {

// At most this many unheld characters are listed; the rest are counted.
constexpr int ListedUnheld = 12;

QString conversionReport(const QStringList &keptAs, const QStringList &unheld) {
    QStringList kept;
    for (const QString &path : keptAs)
        kept.append(QStringLiteral("「%1」").arg(QFileInfo(path).fileName()));
    QString report =
        QStringLiteral("Shift_JIS に戻しました。元のファイルは%1として残してあります。").arg(kept.join(u'、'));
    if (!unheld.isEmpty()) {
        report += QStringLiteral("\rShift_JIS にない文字は「〓」にしました：") +
                  unheld.mid(0, ListedUnheld).join(QStringLiteral("、"));
        if (unheld.size() > ListedUnheld)
            report += QStringLiteral("ほか %1 文字").arg(unheld.size() - ListedUnheld);
    }
    return report;
}

} // namespace

Outcome checkBook(Book &book) {
    const bookencoding::BookFiles found = bookencoding::checkFiles({book.entryPath(), book.categoryPath()});
    if (found.refused.failed()) {
        frmMsgBox::ask(describe(found.refused), MsgButtons::Yes);
        return Outcome::Refused;
    }
    const QStringList &utf8Paths = found.utf8Paths;
    const QStringList &utf8Names = found.utf8Names;
    if (utf8Paths.isEmpty())
        return Outcome::Readable;
    if (!book.readOnlyReason().isEmpty()) {
        // Where it cannot be converted, a converted copy is read instead: the book can still be browsed.
        QStringList unheld;
        if (const Failure failed = book.readThroughConvertedCopy(&unheld); failed.failed()) {
            frmMsgBox::ask(utf8Explanation(utf8Names) + u'\r' + describe(failed), MsgButtons::Yes);
            return Outcome::Refused;
        }
        QString said = utf8Explanation(utf8Names) +
                       QStringLiteral("\r読み取り専用のため元のファイルはそのままにして、Shift_JIS に変換したものを"
                                      "読み取り専用で開きます。\r") +
                       book.readOnlyReason();
        if (!unheld.isEmpty())
            said += QStringLiteral("\rShift_JIS にない文字は「〓」で表示します：") +
                    unheld.mid(0, ListedUnheld).join(QStringLiteral("、"));
        frmMsgBox::ask(said, MsgButtons::Yes);
        return Outcome::Readable;
    }
    if (!frmMsgBox::ask(utf8Question(utf8Names), MsgButtons::YesNo))
        return Outcome::Declined;
    const QDateTime now = QDateTime::currentDateTime();
    QStringList keptAs;
    QStringList unheld;
    for (const QString &path : utf8Paths) {
        const bookencoding::Conversion done = bookencoding::convertToCp932(path, now);
        if (done.failure.failed()) {
            frmMsgBox::ask(describe(done.failure), MsgButtons::Yes);
            return Outcome::Refused;
        }
        keptAs.append(done.keptAs);
        for (const bookencoding::Unheld &character : done.unheld)
            unheld.append(unheldCharacter(QFileInfo(path).fileName(), character.line, character.character));
    }
    frmMsgBox::ask(conversionReport(keptAs, unheld), MsgButtons::Yes);
    return Outcome::Readable;
}

} // namespace encodingoffer
