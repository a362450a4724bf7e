#pragma once

#include <QList>
#include <QPixmap>
#include <QTableView>
#include <functional>

namespace mdlDim {
class ShownEntries;
}
class DrawTarget;
class EntryListModel;
class EntryRowDelegate;
class QScrollBar;

// The ruled, paged entry list of the browsing window, picList(0): a table
// view of the selection (EntryListModel) drawn as designed, 19 rows a page
// moved by fsbList, each row with an open button. The wheel over it scrolls
// as the scroll bar does. A click highlights a row (a light band under the
// ruled lines) and a double click opens it, as its open button does; with
// the focus, the arrow, page, Home and End keys move the highlight and Enter
// opens the highlighted row. The highlighted row is the view's current and
// selected row, so a screen reader follows it and can select a row itself.
class EntryListPage : public QTableView {
    Q_OBJECT
public:
    static constexpr int RowHeight = 300;
    static constexpr int OpenButtonX = 4660; // the open button's left edge, in each row
    static constexpr int Rows = 19;

    // Shows `entries`, the book's shown entries. `pictures` is the window's
    // picture array: 1 to 10 category tags, 11 and 12 the open button at rest
    // and pressed. `categoryName` gives a category's caption.
    EntryListPage(const mdlDim::ShownEntries &entries, QWidget *parent, QScrollBar *scrollBar,
                  const QList<QPixmap> &pictures, std::function<QString(int)> categoryName);
    ~EntryListPage() override;

    // The selection was read anew.
    void entriesChanged();
    // Shows the page whose first row shows entry `start`.
    void ViewTelList(int start);

    // The last pointer position over the list, in twips.
    int ListMouseX = 0;
    int ListMouseY = 0;
    // The top of the open button drawn pressed (twips), -1 when none is.
    int PressedButtonTop = -1;

    // The index of the highlighted row; -1 when none is.
    int highlighted() const { return highlighted_; }
    // A new selection: no row is highlighted until a key or a click moves to one.
    void clearHighlight();
    // Highlights entry `index` and keeps it in view.
    void highlightRow(int index);
    // Rows the list shows at once in the current layout.
    int pageRows() const;
    // One category is shown: the list is two rows shorter.
    void setCategoryMode(bool categoryMode) { categoryMode_ = categoryMode; }
    // Drawn in the empty list area: how to fill an empty book. Empty: nothing.
    void setEmptyHint(const QString &hint);
    // One line under the rows, which then show one entry fewer (a read-only
    // book says so there). Empty: none.
    void setNotice(const QString &notice);
    // Every drawing call of the page goes to `recorder` as well (tests).
    void setRecorder(DrawTarget *recorder) { recorder_ = recorder; }

    QRect visualRect(const QModelIndex &index) const override;
    QModelIndex indexAt(const QPoint &point) const override;
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;

signals:
    // The open button of entry `index` was clicked.
    void entryOpened(int index);
    // The highlighted entry's New Year card arrived (or did not after all): the key U.
    void receivedToggled(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void paintPage(DrawTarget &target);
    void storePointer(const QPointF &pos);
    void click(bool twice);
    bool handleKey(const QKeyEvent *event);
    void showPointerShape();
    // A screen reader selected a row: it becomes the highlighted one.
    void followSelection();
    int count() const;

    const mdlDim::ShownEntries &entries_;
    QScrollBar *scrollBar_;
    const QList<QPixmap> &pictures_;
    EntryListModel *model_;
    EntryRowDelegate *delegate_;
    DrawTarget *recorder_ = nullptr;
    int first_ = 0; // the entry the page's first row shows
    int rowsShown_ = 0;
    bool followingHighlight_ = false; // the selection is being set to the highlight
    QString emptyHint_;
    QString notice_;
    int highlighted_ = -1;
    bool categoryMode_ = false;
    bool pressedOnList_ = false;
    int pressedRow_ = -1;
};
