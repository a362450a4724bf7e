#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QPixmap>

#include <functional>

namespace mdlDim {
class ShownEntries;
}

// The browsing window's selection as a table: a row per shown entry, the
// columns a screen reader reads (よみ, 氏名, 分類, 住所). What the list draws
// is the display text, shortened as designed; what a reader hears is the
// whole text.
class EntryListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Reading, Name, Category, Address, ColumnCount };
    enum Role {
        CategoryRole = Qt::UserRole, // the category's number, 0 when none
    };
    // `pictures` is the window's picture array, 1 to 10 the category tags;
    // `categoryName` gives a category's caption.
    EntryListModel(const mdlDim::ShownEntries &entries, const QList<QPixmap> &pictures,
                   std::function<QString(int)> categoryName, QObject *parent = nullptr);

    // The selection was read anew: every row may have changed.
    void reload();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The drawn list's shortenings: a category of three characters or more
    // as two and "...", an address of more than seven as six and "...".
    static QString shortCategory(const QString &name);
    static QString shortAddress(const QString &address);

private:
    const mdlDim::ShownEntries &entries_;
    const QList<QPixmap> &pictures_;
    std::function<QString(int)> categoryName_;
    int rows_ = 0;
};
