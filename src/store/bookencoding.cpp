#include "store/bookencoding.h"

#include "store/cp932.h"
#include "store/lineedit.h"
#include "store/linefile.h"
#include "store/textforms.h"

#include <QFileInfo>

#include <cstdint>
#include <cstring>
#include <sys/stat.h>

namespace bookencoding {
namespace {

constexpr QByteArrayView Bom = textforms::Utf8Bom;

// Neutral: nothing tells the encodings apart (ASCII, or only byte pairs that
// are the same in both). Utf8OrCp932: UTF-8 that code page 932 reads whole too.
enum class LineKind { Neutral, Utf8, Utf8OrCp932, NotUtf8 };

// Strict UTF-8 (no overlong forms, surrogates, C0/C1 leads or code points
// past U+10FFFF). A code page 932 line nearly always fails at its first
// two-byte character: its lead bytes 81-9F are UTF-8 continuation bytes.
// But a two-byte UTF-8 character can be code page 932 too: two half-width
// katakana (ﾏｷ is CF B7), or one before a double-byte character (ﾄ　 is
// C4 81 40). So a line is UTF-8 only by a sequence of three bytes or more
// (all kana and kanji). Some of those are code page 932 too: a level-2
// kanji before half-width katakana (癸ｧ is E1 A1 A7, as UTF-8 U+1067). A
// line code page 932 reads whole is UTF-8 or code page 932 as the rest of
// its file says, and code page 932 when it holds a character no Japanese
// text would (U+0800 to U+1FFF, where 癸ｧ falls).
// Samaritan to Greek Extended: scripts no Japanese phone book writes.
bool isJapaneseText(unsigned codePoint) {
    return codePoint >= 0x2000;
}

LineKind utf8KindOf(QByteArrayView line) {
    const auto *p = reinterpret_cast<const unsigned char *>(line.data());
    const auto *end = p + line.size();
    bool onlyUtf8 = false;
    bool unlikely = false; // a character of three bytes that Japanese text would not hold
    while (p < end) {
        while (end - p >= 8) { // ASCII eight bytes at a time
            uint64_t word;
            std::memcpy(&word, p, 8);
            if (word & 0x8080808080808080ULL)
                break;
            p += 8;
        }
        if (p == end)
            break;
        const unsigned char b = *p;
        if (b < 0x80) {
            ++p;
            continue;
        }
        const int more = b >= 0xC2 && b <= 0xDF ? 1 : b >= 0xE0 && b <= 0xEF ? 2 : b >= 0xF0 && b <= 0xF4 ? 3 : 0;
        if (more == 0 || end - p <= more)
            return LineKind::NotUtf8;
        const unsigned char low = b == 0xE0 ? 0xA0 : b == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = b == 0xED ? 0x9F : b == 0xF4 ? 0x8F : 0xBF;
        if (p[1] < low || p[1] > high)
            return LineKind::NotUtf8;
        for (int k = 2; k <= more; ++k)
            if ((p[k] & 0xC0) != 0x80)
                return LineKind::NotUtf8;
        onlyUtf8 = onlyUtf8 || more >= 2;
        if (more == 2) {
            const unsigned codePoint = (b & 0x0Fu) << 12 | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu);
            unlikely = unlikely || !isJapaneseText(codePoint);
        }
        p += more + 1;
    }
    if (!onlyUtf8)
        return LineKind::Neutral;
    if (!cp932::isClean(line))
        return LineKind::Utf8;
    return unlikely ? LineKind::Neutral : LineKind::Utf8OrCp932;
}

// An editor's "Unicode": a byte order mark, or a first line whose NUL bytes
// (the high halves of ASCII characters) all fall on one side of each pair,
// in half the pairs or more. Code page 932 has no NUL and no FE or FF byte.
// Only the first line is looked at, so that a file and its lines as a writer
// holds them are judged alike.
bool looksUtf16(QByteArrayView bytes) {
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return true;
    const qsizetype head = qMin<qsizetype>(bytes.size(), 256) & ~qsizetype(1);
    if (head < 4)
        return false;
    qsizetype evenNuls = 0;
    qsizetype oddNuls = 0;
    for (qsizetype i = 0; i < head; i += 2) {
        evenNuls += bytes[i] == 0;
        oddNuls += bytes[i + 1] == 0;
    }
    const qsizetype nuls = qMax(evenNuls, oddNuls);
    return (evenNuls == 0) != (oddNuls == 0) && nuls >= 2 && 2 * nuls >= head / 2;
}

// looksUtf16() of a whole file's first line (as far as it looks).
bool startsUtf16(QByteArrayView bytes) {
    const QByteArrayView head = bytes.first(qMin<qsizetype>(bytes.size(), 256));
    qsizetype end = 0;
    while (end < head.size() && head[end] != '\r' && head[end] != '\n')
        ++end;
    return looksUtf16(head.first(end));
}

template <typename Visit> void forEachLineOf(QByteArrayView bytes, Visit visit) {
    int number = 0;
    linefile::forEachLine(bytes, true, [&](qsizetype start, qsizetype length) {
        ++number;
        visit(number, bytes.sliced(start, length));
    });
}

// The check over lines handed out by `forEach(visit(number, line))`.
template <typename ForEach> Check checkLines(bool bom, ForEach forEach) {
    int utf8Lines = 0;
    int eitherLines = 0;
    int otherLines = 0;
    forEach([&](int number, QByteArrayView line) {
        switch (utf8KindOf(number == 1 && bom ? line.sliced(Bom.size()) : line)) {
        case LineKind::Utf8:
            ++utf8Lines;
            break;
        case LineKind::Utf8OrCp932:
            ++eitherLines;
            break;
        case LineKind::NotUtf8:
            ++otherLines;
            break;
        case LineKind::Neutral:
            break;
        }
    });
    if (utf8Lines == 0 && eitherLines == 0 && !bom)
        return {}; // odd bytes alone make no other encoding; they are copied through as they are
    if (otherLines == 0)
        return {Kind::Utf8};
    if (utf8Lines == 0 && !bom)
        return {}; // beside code page 932 lines, a line that reads as both is one of them
    Check mixed{Kind::Mixed};
    forEach([&](int number, QByteArrayView line) {
        if (mixed.firstForeignLine == 0 &&
            ((number == 1 && bom) || utf8KindOf(line) == LineKind::Utf8 || !cp932::isClean(line)))
            mixed.firstForeignLine = number;
    });
    return mixed;
}

} // namespace

