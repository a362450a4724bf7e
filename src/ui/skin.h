#pragma once

#include <QString>

class QWidget;

// The common set-up of every skinned window: frameless, its name, its twip
// size and the grey background.
namespace skin {

inline const QString ProductCaption = QStringLiteral("テルボラ　QX360");

void setUpWindow(QWidget *window, const QString &name, int widthTwips, int heightTwips,
                 const QString &caption = ProductCaption);

}  // namespace skin
