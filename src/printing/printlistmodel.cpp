#include "printing/printlistmodel.h"

#include "printing/newyearchoice.h"
#include "render/fonts.h"
#include "ui/twips.h"

#include <QHash>
#include <QIcon>
#include <QPainter>
#include <QPixmap>

namespace {
// The year's marks as a small picture beside an entry's name, room for 「出受」.
QIcon marksIcon(const QString &marks) {
    // Kept to the end of the process: no pixmap in a static destructor.
    static auto *made = new QHash<QString, QIcon>;
    if (auto found = made->constFind(marks); found != made->constEnd())
        return *found;
    QPixmap picture(PrintListModel::marksSize());
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setFont(fonts::named(fonts::UiGothic, 8));
    painter.setPen(QColor(190, 30, 30));
    painter.drawText(picture.rect(), Qt::AlignLeft | Qt::AlignVCenter, marks);
    painter.end();
    return made->insert(marks, QIcon(picture)).value();
}
} // namespace

QSize PrintListModel::marksSize() {
    return {twips::toPx(375), twips::toPx(195)};
}

void PrintListModel::setEntries(QList<PrintEntry> entries) {
    beginResetModel();
    entries_ = std::move(entries);
    const qsizetype n = entries_.size();
    chosen_ = QList<bool>(n, false);
    order_.resize(n);
    for (qsizetype row = 0; row < n; ++row)
        order_[row] = int(row);
    nextOrder_ = int(n);
    endResetModel();
}

void PrintListModel::choose(const QList<int> &rows) {
    moveBetweenLists(rows, true);
}

void PrintListModel::putBack(const QList<int> &rows) {
    moveBetweenLists(rows, false);
}

void PrintListModel::moveBetweenLists(const QList<int> &rows, bool chosen) {
    QList<int> moving;
    for (const int row : rows)
        if (row >= 0 && row < entries_.size() && chosen_.at(row) != chosen)
            moving.append(row);
    if (moving.isEmpty())
        return;
    // One entry is a change the views follow in place; many are a new start.
    const bool many = moving.size() > 1;
    if (many)
        beginResetModel();
    for (const int row : std::as_const(moving)) {
        chosen_[row] = chosen;
        order_[row] = nextOrder_++;
    }
    if (many) {
        endResetModel();
    } else {
        const QModelIndex changed = index(moving.first());
        emit dataChanged(changed, changed, {ChosenRole, OrderRole});
    }
}

QList<int> PrintListModel::chosenRows() const {
    QList<int> rows;
    for (qsizetype row = 0; row < entries_.size(); ++row)
        if (chosen_.at(row))
            rows.append(int(row));
    std::sort(rows.begin(), rows.end(), [this](int a, int b) { return order_.at(a) < order_.at(b); });
    return rows;
}

QList<int> PrintListModel::chosenLines() const {
    QList<int> lines;
    for (const int row : chosenRows())
        lines.append(entries_.at(row).line);
    return lines;
}

QList<int> PrintListModel::lines() const {
    QList<int> lines;
    lines.reserve(entries_.size());
    for (const PrintEntry &entry : entries_)
        lines.append(entry.line);
    return lines;
}

void PrintListModel::showYear(std::optional<int> year) {
    year_ = year;
    if (!entries_.isEmpty())
        emit dataChanged(index(0), index(int(entries_.size()) - 1), {Qt::DecorationRole, Qt::AccessibleTextRole});
}

people::NewYear PrintListModel::yearShown(int row) const {
    if (year_)
        for (const people::NewYear &y : entries_.at(row).years)
            if (y.year == *year_)
                return y;
    return {};
}

void PrintListModel::setYears(const QList<QList<people::NewYear>> &years) {
    for (qsizetype row = 0; row < entries_.size() && row < years.size(); ++row)
        entries_[row].years = years.at(row);
    // The postcard filters choose by the records: the views filter anew.
    beginResetModel();
    endResetModel();
}

int PrintListModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(entries_.size());
}

QVariant PrintListModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= entries_.size())
        return {};
    const int row = index.row();
    const PrintEntry &e = entries_.at(row);
    switch (role) {
    case Qt::DisplayRole:
        return e.name;
    case Qt::DecorationRole:
        return year_ ? QVariant(marksIcon(newyearchoice::marks(yearShown(row)))) : QVariant();
    case Qt::AccessibleTextRole: {
        // The name, whether it was printed, and the year's marks; never the line.
        QString spoken = e.printed ? e.name + QStringLiteral(" 印刷済み") : e.name;
        if (const QString marks = year_ ? newyearchoice::marks(yearShown(row)) : QString(); !marks.isEmpty())
            spoken += QStringLiteral("、") + marks;
        return spoken;
    }
    case UidRole:
        return e.uid;
    case LineRole:
        return e.line;
    case PrintedRole:
        return e.printed;
    case ChosenRole:
        return chosen_.at(row);
    case OrderRole:
        return order_.at(row);
    default:
        return {};
    }
}

PrintListFilter::PrintListFilter(PrintListModel *model, Accepts accepts, QObject *parent)
    : QSortFilterProxyModel(parent), model_(model), accepts_(std::move(accepts)) {
    setSourceModel(model);
    setSortRole(PrintListModel::OrderRole);
    // A move between the lists changes these two roles: the views filter and sort anew.
    setFilterRole(PrintListModel::ChosenRole);
    sort(0);
}

void PrintListFilter::setAccepts(Accepts accepts) {
    accepts_ = std::move(accepts);
    invalidateFilter();
}

int PrintListFilter::modelRow(int viewRow) const {
    return mapToSource(index(viewRow, 0)).row();
}

QList<int> PrintListFilter::modelRows() const {
    QList<int> rows;
    for (int row = 0; row < rowCount(); ++row)
        rows.append(modelRow(row));
    return rows;
}

bool PrintListFilter::filterAcceptsRow(int sourceRow, const QModelIndex &) const {
    return accepts_ && accepts_(*model_, sourceRow);
}
