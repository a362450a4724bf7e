#include "render/log.h"

Q_LOGGING_CATEGORY(lcRender, "telbora.render", QtWarningMsg)
