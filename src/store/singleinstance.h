#pragma once

#include "store/failure.h"

#include <QString>

// One running copy per phone-book folder, telbora and telbora-contacts alike:
// a kernel lock (flock) on ".telbora.lock" in the book's own folder. The kernel
// releases it however the holder ends, so a crash never shuts the user out,
// and nothing in a shared temporary folder is involved.
//
// The lock file names the program holding it, so that the other one can say
// who has the book, and the working copies ("VexaTel.txt$") the holder is
// writing, so that one left by a kill is removed when the next copy starts.
class SingleInstance {
public:
    // `program` is what others are told holds the book: "telbora" or "telbora-contacts".
    SingleInstance(const QString &bookDir, const QString &program);
    ~SingleInstance();
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;

    enum class State {
        Acquired,      // the book is this copy's to read and write
        ReadOnly,      // its folder or files cannot be written: read under a shared lock, or none
        HeldElsewhere, // another running copy has this book open; holder() says which
        Unavailable,   // the lock file is not usable (a link, not a file); error() says why
    };
    State acquire();
    // What made the lock unusable, when acquire() said Unavailable.
    const Failure &error() const { return error_; }
    // Why the book cannot be written, when acquire() said ReadOnly.
    const Failure &readOnlyReason() const { return readOnlyReason_; }
    // The program holding the book when acquire() said HeldElsewhere; empty when it did not say.
    QString holder() const { return holder_; }
    // Who holds the book, when acquire() said HeldElsewhere (HeldBy…, the book's folder).
    Failure held() const;

    static QString lockPathFor(const QString &bookDir);

private:
    State lockShared(int fd);
    void removeLeftCopies();
    void record();

    QString dir_;
    QString path_;
    QString program_;
    Failure error_;
    Failure readOnlyReason_;
    QString holder_;
    int fd_ = -1;
    bool exclusive_ = false;
    QByteArray copyInProgress_; // the lock file's line for the working copy being written
};
