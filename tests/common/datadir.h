#pragma once

#include "store/book.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A temporary program directory holding the two data files, written in code
// page 932 from UTF-8 test text.
class DataDir {
public:
    // Entry lines are joined with CR LF and end with CR LF; the category file
    // gets the installed ten lines unless told otherwise.
    explicit DataDir(const QStringList &entryLines = {});
    ~DataDir();

    QString path() const { return dir_.path() + QLatin1Char('/'); }
    QString entryPath() const { return path() + QStringLiteral("VexaTel.txt"); }
    QString categoryPath() const { return path() + QStringLiteral("VexaType.txt"); }

    void writeEntries(const QByteArray &bytes) const;
    void writeCategories(const QByteArray &bytes) const;
    QByteArray entryBytes() const;
    QByteArray categoryBytes() const;

    static QByteArray sjis(const QString &text);
    static QByteArray sjisLines(const QStringList &lines);
    static QStringList installedCategories();

private:
    QTemporaryDir dir_;
};

// Makes a directory read-only for the lifetime of the guard. Root ignores
// permissions, so for root the guard also drops the override capabilities of
// this thread until it ends.
class ReadOnlyDir {
public:
    explicit ReadOnlyDir(const QString &path);
    ~ReadOnlyDir();

private:
    QString path_;
    bool droppedCapabilities_ = false;
    unsigned savedEffective_ = 0;
};

QByteArray readFileBytes(const QString &path);

// `bytes` re-encoded by the iconv program, as a text editor re-saving the book
// would: for example fromCode "CP932", toCode "UTF-8".
QByteArray iconvBytes(const QByteArray &bytes, const char *fromCode, const char *toCode);

// The book in the data directory a test chose (mdlDim::AppDir), one object
// per folder for the test's life, as the programs keep one: windows hold it.
Book &testBook();
