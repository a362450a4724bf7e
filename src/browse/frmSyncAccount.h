#pragma once

#include "sync/syncaccount.h"

#include <QDialog>

class ImageButton;
class QLabel;
class QLineEdit;
class TitleImage;

// The sync account: the address book's URL, the user and the password. 接続テスト
// asks the server; 保存 keeps the URL and user in telbora.ini and the
// password in the desktop's keyring (or, without one, for this session only).
class frmSyncAccount : public QDialog {
    Q_OBJECT
public:
    frmSyncAccount();

    TitleImage *imgTitle;
    QLabel *lblSyncUrl, *lblSyncUser, *lblSyncPassword, *lblSyncTest;
    QLineEdit *txtSyncUrl, *txtSyncUser, *txtSyncPassword;
    ImageButton *imgSyncTest, *imgAccountSave, *imgAccountCancel;

    syncaccount::Saved account() const;
    QString password() const;

private:
    void testConnection();
    void saveAndClose();
};
