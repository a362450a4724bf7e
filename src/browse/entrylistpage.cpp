#include "browse/entrylistpage.h"

#include "browse/entrylistmodel.h"
#include "browse/entryrowdelegate.h"
#include "render/fonts.h"
#include "store/shownentries.h"
#include "ui/paintertarget.h"
#include "ui/twips.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSignalBlocker>

namespace {
constexpr int ListWidth = 5330;
constexpr int ListHeight = 5700;
constexpr int ColumnEdges[] = {370, 810, 3400, 4650};
constexpr int OpenPicture = 11;
constexpr int OpenPressedPicture = 12;
const QColor HighlightBand(214, 230, 250);
const PenSpec RuledLine{Qt::SolidLine, 1, QColor(172, 172, 172)};

// A picture of one colour, scaled over an area.
QPixmap filled(QColor colour) {
    QPixmap p(1, 1);
    p.fill(colour);
    return p;
}
} // namespace

EntryListPage::EntryListPage(const mdlDim::ShownEntries &entries, QWidget *parent, QScrollBar *scrollBar,
                             const QList<QPixmap> &pictures, std::function<QString(int)> categoryName)
    : QTableView(parent), entries_(entries), scrollBar_(scrollBar), pictures_(pictures),
      model_(new EntryListModel(entries, pictures, std::move(categoryName), this)),
      delegate_(new EntryRowDelegate(this)) {
    setObjectName(QStringLiteral("picList(0)"));
    setModel(model_);
    setItemDelegate(delegate_);
    setFrameShape(QFrame::NoFrame);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(twips::toPx(RowHeight));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setShowGrid(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the list; the arrows move the highlight.
    setTabKeyNavigation(false);
    setAutoScroll(false);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    // Keys act on rows (U marks 受): an input method must not take them for
    // composing, as an item view's search by typing would have it.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    connect(scrollBar_, &QScrollBar::valueChanged, this, &EntryListPage::ViewTelList);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &EntryListPage::followSelection);
}

EntryListPage::~EntryListPage() = default;

int EntryListPage::count() const {
    return static_cast<int>(entries_.size());
}

void EntryListPage::entriesChanged() {
    const QScopedValueRollback following(followingHighlight_, true);
    model_->reload();
}

void EntryListPage::ViewTelList(int start) {
    PressedButtonTop = -1;
    // The page and the click mapping both start at the scroll bar's value.
    if (start == 0 && scrollBar_->value() != 0) {
        const QSignalBlocker quiet(scrollBar_);
        scrollBar_->setValue(0);
    }
    if (model_->rowCount() != count())
        entriesChanged();
    first_ = start;
    const int rowsForEntries = notice_.isEmpty() ? Rows : pageRows();
    rowsShown_ = start < 0 ? 0 : qBound(0, count() - start, rowsForEntries);
    viewport()->update();
    // An empty selection leaves the scroll bar as it was.
    if (count() == 0)
        return;
    const int rows = pageRows();
    scrollBar_->setPageStep(rows);
    // A value beyond the new maximum is pulled back, which shows that page.
    scrollBar_->setMaximum(count() > rows ? count() - rows : 0);
}

void EntryListPage::paintEvent(QPaintEvent *) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), Qt::white);
    PainterTarget target(painter, viewport(), recorder_);
    target.clear();
    paintPage(target);
}

