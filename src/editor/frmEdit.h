#pragma once

#include "store/mdlDim.h"
#include "store/people.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class Book;
class FrameLine;
class ImageButton;
class QComboBox;
class QLabel;
class QLineEdit;
class TitleImage;

// The entry editor: new-entry mode (empty boxes, clear and add) or edit mode
// (filled from the chosen entry, undo, store and delete). Its input rules and
// checks keep every stored line readable; its writes go through the store.
class frmEdit : public QWidget {
    Q_OBJECT
public:
    static constexpr int NewEntry = -1;
    // Opens in edit mode on the book's shown entry `entry`, or in new-entry
    // mode when it is NewEntry.
    frmEdit(Book &book, int entry);

    // The shown entry the editor opened on; NewEntry in new-entry mode.
    int editedEntry() const { return entry_; }

    // Lays the window out for edit mode, filling the boxes from the entry, or for new-entry mode.
    void EditMode(bool blnEdit);
    // Checks the entry on screen; on the first fault tells the user and puts
    // the focus into the box to correct.
    bool CheckSave();
    // A user category's new name that 保存 would write (asked about when it
    // renames one); slot -1 when there is none.
    struct CategoryChange {
        int slot = -1;
        QString line;
    };
    CategoryChange CheckType();
    // Writes it; false, after saying why, when the file would not take it.
    bool writeCategory(const CategoryChange &change);
    // Writes the entry: 1 replaces its line, 2 appends it. False when the
    // write failed; the user has been told.
    bool AddInfo(int intMode);
    // The entry line built from the boxes.
    QString entryLine() const;

    // Set by any change of an entry field or of the category choice.
    bool EntryChanged = false;

    // What the editor did, for the window that opened it.
    enum class Outcome {
        Stored,           // the entry's line was rewritten; the editor stays open
        ChangedElsewhere, // another program changed the file; the list must be read again
        Added,            // a new entry was appended; the editor closes
        Deleted,          // the entry was deleted; the editor closes
        Left,             // back to the list, without or after storing; the editor closes
    };

    TitleImage *imgTitle;
    QLabel *lblEditForm;
    QLabel *lblPingyin;
    QLabel *lblName;
    QLabel *lblZip;
    QLabel *lblAdd;
    QLabel *lblTel;
    QLabel *lblFax;
    QLabel *lblMobile;
    QLabel *lblEmail;
    QLabel *lblType;
    QLineEdit *txtPingYin;
    QLineEdit *txtName;
    QLineEdit *txtZip1;
    QLineEdit *txtZip2;
    QLineEdit *txtAdd;
    QLineEdit *txtTel1;
    QLineEdit *txtTel2;
    QLineEdit *txtTel3;
    QLineEdit *txtFax1;
    QLineEdit *txtFax2;
    QLineEdit *txtFax3;
    QLineEdit *txtMobile1;
    QLineEdit *txtMobile2;
    QLineEdit *txtMobile3;
    QLineEdit *txtEmail;
    QComboBox *cboType;
    QList<QLabel *> lblNew;
    QList<QLineEdit *> txtNew;
    QLabel *imgAdd;
    QLabel *imgTel;
    QLabel *imgFax;
    QLabel *imgMobile;
    QLabel *imgEmail;
    ImageButton *imgDelList;
    ImageButton *imgUndo;
    ImageButton *imgSave;
    ImageButton *imgClean;
    ImageButton *imgAddList;
    ImageButton *imgShowList;
    ImageButton *imgZipToAdd; // 〒→住所
    ImageButton *imgAddToZip; // 住所→〒
    ImageButton *imgPerson;   // 詳細: what is kept beside the ten fields
    FrameLine *linLeft;
    FrameLine *linRight;
    FrameLine *liinDown;

signals:
    void happened(frmEdit::Outcome outcome);
    // Ctrl+F: the editor has gone back to the list, whose find box takes the keys.
    void findRequested();

protected:
    // A close from the window manager goes back to the list like imgShowList,
    // so nothing typed is lost and the browsing window comes back.
    void closeEvent(QCloseEvent *event) override;

private:
    void buildFields();
    void buildButtons();
    // The address box filled from a complete postal code, when it is empty.
    bool fillAddressFromZip();
    void zipToAddress();
    void addressToZip();
    void chooseCategory();
    void greyUserCategories();
    void putCategoryNames();
    void fillFromEntry(const QString &element);
    void undo();
    void clear();
    void store();
    void add();
    void deleteEntry();
    void editPerson();
    void backToList();
    void leave(Outcome outcome);
    // After a question's box: the window active again and the box that held
    // the typing before it, so the keys and the input method go on there.
    void resumeTyping();
    QList<QLineEdit *> entryBoxes() const;
    // A read-only book is shown, not edited: nothing can be typed that could not be kept.
    void showOnly();
    // Tells why a write cannot happen when the book is read-only; true then.
    bool refusedAsReadOnly();

    Book &book_;
    const int entry_;
    bool leaving_ = false;
    QPointer<QWidget> typingIn_; // the box that last held the focus
    // The entry as it was opened: what undo restores, and the line a store or
    // delete acts on (its bytes as loaded, updated by each store).
    QString openedElement_;
    mdlDim::LoadedLine opened_;
    // What 詳細 holds: as stored with the opened entry, and as it stands now.
    people::PersonData openedPerson_;
    people::PersonData person_;
};
