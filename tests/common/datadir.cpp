#include "common/datadir.h"

#include "store/book.h"
#include "store/cp932.h"
#include "store/mdlDim.h"

#include <QFile>

#include <QProcess>
#include <QTest>
#include <map>
#include <memory>

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

DataDir::DataDir(const QStringList &entryLines) {
    writeEntries(sjisLines(entryLines));
    writeCategories(sjisLines(installedCategories()));
    mdlDim::setDataDirectory(dir_.path());
}

DataDir::~DataDir() {
    mdlDim::setDataDirectory({});
}

QStringList DataDir::installedCategories() {
    return {QStringLiteral("1|親戚"), QStringLiteral("2|友人"), QStringLiteral("3|お店"), QStringLiteral("4|仕事"),
            QStringLiteral("5|病院"), QStringLiteral("6|"),     QStringLiteral("7|"),     QStringLiteral("8|"),
            QStringLiteral("9|"),     QStringLiteral("10|")};
}

static void writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write test file %s", qPrintable(path));
    file.write(bytes);
}

QByteArray readFileBytes(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

void DataDir::writeEntries(const QByteArray &bytes) const {
    writeFile(entryPath(), bytes);
}

void DataDir::writeCategories(const QByteArray &bytes) const {
    writeFile(categoryPath(), bytes);
}

QByteArray DataDir::entryBytes() const {
    return readFileBytes(entryPath());
}

QByteArray DataDir::categoryBytes() const {
    return readFileBytes(categoryPath());
}

QByteArray DataDir::sjis(const QString &text) {
    const std::optional<QByteArray> bytes = cp932::encode(text);
    if (!bytes)
        qFatal("test text not in code page 932");
    return *bytes;
}

QByteArray DataDir::sjisLines(const QStringList &lines) {
    QByteArray out;
    for (const QString &line : lines)
        out += sjis(line) + "\r\n";
    return out;
}

namespace {
constexpr unsigned OverrideCapabilities = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);

bool capabilities(__user_cap_data_struct (&data)[2]) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return syscall(SYS_capget, &header, data) == 0;
}

bool setCapabilities(__user_cap_data_struct (&data)[2]) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return syscall(SYS_capset, &header, data) == 0;
}
} // namespace

ReadOnlyDir::ReadOnlyDir(const QString &path) : path_(path) {
    ::chmod(QFile::encodeName(path).constData(), 0555);
    __user_cap_data_struct data[2]{};
    if (capabilities(data) && (data[0].effective & OverrideCapabilities)) {
        savedEffective_ = data[0].effective;
        data[0].effective &= ~OverrideCapabilities;
        droppedCapabilities_ = setCapabilities(data);
    }
}

ReadOnlyDir::~ReadOnlyDir() {
    if (droppedCapabilities_) {
        __user_cap_data_struct data[2]{};
        if (capabilities(data)) {
            data[0].effective = savedEffective_;
            setCapabilities(data);
        }
    }
    ::chmod(QFile::encodeName(path_).constData(), 0755);
}

QByteArray iconvBytes(const QByteArray &bytes, const char *fromCode, const char *toCode) {
    QProcess iconv;
    iconv.start(QStringLiteral("iconv"), {QStringLiteral("-f"), QString::fromLatin1(fromCode), QStringLiteral("-t"),
                                          QString::fromLatin1(toCode)});
    iconv.write(bytes);
    iconv.closeWriteChannel();
    if (!iconv.waitForFinished(10000) || iconv.exitCode() != 0)
        qFatal("iconv %s to %s failed", fromCode, toCode);
    return iconv.readAllStandardOutput();
}

Book &testBook() {
    static std::map<QString, std::unique_ptr<Book>> books;
    std::unique_ptr<Book> &book = books[mdlDim::AppDir()];
    if (!book)
        book = std::make_unique<Book>(mdlDim::AppDir());
    return *book;
}