void EntryListPage::paintPage(DrawTarget &pic) {
    // The band first, so that the ruled lines and the text stay on top of it.
    if (const int row = highlighted_ - first_; highlighted_ >= 0 && row >= 0 && row < Rows) {
        static const QPixmap band = filled(HighlightBand);
        pic.drawPicture(band, QRect(0, row * RowHeight, ListWidth, RowHeight));
    }
    const auto gridLines = [&](bool horizontal) {
        if (horizontal) {
            for (int y = 0; y <= ListHeight; y += RowHeight)
                pic.drawLine({0, y}, {ListWidth, y}, RuledLine);
        } else {
            for (int x : ColumnEdges)
                pic.drawLine({x, 0}, {x, ListHeight}, RuledLine);
        }
    };
    gridLines(true);
    gridLines(false);
    // A clear band, so that the ruled lines do not cross the text on it.
    const auto clearBand = [&](int firstRow, int rowCount) {
        static const QPixmap clear = filled(Qt::white);
        pic.drawPicture(clear, QRect(0, firstRow * RowHeight + 1, ListWidth, rowCount * RowHeight - 1));
    };
    const auto drawNotice = [&] {
        if (notice_.isEmpty())
            return;
        clearBand(pageRows(), 1);
        pic.drawText(notice_, {140, pageRows() * RowHeight + 60}, {fonts::UiGothic, 8, true}, QColor(170, 40, 30));
    };
    if (count() == 0) {
        // One sentence or clause a line, in the middle rows.
        QStringList lines;
        QString line;
        for (QChar c : emptyHint_) {
            line += c;
            if (c == u'。' || c == u'、') {
                lines.append(line);
                line.clear();
            }
        }
        if (!line.isEmpty())
            lines.append(line);
        drawNotice();
        if (lines.isEmpty())
            return;
        clearBand(6, int(lines.size()));
        for (int i = 0; i < lines.size(); ++i)
            pic.drawText(lines.at(i), {240, (6 + i) * RowHeight + 60}, {fonts::UiGothic, 9, false}, QColor(80, 80, 80));
        return;
    }
    // The table is as long as the selection was when last read.
    const int shown = qMin(count(), model_->rowCount());
    const int rowsForEntries = notice_.isEmpty() ? Rows : pageRows();
    for (int i = first_, row = 0; row < rowsForEntries && i >= 0 && i < shown; ++i, ++row)
        delegate_->paintRow(pic, model_->index(i, 0), row * RowHeight, pictures_.at(OpenPicture));
    gridLines(false);
    drawNotice();
    if (PressedButtonTop >= 0)
        pic.drawPicture(pictures_.at(OpenPressedPicture), QRect(OpenButtonX, PressedButtonTop, 410, 290));
}

QRect EntryListPage::visualRect(const QModelIndex &index) const {
    const int row = index.row() - scrollBar_->value();
    if (!index.isValid() || row < 0 || row >= rowsShown_)
        return {};
    // Reading under 索, name, category tag, address, as drawn.
    static constexpr int lefts[] = {0, ColumnEdges[1], ColumnEdges[0], ColumnEdges[2]};
    static constexpr int rights[] = {ColumnEdges[0], ColumnEdges[2], ColumnEdges[1], ColumnEdges[3]};
    const int column = index.column();
    if (column < 0 || column >= EntryListModel::ColumnCount)
        return {};
    return twips::toPx(QRect(lefts[column], row * RowHeight, rights[column] - lefts[column], RowHeight));
}

QModelIndex EntryListPage::indexAt(const QPoint &point) const {
    const int x = twips::fromPx(point.x()), y = twips::fromPx(point.y());
    const int row = y / RowHeight;
    if (y < 0 || row >= rowsShown_ || x >= ColumnEdges[3])
        return {};
    const int column = x < ColumnEdges[0]   ? EntryListModel::Reading
                       : x < ColumnEdges[1] ? EntryListModel::Category
                       : x < ColumnEdges[2] ? EntryListModel::Name
                                            : EntryListModel::Address;
    return model_->index(row + scrollBar_->value(), column);
}

void EntryListPage::scrollTo(const QModelIndex &, ScrollHint) {
    // The page follows fsbList alone; highlightRow keeps the highlight in view.
}

void EntryListPage::scrollContentsBy(int, int) {
    viewport()->update();
}

int EntryListPage::pageRows() const {
    const int rows = categoryMode_ ? 17 : 19;
    return notice_.isEmpty() ? rows : rows - 1;
}

void EntryListPage::setEmptyHint(const QString &hint) {
    emptyHint_ = hint;
    viewport()->update();
}

void EntryListPage::setNotice(const QString &notice) {
    notice_ = notice;
    viewport()->update();
}

void EntryListPage::clearHighlight() {
    highlighted_ = -1;
    const QScopedValueRollback following(followingHighlight_, true);
    selectionModel()->clear();
    viewport()->update();
}

