#pragma once

#include <QStyledItemDelegate>

class DrawTarget;

// Draws the entry list's rows as designed, in twips: the reading's first
// character under 索, the category tag with its caption, the name, the
// address, each at its place in the ruled row.
class EntryRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // A whole row whose top is at `top`: the tag, the open button
    // (`openButton`), then the texts from left to right.
    void paintRow(DrawTarget &target, const QModelIndex &row, int top, const QPixmap &openButton) const;
    // One cell alone, in the row at the option's rectangle.
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    void paintTag(DrawTarget &target, const QModelIndex &cell, int top) const;
    void paintText(DrawTarget &target, const QModelIndex &cell, int top) const;
};
