#pragma once

#include <QLockFile>
#include <QString>

// One running copy per program directory: the phone book, or telbora-contacts
// writing into it. The lock names the holder's process,
// so a copy that crashed does not block the next start.
class SingleInstance {
public:
    explicit SingleInstance(const QString &appDir);

    // False when another running copy holds the directory.
    bool acquire();

    static QString lockPathFor(const QString &appDir);

private:
    QLockFile lock_;
};
