#pragma once

#include "store/failure.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

// Which encoding a data file is in. The book is code page 932; text editors
// often re-save it as UTF-8, and a program that then appends code page 932
// lines makes a mix that no single conversion repairs. Every reader checks
// first, and no writer touches a file that is not code page 932.
class LineEdit;

namespace bookencoding {

enum class Kind {
    Cp932, // also ASCII only, two-byte UTF-8 characters alone (ﾏｷ reads as both), and odd bytes without a UTF-8 line
    Utf8,  // valid UTF-8 with a character code page 932 cannot be (three bytes and more), or a UTF-8 BOM
    Mixed, // UTF-8 lines beside lines that are not UTF-8
    Utf16, // a UTF-16 byte order mark, or a NUL in every other byte (an editor's "Unicode")
};

struct Check {
    Kind kind = Kind::Cp932;
    int firstForeignLine = 0; // Mixed: the first line (from 1) that is not code page 932
};

// Linear in the size; a code page 932 line is given up at its first byte
// that cannot be UTF-8, so a book costs little more than one scan.
Check check(QByteArrayView bytes);
// The same for a file whose lines a writer has already found.
Check check(const LineEdit &lines);

// Whether a file is code page 932, told line by line by a reader that walks
// its lines anyway (blank lines may be left out). Only when it is not does
// check() need to run.
class Tally {
public:
    explicit Tally(QByteArrayView bytes);
    void add(QByteArrayView line);
    bool isCp932() const { return !bom_ && !utf16_ && !utf8_; }

private:
    bool bom_;
    bool utf16_;
    bool utf8_ = false;
};

// Why a writer must leave the file at `path` alone, its lines as found
// (NotCodePage932); none when it is code page 932.
Failure writeRefusal(const QString &path, const LineEdit &lines);
// Why the loader does not read it (InUtf8, InUtf16, MixedEncodings); none when it is code page 932.
Failure readRefusal(const QString &path, QByteArrayView bytes);

// The data files at `paths` as the programs check them at start.
struct BookFiles {
    Failure refused;       // the first file that cannot be used (InUtf16, MixedEncodings); none when none
    QStringList utf8Paths; // the files in UTF-8
    QStringList utf8Names; // their names
};
BookFiles checkFiles(const QStringList &paths);

// A character code page 932 cannot hold, written as 〓.
struct Unheld {
    int line = 0;
    QString character;
};

struct Conversion {
    Failure failure; // none on success; the file is then untouched
    QString keptAs;  // the original's copy beside it
    QList<Unheld> unheld;
};

// Rewrites the UTF-8 file at `path` as code page 932 with CR LF, crash-safely,
// after keeping the original as "<name>.utf8-YYYYMMDD-HHMMSS" beside it.
// Refused (WouldReadAsUtf8) when the book would then read as UTF-8 again: a
// level-2 kanji before half-width katakana can make valid UTF-8.
Conversion convertToCp932(const QString &path, const QDateTime &when = QDateTime::currentDateTime());

} // namespace bookencoding
