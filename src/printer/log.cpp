#include "printer/log.h"

Q_LOGGING_CATEGORY(lcPrinter, "telbora.printer", QtWarningMsg)
