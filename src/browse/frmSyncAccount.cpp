#include "browse/frmSyncAccount.h"

#include "render/fonts.h"
#include "store/mdlDim.h"
#include "sync/carddav.h"
#include "ui/artwork.h"
#include "ui/centerform.h"
#include "ui/frmMsgBox.h"
#include "ui/imagebutton.h"
#include "ui/skin.h"
#include "ui/titleimage.h"
#include "ui/twips.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>

namespace {
constexpr int WindowWidth = 6015;
constexpr int WindowHeight = 3060;
} // namespace

frmSyncAccount::frmSyncAccount() : QDialog(nullptr) {
    skin::setUpWindow(this, QStringLiteral("frmSyncAccount"), WindowWidth, WindowHeight,
                      QStringLiteral("同期のアカウント"));
    setModal(true);
    imgTitle = new TitleImage(this, WindowWidth, QStringLiteral("同期のアカウント"));
    const QFont font = fonts::named(fonts::UiGothic, 9);
    const auto row = [&](const char *labelName, const QString &caption, const char *boxName, int top, QLabel *&label,
                         QLineEdit *&box) {
        label = skin::makeLabel(this, QString::fromLatin1(labelName), caption, {240, top + 45, 1380, 255}, font);
        box = new QLineEdit(this);
        box->setObjectName(QString::fromLatin1(boxName));
        box->setFont(font);
        twips::place(box, 1680, top, 4095, 330);
        label->setBuddy(box);
    };
    row("lblSyncUrl", QStringLiteral("アドレス帳の URL"), "txtSyncUrl", 600, lblSyncUrl, txtSyncUrl);
    row("lblSyncUser", QStringLiteral("ユーザー名"), "txtSyncUser", 1050, lblSyncUser, txtSyncUser);
    row("lblSyncPassword", QStringLiteral("パスワード"), "txtSyncPassword", 1500, lblSyncPassword, txtSyncPassword);
    txtSyncUrl->setPlaceholderText(
        QStringLiteral("https://example.jp/remote.php/dav/addressbooks/users/taro/contacts/"));
    txtSyncPassword->setEchoMode(QLineEdit::Password);
    // Typed in Latin letters: the input method would only get in the way.
    for (QLineEdit *box : {txtSyncUrl, txtSyncUser, txtSyncPassword})
        box->setAttribute(Qt::WA_InputMethodEnabled, false);

    imgSyncTest = makeImageButton(this, QStringLiteral("imgSyncTest"), {1680, 1980, 1260, 300}, {1690, 1990},
                                  QStringLiteral("接続テスト"));
    lblSyncTest = skin::makeLabel(this, QStringLiteral("lblSyncTest"), QString(), {3060, 1980, 2715, 480}, font);
    lblSyncTest->setWordWrap(true);
    lblSyncTest->setTextFormat(Qt::PlainText);
    imgAccountSave = makeImageButton(this, QStringLiteral("imgAccountSave"), {3255, 2580, 1140, 300}, {3265, 2590},
                                     QStringLiteral("保存"));
    imgAccountCancel = makeImageButton(this, QStringLiteral("imgAccountCancel"), {4635, 2580, 1140, 300}, {4645, 2590},
                                       QStringLiteral("キャンセル"));
    connect(imgSyncTest, &ImageButton::clicked, this, &frmSyncAccount::testConnection);
    connect(imgAccountSave, &ImageButton::clicked, this, &frmSyncAccount::saveAndClose);
    connect(imgAccountCancel, &ImageButton::clicked, this, &QDialog::reject);
    skin::addBorder(this, WindowWidth, WindowHeight, artwork::TitleHeightTwips, QStringLiteral("linDown"));

    const syncaccount::Saved saved = syncaccount::load();
    txtSyncUrl->setText(saved.url.toString());
    txtSyncUser->setText(saved.user);
    if (saved.isSet())
        txtSyncPassword->setText(syncaccount::readPassword(saved));
    QWidget *const order[] = {txtSyncUrl, txtSyncUser, txtSyncPassword, imgSyncTest, imgAccountSave, imgAccountCancel};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    mdlDim::CenterForm(this);
    txtSyncUrl->setFocus();
}

syncaccount::Saved frmSyncAccount::account() const {
    return {QUrl(txtSyncUrl->text().trimmed()), txtSyncUser->text().trimmed()};
}

QString frmSyncAccount::password() const {
    return txtSyncPassword->text();
}

void frmSyncAccount::testConnection() {
    const syncaccount::Saved a = account();
    if (const QString problem = syncaccount::urlProblem(a.url); !problem.isEmpty()) {
        lblSyncTest->setText(problem);
        return;
    }
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    const carddav::Failure failure = carddav::Client(a.url, a.user, password()).check();
    QGuiApplication::restoreOverrideCursor();
    QString said =
        failure ? carddav::describe(failure) : QStringLiteral("つながりました。アドレス帳が見つかりました。");
    const bool loopback = a.url.host() == QLatin1String("localhost") || a.url.host().startsWith(QLatin1String("127."));
    if (a.url.scheme() == QLatin1String("http") && !loopback)
        said +=
            QStringLiteral("\nhttp:// ではパスワードが暗号化されずに送られます。できれば https:// を使って下さい。");
    lblSyncTest->setText(said);
}

void frmSyncAccount::saveAndClose() {
    const syncaccount::Saved a = account();
    QString problem = syncaccount::urlProblem(a.url);
    if (problem.isEmpty() && a.user.isEmpty())
        problem = QStringLiteral("ユーザー名を入力して下さい。");
    if (!problem.isEmpty()) {
        frmMsgBox::ask(problem, MsgButtons::Yes);
        return;
    }
    if (const QString failed = syncaccount::save(a); !failed.isEmpty()) {
        frmMsgBox::ask(failed, MsgButtons::Yes);
        return;
    }
    if (const QString noKeyring = syncaccount::storePassword(a, password()); !noKeyring.isEmpty())
        frmMsgBox::ask(noKeyring + QStringLiteral("\rパスワードはこのプログラムを閉じるまで覚えておきます。"),
                       MsgButtons::Yes);
    accept();
}
