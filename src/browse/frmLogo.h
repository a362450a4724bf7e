#pragma once

#include <QWidget>

class QLabel;
class QTimer;

// The splash: the product picture for two seconds, then the browsing window.
class frmLogo : public QWidget {
    Q_OBJECT
public:
    frmLogo();

    QLabel *imgLogo;
    QTimer *timStart;

signals:
    // The browsing window has been shown; the splash is going away.
    void handedOver();

private:
    void handOver();
};
