#pragma once

#include <QDialog>
#include <QHash>
#include <QList>
#include <QPixmap>
#include <QPointF>

#include "printing/printeradjustment.h"
#include <functional>
#include <optional>

class FrameLine;
class ImageButton;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class TitleImage;

// The printer and its position adjustment: cboPrinter chooses the printer
// (a CUPS queue, the system's default marked, or PDF files in a folder asked
// each time it is chosen), the offsets say how far right and down it is to
// move a card, a test sheet is printed with them, and 保存 keeps the printer
// and its offsets in telbora.ini; キャンセル keeps neither. Modal, opened from
// the print set-up window and wherever no printer can be used.
class frmAdjust : public QDialog {
    Q_OBJECT
public:
    // `paperPictures`: the paper form pictures, for the test sheet's form.
    explicit frmAdjust(QList<QPixmap> paperPictures);

    // Opens the window modally for the printer cards go to.
    static void open(const QList<QPixmap> &paperPictures);
    // Asks for the PDF files' folder; tests answer it themselves.
    static inline std::function<QString(QWidget *)> pickPdfFolder;

    QPointF offsetMm() const;

    TitleImage *imgTitle;
    QLabel *lblPrinter;
    QComboBox *cboPrinter;
    // Each kind of sheet has its own offsets: a printer feeds a postcard
    // otherwise than a card.
    QLabel *lblSheet;
    QComboBox *cboSheet;
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
    void choosePrinter(int index);
    void showOffsetsOf(const QString &printer);
    void chooseSheet(int index);

    QString printer_;                                 // the chosen item's name: a queue, or PdfItem
    std::optional<printeradjustment::Chosen> chosen_; // a choice 保存 is to keep
    QList<QPixmap> pictures_;
    // The offsets shown for each sheet of this printer so far, as the boxes left them.
    QHash<CardPrinter::Sheet, QPointF> shown_;
    QHash<CardPrinter::Sheet, QPointF> loaded_; // as they were when first shown
    CardPrinter::Sheet sheet_ = CardPrinter::Sheet::Card;
};
