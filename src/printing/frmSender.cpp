#include "printing/frmSender.h"

#include "render/fonts.h"
#include "render/postcardsettings.h"
#include "store/entryrules.h"
#include "store/postalcodes.h"
#include "ui/artwork.h"
#include "ui/centerform.h"
#include "ui/frameline.h"
#include "ui/frmMsgBox.h"
#include "ui/imagebutton.h"
#include "ui/inputrules.h"
#include "ui/skin.h"
#include "ui/titleimage.h"
#include "ui/twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSpinBox>

namespace {
constexpr int WindowWidth = 5040;
constexpr int WindowHeight = 5160;
// A sender's address may take two columns on the card, as an entry's may.
constexpr int SenderAddressLimit = entryrules::AddressLimit;
const QString JointSeparator = QStringLiteral("、");

QString newProfileName(const QStringList &taken) {
    for (int n = 1;; ++n) {
        const QString name = n == 1 ? QStringLiteral("差出人") : QStringLiteral("差出人%1").arg(n);
        if (!taken.contains(name))
            return name;
    }
}
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
    lblProfile = label("lblProfile", QStringLiteral("差出人"), 660);
    cboProfile = new QComboBox(this);
    cboProfile->setObjectName(QStringLiteral("cboProfile"));
    cboProfile->setFont(boxFont);
    twips::place(cboProfile, 1320, 615, 1800, 330);
    imgProfileAdd = makeImageButton(this, QStringLiteral("imgProfileAdd"), {3240, 630, 720, 300}, {3250, 640},
                                    QStringLiteral("追加"));
    imgProfileDelete = makeImageButton(this, QStringLiteral("imgProfileDelete"), {4080, 630, 720, 300}, {4090, 640},
                                       QStringLiteral("削除"));
    lblProfileName = label("lblProfileName", QStringLiteral("呼び名"), 1080);
    txtProfileName =
        makeRuledBox(this, QStringLiteral("txtProfileName"), {1320, 1050, 1800, 300}, 20, BoxRule::Text, boxFont);
    chkUsualProfile = new QCheckBox(QStringLiteral("いつもの差出人"), this);
    chkUsualProfile->setObjectName(QStringLiteral("chkUsualProfile"));
    chkUsualProfile->setFont(font);
    twips::place(chkUsualProfile, 3240, 1050, 1560, 300);

    lblSenderName = label("lblSenderName", QStringLiteral("名前"), 1530);
    lblSenderJoint = label("lblSenderJoint", QStringLiteral("連名"), 1980);
    lblSenderZip = label("lblSenderZip", QStringLiteral("郵便番号"), 2400);
    lblSenderAddress = label("lblSenderAddress", QStringLiteral("住所"), 2820);
    txtSenderName = makeRuledBox(this, QStringLiteral("txtSenderName"), {1320, 1470, 3480, 360}, entryrules::NameLimit,
                                 BoxRule::Text, fonts::named(fonts::Mincho, 12));
    txtSenderJoint = makeRuledBox(this, QStringLiteral("txtSenderJoint"), {1320, 1950, 3480, 300},
                                  entryrules::NameLimit * people::MaxJointNames, BoxRule::Text, boxFont);
    txtSenderJoint->setPlaceholderText(QStringLiteral("花子、一郎（名前だけ、「、」で区切る）"));
    txtSenderZip1 = makeRuledBox(this, QStringLiteral("txtSenderZip1"), {1320, 2370, 630, 300},
                                 entryrules::PostalDigits[0], BoxRule::Digits, boxFont);
    txtSenderZip2 = makeRuledBox(this, QStringLiteral("txtSenderZip2"), {2130, 2370, 920, 300},
                                 entryrules::PostalDigits[1], BoxRule::Digits, boxFont);
    chainDigitGroup({txtSenderZip1, txtSenderZip2});
    new FrameLine(this, QStringLiteral("linSenderZip"), 1950 + 45, 2520, 2130 - 45, 2520);
    txtSenderAddress = makeRuledBox(this, QStringLiteral("txtSenderAddress"), {1320, 2790, 3480, 300},
                                    SenderAddressLimit, BoxRule::Text, fonts::named(fonts::Gothic, 9));
    lblProfile->setBuddy(cboProfile);
    lblProfileName->setBuddy(txtProfileName);
    lblSenderName->setBuddy(txtSenderName);
    lblSenderJoint->setBuddy(txtSenderJoint);
    lblSenderZip->setBuddy(txtSenderZip1);
    lblSenderAddress->setBuddy(txtSenderAddress);
    txtSenderZip1->setAccessibleName(QStringLiteral("郵便番号 前の 3 桁"));
    txtSenderZip2->setAccessibleName(QStringLiteral("郵便番号 後の 4 桁"));

