#include "browse/startup.h"

#include "browse/encodingoffer.h"
#include "browse/runningcopy.h"
#include "store/book.h"
#include "store/selection.h"
#include "store/singleinstance.h"
#include "ui/frmMsgBox.h"

namespace startup {

int takeBook(Book &book) {
    const SingleInstance::State state = book.takeLock(QStringLiteral("telbora"));
    const SingleInstance &instance = book.lock();
    switch (state) {
    case SingleInstance::State::HeldElsewhere:
        // An open copy comes to the front; this one writes nothing.
        if (instance.holder() != QLatin1String("telbora-contacts") && runningcopy::askToShow(book.dir(), true))
            return 0;
        frmMsgBox::ask(describe(instance.held()), MsgButtons::Yes);
        return 1;
    case SingleInstance::State::Unavailable:
        frmMsgBox::ask(describe(instance.error()), MsgButtons::Yes);
        return 1;
    case SingleInstance::State::ReadOnly:
        if (runningcopy::askToShow(book.dir())) // read-only copies share the lock; one window is enough
            return 0;
        break;
    case SingleInstance::State::Acquired:
        break;
    }
    switch (encodingoffer::checkBook(book)) {
    case encodingoffer::Outcome::Declined:
        return 0;
    case encodingoffer::Outcome::Refused:
        return 1;
    case encodingoffer::Outcome::Readable:
        break;
    }
    // A book that cannot be read is said once and the program ends: the
    // windows would only show an empty list and the same failure again.
    // The first selection's read, which the browsing window then reuses.
    if (QString error; !selection::loadSelection(book, 0, 0, &error)) {
        frmMsgBox::ask(error, MsgButtons::Yes);
        return 1;
    }
    // Every entry found in the side file again, after whatever other programs did.
    QString notice;
    if (const Failure failed = book.attachPeople(&notice); failed.failed())
        frmMsgBox::ask(describe(failed), MsgButtons::Yes);
    else if (!notice.isEmpty())
        frmMsgBox::ask(notice, MsgButtons::Yes);
    return -1;
}

} // namespace startup
