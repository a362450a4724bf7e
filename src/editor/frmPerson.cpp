#include "editor/frmPerson.h"

#include "render/fonts.h"
#include "render/postcardsettings.h"
#include "store/birthday.h"
#include "ui/artwork.h"
#include "ui/centerform.h"
#include "ui/frameline.h"
#include "ui/frmMsgBox.h"
#include "ui/imagebutton.h"
#include "ui/inputrules.h"
#include "ui/skin.h"
#include "ui/titleimage.h"
#include "ui/twips.h"

#include <QComboBox>
#include <QDate>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTableWidget>

namespace {
constexpr int WindowWidth = 7800;
constexpr int WindowHeight = 7980;

enum JointColumn { Given, Family, Reading, JointHonorific, JointColumns };
enum YearColumn { Year, Sent, Received, Mourning, Kanchu, DoNotSend, YearColumns };

QTableWidget *makeTable(QWidget *parent, const QString &name, const QStringList &headers, QRect geometry) {
    auto *table = new QTableWidget(0, static_cast<int>(headers.size()), parent);
    table->setObjectName(name);
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setFont(fonts::named(fonts::UiGothic, 9));
    twips::place(table, geometry.x(), geometry.y(), geometry.width(), geometry.height());
    return table;
}

QPlainTextEdit *makeTextBox(QWidget *parent, const QString &name, QRect geometry) {
    auto *box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setFont(fonts::named(fonts::Gothic, 9.75));
    box->setTabChangesFocus(true);
    twips::place(box, geometry.x(), geometry.y(), geometry.width(), geometry.height());
    return box;
}

QStringList linesOf(const QPlainTextEdit *box) {
    QStringList lines;
    for (const QString &line : box->toPlainText().split(u'\n'))
        if (!line.trimmed().isEmpty())
            lines.append(line.trimmed());
    return lines;
}

QString cellText(const QTableWidget *table, int row, int column) {
    const QTableWidgetItem *item = table->item(row, column);
    return item ? item->text().trimmed() : QString();
}

bool isChecked(const QTableWidget *table, int row, int column) {
    const QTableWidgetItem *item = table->item(row, column);
    return item && item->checkState() == Qt::Checked;
}

// The New Year cards of this season: from October on, next January's.
// Enough for 昭和50年12月31日 and its like.
constexpr int BirthdayLimit = 16;

int seasonYear() {
    const QDate today = QDate::currentDate();
    return today.month() >= 10 ? today.year() + 1 : today.year();
}
} // namespace

