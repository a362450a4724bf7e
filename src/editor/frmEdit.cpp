#include "editor/frmEdit.h"
#include "editor/frmPerson.h"
#include "store/book.h"

#include "editor/postalfill.h"
#include "render/fonts.h"
#include "store/entryrecord.h"
#include "store/entryrules.h"
#include "store/entrywriter.h"
#include "store/mdlDim.h"
#include "ui/artwork.h"
#include "ui/centerform.h"
#include "ui/frameline.h"
#include "ui/frmMsgBox.h"
#include "ui/imagebutton.h"
#include "ui/inputrules.h"
#include "ui/skin.h"
#include "ui/titleimage.h"
#include "ui/twips.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>

using mdlDim::GetField;

namespace {
constexpr int WindowWidth = 5715;
constexpr int WindowHeight = 7515;
const QColor Greyed(224, 224, 224);
const QString Bar = QStringLiteral("|");

QLabel *makeRowLabel(QWidget *parent, const QString &name, const QString &caption, int boxTop, int boxHeight) {
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setFont(fonts::named(fonts::Gothic, 11.25, true));
    twips::place(label, 420, boxTop + (boxHeight - 300) / 2, 1110, 300);
    return label;
}

QLabel *makeIcon(QWidget *parent, const QString &name, artwork::FieldIcon kind, int boxTop, int boxHeight,
                 const QString &spokenName) {
    auto *icon = new QLabel(parent);
    icon->setObjectName(name);
    icon->setAccessibleName(spokenName);
    twips::place(icon, 120, boxTop + (boxHeight - 270) / 2, 270, 270);
    icon->setPixmap(artwork::fieldIcon(kind, icon->size()));
    return icon;
}

void setBackground(QWidget *w, QColor colour) {
    QPalette palette = w->palette();
    palette.setColor(QPalette::Base, colour);
    palette.setColor(QPalette::Window, colour);
    w->setPalette(palette);
    w->setAutoFillBackground(true);
}

// A number stored as parts joined by "-".
void splitInto(const QString &field, const QList<QLineEdit *> &boxes) {
    for (int part = 0; part < boxes.size(); ++part)
        BoxRule::setStoredText(boxes[part], GetField(field, QStringLiteral("-"), part + 1));
}
} // namespace

frmEdit::frmEdit(Book &book, int entry) : book_(book), entry_(entry) {
    skin::setUpWindow(this, QStringLiteral("frmEdit"), WindowWidth, WindowHeight, skin::bookCaption(book_));
    setAttribute(Qt::WA_DeleteOnClose);
    imgTitle = new TitleImage(this, WindowWidth, skin::bookCaption(book_));
    lblEditForm = new QLabel(this);
    lblEditForm->setObjectName(QStringLiteral("lblEditForm"));
    lblEditForm->setFont(fonts::named(fonts::UiGothic, 11.25, true));
    twips::place(lblEditForm, 240, 600, 1620, 300);
    buildFields();
    buildButtons();
    std::tie(linLeft, linRight, liinDown) =
        skin::addBorder(this, WindowWidth, WindowHeight, 420, QStringLiteral("liinDown"));

    for (QLineEdit *box : entryBoxes())
        connect(box, &QLineEdit::textChanged, this, [this] { EntryChanged = true; });
    connect(cboType, &QComboBox::currentIndexChanged, this, &frmEdit::chooseCategory);

    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (now && now->window() == this && (qobject_cast<QLineEdit *>(now) || qobject_cast<QComboBox *>(now)))
            typingIn_ = now;
    });
    connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, this, [this] {
        backToList();
        if (leaving_)
            emit findRequested();
    });

    // Loading.
    mdlDim::CenterForm(this);
    EditMode(entry_ != NewEntry);
    putCategoryNames();
    EntryChanged = false;
    txtPingYin->setFocus();
    if (!book_.readOnlyReason().isEmpty())
        showOnly();
}

