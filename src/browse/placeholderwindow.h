#pragma once

#include <QString>

class QWidget;

// Stands in for a window that is not built yet: a skinned window named
// `name` with a button back to `home`, which it shows again when it closes.
QWidget *openPlaceholder(const QString &name, QWidget *home);
