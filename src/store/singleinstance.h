#pragma once

#include <QString>

// One running copy per phone-book folder, telbora and telbora-contacts alike:
// a kernel lock (flock) on ".telbora.lock" in the book's own folder. The kernel
// releases it however the holder ends, so a crash never shuts the user out,
// and nothing in a shared temporary folder is involved.
class SingleInstance {
public:
    explicit SingleInstance(const QString &bookDir);
    ~SingleInstance();
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;

    enum class State {
        Acquired,
        HeldElsewhere, // another running copy has this book open
        Unavailable,   // the folder cannot hold the lock; error() says why
    };
    State acquire();
    // In Japanese, for the user, when acquire() said Unavailable.
    QString error() const { return error_; }

    static QString lockPathFor(const QString &bookDir);

private:
    QString path_;
    QString error_;
    int fd_ = -1;
};
