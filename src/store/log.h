#pragma once

#include <QLoggingCategory>

// What the store layer does, for whoever asks: QT_LOGGING_RULES="telbora.store.debug=true".
// Quiet unless asked; what the user must know goes to the user, not here.
Q_DECLARE_LOGGING_CATEGORY(lcStore)
