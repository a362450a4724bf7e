#include "contacts/log.h"

Q_LOGGING_CATEGORY(lcContacts, "telbora.contacts", QtWarningMsg)