void frmEdit::showOnly() {
    for (QLineEdit *box : entryBoxes())
        box->setReadOnly(true);
    for (QLineEdit *box : std::as_const(txtNew))
        box->setReadOnly(true);
    cboType->setEnabled(false);
    imgZipToAdd->setEnabled(false);
    imgAddToZip->setEnabled(false);
}

bool frmEdit::refusedAsReadOnly() {
    if (book_.readOnlyReason().isEmpty())
        return false;
    frmMsgBox::ask(describe(book_.readOnlyRefusal()), MsgButtons::Yes);
    return true;
}

void frmEdit::buildFields() {
    const QFont boxFont = fonts::named(fonts::Gothic, 9.75);
    constexpr BoxRule::Kind text = BoxRule::Text;
    constexpr BoxRule::Kind digits = BoxRule::Digits;
    const auto box = [&](const char *name, QRect g, int limit, BoxRule::Kind rule, const QFont &font) {
        return makeRuledBox(this, QString::fromLatin1(name), g, limit, rule, font);
    };
    txtPingYin = box("txtPingYin", {1560, 1050, 3975, 300}, entryrules::ReadingLimit, text, boxFont);
    txtName = box("txtName", {1560, 1380, 3975, 450}, entryrules::NameLimit, text, fonts::named(fonts::Mincho, 12));
    txtZip1 = box("txtZip1", {1560, 2010, 630, 300}, entryrules::PostalDigits[0], digits, boxFont);
    txtZip2 = box("txtZip2", {2370, 2010, 920, 300}, entryrules::PostalDigits[1], digits, boxFont);
    txtAdd = box("txtAdd", {1560, 2490, 3975, 300}, entryrules::AddressLimit, text, fonts::named(fonts::Gothic, 9));
    const int lefts[] = {1560, 2280, 3000};
    QLineEdit **numbers[3][3] = {
        {&txtTel1, &txtTel2, &txtTel3}, {&txtFax1, &txtFax2, &txtFax3}, {&txtMobile1, &txtMobile2, &txtMobile3}};
    const char *prefixes[] = {"txtTel", "txtFax", "txtMobile"};
    const int tops[] = {2970, 3450, 3930};
    for (int row = 0; row < 3; ++row) {
        for (int part = 0; part < 3; ++part) {
            const int limit = row == 2 ? entryrules::MobilePartDigits[part] : entryrules::NumberPartDigits[part];
            *numbers[row][part] =
                box(qPrintable(QStringLiteral("%1%2").arg(QLatin1String(prefixes[row])).arg(part + 1)),
                    {lefts[part], tops[row], 495, 300}, limit, digits, boxFont);
        }
        chainDigitGroup({*numbers[row][0], *numbers[row][1], *numbers[row][2]});
        if (row != 2) // a mobile's boxes are its groups already
            groupByNumberPlan({*numbers[row][0], *numbers[row][1], *numbers[row][2]}, entryrules::NumberPartDigits);
        // The hyphens between the parts.
        for (int gap = 0; gap < 2; ++gap) {
            const int x1 = lefts[gap] + 495 + 45;
            new FrameLine(this, QStringLiteral("linHyphen%1%2").arg(row).arg(gap), x1, tops[row] + 150,
                          lefts[gap + 1] - 45, tops[row] + 150);
        }
    }
    chainDigitGroup({txtZip1, txtZip2});
    new FrameLine(this, QStringLiteral("linZip"), 2190 + 45, 2160, 2370 - 45, 2160);
    txtEmail = box("txtEmail", {1560, 4410, 3975, 300}, entryrules::EmailLimit, text, boxFont);
    cboType = new QComboBox(this);
    cboType->setObjectName(QStringLiteral("cboType"));
    cboType->setFont(fonts::named(fonts::Gothic, 9));
    // A narrow arrow leaves room for "新規１" in the designed width.
    cboType->setStyleSheet(QStringLiteral("QComboBox { padding-left: 3px; } QComboBox::drop-down { width: 13px; }"));
    for (const char16_t *name : mdlDim::FixedCategoryNames)
        cboType->addItem(QString::fromUtf16(name));
    cboType->addItems({QStringLiteral("新規１"), QStringLiteral("新規２"), QStringLiteral("新規３"),
                       QStringLiteral("新規４"), QStringLiteral("新規５")});
    cboType->setCurrentIndex(-1);
    twips::place(cboType, 1560, 4890, 885, 300);

    const int newTops[] = {4890, 5250, 5610, 5970, 6350};
    const int labelTops[] = {4920, 5280, 5640, 6000, 6375};
    for (int i = 0; i < 5; ++i) {
        auto *label = new QLabel(QStringLiteral("新規%1").arg(i + 1), this);
        label->setObjectName(QStringLiteral("lblNew(%1)").arg(i));
        label->setFont(fonts::named(fonts::Gothic, 9.75));
        label->setAlignment(Qt::AlignCenter);
        twips::place(label, 2520, labelTops[i], 645, 225);
        lblNew.append(label);
        txtNew.append(makeRuledBox(this, QStringLiteral("txtNew(%1)").arg(i), {3240, newTops[i], 1455, 300},
                                   entryrules::CategoryNameLimit, text, boxFont));
    }

    lblPingyin = makeRowLabel(this, QStringLiteral("lblPingyin"), QStringLiteral("ふりがな"), 1050, 300);
    lblName = makeRowLabel(this, QStringLiteral("lblName"), QStringLiteral("氏　 名"), 1380, 450);
    lblZip = makeRowLabel(this, QStringLiteral("lblZip"), QStringLiteral("郵便番号"), 2010, 300);
    lblAdd = makeRowLabel(this, QStringLiteral("lblAdd"), QStringLiteral("住   所"), 2490, 300);
    lblTel = makeRowLabel(this, QStringLiteral("lblTel"), QStringLiteral("T  E  L"), 2970, 300);
    lblFax = makeRowLabel(this, QStringLiteral("lblFax"), QStringLiteral("F  A  X"), 3450, 300);
    lblMobile = makeRowLabel(this, QStringLiteral("lblMobile"), QStringLiteral("携帯電話"), 3930, 300);
    lblEmail = makeRowLabel(this, QStringLiteral("lblEmail"), QStringLiteral("E-mail"), 4410, 300);
    lblType = makeRowLabel(this, QStringLiteral("lblType"), QStringLiteral("分   類"), 4890, 300);
    lblType->setBuddy(cboType); // a reader names the combo box by its label, not its value
    imgAdd = makeIcon(this, QStringLiteral("imgAdd"), artwork::FieldIcon::Address, 2490, 300, QStringLiteral("住所"));
    imgTel = makeIcon(this, QStringLiteral("imgTel"), artwork::FieldIcon::Telephone, 2970, 300, QStringLiteral("電話"));
    imgFax = makeIcon(this, QStringLiteral("imgFax"), artwork::FieldIcon::Fax, 3450, 300, QStringLiteral("FAX"));
    imgMobile =
        makeIcon(this, QStringLiteral("imgMobile"), artwork::FieldIcon::Mobile, 3930, 300, QStringLiteral("携帯"));
    imgEmail =
        makeIcon(this, QStringLiteral("imgEmail"), artwork::FieldIcon::Email, 4410, 300, QStringLiteral("E-mail"));

    // Every box has a name for a screen reader: its row's, and the part of a number.
    const std::pair<QWidget *, const char16_t *> names[] = {{txtPingYin, u"ふりがな"},
                                                            {txtName, u"氏名"},
                                                            {txtZip1, u"郵便番号 前の 3 桁"},
                                                            {txtZip2, u"郵便番号 後の 4 桁"},
                                                            {txtAdd, u"住所"},
                                                            {txtTel1, u"電話番号 1 つ目"},
                                                            {txtTel2, u"電話番号 2 つ目"},
                                                            {txtTel3, u"電話番号 3 つ目"},
                                                            {txtFax1, u"FAX 番号 1 つ目"},
                                                            {txtFax2, u"FAX 番号 2 つ目"},
                                                            {txtFax3, u"FAX 番号 3 つ目"},
                                                            {txtMobile1, u"携帯電話番号 1 つ目"},
                                                            {txtMobile2, u"携帯電話番号 2 つ目"},
                                                            {txtMobile3, u"携帯電話番号 3 つ目"},
                                                            {txtEmail, u"メール"},
                                                            {cboType, u"分類"}};
    for (const auto &[named, name] : names)
        named->setAccessibleName(QString::fromUtf16(name));
    for (int i = 0; i < txtNew.size(); ++i)
        txtNew[i]->setAccessibleName(QStringLiteral("新規%1 の分類名").arg(i + 1));

    // The tab order follows the rows.
    QList<QWidget *> order;
    for (QLineEdit *b : entryBoxes())
        order.append(b);
    order.append(cboType);
    for (QLineEdit *b : std::as_const(txtNew))
        order.append(b);
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
}

