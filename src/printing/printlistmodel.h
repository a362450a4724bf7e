#pragma once

#include "store/people.h"

#include <QAbstractListModel>
#include <QList>
#include <QSortFilterProxyModel>

#include <functional>
#include <optional>

// One entry the print set-up offers.
struct PrintEntry {
    QString uid;  // who it is, through a reload of the book
    int line = 0; // its line in the book as loaded: what a job prints and marks
    QString name;
    bool printed = false;
    QList<people::NewYear> years; // its New Year records
};

// The entries the print set-up offers, one row each, in the browsing order.
// Every list of the window is a filtered view of it (PrintListFilter), so an
// entry is in the print list or in the source lists, never both. An entry
// taken into the print list goes to its end; one put back goes to the end of
// the source lists.
class PrintListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        UidRole = Qt::UserRole,
        LineRole,
        PrintedRole,
        ChosenRole, // in the print list
        OrderRole,  // the place in the list the entry is in
    };
    using QAbstractListModel::QAbstractListModel;

    void setEntries(QList<PrintEntry> entries);
    const PrintEntry &entry(int row) const { return entries_.at(row); }
    bool isChosen(int row) const { return chosen_.at(row); }

    // Into the print list, in this order, after what it holds.
    void choose(const QList<int> &rows);
    // Back to the source lists, in this order, after what they hold.
    void putBack(const QList<int> &rows);
    // The print list's rows and their entries' lines, in its order.
    QList<int> chosenRows() const;
    QList<int> chosenLines() const;
    // Every entry's line, row by row.
    QList<int> lines() const;

    // Postcards show each entry's record of the New Year `year` beside its
    // name and read it out; cards show no marks (nullopt).
    void showYear(std::optional<int> year);
    // The entry's record of the year shown (empty when none is).
    people::NewYear yearShown(int row) const;
    // New records for each row, as the book holds them now.
    void setYears(const QList<QList<people::NewYear>> &years);
    // The picture of the marks, in pixels.
    static QSize marksSize();

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    void moveBetweenLists(const QList<int> &rows, bool chosen);
    QList<PrintEntry> entries_;
    QList<bool> chosen_;
    QList<int> order_;
    int nextOrder_ = 0;
    std::optional<int> year_;
};

// A list of the window: the model's entries that `accepts`, in their order.
class PrintListFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    using Accepts = std::function<bool(const PrintListModel &, int row)>;
    PrintListFilter(PrintListModel *model, Accepts accepts, QObject *parent = nullptr);
    void setAccepts(Accepts accepts);
    // The model's row shown in `viewRow`.
    int modelRow(int viewRow) const;
    // The model's rows in the order shown.
    QList<int> modelRows() const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    const PrintListModel *model_;
    Accepts accepts_;
};