frmPerson::frmPerson(const people::PersonData &data, const QString &name) : QDialog(nullptr), original_(data) {
    const QString caption = name.isEmpty() ? QStringLiteral("詳細") : QStringLiteral("詳細 — %1").arg(name);
    skin::setUpWindow(this, QStringLiteral("frmPerson"), WindowWidth, WindowHeight, caption);
    setModal(true);
    imgTitle = new TitleImage(this, WindowWidth, caption);
    const QFont font = fonts::named(fonts::UiGothic, 9);
    const QFont boxFont = fonts::named(fonts::Gothic, 9.75);
    const auto label = [&](const char *labelName, const QString &text, int left, int top, int width = 1020) {
        return skin::makeLabel(this, QString::fromLatin1(labelName), text, {left, top, width, 255}, font);
    };
    const auto lineBox = [&](const char *boxName, QRect geometry, const QString &value) {
        auto *box = new QLineEdit(this);
        box->setObjectName(QString::fromLatin1(boxName));
        box->setFont(boxFont);
        box->setText(value);
        twips::place(box, geometry.x(), geometry.y(), geometry.width(), geometry.height());
        return box;
    };
    const auto button = [&](const char *buttonName, QRect atRest, const QString &text) {
        return makeImageButton(this, QString::fromLatin1(buttonName), atRest, atRest.topLeft() + QPoint(10, 10), text);
    };

    lblHonorific = label("lblHonorific", QStringLiteral("敬称"), 240, 600);
    cboHonorific = new QComboBox(this);
    cboHonorific->setObjectName(QStringLiteral("cboHonorific"));
    cboHonorific->setFont(boxFont);
    cboHonorific->setEditable(true);
    cboHonorific->addItems({QString(), QStringLiteral("様"), QStringLiteral("殿"), QStringLiteral("先生"),
                            QStringLiteral("御中"), QStringLiteral("各位")});
    cboHonorific->lineEdit()->setPlaceholderText(QStringLiteral("様（会社は御中）"));
    cboHonorific->setCurrentText(data.honorific);
    twips::place(cboHonorific, 1320, 570, 2400, 300);
    lblNickname = label("lblNickname", QStringLiteral("呼び名"), 4440, 600, 900);
    txtNickname = lineBox("txtNickname", {5400, 570, 2160, 300}, data.nickname);

    lblJoint = label("lblJoint", QStringLiteral("連名"), 240, 1000);
    grdJoint = makeTable(
        this, QStringLiteral("grdJoint"),
        {QStringLiteral("名"), QStringLiteral("姓（違うとき）"), QStringLiteral("よみ"), QStringLiteral("敬称")},
        {1320, 960, 6240, 1560});
    for (const people::JointName &joint : data.joint)
        addJointRow(joint);
    imgJointAdd = button("imgJointAdd", {1320, 2580, 900, 285}, QStringLiteral("追加"));
    imgJointRemove = button("imgJointRemove", {2310, 2580, 900, 285}, QStringLiteral("削除"));
    imgJointUp = button("imgJointUp", {3300, 2580, 900, 285}, QStringLiteral("上へ"));
    imgJointDown = button("imgJointDown", {4290, 2580, 900, 285}, QStringLiteral("下へ"));
    connect(imgJointAdd, &ImageButton::clicked, this, [this] {
        if (grdJoint->rowCount() < people::MaxJointNames) {
            addJointRow({});
            grdJoint->setCurrentCell(grdJoint->rowCount() - 1, Given);
            grdJoint->editItem(grdJoint->item(grdJoint->rowCount() - 1, Given));
        }
    });
    connect(imgJointRemove, &ImageButton::clicked, this, [this] {
        if (grdJoint->currentRow() >= 0)
            grdJoint->removeRow(grdJoint->currentRow());
    });
    connect(imgJointUp, &ImageButton::clicked, this, [this] { moveJointRow(-1); });
    connect(imgJointDown, &ImageButton::clicked, this, [this] { moveJointRow(1); });

    lblCompany = label("lblCompany", QStringLiteral("会社名"), 240, 3030);
    txtCompany = lineBox("txtCompany", {1320, 3000, 3000, 300}, data.company);
    lblDepartment = label("lblDepartment", QStringLiteral("部署"), 4440, 3030, 900);
    txtDepartment = lineBox("txtDepartment", {5400, 3000, 2160, 300}, data.department);
    lblTitle = label("lblTitle", QStringLiteral("役職"), 240, 3450);
    txtTitle = lineBox("txtTitle", {1320, 3420, 3000, 300}, data.title);
    lblBirthday = label("lblBirthday", QStringLiteral("誕生日"), 4440, 3450, 900);
    txtBirthday = makeRuledBox(this, QStringLiteral("txtBirthday"), {5400, 3420, 2160, 300}, BirthdayLimit,
                               BoxRule::Date, boxFont);
    BoxRule::setStoredText(txtBirthday, data.birthday);
    txtBirthday->setPlaceholderText(QStringLiteral("1970-05-04"));
    lblPhones = label("lblPhones", QStringLiteral("ほかの電話"), 240, 3870);
    txtPhones = makeTextBox(this, QStringLiteral("txtPhones"), {1320, 3840, 3000, 600});
    txtPhones->setPlainText(data.phones.join(u'\n'));
    lblEmails = label("lblEmails", QStringLiteral("メール"), 4440, 3870, 900);
    txtEmails = makeTextBox(this, QStringLiteral("txtEmails"), {5400, 3840, 2160, 600});
    txtEmails->setPlainText(data.emails.join(u'\n'));
    lblNotes = label("lblNotes", QStringLiteral("メモ"), 240, 4590);
    txtNotes = makeTextBox(this, QStringLiteral("txtNotes"), {1320, 4560, 3000, 780});
    txtNotes->setPlainText(data.notes);
    lblAddresses = label("lblAddresses", QStringLiteral("ほかの住所"), 4440, 4590, 900);
    txtAddresses = makeTextBox(this, QStringLiteral("txtAddresses"), {5400, 4560, 2160, 780});
    txtAddresses->setPlainText(data.addresses.join(u'\n'));

    lblNewYear = label("lblNewYear", QStringLiteral("年賀状"), 240, 5490);
    grdNewYear = makeTable(this, QStringLiteral("grdNewYear"),
                           {QStringLiteral("年"), QStringLiteral("出した"), QStringLiteral("届いた"),
                            QStringLiteral("喪中"), QStringLiteral("寒中見舞い"), QStringLiteral("出さない")},
                           {1320, 5460, 6240, 1320});
    for (const people::NewYear &year : data.years)
        addYearRow(year);
    imgYearAdd = button("imgYearAdd", {240, 5820, 1005, 285}, QStringLiteral("今年を追加"));
    connect(imgYearAdd, &ImageButton::clicked, this, &frmPerson::addThisYear);

    lblUrls = label("lblUrls", QStringLiteral("URL"), 240, 6930);
    txtUrls = lineBox("txtUrls", {1320, 6900, 6240, 300}, data.urls.join(u' '));
    txtUrls->setPlaceholderText(QStringLiteral("https://…（いくつかあるときは空白で区切ります）"));

    // The postcards' sender for this person: one of the profiles kept in 差出人.
    lblSender = label("lblSender", QStringLiteral("差出人"), 240, 7470);
    cboSender = new QComboBox(this);
    cboSender->setObjectName(QStringLiteral("cboSender"));
    cboSender->setFont(boxFont);
    cboSender->addItem(QStringLiteral("いつもの差出人"), QString());
    for (const QString &profile : postcardsettings::load().profileNames())
        cboSender->addItem(profile, profile);
    if (!data.sender.isEmpty() && cboSender->findData(data.sender) < 0)
        cboSender->addItem(QStringLiteral("%1（差出人にありません）").arg(data.sender), data.sender);
    cboSender->setCurrentIndex(std::max(0, cboSender->findData(data.sender)));
    twips::place(cboSender, 1320, 7440, 2400, 300);

    imgPersonOk = makeImageButton(this, QStringLiteral("imgPersonOk"), {5040, 7440, 1140, 300}, {5050, 7450},
                                  QStringLiteral("決定"), QColor(120, 190, 120));
    imgPersonCancel = button("imgPersonCancel", {6420, 7440, 1140, 300}, QStringLiteral("キャンセル"));
    connect(imgPersonOk, &ImageButton::clicked, this, &frmPerson::acceptIfDated);
    connect(imgPersonCancel, &ImageButton::clicked, this, &frmPerson::reject);
    std::tie(linLeft, linRight, linDown) =
        skin::addBorder(this, WindowWidth, WindowHeight, artwork::TitleHeightTwips, QStringLiteral("linDown"));

    for (auto [text, buddy] : {std::pair<QLabel *, QWidget *>{lblHonorific, cboHonorific},
                               {lblNickname, txtNickname},
                               {lblJoint, grdJoint},
                               {lblCompany, txtCompany},
                               {lblDepartment, txtDepartment},
                               {lblTitle, txtTitle},
                               {lblBirthday, txtBirthday},
                               {lblPhones, txtPhones},
                               {lblEmails, txtEmails},
                               {lblNotes, txtNotes},
                               {lblAddresses, txtAddresses},
                               {lblNewYear, grdNewYear},
                               {lblUrls, txtUrls},
                               {lblSender, cboSender}})
        text->setBuddy(buddy);
    mdlDim::CenterForm(this);
    cboHonorific->setFocus();
}