void frmEdit::buildButtons() {
    const QColor red(215, 120, 110);
    const QColor green(110, 180, 120);
    imgDelList = makeImageButton(this, QStringLiteral("imgDelList"), {2550, 7080, 1005, 285}, {2560, 7090},
                                 QStringLiteral("削除"), red);
    imgUndo = makeImageButton(this, QStringLiteral("imgUndo"), {3630, 7080, 825, 285}, {3640, 7090},
                              QStringLiteral("元に戻す"));
    imgSave = makeImageButton(this, QStringLiteral("imgSave"), {4550, 7080, 1005, 285}, {4560, 7090},
                              QStringLiteral("保存"), green);
    imgClean = makeImageButton(this, QStringLiteral("imgClean"), {3230, 7090, 1050, 285}, {3240, 7110},
                               QStringLiteral("クリア"));
    imgAddList = makeImageButton(this, QStringLiteral("imgAddList"), {4360, 7090, 1185, 285}, {4380, 7110},
                                 QStringLiteral("登録"), green);
    imgShowList = makeImageButton(this, QStringLiteral("imgShowList"), {4080, 555, 1455, 285}, {4090, 565},
                                  QStringLiteral("一覧に戻る"));
    connect(imgUndo, &ImageButton::clicked, this, &frmEdit::undo);
    connect(imgClean, &ImageButton::clicked, this, &frmEdit::clear);
    connect(imgSave, &ImageButton::clicked, this, &frmEdit::store);
    connect(imgAddList, &ImageButton::clicked, this, &frmEdit::add);
    connect(imgDelList, &ImageButton::clicked, this, &frmEdit::deleteEntry);
    connect(imgShowList, &ImageButton::clicked, this, &frmEdit::backToList);

    // Postal code help beside the code: the address from the code, and back.
    imgZipToAdd = makeImageButton(this, QStringLiteral("imgZipToAdd"), {3420, 2018, 1005, 285}, {3430, 2028},
                                  QStringLiteral("〒→住所"));
    imgAddToZip = makeImageButton(this, QStringLiteral("imgAddToZip"), {4530, 2018, 1005, 285}, {4540, 2028},
                                  QStringLiteral("住所→〒"));
    imgPerson =
        makeImageButton(this, QStringLiteral("imgPerson"), {240, 7080, 1005, 285}, {250, 7090}, QStringLiteral("詳細"));
    connect(imgPerson, &ImageButton::clicked, this, &frmEdit::editPerson);
    connect(imgZipToAdd, &ImageButton::clicked, this, &frmEdit::zipToAddress);
    connect(imgAddToZip, &ImageButton::clicked, this, &frmEdit::addressToZip);
    // A whole code typed into an empty address fills it; text already typed is never replaced.
    for (QLineEdit *zip : {txtZip1, txtZip2})
        connect(zip, &QLineEdit::textEdited, this, [this] { fillAddressFromZip(); });
}

