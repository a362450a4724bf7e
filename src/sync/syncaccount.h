#pragma once

#include <QString>
#include <QUrl>

// The sync account: the address book's URL and the user, kept in
// "telbora.ini" ([sync]); the password only in the desktop's keyring.
namespace syncaccount {

struct Saved {
    QUrl url;
    QString user;
    bool isSet() const { return url.isValid() && !url.isEmpty() && !user.isEmpty(); }
};

Saved load();
// Empty on success, else why not.
QString save(const Saved &account);

// Why the URL cannot be an address book's; empty when it can.
QString urlProblem(const QUrl &url);

// The password the keyring keeps for the account: empty, with `why` set,
// when it keeps none or there is no keyring.
QString readPassword(const Saved &account, QString *why = nullptr);
// Empty on success, else why the keyring did not take it.
QString storePassword(const Saved &account, const QString &password);

} // namespace syncaccount
