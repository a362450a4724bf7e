#pragma once

class EntryListPage;
class QWidget;

// What a screen reader sees of the drawn entry list: a table of the rows
// shown, with the columns よみ, 氏名, 分類 and 住所, each cell pressable to open
// its row, the highlighted row selected.
namespace entrylistaccessible {
void attach(QWidget *list, EntryListPage *page);
// Tells a listening screen reader that the rows shown changed (a page turned,
// another selection), and that the highlight moved to another row, so that
// it reads that row.
void rowsChanged(QWidget *list);
void highlightMoved(QWidget *list);
} // namespace entrylistaccessible
