#pragma once

#include "sync/syncrun.h"

#include <QDialog>

class Book;
class ImageButton;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QTableWidget;
class TitleImage;

// スマホと同期: runs the sync with the account's address book on a worker
// thread (the book is the program's own, under the lock it holds), shows
// each step, the report and the conflicts, each with a choice of the PC's or
// the phone's value for the next 同期. Modal: the book is not touched
// elsewhere while it runs.
class frmSync : public QDialog {
    Q_OBJECT
public:
    explicit frmSync(Book &book);
    // Shows the window; true when the sync changed the book.
    static bool openModal(Book &book);

    TitleImage *imgTitle;
    QLabel *lblSyncAccount, *lblFirst, *lblSyncProgress, *lblSyncSummary, *lblConflicts;
    QComboBox *cboFirst;
    QTableWidget *lstConflicts;
    QPlainTextEdit *txtSyncReport;
    ImageButton *imgSyncAccount, *imgSyncRun, *imgSyncClose;

    bool running() const { return running_; }
    const cardsync::Report &lastReport() const { return report_; }

    void reject() override;
    // The report of a sync: its steps, its counts and its conflicts to choose on.
    void showReport(const cardsync::Report &report);

private:
    void editAccount();
    void showAccount();
    void runSync();
    void finished();
    QList<cardsync::Choice> choices() const;

    Book &book_;
    bool running_ = false;
    bool changedBook_ = false;
    cardsync::Report report_;
};
