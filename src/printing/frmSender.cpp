#include "printing/frmSender.h"

#include "editor/inputrules.h"
#include "printing/postcardsettings.h"
#include "render/fonts.h"
#include "store/entryrules.h"
#include "store/postalcodes.h"
#include "ui/artwork.h"
#include "ui/centerform.h"
#include "ui/frameline.h"
#include "ui/frmMsgBox.h"
#include "ui/imagebutton.h"
#include "ui/skin.h"
#include "ui/titleimage.h"
#include "ui/twips.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

namespace {
constexpr int WindowWidth = 5040;
constexpr int WindowHeight = 3660;
// A sender's address may take two columns on the card, as an entry's may.
constexpr int SenderAddressLimit = entryrules::AddressLimit;
} // namespace

frmSender::frmSender() : QDialog(nullptr) {
    skin::setUpWindow(this, QStringLiteral("frmSender"), WindowWidth, WindowHeight, QStringLiteral("差出人"));
    setModal(true);
    imgTitle = new TitleImage(this, WindowWidth, QStringLiteral("差出人"));
    const QFont font = fonts::named(fonts::UiGothic, 9);
    const QFont boxFont = fonts::named(fonts::Gothic, 9.75);
    const auto label = [&](const char *name, const QString &caption, int top) {
        return skin::makeLabel(this, QString::fromLatin1(name), caption, {240, top, 1020, 255}, font);
    };
    lblSenderName = label("lblSenderName", QStringLiteral("名前"), 690);
    lblSenderZip = label("lblSenderZip", QStringLiteral("郵便番号"), 1170);
    lblSenderAddress = label("lblSenderAddress", QStringLiteral("住所"), 1650);
    txtSenderName = makeRuledBox(this, QStringLiteral("txtSenderName"), {1320, 630, 3480, 360}, entryrules::NameLimit,
                                 BoxRule::Text, fonts::named(fonts::Mincho, 12));
    txtSenderZip1 = makeRuledBox(this, QStringLiteral("txtSenderZip1"), {1320, 1140, 630, 300},
                                 entryrules::PostalDigits[0], BoxRule::Digits, boxFont);
    txtSenderZip2 = makeRuledBox(this, QStringLiteral("txtSenderZip2"), {2130, 1140, 920, 300},
                                 entryrules::PostalDigits[1], BoxRule::Digits, boxFont);
    chainDigitGroup({txtSenderZip1, txtSenderZip2});
    new FrameLine(this, QStringLiteral("linSenderZip"), 1950 + 45, 1290, 2130 - 45, 1290);
    txtSenderAddress = makeRuledBox(this, QStringLiteral("txtSenderAddress"), {1320, 1620, 3480, 300},
                                    SenderAddressLimit, BoxRule::Text, fonts::named(fonts::Gothic, 9));
    lblSenderName->setBuddy(txtSenderName);
    lblSenderZip->setBuddy(txtSenderZip1);
    lblSenderAddress->setBuddy(txtSenderAddress);
    txtSenderZip1->setAccessibleName(QStringLiteral("郵便番号 前の 3 桁"));
    txtSenderZip2->setAccessibleName(QStringLiteral("郵便番号 後の 4 桁"));
    chkKanjiNumerals = new QCheckBox(QStringLiteral("住所の数字を漢数字で書く（一―二―三）"), this);
    chkKanjiNumerals->setObjectName(QStringLiteral("chkKanjiNumerals"));
    chkKanjiNumerals->setFont(font);
    twips::place(chkKanjiNumerals, 1320, 2070, 3600, 300);
    lblStackSize = skin::makeLabel(this, QStringLiteral("lblStackSize"), QStringLiteral("一度にセットするはがき"),
                                   {1320, 2520, 2160, 255}, font);
    spnStackSize = new QSpinBox(this);
    spnStackSize->setObjectName(QStringLiteral("spnStackSize"));
    spnStackSize->setFont(boxFont);
    spnStackSize->setRange(1, 500);
    spnStackSize->setSuffix(QStringLiteral(" 枚"));
    twips::place(spnStackSize, 3600, 2490, 1200, 300);
    lblStackSize->setBuddy(spnStackSize);

    imgSenderSave = makeImageButton(this, QStringLiteral("imgSenderSave"), {2280, 3120, 1140, 300}, {2290, 3130},
                                    QStringLiteral("保存"));
    imgSenderCancel = makeImageButton(this, QStringLiteral("imgSenderCancel"), {3660, 3120, 1140, 300}, {3670, 3130},
                                      QStringLiteral("キャンセル"));
    connect(imgSenderSave, &ImageButton::clicked, this, &frmSender::saveAndClose);
    connect(imgSenderCancel, &ImageButton::clicked, this, &frmSender::reject);
    std::tie(linLeft, linRight, linDown) =
        skin::addBorder(this, WindowWidth, WindowHeight, artwork::TitleHeightTwips, QStringLiteral("linDown"));

    const postcardsettings::Setup kept = postcardsettings::load();
    BoxRule::setStoredText(txtSenderName, kept.sender.name);
    const QString digits = postalcodes::digitsOf(kept.sender.postalCode);
    BoxRule::setStoredText(txtSenderZip1, digits.left(3));
    BoxRule::setStoredText(txtSenderZip2, digits.mid(3));
    BoxRule::setStoredText(txtSenderAddress, kept.sender.address);
    chkKanjiNumerals->setChecked(kept.options.kanjiNumerals);
    spnStackSize->setValue(kept.options.stackSize);
    setTabOrder(txtSenderName, txtSenderZip1);
    setTabOrder(txtSenderZip1, txtSenderZip2);
    setTabOrder(txtSenderZip2, txtSenderAddress);
    setTabOrder(txtSenderAddress, chkKanjiNumerals);
    setTabOrder(chkKanjiNumerals, spnStackSize);
    setTabOrder(spnStackSize, imgSenderSave);
    setTabOrder(imgSenderSave, imgSenderCancel);
    mdlDim::CenterForm(this);
    txtSenderName->setFocus();
}

void frmSender::openModal() {
    frmSender window;
    window.exec();
}

void frmSender::saveAndClose() {
    const QString code = txtSenderZip1->text() + txtSenderZip2->text();
    if (!code.isEmpty() && code.size() != entryrules::PostalDigits[0] + entryrules::PostalDigits[1]) {
        frmMsgBox::ask(QStringLiteral("郵便番号は 7 桁で入力して下さい。"), MsgButtons::Yes);
        txtSenderZip1->setFocus();
        return;
    }
    postcardsettings::Setup setup;
    setup.sender = {txtSenderName->text().trimmed(), code.isEmpty() ? QString() : postalcodes::withHyphen(code),
                    txtSenderAddress->text().trimmed()};
    setup.options.kanjiNumerals = chkKanjiNumerals->isChecked();
    setup.options.stackSize = spnStackSize->value();
    if (const QString failed = postcardsettings::save(setup); !failed.isEmpty()) {
        frmMsgBox::ask(failed, MsgButtons::Yes);
        return;
    }
    accept();
}
