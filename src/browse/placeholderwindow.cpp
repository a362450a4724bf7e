#include "browse/placeholderwindow.h"

#include "store/mdlDim.h"
#include "ui/artwork.h"
#include "ui/imagebutton.h"
#include "ui/skin.h"
#include "ui/titleimage.h"
#include "ui/twips.h"

#include <QLabel>
#include <QPointer>
#include <QWidget>

QWidget *openPlaceholder(const QString &name, QWidget *home) {
    auto *window = new QWidget;
    window->setAttribute(Qt::WA_DeleteOnClose);
    skin::setUpWindow(window, name, 5715, 2400);
    new TitleImage(window, 5715, skin::ProductCaption);
    auto *note = new QLabel(QStringLiteral("この画面は準備中です。"), window);
    note->setAlignment(Qt::AlignCenter);
    twips::place(note, 0, 700, 5715, 600);
    auto *back = new ImageButton(window, QStringLiteral("imgBack"));
    twips::place(back, 2300, 1600, 1110, 375);
    back->setPositions(QPoint(2300, 1600), QPoint(2310, 1610));
    back->setPixmap(artwork::button(back->size(), QStringLiteral("戻る")));
    QPointer<QWidget> homeWindow(home);
    QObject::connect(back, &ImageButton::clicked, window, [window, homeWindow] {
        if (homeWindow)
            homeWindow->show();
        window->close();
    });
    mdlDim::CenterForm(window);
    window->show();
    return window;
}
