#include "sync/syncaccount.h"

#include "store/settingsfile.h"

#include <QEventLoop>
#include <QSettings>
#include <qt6keychain/keychain.h>

namespace syncaccount {
namespace {

const QString Service = QStringLiteral("telbora-sync");

QString keyOf(const Saved &account) {
    return account.user + u'@' + account.url.toString(QUrl::RemoveUserInfo | QUrl::StripTrailingSlash);
}

// Runs a keyring job to its end.
void wait(QKeychain::Job &job) {
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.setAutoDelete(false);
    job.start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

Saved load() {
    Saved saved;
    settingsfile::read([&](QSettings &settings) {
        saved.url = QUrl(settings.value(QStringLiteral("sync/url")).toString());
        saved.user = settings.value(QStringLiteral("sync/user")).toString();
    });
    return saved;
}

QString save(const Saved &account) {
    return describe(settingsfile::change([&](QSettings &settings) {
        settings.setValue(QStringLiteral("sync/url"), account.url.toString(QUrl::RemoveUserInfo));
        settings.setValue(QStringLiteral("sync/user"), account.user);
    }));
}

QString urlProblem(const QUrl &url) {
    if (!url.isValid() || url.host().isEmpty())
        return QStringLiteral("アドレス帳の URL を https://… の形で入れて下さい。");
    if (url.scheme() != QLatin1String("https") && url.scheme() != QLatin1String("http"))
        return QStringLiteral("アドレス帳の URL は https:// で始めて下さい。");
    if (!url.userInfo().isEmpty())
        return QStringLiteral("URL にはユーザー名やパスワードを入れず、それぞれの欄に入れて下さい。");
    return {};
}

QString readPassword(const Saved &account, QString *why) {
    QKeychain::ReadPasswordJob job(Service);
    job.setKey(keyOf(account));
    wait(job);
    if (job.error() != QKeychain::NoError) {
        if (why)
            *why = job.error() == QKeychain::EntryNotFound
                       ? QStringLiteral("キーリングにパスワードがありません。")
                       : QStringLiteral("キーリングが使えません：%1").arg(job.errorString());
        return {};
    }
    return job.textData();
}

QString storePassword(const Saved &account, const QString &password) {
    QKeychain::WritePasswordJob job(Service);
    job.setKey(keyOf(account));
    job.setTextData(password);
    wait(job);
    if (job.error() != QKeychain::NoError)
        return QStringLiteral("キーリングにパスワードを保存できません：%1").arg(job.errorString());
    return {};
}

} // namespace syncaccount
