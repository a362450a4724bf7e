#pragma once

#include <QDialog>

class QLabel;
class QTimer;

// The "印刷中..." notice shown modally after each card; it closes itself.
class frmPrintMsg : public QDialog {
    Q_OBJECT
public:
    frmPrintMsg();

    // Shows a new notice modally until its timer closes it.
    static void showNotice();
    // How long a notice stays; tests shorten it.
    static inline int displayMilliseconds = 10000;

    QLabel *lblPrintMsg;
    QTimer *timPrint;

public slots:
    void reject() override {} // it closes by itself only
};
