#pragma once

#include "render/postcard.h"

#include <QList>
#include <QPixmap>
#include <QWidget>

class FrameLine;
class ImageButton;
class PictureBox;
class QLabel;
class TitleImage;

// The preview: one card at a time, as the print job would print it.
class frmPrint : public QWidget {
    Q_OBJECT
public:
    frmPrint();

    // Starts the preview at card 1 of the entries in PrintTable.
    void ReSetForm(bool blnBook, bool blnInfo);
    // The lines-only preview: one ruled card, no paging.
    void showLinesOnly();
    // Puts the title picture of the current card format up.
    void setTitleForFormat(int format);
    // Pages through a postcard for each entry in PrintTable, from the first.
    void showPostcards(const postcard::Sender &sender, const postcard::Options &options);
    bool showsPostcards() const { return postcards_; }

    int CardCount = 1;
    int CurrentCard = 1; // the card the preview shows, from 1

    TitleImage *imgTitle;
    QList<QPixmap> imgTital; // title pictures of formats 0 to 3 at 5 to 8
    PictureBox *picView;
    QList<QPixmap> imgView; // form pictures 1 to 10
    ImageButton *imgBack;
    ImageButton *imgUp;
    QLabel *lblUp;
    QLabel *lblPage;
    QLabel *lblDown;
    ImageButton *imgDown;
    FrameLine *linDown;
    FrameLine *linLeft;
    FrameLine *linRight;

signals:
    void backRequested();

protected:
    // Closed by the window manager, it goes back to the set-up window.
    void closeEvent(QCloseEvent *event) override;

private:
    void drawCard(bool lines, bool info);
    void nextCard();
    void previousCard();
    void setPageLabel();
    void showCards();
    void drawPostcard();

    bool postcards_ = false;
    postcard::Sender sender_;
    postcard::Options options_;
};
