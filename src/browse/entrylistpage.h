#pragma once

#include <QList>
#include <QObject>
#include <QPixmap>
#include <functional>

class PictureBox;
class QScrollBar;

// The ruled, paged entry list of the browsing window: 19 rows drawn into
// picList(0), moved by fsbList, each row with an open button.
class EntryListPage : public QObject {
    Q_OBJECT
public:
    static constexpr int RowHeight = 300;
    static constexpr int Rows = 19;

    // `pictures` is the window's picture array: 1 to 10 category tags, 11 and
    // 12 the open button at rest and pressed. `categoryName` gives a category's caption.
    EntryListPage(PictureBox *picture, QScrollBar *scrollBar, const QList<QPixmap> &pictures,
                  std::function<QString(int)> categoryName, QObject *parent = nullptr);

    // Draws the page whose first row shows EntryTable element `start`.
    void ViewTelList(int start);

    // The last pointer position over the list, in twips.
    int ListMouseX = 0;
    int ListMouseY = 0;
    // The top of the open button drawn pressed, empty when none is.
    QString PressedButtonTop;

signals:
    // The open button of EntryTable element `index` was clicked.
    void entryOpened(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void storePointer(const QPointF &pos);
    void buttonDown();
    void buttonUp();
    void click();

    PictureBox *picture_;
    QScrollBar *scrollBar_;
    const QList<QPixmap> &pictures_;
    std::function<QString(int)> categoryName_;
    int rowsShown_ = 0;
    bool pressedOnList_ = false;
};