Check check(QByteArrayView bytes) {
    if (startsUtf16(bytes))
        return {Kind::Utf16};
    return checkLines(bytes.startsWith(Bom), [&](auto visit) { forEachLineOf(bytes, visit); });
}

Check check(const LineEdit &lines) {
    if (lines.size() > 0 && looksUtf16(lines.at(0)))
        return {Kind::Utf16};
    const bool bom = lines.size() > 0 && lines.at(0).startsWith(Bom);
    return checkLines(bom, [&](auto visit) {
        for (qsizetype i = 0; i < lines.size(); ++i)
            visit(static_cast<int>(i + 1), lines.at(i));
    });
}

Tally::Tally(QByteArrayView bytes) : bom_(bytes.startsWith(Bom)), utf16_(startsUtf16(bytes)) {}

void Tally::add(QByteArrayView line) {
    // A line that reads as both leaves the decision to the whole file's check.
    if (!utf8_) {
        const LineKind kind = utf8KindOf(line);
        utf8_ = kind == LineKind::Utf8 || kind == LineKind::Utf8OrCp932;
    }
}

namespace {
// Why the file at `path`, found to be `found`, is not used as it is; none for code page 932.
Failure refusal(const QString &path, const Check &found) {
    switch (found.kind) {
    case Kind::Cp932:
        return {};
    case Kind::Utf8:
        return {Failure::Kind::InUtf8, path};
    case Kind::Utf16:
        return {Failure::Kind::InUtf16, path};
    case Kind::Mixed:
        break;
    }
    Failure mixed{Failure::Kind::MixedEncodings, path};
    mixed.line = found.firstForeignLine;
    return mixed;
}
} // namespace

