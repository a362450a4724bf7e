#include "browse/entrylistmodel.h"

#include "store/entryrecord.h"
#include "store/selection.h"
#include "store/shownentries.h"

EntryListModel::EntryListModel(const mdlDim::ShownEntries &entries, const QList<QPixmap> &pictures,
                               std::function<QString(int)> categoryName, QObject *parent)
    : QAbstractTableModel(parent), entries_(entries), pictures_(pictures), categoryName_(std::move(categoryName)),
      rows_(int(entries.size())) {}

void EntryListModel::reload() {
    beginResetModel();
    rows_ = int(entries_.size());
    endResetModel();
}

int EntryListModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : rows_;
}

int EntryListModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString EntryListModel::shortCategory(const QString &name) {
    return name.size() >= 3 ? name.left(2) + QStringLiteral("...") : name;
}

QString EntryListModel::shortAddress(const QString &address) {
    return address.size() > 7 ? address.left(6) + QStringLiteral("...") : address;
}

QVariant EntryListModel::data(const QModelIndex &index, int role) const {
    // The table is as long as the selection was when last read; the entries may be fewer by now.
    if (!index.isValid() || index.row() >= entries_.size())
        return {};
    const bool shown = role == Qt::DisplayRole;
    const bool categoryOnly = role == Qt::DecorationRole || role == CategoryRole;
    // Asked for other roles, or these of another column, nothing is decoded.
    if (categoryOnly ? index.column() != Category : !shown && role != Qt::AccessibleTextRole)
        return {};
    const QString element = entries_.at(index.row());
    switch (index.column()) {
    case Reading:
        return shown ? selection::readingOf(element).left(1) : selection::readingOf(element);
    case Name:
        return fieldOfElement(element, EntryField::Name);
    case Category: {
        const int category = selection::categoryOf(element);
        if (role == CategoryRole)
            return category;
        if (role == Qt::DecorationRole)
            return category != 0 && category < pictures_.size() ? QVariant(pictures_.at(category)) : QVariant();
        if (shown)
            return category != 0 ? shortCategory(categoryName_(category)) : QString();
        return categoryName_(category);
    }
    case Address: {
        const QString address = fieldOfElement(element, EntryField::Address);
        return shown ? shortAddress(address) : address;
    }
    default:
        return {};
    }
}

QVariant EntryListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char16_t *const captions[ColumnCount] = {u"よみ", u"氏名", u"分類", u"住所"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf16(captions[section]) : QVariant();
}
