#include "browse/entrylistpage.h"

#include "browse/entrylistaccessible.h"

#include "render/drawtarget.h"
#include "render/fonts.h"
#include "store/entryrecord.h"
#include "store/mdlDim.h"
#include "store/selection.h"
#include "store/shownentries.h"
#include "ui/picturebox.h"
#include "ui/twips.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalBlocker>

namespace {
constexpr int ListWidth = 5330;
constexpr int ListHeight = 5700;
constexpr int ColumnEdges[] = {370, 810, 3400, 4650};
constexpr int OpenButtonX = 4660;
constexpr int OpenPicture = 11;
constexpr int OpenPressedPicture = 12;
const QColor HighlightBand(214, 230, 250);
const PenSpec RuledLine{Qt::SolidLine, 1, QColor(172, 172, 172)};

QString shortCategory(const QString &name) {
    return name.size() >= 3 ? name.left(2) + QStringLiteral("...") : name;
}

QString shortAddress(const QString &address) {
    return address.size() > 7 ? address.left(6) + QStringLiteral("...") : address;
}
} // namespace

EntryListPage::EntryListPage(const mdlDim::ShownEntries &entries, PictureBox *picture, QScrollBar *scrollBar,
                             const QList<QPixmap> &pictures, std::function<QString(int)> categoryName, QObject *parent)
    : QObject(parent), entries_(entries), picture_(picture), scrollBar_(scrollBar), pictures_(pictures),
      categoryName_(std::move(categoryName)) {
    picture_->installEventFilter(this);
    picture_->setMouseTracking(true);
    picture_->setFocusPolicy(Qt::StrongFocus);
    entrylistaccessible::attach(picture_, this);
    connect(scrollBar_, &QScrollBar::valueChanged, this, &EntryListPage::ViewTelList);
}

int EntryListPage::count() const {
    return static_cast<int>(entries_.size());
}

void EntryListPage::ViewTelList(int start) {
    PictureBox &pic = *picture_;
    pic.clear();
    // The band first, so that the ruled lines and the text stay on top of it.
    if (const int row = highlighted_ - start; highlighted_ >= 0 && row >= 0 && row < Rows) {
        static const QPixmap band = [] {
            QPixmap p(1, 1);
            p.fill(HighlightBand);
            return p;
        }();
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
        static const QPixmap clear = [] {
            QPixmap p(1, 1);
            p.fill(Qt::white);
            return p;
        }();
        pic.drawPicture(clear, QRect(0, firstRow * RowHeight + 1, ListWidth, rowCount * RowHeight - 1));
    };
    const auto drawNotice = [&] {
        if (notice_.isEmpty())
            return;
        clearBand(pageRows(), 1);
        pic.drawText(notice_, {140, pageRows() * RowHeight + 60}, {fonts::UiGothic, 8, true}, QColor(170, 40, 30));
    };
    PressedButtonTop = -1;
    // The page and the click mapping both start at the scroll bar's value.
    if (start == 0 && scrollBar_->value() != 0) {
        const QSignalBlocker quiet(scrollBar_);
        scrollBar_->setValue(0);
    }
    rowsShown_ = 0;
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

    const auto text = [&](const QString &s, int x, int y) {
        pic.drawText(s, {x, y}, {fonts::UiGothic, 8, false}, Qt::black);
    };
    int bottom = 0;
    const int rowsForEntries = notice_.isEmpty() ? Rows : pageRows();
    for (int i = start; rowsShown_ < rowsForEntries && i >= 0 && i < count(); ++i) {
        const QString element = entries_.at(i);
        bottom += RowHeight;
        ++rowsShown_;
        const int category = selection::categoryOf(element);
        if (category != 0)
            pic.drawPicture(pictures_.at(category), QRect(380, bottom - 290, 430, 290));
        pic.drawPicture(pictures_.at(OpenPicture), QRect(OpenButtonX, bottom - 290, 410, 290));
        text(selection::readingOf(element).left(1), 140, bottom - 210);
        if (category != 0) {
            const QString name = categoryName_(category);
            text(shortCategory(name), name.size() >= 3 ? 420 : 450, bottom - 210);
        }
        text(fieldOfElement(element, EntryField::Name), 890, bottom - 210);
        text(shortAddress(fieldOfElement(element, EntryField::Address)), 3480, bottom - 210);
    }
    gridLines(false);
    drawNotice();

    const int rows = pageRows();
    scrollBar_->setPageStep(rows);
    // A value beyond the new maximum is pulled back, which redraws that page.
    scrollBar_->setMaximum(count() > rows ? count() - rows : 0);
    entrylistaccessible::rowsChanged(picture_);
}

