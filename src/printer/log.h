#pragma once

#include <QLoggingCategory>

// What the printer layer does, for whoever asks: QT_LOGGING_RULES="telbora.printer.debug=true".
// Quiet unless asked; what the user must know goes to the user, not here.
Q_DECLARE_LOGGING_CATEGORY(lcPrinter)
