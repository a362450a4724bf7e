#include "browse/frmSync.h"

#include "browse/frmSyncAccount.h"
#include "render/fonts.h"
#include "store/book.h"
#include "store/mdlDim.h"
#include "sync/syncaccount.h"
#include "sync/syncstate.h"
#include "ui/artwork.h"
#include "ui/centerform.h"
#include "ui/imagebutton.h"
#include "ui/skin.h"
#include "ui/titleimage.h"
#include "ui/twips.h"

#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QThread>

namespace {
constexpr int WindowWidth = 7815;
constexpr int WindowHeight = 6360;

// A password typed for an account the keyring could not take: kept until the program ends.
struct SessionPassword {
    syncaccount::Saved account;
    QString password;
};
SessionPassword &sessionPassword() {
    static SessionPassword kept;
    return kept;
}

QString passwordFor(const syncaccount::Saved &account) {
    if (const QString given = qEnvironmentVariable("TELBORA_SYNC_PASSWORD"); !given.isEmpty())
        return given;
    const SessionPassword &kept = sessionPassword();
    if (kept.account.url == account.url && kept.account.user == account.user && !kept.password.isEmpty())
        return kept.password;
    return syncaccount::readPassword(account);
}

bool isFirstSync(const Book &book, const syncaccount::Saved &account) {
    syncstate::State state;
    return syncstate::load(syncstate::folderOf(book.dir(), account.url, account.user), state).isEmpty() &&
           state.isFirstSync();
}

} // namespace

frmSync::frmSync(Book &book) : QDialog(nullptr), book_(book) {
    skin::setUpWindow(this, QStringLiteral("frmSync"), WindowWidth, WindowHeight, QStringLiteral("スマホと同期"));
    setModal(true);
    imgTitle = new TitleImage(this, WindowWidth, QStringLiteral("スマホと同期"));
    const QFont font = fonts::named(fonts::UiGothic, 9);

    lblSyncAccount = skin::makeLabel(this, QStringLiteral("lblSyncAccount"), QString(), {240, 600, 5880, 255}, font);
    lblSyncAccount->setTextFormat(Qt::PlainText);
    imgSyncAccount = makeImageButton(this, QStringLiteral("imgSyncAccount"), {6255, 555, 1320, 300}, {6265, 565},
                                     QStringLiteral("アカウント"));
    lblFirst =
        skin::makeLabel(this, QStringLiteral("lblFirst"), QStringLiteral("初めての同期"), {240, 1035, 1320, 255}, font);
    cboFirst = new QComboBox(this);
    cboFirst->setObjectName(QStringLiteral("cboFirst"));
    cboFirst->setFont(font);
    cboFirst->addItem(QStringLiteral("突き合わせる（同じ人は一つに）"), int(cardsync::First::Match));
    cboFirst->addItem(QStringLiteral("この電話帳を空のサーバーへ"), int(cardsync::First::Upload));
    cboFirst->addItem(QStringLiteral("サーバーから空の電話帳へ"), int(cardsync::First::Download));
    twips::place(cboFirst, 1560, 990, 3600, 330);
    lblFirst->setBuddy(cboFirst);
    imgSyncRun = makeImageButton(this, QStringLiteral("imgSyncRun"), {6255, 1005, 1320, 300}, {6265, 1015},
                                 QStringLiteral("同期"));
    lblSyncProgress = skin::makeLabel(this, QStringLiteral("lblSyncProgress"), QString(), {240, 1440, 7335, 255}, font);
    lblSyncProgress->setTextFormat(Qt::PlainText);
    lblSyncSummary = skin::makeLabel(this, QStringLiteral("lblSyncSummary"), QString(), {240, 1740, 7335, 255},
                                     fonts::named(fonts::Gothic, 10.5, true));
    lblSyncSummary->setTextFormat(Qt::PlainText);

    lblConflicts = skin::makeLabel(this, QStringLiteral("lblConflicts"),
                                   QStringLiteral("パソコンとスマホの両方で変わりました：どちらにするか選んで「同期」"),
                                   {240, 2100, 7335, 255}, font);
    lstConflicts = new QTableWidget(0, 5, this);
    lstConflicts->setObjectName(QStringLiteral("lstConflicts"));
    lstConflicts->setAccessibleName(QStringLiteral("競合"));
    lstConflicts->setFont(font);
    lstConflicts->setHorizontalHeaderLabels({QStringLiteral("氏名"), QStringLiteral("項目"), QStringLiteral("パソコン"),
                                             QStringLiteral("スマホ"), QStringLiteral("どちらに")});
    lstConflicts->verticalHeader()->hide();
    lstConflicts->horizontalHeader()->setStretchLastSection(true);
    lstConflicts->setEditTriggers(QAbstractItemView::NoEditTriggers);
    twips::place(lstConflicts, 240, 2400, 7335, 1500);
    lblConflicts->setBuddy(lstConflicts);

    txtSyncReport = new QPlainTextEdit(this);
    txtSyncReport->setObjectName(QStringLiteral("txtSyncReport"));
    txtSyncReport->setAccessibleName(QStringLiteral("同期の報告"));
    txtSyncReport->setReadOnly(true);
    txtSyncReport->setFont(fonts::named(fonts::Gothic, 9));
    twips::place(txtSyncReport, 240, 4020, 7335, 1680);

    imgSyncClose = makeImageButton(this, QStringLiteral("imgSyncClose"), {6480, 5835, 1095, 330}, {6490, 5845},
                                   QStringLiteral("閉じる"));
    connect(imgSyncAccount, &ImageButton::clicked, this, &frmSync::editAccount);
    connect(imgSyncRun, &ImageButton::clicked, this, &frmSync::runSync);
    connect(imgSyncClose, &ImageButton::clicked, this, &frmSync::reject);
    skin::addBorder(this, WindowWidth, WindowHeight, artwork::TitleHeightTwips, QStringLiteral("linDown"));
    QWidget *const order[] = {imgSyncAccount, cboFirst, imgSyncRun, lstConflicts, txtSyncReport, imgSyncClose};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    showAccount();
    mdlDim::CenterForm(this);
    imgSyncRun->setFocus();
}