    lblNumerals = label("lblNumerals", QStringLiteral("住所の数字"), 3300);
    cboNumerals = new QComboBox(this);
    cboNumerals->setObjectName(QStringLiteral("cboNumerals"));
    cboNumerals->setFont(boxFont);
    cboNumerals->addItem(QStringLiteral("算用数字（1-2-3、10 階）"), int(verticaltext::Numerals::Arabic));
    cboNumerals->addItem(QStringLiteral("漢数字（一―二―三、一〇）"), int(verticaltext::Numerals::KanjiDigits));
    cboNumerals->addItem(QStringLiteral("漢数字（一―二―三、十）"), int(verticaltext::Numerals::KanjiCounted));
    twips::place(cboNumerals, 1320, 3255, 3480, 330);
    lblNumerals->setBuddy(cboNumerals);
    chkSpreadNames = new QCheckBox(QStringLiteral("宛名を均等割りにする（山　田）"), this);
    chkSpreadNames->setObjectName(QStringLiteral("chkSpreadNames"));
    chkSpreadNames->setFont(font);
    twips::place(chkSpreadNames, 1320, 3720, 3480, 300);
    lblStackSize = skin::makeLabel(this, QStringLiteral("lblStackSize"), QStringLiteral("一度にセットするはがき"),
                                   {1320, 4170, 2160, 255}, font);
    spnStackSize = new QSpinBox(this);
    spnStackSize->setObjectName(QStringLiteral("spnStackSize"));
    spnStackSize->setFont(boxFont);
    spnStackSize->setRange(1, 500);
    spnStackSize->setSuffix(QStringLiteral(" 枚"));
    twips::place(spnStackSize, 3600, 4140, 1200, 300);
    lblStackSize->setBuddy(spnStackSize);

    imgSenderSave = makeImageButton(this, QStringLiteral("imgSenderSave"), {2280, 4620, 1140, 300}, {2290, 4630},
                                    QStringLiteral("保存"));
    imgSenderCancel = makeImageButton(this, QStringLiteral("imgSenderCancel"), {3660, 4620, 1140, 300}, {3670, 4630},
                                      QStringLiteral("キャンセル"));
    connect(imgSenderSave, &ImageButton::clicked, this, &frmSender::saveAndClose);
    connect(imgSenderCancel, &ImageButton::clicked, this, &frmSender::reject);
    connect(imgProfileAdd, &ImageButton::clicked, this, &frmSender::addProfile);
    connect(imgProfileDelete, &ImageButton::clicked, this, &frmSender::deleteProfile);
    std::tie(linLeft, linRight, linDown) =
        skin::addBorder(this, WindowWidth, WindowHeight, artwork::TitleHeightTwips, QStringLiteral("linDown"));

    setup_ = postcardsettings::load();
    if (setup_.profiles.isEmpty())
        setup_.profiles.append({newProfileName({}), {}});
    cboProfile->addItems(setup_.profileNames());
    cboProfile->setCurrentIndex(setup_.usual);
    showProfile(setup_.usual);
    connect(cboProfile, &QComboBox::activated, this, [this](int index) {
        if (index == shown_)
            return;
        if (!keepShownProfile()) {
            cboProfile->setCurrentIndex(shown_);
            return;
        }
        showProfile(index);
    });
    connect(txtProfileName, &QLineEdit::textEdited, this, [this](const QString &name) {
        if (shown_ >= 0)
            cboProfile->setItemText(shown_, name);
    });
    cboNumerals->setCurrentIndex(cboNumerals->findData(int(setup_.options.numerals)));
    chkSpreadNames->setChecked(setup_.options.spreadNames);
    spnStackSize->setValue(setup_.options.stackSize);
    QWidget *const order[] = {cboProfile,    imgProfileAdd,  imgProfileDelete, txtProfileName, chkUsualProfile,
                              txtSenderName, txtSenderJoint, txtSenderZip1,    txtSenderZip2,  txtSenderAddress,
                              cboNumerals,   chkSpreadNames, spnStackSize,     imgSenderSave,  imgSenderCancel};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    mdlDim::CenterForm(this);
    txtSenderName->setFocus();
}

