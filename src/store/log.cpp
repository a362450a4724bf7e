#include "store/log.h"

Q_LOGGING_CATEGORY(lcStore, "telbora.store", QtWarningMsg)
