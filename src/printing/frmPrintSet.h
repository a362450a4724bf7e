#pragma once

#include "printing/printsettings.h"

#include "printing/addressmedium.h"
#include "store/people.h"
#include <QList>
#include <QPixmap>
#include <QPointer>

#include <QHash>
#include <QWidget>

class FrameLine;
class ImageButton;
class QComboBox;
class QSpinBox;
class QGroupBox;
class Book;
class QLabel;
class QListWidget;
class QListWidgetItem;
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
    // Rebuilds the four lists from the book's shown entries.
    void fillLists();
    QStringList printListItems() const;

    TitleImage *imgTitle;
    QGroupBox *fraPrintList;
    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QListWidget *lstAll;
    QListWidget *lstUnPrint;
    QListWidget *lstPrint;
    QListWidget *lstPrintList;
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
    QListWidget *lstPostcard;
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
    QListWidget *visibleList() const;
    void filterChanged();
    void showFilter(int index);
    // Reloads the data files and the browsing window's selection.
    void reloadSelection();
    void add();
    void addAll();
    void remove();
    void removeAll();
    // Moves `item` from the source lists into the print list.
    void takeIntoPrintList(const QString &item);
    void returnToSourceLists(const QString &item);
    // Clears every list's selection; add and remove follow what is selected.
    void clearSelections();
    void chooseMode(bool lines, bool info);
    void openPreview();
    void leavePrinting();

    PrintSettings settings_;
    QPointer<frmPrint> preview_;
    bool postcards_ = false;
    // Each entry's record of the New Year chosen, by its line number.
    QHash<QString, people::NewYear> yearMarks_;
    void loadYearMarks();
    // The marks beside each item while postcards are printed; none otherwise.
    void showYearMarks();
    void fillPostcardList();
    void addItem(QListWidget *list, const QString &item);
    addressmedium::Kind medium() const;
    void markItem(QListWidgetItem *item) const;
    bool leaving_ = false;
};
