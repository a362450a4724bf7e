#pragma once

// What every fuzzer needs: a property that must hold, and a file written as the input.
#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdio>
#include <cstdlib>

// Ends the run, naming the property, when it does not hold.
inline void check(bool holds, const char *what) {
    if (!holds) {
        std::fprintf(stderr, "violated: %s\n", what);
        std::abort();
    }
}

inline void writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
}
