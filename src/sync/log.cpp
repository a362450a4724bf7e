#include "sync/log.h"

Q_LOGGING_CATEGORY(lcSync, "telbora.sync", QtWarningMsg)
