#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <tuple>

class Book;
class FrameLine;
class QLabel;
class QWidget;

// The common set-up of every skinned window: frameless, its name, its twip
// size and the grey background.
namespace skin {

inline const QString ProductCaption = QStringLiteral("テルボラ　QX360");
// The caption of the windows that show the book: it says when the book is read-only.
QString bookCaption(const Book &book);

// Shows a window, or, when it is already shown, raises and activates it:
// a window the user brings back must come to the front either way.
void bringToFront(QWidget *window);

void setUpWindow(QWidget *window, const QString &name, int widthTwips, int heightTwips,
                 const QString &caption = ProductCaption);

// A label at twip geometry.
QLabel *makeLabel(QWidget *parent, const QString &name, const QString &caption, QRect twipGeometry, const QFont &font);

// The three lines that frame a window below its title: the left and right
// edges from `top` down, and the bottom line.
// `sidesEnd`: where the side lines end; by default on the bottom line.
std::tuple<FrameLine *, FrameLine *, FrameLine *> addBorder(QWidget *window, int widthTwips, int heightTwips, int top,
                                                            const QString &bottomName, int sidesEnd = -1);

} // namespace skin
