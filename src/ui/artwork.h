#pragma once

#include <QColor>
#include <QPixmap>
#include <QSize>
#include <QString>

// Every picture of the program, painted in code: no image files are needed.
namespace artwork {

inline const QColor WindowBackground(230, 230, 230);
inline constexpr int TitleHeightTwips = 435;

// The title strip of a window, with the window's caption.
QPixmap titleImage(int widthTwips, const QString &caption);
// An image button's face. An empty caption leaves room for a label on top.
QPixmap button(QSize px, const QString &caption = {}, QColor face = QColor(120, 160, 210));
QPixmap paper(QSize px);
QPixmap printer(QSize px);

// The browsing window's pictures.
QColor categoryColour(int category);
QPixmap categoryTag(int category); // 28 x 19 plain colour
QPixmap openButton(bool pressed);  // 27 x 19
QPixmap closeButton(bool pressed); // 17 x 17
QPixmap listHeader(QSize px);      // the column headings above the list
QPixmap splash(QSize px);          // the product picture
QPixmap appIcon(int size);         // the desktop icon: the phone book on blue

// The editor's row icons.
enum class FieldIcon { Address, Telephone, Fax, Mobile, Email };
QPixmap fieldIcon(FieldIcon kind, QSize px);

} // namespace artwork
