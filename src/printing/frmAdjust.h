#pragma once

#include <QDialog>
#include <QList>
#include <QPixmap>
#include <QPointF>

class FrameLine;
class ImageButton;
class QDoubleSpinBox;
class QLabel;
class TitleImage;

// The printer's position adjustment: how far right and down the default
// printer is to move a card, a test sheet printed with those offsets, and
// saving them for that printer. Modal, opened from the print set-up window.
class frmAdjust : public QDialog {
    Q_OBJECT
public:
    // `paperPictures`: the paper form pictures, for the test sheet's form.
    explicit frmAdjust(QList<QPixmap> paperPictures);

    // Opens the window modally for the default printer; without one, says so as printing does.
    static void open(const QList<QPixmap> &paperPictures);

    QPointF offsetMm() const;

    TitleImage *imgTitle;
    QLabel *lblPrinter;
    QLabel *lblOffsetX;
    QLabel *lblOffsetY;
    QDoubleSpinBox *txtOffsetX;
    QDoubleSpinBox *txtOffsetY;
    ImageButton *imgTestPrint;
    ImageButton *imgAdjustSave;
    ImageButton *imgAdjustCancel;
    FrameLine *linLeft;
    FrameLine *linRight;
    FrameLine *linDown;

private:
    void printTestSheet();
    void saveAndClose();

    QString printer_;
    QList<QPixmap> pictures_;
};
