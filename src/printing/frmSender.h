#pragma once

#include "render/postcardsettings.h"

#include <QDialog>

class FrameLine;
class ImageButton;
class QCheckBox;
class QComboBox;
class QSpinBox;
class QLabel;
class QLineEdit;
class TitleImage;

// The postcards' senders (差出人): profiles such as 「家族」 and 「個人」, each
// with a name, joint names (連名), postal code and address, one of them the
// usual; and how addresses and names are written. Kept in telbora.ini by 保存.
// Modal, opened from the print set-up window.
class frmSender : public QDialog {
    Q_OBJECT
public:
    frmSender();

    // Opens the window modally.
    static void openModal();

    TitleImage *imgTitle;
    QLabel *lblProfile;
    QComboBox *cboProfile;
    ImageButton *imgProfileAdd;
    ImageButton *imgProfileDelete;
    QLabel *lblProfileName;
    QLineEdit *txtProfileName;
    QCheckBox *chkUsualProfile;
    QLabel *lblSenderName;
    QLineEdit *txtSenderName;
    QLabel *lblSenderJoint;
    QLineEdit *txtSenderJoint;
    QLabel *lblSenderZip;
    QLineEdit *txtSenderZip1;
    QLineEdit *txtSenderZip2;
    QLabel *lblSenderAddress;
    QLineEdit *txtSenderAddress;
    QLabel *lblNumerals;
    QComboBox *cboNumerals;
    QCheckBox *chkSpreadNames;
    QLabel *lblStackSize;
    QSpinBox *spnStackSize;
    ImageButton *imgSenderSave;
    ImageButton *imgSenderCancel;
    FrameLine *linLeft;
    FrameLine *linRight;
    FrameLine *linDown;

private:
    // The boxes into the profile shown; false (and told) when its code is not 7 digits.
    bool keepShownProfile();
    void showProfile(int index);
    void addProfile();
    void deleteProfile();
    void saveAndClose();

    postcardsettings::Setup setup_;
    int shown_ = -1;
};
