#pragma once

#include <QPointer>
#include <QWidget>

class Book;
class QLabel;
class QTimer;

// The splash: the product picture for two seconds, then the browsing window.
class frmLogo : public QWidget {
    Q_OBJECT
public:
    explicit frmLogo(Book &book);

    QLabel *imgLogo;
    QTimer *timStart;

signals:
    // The browsing window has been shown; the splash is going away.
    void handedOver();

private:
    Book &book_;
    // The browsing window is built, its first page drawn, while the splash shows.
    void prepareBrowsing();
    void handOver();

    QPointer<QWidget> browsing_;
    bool preparing_ = false;
    bool handOverDue_ = false;
};