void frmPerson::addJointRow(const people::JointName &joint) {
    const int row = grdJoint->rowCount();
    grdJoint->insertRow(row);
    grdJoint->setItem(row, Given, new QTableWidgetItem(joint.given));
    grdJoint->setItem(row, Family, new QTableWidgetItem(joint.family));
    grdJoint->setItem(row, Reading, new QTableWidgetItem(joint.reading));
    grdJoint->setItem(row, JointHonorific, new QTableWidgetItem(joint.honorific));
}

void frmPerson::moveJointRow(int by) {
    const int row = grdJoint->currentRow();
    const int to = row + by;
    if (row < 0 || to < 0 || to >= grdJoint->rowCount())
        return;
    for (int column = 0; column < JointColumns; ++column) {
        QTableWidgetItem *moving = grdJoint->takeItem(row, column);
        grdJoint->setItem(row, column, grdJoint->takeItem(to, column));
        grdJoint->setItem(to, column, moving);
    }
    grdJoint->setCurrentCell(to, grdJoint->currentColumn());
}

void frmPerson::addYearRow(const people::NewYear &year) {
    int row = 0;
    while (row < grdNewYear->rowCount() && cellText(grdNewYear, row, Year).toInt() > year.year)
        ++row;
    grdNewYear->insertRow(row);
    auto *yearItem = new QTableWidgetItem(QStringLiteral("%1年").arg(year.year));
    yearItem->setData(Qt::UserRole, year.year);
    yearItem->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    grdNewYear->setItem(row, Year, yearItem);
    for (auto [column, on] : {std::pair{Sent, year.sent},
                              {Received, year.received},
                              {Mourning, year.mourning},
                              {Kanchu, year.kanchuSent},
                              {DoNotSend, year.doNotSend}}) {
        auto *item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
        grdNewYear->setItem(row, column, item);
    }
}

