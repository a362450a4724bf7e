#pragma once

class EntryListPage;
class QWidget;

// What a screen reader sees of the drawn entry list: a table of the rows
// shown, with the columns よみ, 氏名, 分類 and 住所, each cell pressable to open
// its row, the highlighted row selected.
namespace entrylistaccessible {
void attach(QWidget *list, EntryListPage *page);
}