bool frmEdit::fillAddressFromZip() {
    const QString code = txtZip1->text() + txtZip2->text();
    if (code.size() != 7 || !txtAdd->text().isEmpty() || txtAdd->isReadOnly())
        return false;
    const postalcodes::Table *table = postalcodes::Table::installed();
    const QString address = table ? postalfill::addressFor(table->lookUp(code), entryrules::AddressLimit) : QString();
    if (address.isEmpty())
        return false;
    txtAdd->setText(address);
    txtAdd->setFocus();
    txtAdd->setCursorPosition(static_cast<int>(address.size()));
    return true;
}

namespace {
// The installed postal code table, or null after telling the user why there is none.
const postalcodes::Table *tableOrTell() {
    const postalcodes::Table *table = postalcodes::Table::installed();
    if (!table)
        frmMsgBox::ask(describe(postalcodes::Table::installedProblem()), MsgButtons::Yes);
    return table;
}
} // namespace

void frmEdit::zipToAddress() {
    if (txtAdd->isReadOnly())
        return;
    const QString code = txtZip1->text() + txtZip2->text();
    const postalcodes::Table *table = tableOrTell();
    if (!table)
        return;
    if (code.size() != 7) {
        frmMsgBox::ask(QStringLiteral("郵便番号を 7 桁入力して下さい。"), MsgButtons::Yes);
        return;
    }
    const QList<postalcodes::Area> areas = table->lookUp(code);
    if (areas.isEmpty()) {
        frmMsgBox::ask(QStringLiteral("郵便番号 %1 は見つかりません。").arg(postalcodes::withHyphen(code)),
                       MsgButtons::Yes);
        return;
    }
    if (!txtAdd->text().isEmpty()) {
        frmMsgBox::ask(QStringLiteral("住所は入力済みのため変えません。\r%1：%2")
                           .arg(postalcodes::withHyphen(code), postalfill::candidatesText(areas)),
                       MsgButtons::Yes);
        return;
    }
    if (!fillAddressFromZip())
        frmMsgBox::ask(QStringLiteral("郵便番号 %1 の住所は住所欄に入りません。\r%2")
                           .arg(postalcodes::withHyphen(code), postalfill::candidatesText(areas)),
                       MsgButtons::Yes);
}