int EntryListPage::indexOfRow(int row) const {
    const int index = scrollBar_->value() + row;
    return row >= 0 && row < rowsShown_ && index < count() ? index : -1;
}

QString EntryListPage::cellText(int row, int column) const {
    const int index = indexOfRow(row);
    if (index < 0)
        return {};
    const QString element = entries_.at(index);
    switch (column) {
    case 0:
        return selection::readingOf(element);
    case 1:
        return fieldOfElement(element, EntryField::Name);
    case 2:
        return categoryName_(selection::categoryOf(element));
    default:
        return fieldOfElement(element, EntryField::Address);
    }
}

QRect EntryListPage::cellRect(int row, int column) const {
    // Reading under 索, name, category tag, address, as drawn.
    const int lefts[Columns] = {0, ColumnEdges[1], ColumnEdges[0], ColumnEdges[2]};
    const int rights[Columns] = {ColumnEdges[0], ColumnEdges[2], ColumnEdges[1], ColumnEdges[3]};
    return QRect(twips::toPx(lefts[column]), twips::toPx(row * RowHeight), twips::toPx(rights[column] - lefts[column]),
                 twips::toPx(RowHeight));
}

void EntryListPage::openRow(int row) {
    if (const int index = indexOfRow(row); index >= 0)
        emit entryOpened(index);
}

int EntryListPage::pageRows() const {
    const int rows = categoryMode_ ? 17 : 19;
    return notice_.isEmpty() ? rows : rows - 1;
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
    entrylistaccessible::highlightMoved(picture_);
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

void EntryListPage::showPointerShape() {
    const int row = ListMouseY / RowHeight;
    const bool onOpenButton = ListMouseY >= 0 && row < rowsShown_ && ListMouseX > OpenButtonX;
    if (onOpenButton)
        picture_->setCursor(Qt::PointingHandCursor);
    else
        picture_->unsetCursor();
}

void EntryListPage::storePointer(const QPointF &pos) {
    ListMouseX = twips::fromPx(pos.x());
    ListMouseY = twips::fromPx(pos.y());
}

void EntryListPage::buttonDown() {
    const int row = ListMouseY / RowHeight;
    if (row < 0 || row >= rowsShown_ || ListMouseX <= OpenButtonX)
        return;
    const int top = row * RowHeight + 10;
    PressedButtonTop = top;
    picture_->drawPicture(pictures_.at(OpenPressedPicture), QRect(OpenButtonX, top, 410, 290));
}

void EntryListPage::buttonUp() {
    if (PressedButtonTop < 0)
        return;
    picture_->drawPicture(pictures_.at(OpenPicture), QRect(OpenButtonX, PressedButtonTop, 410, 290));
    PressedButtonTop = -1;
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

bool EntryListPage::eventFilter(QObject *watched, QEvent *event) {
    if (watched != picture_)
        return false;
    switch (event->type()) {
    case QEvent::MouseMove:
        storePointer(static_cast<QMouseEvent *>(event)->position());
        showPointerShape();
        return true;
    case QEvent::Wheel:
        // Exactly as over the scroll bar: three rows a notch, a page with Shift.
        QCoreApplication::sendEvent(scrollBar_, event);
        return true;
    case QEvent::KeyPress:
        return handleKey(static_cast<QKeyEvent *>(event));
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton)
            return true; // only the left button acts on a row
        storePointer(static_cast<QMouseEvent *>(event)->position());
        pressedOnList_ = true;
        pressedRow_ = ListMouseY / RowHeight;
        buttonDown();
        return true;
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            return true;
        storePointer(mouse->position());
        buttonUp();
        // A click needs the press and the release on one row of the list.
        const bool clicked = pressedOnList_ && picture_->rect().contains(mouse->position().toPoint()) &&
                             ListMouseY / RowHeight == pressedRow_;
        pressedOnList_ = false;
        if (clicked)
            click(false);
        return true;
    }
    case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            storePointer(static_cast<QMouseEvent *>(event)->position());
            // The open button opened the row at the first click already.
            if (ListMouseX <= OpenButtonX)
                click(true);
        }
        return true;
    default:
        return false;
    }
}
