#include "browse/startup.h"

#include "browse/encodingoffer.h"
#include "browse/runningcopy.h"
#include "store/mdlDim.h"
#include "store/singleinstance.h"
#include "ui/frmMsgBox.h"

namespace startup {

int takeBook(SingleInstance &instance, const QString &book) {
    switch (instance.acquire()) {
    case SingleInstance::State::HeldElsewhere:
        // An open copy comes to the front; this one writes nothing.
        if (instance.holder() != QLatin1String("telbora-contacts") && runningcopy::askToShow(book))
            return 0;
        frmMsgBox::ask(instance.heldMessage(), MsgButtons::Yes);
        return 1;
    case SingleInstance::State::Unavailable:
        frmMsgBox::ask(instance.error(), MsgButtons::Yes);
        return 1;
    case SingleInstance::State::ReadOnly:
        if (runningcopy::askToShow(book)) // read-only copies share the lock; one window is enough
            return 0;
        mdlDim::ReadOnlyReason = instance.readOnlyReason();
        break;
    case SingleInstance::State::Acquired:
        mdlDim::ReadOnlyReason.clear();
        break;
    }
    switch (encodingoffer::checkBook()) {
    case encodingoffer::Outcome::Declined:
        return 0;
    case encodingoffer::Outcome::Refused:
        return 1;
    case encodingoffer::Outcome::Readable:
        break;
    }
    return -1;
}

} // namespace startup
