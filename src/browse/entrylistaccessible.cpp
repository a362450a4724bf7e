#include "browse/entrylistaccessible.h"

#include "browse/entrylistpage.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <QWidget>

namespace entrylistaccessible {
namespace {

const char *const PageProperty = "telboraEntryListPage";

EntryListPage *pageOf(QWidget *list) {
    return qobject_cast<EntryListPage *>(list->property(PageProperty).value<QObject *>());
}

class Cell : public QAccessibleInterface, public QAccessibleTableCellInterface, public QAccessibleActionInterface {
public:
    Cell(QWidget *list, int row, int column) : list_(list), row_(row), column_(column) {}

    bool isValid() const override { return list_ && pageOf(list_) && row_ < pageOf(list_)->rowsShown(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return list_ ? list_->window()->windowHandle() : nullptr; }
    QList<std::pair<QAccessibleInterface *, QAccessible::Relation>> relations(QAccessible::Relation) const override {
        return {};
    }
    QAccessibleInterface *focusChild() const override { return nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(list_.data()); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name && isValid() ? pageOf(list_)->cellText(row_, column_) : QString();
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override {
        if (!isValid())
            return {};
        const QRect r = pageOf(list_)->cellRect(row_, column_);
        return QRect(list_->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.selectable = true;
        s.selected = isSelected();
        // The row's first cell carries the list's focus, as a view's current cell does.
        s.focusable = column_ == 0;
        s.focused = column_ == 0 && s.selected && list_->hasFocus();
        return s;
    }
    void *interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface *>(this);
        if (type == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface *>(this);
        return nullptr;
    }

    bool isSelected() const override {
        return isValid() && pageOf(list_)->highlighted() >= 0 &&
               pageOf(list_)->highlighted() == pageOf(list_)->indexOfRow(row_);
    }
    QList<QAccessibleInterface *> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface *> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return column_; }
    int rowIndex() const override { return row_; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface *table() const override { return parent(); }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &action) override {
        if (action == pressAction() && isValid())
            pageOf(list_)->openRow(row_);
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QPointer<QWidget> list_;
    int row_;
    int column_;
};

class Table : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit Table(QWidget *list) : QAccessibleWidget(list, QAccessible::Table) {}
    ~Table() override {
        for (QAccessible::Id id : std::as_const(cells_))
            QAccessible::deleteAccessibleInterface(id);
    }

    void *interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TableInterface ? static_cast<QAccessibleTableInterface *>(this)
                                                   : QAccessibleWidget::interface_cast(type);
    }
    int childCount() const override { return rowCount() * EntryListPage::Columns; }
    QAccessibleInterface *focusChild() const override {
        const QList<int> rows = selectedRows();
        return widget()->hasFocus() && !rows.isEmpty() ? cellAt(rows.first(), 0) : nullptr;
    }
    QAccessibleInterface *child(int index) const override {
        return index >= 0 && index < childCount()
                   ? cellAt(index / EntryListPage::Columns, index % EntryListPage::Columns)
                   : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override {
        if (const QAccessibleTableCellInterface *cell = const_cast<QAccessibleInterface *>(child)->tableCellInterface())
            return cell->rowIndex() * EntryListPage::Columns + cell->columnIndex();
        return -1;
    }

    QAccessibleInterface *caption() const override { return nullptr; }
    QAccessibleInterface *summary() const override { return nullptr; }
    QAccessibleInterface *cellAt(int row, int column) const override {
        if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
            return nullptr;
        const int key = row * EntryListPage::Columns + column;
        if (const auto found = cells_.constFind(key); found != cells_.constEnd())
            return QAccessible::accessibleInterface(*found);
        auto *cell = new Cell(widget(), row, column);
        cells_.insert(key, QAccessible::registerAccessibleInterface(cell));
        return cell;
    }
    int columnCount() const override { return EntryListPage::Columns; }
    int rowCount() const override { return page() ? page()->rowsShown() : 0; }
    QString columnDescription(int column) const override {
        static const char16_t *const headings[] = {u"よみ", u"氏名", u"分類", u"住所"};
        return column >= 0 && column < EntryListPage::Columns ? QString::fromUtf16(headings[column]) : QString();
    }
    QString rowDescription(int) const override { return {}; }
    int selectedCellCount() const override { return selectedRowCount() * EntryListPage::Columns; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return selectedRows().size(); }
    QList<QAccessibleInterface *> selectedCells() const override {
        QList<QAccessibleInterface *> cells;
        for (int row : selectedRows())
            for (int column = 0; column < EntryListPage::Columns; ++column)
                cells.append(cellAt(row, column));
        return cells;
    }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override {
        for (int row = 0; row < rowCount(); ++row)
            if (page()->highlighted() >= 0 && page()->highlighted() == page()->indexOfRow(row))
                return {row};
        return {};
    }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override { return selectedRows().contains(row); }
    bool selectRow(int row) override {
        if (!page() || page()->indexOfRow(row) < 0)
            return false;
        page()->highlightRow(page()->indexOfRow(row));
        return true;
    }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent *) override {}

private:
    EntryListPage *page() const { return pageOf(widget()); }
    mutable QHash<int, QAccessible::Id> cells_;
};

QAccessibleInterface *factory(const QString &, QObject *object) {
    auto *list = qobject_cast<QWidget *>(object);
    return list && pageOf(list) ? new Table(list) : nullptr;
}

} // namespace

void attach(QWidget *list, EntryListPage *page) {
    static const bool installed = (QAccessible::installFactory(factory), true);
    Q_UNUSED(installed);
    list->setProperty(PageProperty, QVariant::fromValue<QObject *>(page));
    // An interface made for the bare picture (a screen reader already
    // listening when the window was built) gives way to the table.
    if (QAccessibleInterface *made = QAccessible::queryAccessibleInterface(list);
        made && made->role() != QAccessible::Table)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

void rowsChanged(QWidget *list) {
    // Every page drawn passes here: nothing is made when no reader listens.
    if (!QAccessible::isActive())
        return;
    QAccessibleTableModelChangeEvent event(list, QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&event);
}

void highlightMoved(QWidget *list) {
    if (!QAccessible::isActive() || !list->hasFocus())
        return;
    QAccessibleInterface *table = QAccessible::queryAccessibleInterface(list);
    QAccessibleInterface *cell = table ? table->focusChild() : nullptr;
    if (!cell)
        return;
    // The cell is the same object for its row whatever the page shows, so its
    // name is told anew before the focus lands on it.
    for (QAccessible::Event type : {QAccessible::NameChanged, QAccessible::Selection, QAccessible::Focus}) {
        QAccessibleEvent event(cell, type);
        QAccessible::updateAccessibility(&event);
    }
}

} // namespace entrylistaccessible
