#pragma once

#include "store/people.h"

#include <QDialog>

#include <optional>

class FrameLine;
class ImageButton;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTableWidget;
class TitleImage;

// 詳細: what a household keeps beside an entry's ten fields (honorific, joint
// names, company, birthday, notes, further numbers, New Year cards). Modal,
// opened from the editor; 決定 hands the values back to the editor, whose
// 保存 or 登録 stores them with the entry.
class frmPerson : public QDialog {
    Q_OBJECT
public:
    frmPerson(const people::PersonData &data, const QString &name);

    // The values as the window shows them; columns it does not show are kept.
    people::PersonData data() const;
    // Opens the window modally; the values when 決定 was chosen.
    static std::optional<people::PersonData> edit(const people::PersonData &data, const QString &name);
    // Opens the window modally to show the values of a read-only book: nothing can be changed.
    static void showReadOnly(const people::PersonData &data, const QString &name);

    TitleImage *imgTitle;
    QLabel *lblHonorific;
    QComboBox *cboHonorific;
    QLabel *lblSender;
    QComboBox *cboSender;
    QLabel *lblJoint;
    QTableWidget *grdJoint;
    ImageButton *imgJointAdd;
    ImageButton *imgJointRemove;
    ImageButton *imgJointUp;
    ImageButton *imgJointDown;
    QLabel *lblNickname;
    QLineEdit *txtNickname;
    QLabel *lblCompany;
    QLineEdit *txtCompany;
    QLabel *lblDepartment;
    QLineEdit *txtDepartment;
    QLabel *lblTitle;
    QLineEdit *txtTitle;
    QLabel *lblBirthday;
    QLineEdit *txtBirthday;
    QLabel *lblPhones;
    QPlainTextEdit *txtPhones;
    QLabel *lblEmails;
    QPlainTextEdit *txtEmails;
    QLabel *lblNotes;
    QPlainTextEdit *txtNotes;
    QLabel *lblAddresses;
    QPlainTextEdit *txtAddresses;
    QLabel *lblNewYear;
    QTableWidget *grdNewYear;
    ImageButton *imgYearAdd;
    QLabel *lblUrls;
    QLineEdit *txtUrls;
    ImageButton *imgPersonOk;
    ImageButton *imgPersonCancel;
    FrameLine *linLeft;
    FrameLine *linRight;
    FrameLine *linDown;

private:
    void addJointRow(const people::JointName &joint);
    void moveJointRow(int by);
    void addYearRow(const people::NewYear &year);
    void addThisYear();
    void showOnly();
    // 決定: a birthday typed anew must be a date, else the window stays and says why.
    void acceptIfDated();

    people::PersonData original_;
};