void EntryListPage::highlightRow(int index) {
    highlighted_ = count() == 0 ? -1 : qBound(0, index, count() - 1);
    // The highlighted row is kept in view; the scroll bar redraws when it moves.
    const int top = scrollBar_->value();
    if (highlighted_ >= 0 && highlighted_ < top)
        scrollBar_->setValue(highlighted_);
    else if (highlighted_ >= top + pageRows())
        scrollBar_->setValue(highlighted_ - pageRows() + 1);
    if (scrollBar_->value() == top)
        ViewTelList(top);
    // The current row is what a screen reader follows: its reading is read first.
    if (highlighted_ >= 0 && highlighted_ < model_->rowCount()) {
        const QScopedValueRollback following(followingHighlight_, true);
        selectionModel()->setCurrentIndex(model_->index(highlighted_, EntryListModel::Reading),
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
}

void EntryListPage::followSelection() {
    if (followingHighlight_)
        return;
    const QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        highlighted_ = -1;
        viewport()->update();
    } else if (rows.first().row() != highlighted_) {
        highlightRow(rows.first().row());
    }
}

bool EntryListPage::handleKey(const QKeyEvent *event) {
    const int current = highlighted_ >= 0 && highlighted_ < count() ? highlighted_ : -1;
    const int first = scrollBar_->value();
    switch (event->key()) {
    case Qt::Key_Down:
        highlightRow(current < 0 ? first : current + 1);
        return true;
    case Qt::Key_Up:
        highlightRow(current < 0 ? first : current - 1);
        return true;
    case Qt::Key_PageDown:
        highlightRow((current < 0 ? first : current) + pageRows());
        return true;
    case Qt::Key_PageUp:
        highlightRow((current < 0 ? first : current) - pageRows());
        return true;
    case Qt::Key_Home:
        highlightRow(0);
        return true;
    case Qt::Key_End:
        highlightRow(count() - 1);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (current >= 0)
            emit entryOpened(current);
        return true;
    case Qt::Key_U:
        if (current >= 0)
            emit receivedToggled(current);
        return true;
    default:
        return false;
    }
}

void EntryListPage::keyPressEvent(QKeyEvent *event) {
    if (handleKey(event))
        event->accept();
    else
        QWidget::keyPressEvent(event); // not the view's own: no search by typing, no moving the current cell
}

void EntryListPage::focusInEvent(QFocusEvent *event) {
    // Not the view's own, which would make the first row current: no row is
    // highlighted until a key or a click moves to one.
    QAbstractScrollArea::focusInEvent(event);
}

void EntryListPage::showPointerShape() {
    const int row = ListMouseY / RowHeight;
    const bool onOpenButton = ListMouseY >= 0 && row < rowsShown_ && ListMouseX > OpenButtonX;
    if (onOpenButton)
        viewport()->setCursor(Qt::PointingHandCursor);
    else
        viewport()->unsetCursor();
}

void EntryListPage::storePointer(const QPointF &pos) {
    ListMouseX = twips::fromPx(pos.x());
    ListMouseY = twips::fromPx(pos.y());
}

void EntryListPage::click(bool twice) {
    const int row = ListMouseY / RowHeight;
    const int index = row + scrollBar_->value();
    if (ListMouseY < 0 || row >= rowsShown_ || index >= count())
        return;
    if (twice || ListMouseX > OpenButtonX)
        emit entryOpened(index);
    else
        highlightRow(index);
}

void EntryListPage::mouseMoveEvent(QMouseEvent *event) {
    storePointer(event->position());
    showPointerShape();
}

void EntryListPage::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton)
        return; // only the left button acts on a row
    storePointer(event->position());
    pressedOnList_ = true;
    pressedRow_ = ListMouseY / RowHeight;
    // The open button is drawn pressed until the button is released.
    if (pressedRow_ >= 0 && pressedRow_ < rowsShown_ && ListMouseX > OpenButtonX) {
        PressedButtonTop = pressedRow_ * RowHeight + 10;
        viewport()->update();
    }
}

void EntryListPage::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton)
        return;
    storePointer(event->position());
    if (PressedButtonTop >= 0) {
        PressedButtonTop = -1;
        viewport()->update();
    }
    // A click needs the press and the release on one row of the list.
    const bool clicked = pressedOnList_ && viewport()->rect().contains(event->position().toPoint()) &&
                         ListMouseY / RowHeight == pressedRow_;
    pressedOnList_ = false;
    if (clicked)
        click(false);
}

void EntryListPage::mouseDoubleClickEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton)
        return;
    storePointer(event->position());
    // The open button opened the row at the first click already.
    if (ListMouseX <= OpenButtonX)
        click(true);
}

void EntryListPage::wheelEvent(QWheelEvent *event) {
    // Exactly as over the scroll bar: three rows a notch, a page with Shift.
    QCoreApplication::sendEvent(scrollBar_, event);
}