Failure writeRefusal(const QString &path, const LineEdit &lines) {
    Failure refused = refusal(path, check(lines));
    if (refused.failed()) {
        refused.found = refused.kind;
        refused.kind = Failure::Kind::NotCodePage932;
    }
    return refused;
}

Failure readRefusal(const QString &path, QByteArrayView bytes) {
    return refusal(path, check(bytes));
}

BookFiles checkFiles(const QStringList &paths) {
    BookFiles found;
    for (const QString &path : paths) {
        QByteArray bytes;
        if (linefile::readAll(path, bytes).failed())
            continue; // the loader names a file it cannot read
        const Check checked = check(bytes);
        if (checked.kind == Kind::Mixed || checked.kind == Kind::Utf16) {
            found.refused = refusal(path, checked);
            return found;
        }
        if (checked.kind == Kind::Utf8) {
            found.utf8Paths.append(path);
            found.utf8Names.append(QFileInfo(path).fileName());
        }
    }
    return found;
}

Conversion convertToCp932(const QString &path, const QDateTime &when) {
    Conversion done;
    QByteArray original;
    if (done.failure = linefile::readAll(path, original); done.failure.failed())
        return done;
    const Check found = check(original);
    if (found.kind == Kind::Mixed || found.kind == Kind::Utf16) {
        done.failure = refusal(path, found);
        return done;
    }
    if (found.kind == Kind::Cp932)
        return done; // nothing to convert
    QList<QByteArray> lines;
    const QString geta = QStringLiteral("〓");
    forEachLineOf(QByteArrayView(original).sliced(original.startsWith(Bom) ? Bom.size() : 0),
                  [&](int number, QByteArrayView line) {
                      const QString text = QString::fromUtf8(line);
                      if (std::optional<QByteArray> encoded = cp932::encode(text)) {
                          lines.append(*encoded);
                          return;
                      }
                      QString held;
                      for (qsizetype i = 0; i < text.size();) {
                          const qsizetype width = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
                          const QStringView character = QStringView(text).mid(i, width);
                          if (cp932::canEncode(character)) {
                              held += character;
                          } else {
                              held += geta;
                              done.unheld.append({number, character.toString()});
                          }
                          i += width;
                      }
                      lines.append(*cp932::encode(held));
                  });
    QByteArray result;
    for (const QByteArray &line : std::as_const(lines))
        result.append(line).append("\r\n", 2);
    if (check(result).kind != Kind::Cp932) {
        done.failure = {Failure::Kind::WouldReadAsUtf8, path};
        return done;
    }
    struct stat info {};
    const mode_t mode = ::stat(QFile::encodeName(path).constData(), &info) == 0 ? (info.st_mode & 07777) : 0600;
    // A name already taken (a conversion in the same second, the user's own
    // file) is left as it is: the next free one is used.
    const QString stamped = path + QStringLiteral(".utf8-") + when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    Failure failure{Failure::Kind::CannotSave, stamped, EEXIST};
    bool kept = false;
    for (int n = 1; n < 100 && !kept; ++n) {
        done.keptAs = n == 1 ? stamped : stamped + QStringLiteral("-%1").arg(n);
        if (QFileInfo::exists(done.keptAs) || QFileInfo(done.keptAs).isSymLink())
            continue;
        failure = linefile::writeBytes(done.keptAs, original, mode, false);
        kept = !failure.failed();
        if (!kept && !QFileInfo::exists(done.keptAs))
            break; // it failed for another reason than the name
    }
    if (!kept) {
        done.failure = failure;
        done.keptAs.clear();
        return done;
    }
    done.failure = linefile::replaceWith(path, lines);
    return done;
}

} // namespace bookencoding
