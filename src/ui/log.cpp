#include "ui/log.h"

Q_LOGGING_CATEGORY(lcUi, "telbora.ui", QtWarningMsg)