void frmPerson::addThisYear() {
    const int year = seasonYear();
    for (int row = 0; row < grdNewYear->rowCount(); ++row)
        if (grdNewYear->item(row, Year)->data(Qt::UserRole).toInt() == year) {
            grdNewYear->setCurrentCell(row, Sent);
            return;
        }
    addYearRow(people::NewYear{year});
}

people::PersonData frmPerson::data() const {
    people::PersonData p = original_;
    p.honorific = cboHonorific->currentText().trimmed();
    p.joint.clear();
    for (int row = 0; row < grdJoint->rowCount(); ++row) {
        const people::JointName joint{cellText(grdJoint, row, Given), cellText(grdJoint, row, Family),
                                      cellText(grdJoint, row, Reading), cellText(grdJoint, row, JointHonorific)};
        if (joint != people::JointName())
            p.joint.append(joint);
    }
    p.company = txtCompany->text().trimmed();
    p.department = txtDepartment->text().trimmed();
    p.title = txtTitle->text().trimmed();
    // A date as ISO; a value kept from an import the user did not touch stays as it came.
    const birthday::Read typed = birthday::read(txtBirthday->text());
    p.birthday = typed.reading == birthday::Reading::Date ? typed.iso : txtBirthday->text().trimmed();
    p.nickname = txtNickname->text().trimmed();
    p.sender = cboSender->currentData().toString();
    p.urls = txtUrls->text().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    p.phones = linesOf(txtPhones);
    p.emails = linesOf(txtEmails);
    p.notes = txtNotes->toPlainText();
    p.addresses = linesOf(txtAddresses);
    p.years.clear();
    for (int row = grdNewYear->rowCount() - 1; row >= 0; --row) {
        people::NewYear &y = p.yearRecord(grdNewYear->item(row, Year)->data(Qt::UserRole).toInt());
        y.sent = isChecked(grdNewYear, row, Sent);
        y.received = isChecked(grdNewYear, row, Received);
        y.mourning = isChecked(grdNewYear, row, Mourning);
        y.kanchuSent = isChecked(grdNewYear, row, Kanchu);
        y.doNotSend = isChecked(grdNewYear, row, DoNotSend);
    }
    return p;
}

void frmPerson::acceptIfDated() {
    const QString text = txtBirthday->text().trimmed();
    const birthday::Reading reading = birthday::read(text).reading;
    if (text != original_.birthday.trimmed() &&
        (reading == birthday::Reading::Impossible || reading == birthday::Reading::NotADate)) {
        frmMsgBox::ask(reading == birthday::Reading::Impossible
                           ? QStringLiteral("誕生日の「%1」という日はありません。").arg(text)
                           : QStringLiteral("誕生日の「%1」は日付として読めません。\r1975-05-03、1975/5/3、"
                                            "19750503、昭和50年5月3日 のように入力して下さい。")
                                 .arg(text),
                       MsgButtons::Yes);
        txtBirthday->setFocus();
        return;
    }
    accept();
}

void frmPerson::showOnly() {
    cboHonorific->setEnabled(false);
    for (QTableWidget *table : {grdJoint, grdNewYear}) {
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        for (int row = 0; row < table->rowCount(); ++row)
            for (int column = 0; column < table->columnCount(); ++column)
                if (QTableWidgetItem *item = table->item(row, column))
                    item->setFlags(item->flags() & ~(Qt::ItemIsUserCheckable | Qt::ItemIsEditable));
    }
    for (QLineEdit *box : {txtNickname, txtCompany, txtDepartment, txtTitle, txtBirthday, txtUrls})
        box->setReadOnly(true);
    for (QPlainTextEdit *box : {txtPhones, txtEmails, txtNotes, txtAddresses})
        box->setReadOnly(true);
    for (ImageButton *button : {imgJointAdd, imgJointRemove, imgJointUp, imgJointDown, imgYearAdd, imgPersonOk})
        button->hide();
}

void frmPerson::showReadOnly(const people::PersonData &data, const QString &name) {
    frmPerson window(data, name);
    window.showOnly();
    window.exec();
}

std::optional<people::PersonData> frmPerson::edit(const people::PersonData &data, const QString &name) {
    frmPerson window(data, name);
    if (window.exec() != QDialog::Accepted)
        return std::nullopt;
    return window.data();
}