void frmEdit::addressToZip() {
    if (txtZip1->isReadOnly())
        return;
    const postalcodes::Table *table = tableOrTell();
    if (!table)
        return;
    if (!txtZip1->text().isEmpty() || !txtZip2->text().isEmpty()) {
        frmMsgBox::ask(QStringLiteral("郵便番号は入力済みのため変えません。"), MsgButtons::Yes);
        return;
    }
    const QList<postalcodes::Area> areas = table->forAddress(txtAdd->text());
    if (areas.size() == 1) {
        txtZip1->setText(areas.first().code.left(3));
        txtZip2->setText(areas.first().code.mid(3));
        return;
    }
    frmMsgBox::ask(areas.isEmpty() ? QStringLiteral("住所から郵便番号が見つかりません。")
                                   : QStringLiteral("郵便番号の候補が %1 件あります：\r").arg(areas.size()) +
                                         postalfill::candidatesText(areas),
                   MsgButtons::Yes);
}

QList<QLineEdit *> frmEdit::entryBoxes() const {
    return {txtPingYin, txtName, txtZip1, txtZip2,    txtAdd,     txtTel1,    txtTel2, txtTel3,
            txtFax1,    txtFax2, txtFax3, txtMobile1, txtMobile2, txtMobile3, txtEmail};
}

