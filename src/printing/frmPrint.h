#pragma once

#include "printing/addressmedium.h"
#include "printing/printsettings.h"
#include "render/postcard.h"
#include "render/postcardsettings.h"

#include <QList>
#include <QPixmap>
#include <QWidget>

class Book;
class FrameLine;
class ImageButton;
class PictureBox;
class QLabel;
class TitleImage;

// The preview: one card at a time, as the print job would print it.
class frmPrint : public QWidget {
    Q_OBJECT
public:
    // Shows the cards or postcards of `book`'s print table.
    explicit frmPrint(const Book &book);

    // Starts the preview at card 1 of the entries in the print table, as
    // `settings` print them.
    void ReSetForm(const PrintSettings &settings);
    // The lines-only preview of format `format`: one ruled card, no paging.
    void showLinesOnly(int format);
    // Puts the title picture of the current card format up.
    void setTitleForFormat(int format);
    // Pages through a postcard (or an envelope, or a sheet of labels) for
    // the entries in the print table, from the first; `people` holds their
    // per-person data, in the table's order.
    void showPostcards(const postcardsettings::Setup &setup, QList<people::PersonData> people,
                       addressmedium::Kind kind = addressmedium::Kind::Postcard, int firstLabel = 1);
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
    void drawCard();
    void nextCard();
    void previousCard();
    void setPageLabel();
    void showCards();
    void drawPostcard();

    const Book &book_;
    PrintSettings settings_;
    bool postcards_ = false;
    postcardsettings::Setup postcardSetup_;
    QList<people::PersonData> people_; // the print table's, read once for the paging
    addressmedium::Kind kind_ = addressmedium::Kind::Postcard;
    int firstLabel_ = 1;
    QList<QList<qsizetype>> sheets_; // each page's entries, as indexes into the print table
};
