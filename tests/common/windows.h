#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>

// A left click near a control's top-left corner, as a user clicks an image button.
inline void click(QWidget *w) {
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(3, 3));
}

// The top-level window of that class on screen, or null.
template <typename Window> Window *shownWindow() {
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *found = qobject_cast<Window *>(w); found && found->isVisible())
            return found;
    return nullptr;
}
