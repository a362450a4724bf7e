#pragma once

#include <QCommandLineOption>

class QCoreApplication;

// Qt's own texts in Japanese, like the program's: the folder chooser, a text
// box's context menu, and the command-line help and its errors. From Debian's
// qt6-translations-l10n; without it they stay English.
namespace qtjapanese {
void install(QCoreApplication &app);
// -h and --help described in Japanese: Qt's own description has no
// translation. The caller shows the help when it is set.
QCommandLineOption helpOption();
} // namespace qtjapanese
