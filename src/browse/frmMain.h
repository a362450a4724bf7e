#pragma once

#include <QList>
#include <QPixmap>
#include <QWidget>

#include "browse/entrylistpage.h"
class FrameLine;
class ImageButton;
class frmEdit;
class QComboBox;
class Book;
class QLabel;
class QLineEdit;
class QScrollBar;
class TitleImage;

// The browsing window, the program's home: category buttons, the kana-row
// filter, the paged entry list, new entry, close and the card-format buttons.
class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(Book &book);
    ~frmMain() override;

    // The window once it has been loaded by the splash, for the other windows.
    static frmMain *loaded();

    // Rebuilds the selection from the data files for the category and the
    // kana-row filter, and shows its count.
    void SelectDB(int category);
    void ViewTelList(int start);
    // Lays the window out for one category (true) or for all entries.
    void TypeMode(bool categoryMode);
    // Puts the user categories' names on their buttons.
    void UpdateType();
    // The name of category `number` (1 to 11); empty for other numbers.
    QString WriteType(int number) const;
    // Opens the editor on shown entry `entry`, or on a new entry when -1,
    // hiding this window; what the editor does comes back through its
    // happened signal.
    frmEdit *openEditor(int entry);
    // The category shown: 0 for all, else 1 to 10.
    int currentCategory() const { return currentCategory_; }

    TitleImage *imgTitle;
    ImageButton *imgClose;
    ImageButton *imgNew;
    // New Year cards: 「受」 checks off the highlighted entry's card as
    // arrived (the key U too); 「はがき」 prints postcards for what is shown.
    ImageButton *imgReceived;
    ImageButton *imgPostcards;
    ImageButton *imgSync; // スマホと同期
    ImageButton *imgAll;
    ImageButton *imgQQ;
    ImageButton *imgYR;
    ImageButton *imgOD;
    ImageButton *imgSS;
    ImageButton *imgBY;
    QList<ImageButton *> pciNewType;
    QList<QLabel *> lblNew;
    QLabel *lblType;
    QList<FrameLine *> categoryLines; // linQQ, linYR, linOD, linSS, linBY
    QWidget *picTypeList;
    QLabel *Label10;
    QLabel *Label11;
    ImageButton *imgType;
    ImageButton *imgTypeA;
    ImageButton *imgTypeB;
    ImageButton *imgTypeC;
    QLabel *lblIndex;
    QComboBox *cboIndex;
    // Find as you type: while it holds text, the list shows every matching entry of the book.
    QLineEdit *txtFind;
    QLabel *lblCount;
    QWidget *picMain;
    QLabel *picTital;
    // The entry list: a table view of the selection, drawn as designed.
    EntryListPage *picList0;
    QScrollBar *fsbList;
    FrameLine *linLeft;
    FrameLine *linRight;
    FrameLine *liinDown;
    // Pictures only, never shown: 1 to 10 category tags, 11 and 12 the open
    // button at rest and pressed, 13 and 14 the close button pressed and at rest.
    QList<QPixmap> imgPicture;

signals:
    // The close button was clicked: the program ends.
    void closeRequested();

protected:
    // Closing the home window ends the program, as imgClose does.
    void closeEvent(QCloseEvent *event) override;
    // The find box: the input method's composing text is searched as it
    // changes; Enter or Down leads to the first row found.
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    // vCard and CSV files dropped on the window are imported into the book.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    Book &book_;
    void buildCategoryButtons();
    void buildPrintStrip();
    void buildList();
    void chooseCategory(int category, const QString &caption);
    void chooseUserCategory(int index);
    void chooseCardFormat(int format);
    void openPrintSetUp(int format, bool postcards);
    // Marks the entry's New Year card of this season as arrived (受), or takes the mark off.
    void toggleReceived(int index);
    void openEntry(int index);
    bool searching() const;
    // What is searched: the find box's text with the composing text at the cursor.
    QString findText() const;
    void findChanged();
    // Ends a search without bringing its selection back: a category or row is being chosen.
    void stopSearching();
    void newEntry();
    void importFiles(const QStringList &files);
    void openSync();

    int currentCategory_ = 0;
    // While search results are shown: the caption they replaced.
    bool showingSearch_ = false;
    QString captionBeforeSearch_;
    QString findPreedit_; // the input method's text not yet committed
    bool shownOnce_ = false;
    bool loadFailed_ = false; // the last selection could not read the book
};
