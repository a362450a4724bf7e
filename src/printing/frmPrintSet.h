#pragma once

#include "printing/printsettings.h"

#include "printing/addressmedium.h"
#include <QList>
#include <QPixmap>
#include <QPointer>

#include <QWidget>

class FrameLine;
class ImageButton;
class QComboBox;
class QSpinBox;
class QGroupBox;
class Book;
class QLabel;
class QListView;
class PrintListModel;
class QRadioButton;
class TitleImage;
class frmPrint;

// The print set-up: which entries go onto cards, what is printed (lines,
// text or both), from which line of the first card, and the print job.
class frmPrintSet : public QWidget {
    Q_OBJECT
public:
    // Sets up printing `book`'s shown entries on cards of format `cardFormat` (0 to 3).
    frmPrintSet(Book &book, int cardFormat);
    ~frmPrintSet() override;

    // Greys the lists and the start line for "Line", enables them for "Info".
    void SetDisable(const QString &mode);
    // The print job of the imgPrintInfo button.
    void PrintJob();
    // Offers the book's shown entries anew, none of them chosen.
    void fillLists();
    // The lines (in the book as loaded) of the print list's entries, in its order.
    QList<int> chosenLines() const;

    TitleImage *imgTitle;
    QGroupBox *fraPrintList;
    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    // Views of one model (printEntries()): all the entries offered, those
    // not printed, those printed, and the print list.
    QListView *lstAll;
    QListView *lstUnPrint;
    QListView *lstPrint;
    QListView *lstPrintList;
    QComboBox *cboSelect;
    QGroupBox *fraButton;
    ImageButton *imgAdd;
    ImageButton *imgRemove;
    ImageButton *imgAddAll;
    ImageButton *imgRemoveAll;
    QGroupBox *fraLineSet;
    QRadioButton *optInfo;
    QRadioButton *optLineInfo;
    QRadioButton *optLine;
    QGroupBox *fraStartInfo;
    QComboBox *cboStartInfo;
    QLabel *lblStartInfo;
    ImageButton *imgCancel;
    ImageButton *imgBack;
    ImageButton *imgPrintInfo;
    // The printer's position adjustment (frmAdjust), beside the designed buttons.
    ImageButton *imgAdjust;
    // Switches the job between cards and the address side of postcards.
    ImageButton *imgPostcard;
    // The postcards' sender (frmSender).
    ImageButton *imgSender;
    // Postcards: the New Year they are for (出 is noted for it), in place of
    // what cards print; and the list the filter's postcard choices show.
    QGroupBox *fraNewYear;
    QLabel *lblNewYear;
    QSpinBox *spnNewYear;
    // What the addresses go on: postcards, envelopes, labels (from a first free label).
    QLabel *lblMedium;
    QComboBox *cboMedium;
    QLabel *lblLabelStart;
    QSpinBox *spnLabelStart;
    QListView *lstPostcard;
    FrameLine *linLeft;
    FrameLine *linRight;
    FrameLine *linDown;
    QList<QPixmap> imgPrint; // the paper form pictures 1 to 10

    frmPrint *preview() const;
    // What the preview and the job print: the format, lines, text, start line.
    const PrintSettings &settings() const { return settings_; }
    // Whether the job prints postcards instead of cards.
    bool printsPostcards() const { return postcards_; }
    void setPrintsPostcards(bool postcards);
    // The entries offered, one row each; every list is a view of it.
    const PrintListModel &printEntries() const { return *printEntries_; }

signals:
    // Reload the data files and rebuild the selection the lists come from;
    // without a receiver the window reloads the data itself.
    void selectionNeeded();
    // Printing was left: the browsing window may show itself again.
    void left();

protected:
    // A close from the window manager asks like imgCancel.
    void closeEvent(QCloseEvent *event) override;

private:
    Book &book_;
    void buildLists();
    void buildOptions();
    void buildButtons();
    QListView *visibleList() const;
    void filterChanged();
    void showFilter(int index);
    // Reloads the data files and the browsing window's selection.
    void reloadSelection();
    void add();
    void addAll();
    void remove();
    void removeAll();
    // Clears every list's selection; add and remove follow what is selected.
    void clearSelections();
    void chooseMode(bool lines, bool info);
    void openPreview();
    void leavePrinting();

    PrintSettings settings_;
    QPointer<frmPrint> preview_;
    bool postcards_ = false;
    PrintListModel *printEntries_ = nullptr;
    // Each entry's New Year records, read anew from the side file.
    void loadYearMarks();
    // The marks of the year chosen beside each name while postcards are printed; none otherwise.
    void showYearMarks();
    // lstPostcard shows the postcard choice of the filter.
    void fillPostcardList();
    addressmedium::Kind medium() const;
    bool leaving_ = false;
};
