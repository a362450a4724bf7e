#include "browse/entryrowdelegate.h"

#include "browse/entrylistmodel.h"
#include "browse/entrylistpage.h"
#include "render/fonts.h"
#include "ui/paintertarget.h"
#include "ui/twips.h"

#include <QPainter>

namespace {
constexpr int TextDown = 90;
// Where each column's text starts; a category's short caption starts further in.
int textX(const QModelIndex &cell) {
    switch (cell.column()) {
    case EntryListModel::Reading:
        return 140;
    case EntryListModel::Category:
        return cell.data(Qt::AccessibleTextRole).toString().size() >= 3 ? 420 : 450;
    case EntryListModel::Name:
        return 890;
    default:
        return 3480;
    }
}
} // namespace

void EntryRowDelegate::paintTag(DrawTarget &target, const QModelIndex &cell, int top) const {
    const QVariant tag = cell.data(Qt::DecorationRole);
    if (tag.isValid())
        target.drawPicture(tag.value<QPixmap>(), QRect(380, top + 10, 430, 290));
}

void EntryRowDelegate::paintText(DrawTarget &target, const QModelIndex &cell, int top) const {
    // An entry without a category has no caption to draw.
    if (cell.column() == EntryListModel::Category && cell.data(EntryListModel::CategoryRole).toInt() == 0)
        return;
    target.drawText(cell.data(Qt::DisplayRole).toString(), {textX(cell), top + TextDown},
                    FontSpec{fonts::UiGothic, 8, false}, Qt::black);
}

void EntryRowDelegate::paintRow(DrawTarget &target, const QModelIndex &row, int top, const QPixmap &openButton) const {
    const auto cell = [&](int column) { return row.siblingAtColumn(column); };
    paintTag(target, cell(EntryListModel::Category), top);
    target.drawPicture(openButton, QRect(EntryListPage::OpenButtonX, top + 10, 410, 290));
    for (int column :
         {EntryListModel::Reading, EntryListModel::Category, EntryListModel::Name, EntryListModel::Address})
        paintText(target, cell(column), top);
}

void EntryRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const {
    PainterTarget target(*painter, painter->device());
    const int top = twips::fromPx(option.rect.top());
    if (index.column() == EntryListModel::Category)
        paintTag(target, index, top);
    paintText(target, index, top);
}

QSize EntryRowDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const {
    return {QStyledItemDelegate::sizeHint(option, index).width(), twips::toPx(EntryListPage::RowHeight)};
}
