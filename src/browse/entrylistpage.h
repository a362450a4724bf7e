#pragma once

#include <QList>
#include <QObject>
#include <QPixmap>
#include <QRect>
#include <functional>

class PictureBox;
namespace mdlDim {
class ShownEntries;
}
class QKeyEvent;
class QScrollBar;

// The ruled, paged entry list of the browsing window: 19 rows drawn into
// picList(0), moved by fsbList, each row with an open button. The wheel over
// it scrolls as the scroll bar does. A click highlights a row (a light band
// under the ruled lines) and a double click opens it, as its open button
// does; with the focus, the arrow, page, Home and End keys move the
// highlight and Enter opens the highlighted row.
class EntryListPage : public QObject {
    Q_OBJECT
public:
    static constexpr int RowHeight = 300;
    static constexpr int Rows = 19;

    // Shows `entries`, the book's shown entries. `pictures` is the window's
    // picture array: 1 to 10 category tags, 11 and 12 the open button at rest
    // and pressed. `categoryName` gives a category's caption.
    EntryListPage(const mdlDim::ShownEntries &entries, PictureBox *picture, QScrollBar *scrollBar,
                  const QList<QPixmap> &pictures, std::function<QString(int)> categoryName, QObject *parent = nullptr);

    // Draws the page whose first row shows entry `start`.
    void ViewTelList(int start);

    // The last pointer position over the list, in twips.
    int ListMouseX = 0;
    int ListMouseY = 0;
    // The top of the open button drawn pressed (twips), -1 when none is.
    int PressedButtonTop = -1;

    // The index of the highlighted row; -1 when none is.
    int highlighted() const { return highlighted_; }
    // A new selection: no row is highlighted until a key or a click moves to one.
    void clearHighlight() { highlighted_ = -1; }
    // Highlights entry `index` and keeps it in view.
    void highlightRow(int index);
    // Rows the list shows at once in the current layout.
    int pageRows() const;
    // One category is shown: the list is two rows shorter.
    void setCategoryMode(bool categoryMode) { categoryMode_ = categoryMode; }
    // The rows as a screen reader reads them: how many are shown, the cells
    // of one (reading, name, category, address), where a cell lies on the
    // list in pixels, and opening one as its open button does.
    static constexpr int Columns = 4;
    int rowsShown() const { return rowsShown_; }
    QString cellText(int row, int column) const;
    QRect cellRect(int row, int column) const;
    void openRow(int row);
    // The index of a shown row; -1 when the row shows nothing.
    int indexOfRow(int row) const;

    // Drawn in the empty list area: how to fill an empty book. Empty: nothing.
    void setEmptyHint(const QString &hint) { emptyHint_ = hint; }
    // One line under the rows, which then show one entry fewer (a read-only
    // book says so there). Empty: none.
    void setNotice(const QString &notice) { notice_ = notice; }

signals:
    // The open button of entry `index` was clicked.
    void entryOpened(int index);
    // The highlighted entry's New Year card arrived (or did not after all): the key U.
    void receivedToggled(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void storePointer(const QPointF &pos);
    void buttonDown();
    void buttonUp();
    void click(bool twice);
    bool handleKey(const QKeyEvent *event);
    void showPointerShape();
    int count() const;

    const mdlDim::ShownEntries &entries_;
    PictureBox *picture_;
    QScrollBar *scrollBar_;
    const QList<QPixmap> &pictures_;
    std::function<QString(int)> categoryName_;
    int rowsShown_ = 0;
    QString emptyHint_;
    QString notice_;
    int highlighted_ = -1;
    bool categoryMode_ = false;
    bool pressedOnList_ = false;
    int pressedRow_ = -1;
};
