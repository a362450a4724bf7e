// Random bytes as the postal code table. Checks: the loader never trusts a
// table whose count line disagrees with its code lines; a table it accepts
// answers every code it holds with that code's own areas; a failed load
// leaves nothing behind.
#include "fuzzcheck.h"
#include "store/postalcodes.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("postal.tsv"));
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    writeFile(path, bytes);
    postalcodes::Table table;
    if (table.load(path).failed()) {
        check(table.size() == 0, "a refused table holds nothing");
        check(table.lookUp(QStringLiteral("1000001")).isEmpty(), "a refused table finds nothing");
        return 0;
    }
    check(table.size() > 0, "an accepted table holds codes");
    for (const QByteArray &line : bytes.split('\n')) {
        if (line.size() < 7 || line.startsWith('#') || line.startsWith('@'))
            continue;
        const QString code = QString::fromLatin1(line.first(7));
        const QList<postalcodes::Area> found = table.lookUp(code);
        check(!found.isEmpty(), "every code line is found");
        for (const postalcodes::Area &area : found)
            check(area.code == code, "a look-up gives that code's areas");
    }
    table.forAddress(QString::fromUtf8(bytes.left(40)));
    return 0;
}