bool frmSync::openModal(Book &book) {
    frmSync window(book);
    if (!syncaccount::load().isSet()) {
        window.editAccount();
        if (!syncaccount::load().isSet())
            return false;
    }
    window.exec();
    return window.changedBook_;
}

void frmSync::reject() {
    if (!running_) // the book is the worker's until it is done
        QDialog::reject();
}

void frmSync::showAccount() {
    const syncaccount::Saved account = syncaccount::load();
    lblSyncAccount->setText(account.isSet() ? QStringLiteral("%1（%2）").arg(account.url.toString(), account.user)
                                            : QStringLiteral("アカウントがまだありません"));
    const bool first = account.isSet() && isFirstSync(book_, account);
    lblFirst->setVisible(first);
    cboFirst->setVisible(first);
    imgSyncRun->setEnabled(account.isSet() && book_.readOnlyReason().isEmpty());
    if (!book_.readOnlyReason().isEmpty())
        lblSyncProgress->setText(describe(book_.readOnlyRefusal()));
}

void frmSync::editAccount() {
    frmSyncAccount account;
    if (account.exec() == QDialog::Accepted)
        sessionPassword() = {account.account(), account.password()};
    showAccount();
}

QList<cardsync::Choice> frmSync::choices() const {
    QList<cardsync::Choice> chosen;
    for (int row = 0; row < lstConflicts->rowCount(); ++row) {
        const auto *choice = qobject_cast<QComboBox *>(lstConflicts->cellWidget(row, 4));
        if (!choice || choice->currentIndex() == 0)
            continue;
        const QTableWidgetItem *name = lstConflicts->item(row, 0);
        chosen.append(
            {name->data(Qt::UserRole).toString(), name->data(Qt::UserRole + 1).toInt(), choice->currentIndex() == 2});
    }
    return chosen;
}

void frmSync::runSync() {
    const syncaccount::Saved account = syncaccount::load();
    QString password = passwordFor(account);
    if (password.isEmpty()) {
        editAccount();
        password = passwordFor(account);
        if (password.isEmpty())
            return;
    }
    cardsync::Options options;
    options.first = static_cast<cardsync::First>(cboFirst->currentData().toInt());
    options.choices = choices();
    options.progress = [this](const QString &step) {
        QMetaObject::invokeMethod(
            lblSyncProgress, [this, step] { lblSyncProgress->setText(step); }, Qt::QueuedConnection);
    };
    running_ = true;
    for (QWidget *w :
         std::initializer_list<QWidget *>{imgSyncRun, imgSyncAccount, imgSyncClose, cboFirst, lstConflicts})
        w->setEnabled(false);
    lblSyncSummary->clear();
    // The worker syncs a book object of its own on the same folder: the list
    // goes on reading the window's while the worker reads and writes the files.
    QThread *worker =
        QThread::create([this, dir = book_.dir(), readOnly = book_.readOnlyReason(), account, password, options] {
            Book own(dir);
            own.setReadOnlyReason(readOnly);
            report_ = cardsync::run(own, {account.url, account.user, password}, options);
        });
    connect(worker, &QThread::finished, this, [this, worker] {
        worker->deleteLater();
        finished();
    });
    worker->start();
}

void frmSync::finished() {
    running_ = false;
    changedBook_ = changedBook_ || report_.received > 0 || report_.deleted > 0;
    for (QWidget *w :
         std::initializer_list<QWidget *>{imgSyncRun, imgSyncAccount, imgSyncClose, cboFirst, lstConflicts})
        w->setEnabled(true);
    showReport(report_);
}

void frmSync::showReport(const cardsync::Report &report) {
    report_ = report;
    // Done only when everything went across: a change left unsent is said, not called done.
    const QString done =
        report_.unsent > 0
            ? QStringLiteral("送れなかった変更が %1 件あります。次の同期でもう一度送ります").arg(report_.unsent)
            : QStringLiteral("同期しました");
    lblSyncProgress->setText(report_.error.isEmpty() ? done : report_.error);
    lblSyncSummary->setText(report_.summary());
    txtSyncReport->setPlainText(report_.lines.join(u'\n'));
    lstConflicts->setRowCount(0);
    for (const cardsync::Conflict &c : report_.conflicts) {
        const int row = lstConflicts->rowCount();
        lstConflicts->insertRow(row);
        auto *name = new QTableWidgetItem(c.name);
        name->setData(Qt::UserRole, c.uid);
        name->setData(Qt::UserRole + 1, c.field);
        lstConflicts->setItem(row, 0, name);
        lstConflicts->setItem(row, 1, new QTableWidgetItem(cardsync::fieldName(c.field)));
        lstConflicts->setItem(row, 2, new QTableWidgetItem(c.pc));
        lstConflicts->setItem(row, 3, new QTableWidgetItem(c.phone));
        auto *choice = new QComboBox(lstConflicts);
        choice->setObjectName(QStringLiteral("cboChoice(%1)").arg(row));
        choice->addItems({QStringLiteral("あとで"), QStringLiteral("パソコンの値"), QStringLiteral("スマホの値")});
        choice->setAccessibleName(QStringLiteral("%1 の%2").arg(c.name, cardsync::fieldName(c.field)));
        lstConflicts->setCellWidget(row, 4, choice);
    }
    lstConflicts->resizeColumnsToContents();
    showAccount();
    imgSyncRun->setFocus();
}
