#pragma once

#include <QDialog>

class FrameLine;
class ImageButton;
class QCheckBox;
class QSpinBox;
class QLabel;
class QLineEdit;
class TitleImage;

// The postcards' sender (差出人): name, postal code and address, and whether
// addresses are written with kanji numerals; kept in telbora.ini by 保存.
// Modal, opened from the print set-up window.
class frmSender : public QDialog {
    Q_OBJECT
public:
    frmSender();

    // Opens the window modally.
    static void openModal();

    TitleImage *imgTitle;
    QLabel *lblSenderName;
    QLineEdit *txtSenderName;
    QLabel *lblSenderZip;
    QLineEdit *txtSenderZip1;
    QLineEdit *txtSenderZip2;
    QLabel *lblSenderAddress;
    QLineEdit *txtSenderAddress;
    QCheckBox *chkKanjiNumerals;
    QLabel *lblStackSize;
    QSpinBox *spnStackSize;
    ImageButton *imgSenderSave;
    ImageButton *imgSenderCancel;
    FrameLine *linLeft;
    FrameLine *linRight;
    FrameLine *linDown;

private:
    void saveAndClose();
};
