// Random bytes as the lock file a killed holder left. Checks: the next holder
// takes the lock, names no holder it cannot name, and removes no file but a
// working copy the text names with that copy's own device and inode: the
// book's files and a "$" file of the user's stay.
#include "fuzzcheck.h"
#include "store/singleinstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    QTemporaryDir dir;
    const QStringList kept = {QStringLiteral("VexaTel.txt"), QStringLiteral("VexaType.txt"),
                              QStringLiteral("VexaTel.txt$"), QStringLiteral("mine$1")};
    for (const QString &name : kept)
        writeFile(dir.filePath(name), "x");
    // The random text, with the folder's own names put in where it says @ so that it can name them.
    QByteArray text(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    text.replace('@', QFile::encodeName(dir.filePath(QStringLiteral("VexaTel.txt$"))).toHex());
    writeFile(SingleInstance::lockPathFor(dir.path()), text);
    {
        SingleInstance instance(dir.path(), QStringLiteral("telbora"));
        check(instance.acquire() == SingleInstance::State::Acquired, "the next holder takes the lock");
        check(instance.holder().isEmpty(), "a holder is named only when it holds the lock");
    }
    for (const QString &name : kept)
        check(QFile::exists(dir.filePath(name)), "no file is removed without its own device and inode");
    return 0;
}