void frmSender::openModal() {
    frmSender window;
    window.exec();
}

void frmSender::showProfile(int index) {
    shown_ = index;
    const postcardsettings::Profile &profile = setup_.profiles.at(index);
    BoxRule::setStoredText(txtProfileName, profile.name);
    chkUsualProfile->setChecked(index == setup_.usual);
    BoxRule::setStoredText(txtSenderName, profile.sender.name);
    BoxRule::setStoredText(txtSenderJoint, profile.sender.joint.join(JointSeparator));
    const QString digits = postalcodes::digitsOf(profile.sender.postalCode);
    BoxRule::setStoredText(txtSenderZip1, digits.left(3));
    BoxRule::setStoredText(txtSenderZip2, digits.mid(3));
    BoxRule::setStoredText(txtSenderAddress, profile.sender.address);
    imgProfileDelete->setEnabled(setup_.profiles.size() > 1);
}

bool frmSender::keepShownProfile() {
    const QString code = txtSenderZip1->text() + txtSenderZip2->text();
    if (!code.isEmpty() && code.size() != entryrules::PostalDigits[0] + entryrules::PostalDigits[1]) {
        frmMsgBox::ask(QStringLiteral("郵便番号は 7 桁で入力して下さい。"), MsgButtons::Yes);
        txtSenderZip1->setFocus();
        return false;
    }
    QStringList others = setup_.profileNames();
    others.removeAt(shown_);
    QString name = txtProfileName->text().trimmed();
    if (name.isEmpty() || others.contains(name)) {
        frmMsgBox::ask(name.isEmpty() ? QStringLiteral("差出人の呼び名を入力して下さい。")
                                      : QStringLiteral("呼び名「%1」の差出人はもうあります。").arg(name),
                       MsgButtons::Yes);
        txtProfileName->setFocus();
        return false;
    }
    QStringList joint;
    for (const QString &part : txtSenderJoint->text().split(QRegularExpression(QStringLiteral("[、,，・]"))))
        if (!part.trimmed().isEmpty())
            joint.append(part.trimmed());
    postcardsettings::Profile &profile = setup_.profiles[shown_];
    profile.name = name;
    profile.sender = {txtSenderName->text().trimmed(), code.isEmpty() ? QString() : postalcodes::withHyphen(code),
                      txtSenderAddress->text().trimmed(), joint.mid(0, people::MaxJointNames)};
    if (chkUsualProfile->isChecked())
        setup_.usual = shown_;
    cboProfile->setItemText(shown_, name);
    return true;
}

void frmSender::addProfile() {
    if (!keepShownProfile())
        return;
    setup_.profiles.append({newProfileName(setup_.profileNames()), {}});
    cboProfile->addItem(setup_.profiles.last().name);
    cboProfile->setCurrentIndex(int(setup_.profiles.size()) - 1);
    showProfile(int(setup_.profiles.size()) - 1);
    txtProfileName->setFocus();
    txtProfileName->selectAll();
}

void frmSender::deleteProfile() {
    if (setup_.profiles.size() <= 1)
        return;
    const QString name = setup_.profiles.at(shown_).name;
    if (!frmMsgBox::ask(QStringLiteral("差出人「%1」を削除しますか？").arg(name), MsgButtons::YesNo))
        return;
    setup_.profiles.removeAt(shown_);
    cboProfile->removeItem(shown_);
    if (setup_.usual == shown_)
        setup_.usual = 0;
    else if (setup_.usual > shown_)
        --setup_.usual;
    const int next = std::min(shown_, int(setup_.profiles.size()) - 1);
    cboProfile->setCurrentIndex(next);
    showProfile(next);
}

void frmSender::saveAndClose() {
    if (!keepShownProfile())
        return;
    setup_.options.numerals = verticaltext::Numerals(cboNumerals->currentData().toInt());
    setup_.options.spreadNames = chkSpreadNames->isChecked();
    setup_.options.stackSize = spnStackSize->value();
    if (const Failure failed = postcardsettings::save(setup_); failed.failed()) {
        frmMsgBox::ask(describe(failed), MsgButtons::Yes);
        return;
    }
    accept();
}
