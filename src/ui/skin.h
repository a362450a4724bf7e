#pragma once

#include <QFont>
#include <QRect>
#include <QString>

class FrameLine;
class QLabel;
class QWidget;

// The common set-up of every skinned window: frameless, its name, its twip
// size and the grey background.
namespace skin {

inline const QString ProductCaption = QStringLiteral("テルボラ　QX360");

void setUpWindow(QWidget *window, const QString &name, int widthTwips, int heightTwips,
                 const QString &caption = ProductCaption);

// A label at twip geometry.
QLabel *makeLabel(QWidget *parent, const QString &name, const QString &caption, QRect twipGeometry, const QFont &font);

// The three lines that frame a window below its title: left and right edges
// from `top` down, and the bottom line.
struct Border {
    FrameLine *left;
    FrameLine *right;
    FrameLine *bottom;
};
Border addBorder(QWidget *window, int widthTwips, int heightTwips, int top, const QString &bottomName);

} // namespace skin