void frmEdit::greyUserCategories() {
    for (int i = 0; i < 5; ++i) {
        lblNew[i]->setEnabled(false);
        txtNew[i]->setEnabled(false);
        setBackground(lblNew[i], Greyed);
        setBackground(txtNew[i], Greyed);
    }
}

void frmEdit::EditMode(bool blnEdit) {
    greyUserCategories();
    imgDelList->setVisible(blnEdit);
    imgUndo->setVisible(blnEdit);
    imgSave->setVisible(blnEdit);
    imgClean->setVisible(!blnEdit);
    imgAddList->setVisible(!blnEdit);
    // Placed a little above its rest position; the first release puts it at rest.
    twips::move(imgShowList, 4080, 550);
    imgShowList->show();
    if (!blnEdit) {
        lblEditForm->setText(QStringLiteral("新規入力画面"));
        return;
    }
    lblEditForm->setText(QStringLiteral("編集画面"));
    if (opened_.number == 0) {
        openedElement_ = book_.entries().value(entry_);
        opened_ = book_.entries().loadedLine(entry_);
        openedPerson_ = book_.personOf(opened_).data();
    }
    fillFromEntry(openedElement_);
    person_ = openedPerson_;
}

void frmEdit::fillFromEntry(const QString &element) {
    const EntryRecord entry = EntryRecord::ofElement(element);
    BoxRule::setStoredText(txtPingYin, entry[EntryField::Reading]);
    BoxRule::setStoredText(txtName, entry[EntryField::Name]);
    BoxRule::setStoredText(txtAdd, entry[EntryField::Address]);
    BoxRule::setStoredText(txtEmail, entry[EntryField::Email]);
    splitInto(entry[EntryField::PostalCode], {txtZip1, txtZip2});
    splitInto(entry[EntryField::Telephone], {txtTel1, txtTel2, txtTel3});
    splitInto(entry[EntryField::Fax], {txtFax1, txtFax2, txtFax3});
    splitInto(entry[EntryField::Mobile], {txtMobile1, txtMobile2, txtMobile3});
    // A hand-edited category that is not 1 to 10 opens with no category chosen.
    bool isNumber = false;
    const int category = entry[EntryField::Category].trimmed().toInt(&isNumber);
    const int choice = isNumber && category >= 1 && category <= 10 ? category - 1 : -1;
    if (cboType->currentIndex() == choice)
        chooseCategory();
    else
        cboType->setCurrentIndex(choice);
}

void frmEdit::chooseCategory() {
    greyUserCategories();
    const int index = cboType->currentIndex();
    if (index > 4) {
        lblNew[index - 5]->setEnabled(true);
        txtNew[index - 5]->setEnabled(true);
        setBackground(lblNew[index - 5], palette().color(QPalette::Base));
        setBackground(txtNew[index - 5], palette().color(QPalette::Base));
    }
    EntryChanged = true;
}

void frmEdit::putCategoryNames() {
    for (int slot = 5; slot <= 9; ++slot) {
        const QString name = book_.categoryName(slot);
        if (!name.isEmpty())
            BoxRule::setStoredText(txtNew[slot - 5], name);
    }
}

void frmEdit::undo() {
    if (!frmMsgBox::ask(QStringLiteral("元に戻しますか？"), MsgButtons::YesNo))
        return;
    EditMode(true);
    putCategoryNames();
    EntryChanged = false;
}

void frmEdit::editPerson() {
    if (!book_.readOnlyReason().isEmpty()) {
        frmPerson::showReadOnly(person_, txtName->text());
        return;
    }
    const std::optional<people::PersonData> edited = frmPerson::edit(person_, txtName->text());
    if (!edited || *edited == person_)
        return;
    person_ = *edited;
    EntryChanged = true;
}

void frmEdit::clear() {
    person_ = {};
    for (QLineEdit *box : entryBoxes())
        box->clear();
    cboType->setCurrentIndex(-1);
    for (QLineEdit *box : std::as_const(txtNew))
        box->clear();
    putCategoryNames();
}
