// Random bytes as a data file, through the encoding check and the conversion.
// Checks, against Qt's own strict UTF-8 decoder: a file called UTF-8 decodes
// without error; a valid UTF-8 file with a kana or kanji (three bytes or
// more) and no NUL is called UTF-8; and a conversion's result reads back as
// the input, with 〓 only where code page 932 has no such character.
#include "fuzzcheck.h"
#include "store/bookencoding.h"
#include "store/cp932.h"
#include "store/linefile.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <algorithm>

#include <cstdio>
#include <cstdlib>

namespace {

bool strictUtf8(QByteArrayView bytes, QString *text = nullptr) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(bytes);
    if (text)
        *text = decoded;
    return !decoder.hasError();
}

bool hasLongCharacter(const QString &text) {
    for (QChar c : text)
        if (c.unicode() >= 0x800)
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const bookencoding::Check found = bookencoding::check(bytes);
    const QByteArrayView body = bytes.startsWith("\xEF\xBB\xBF") ? QByteArrayView(bytes).sliced(3) : bytes;
    QString text;
    const bool valid = strictUtf8(body, &text);
    if (found.kind == bookencoding::Kind::Utf8)
        check(valid, "a file called UTF-8 is strict UTF-8");
    // A line code page 932 reads whole, with a character of U+0800 to U+1FFF
    // (no Japanese text's), is code page 932: 癸ｧ is E1 A1 A7 both ways.
    bool japaneseUtf8Line = false;
    for (const QByteArray &line : linefile::splitLines(body.toByteArray())) {
        const QString lineText = QString::fromUtf8(line);
        const bool unlikely = std::any_of(lineText.begin(), lineText.end(),
                                          [](QChar c) { return c.unicode() >= 0x800 && c.unicode() < 0x2000; });
        japaneseUtf8Line = japaneseUtf8Line || (hasLongCharacter(lineText) && !(unlikely && cp932::isClean(line)));
    }
    if (valid && japaneseUtf8Line && !bytes.contains('\0'))
        check(found.kind == bookencoding::Kind::Utf8, "UTF-8 with a kana or kanji is called UTF-8");
    // NUL is no text: a file of them is no book to convert.
    if (found.kind != bookencoding::Kind::Utf8 || bytes.contains('\0'))
        return 0;

    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("VexaTel.txt"));
    QFile::remove(path);
    for (const QString &kept : QDir(dir.path()).entryList({QStringLiteral("VexaTel.txt.utf8-*")}))
        QFile::remove(dir.filePath(kept));
    writeFile(path, bytes);
    const bookencoding::Conversion done = bookencoding::convertToCp932(path);
    if (done.failure.kind == Failure::Kind::WouldReadAsUtf8) { // refused, and the file left as it was
        QByteArray after;
        check(!linefile::readAll(path, after).failed() && after == bytes, "a refused conversion leaves the file");
        return 0;
    }
    check(!done.failure.failed(), "a UTF-8 file converts");
    QByteArray converted;
    check(!linefile::readAll(path, converted).failed(), "the converted file reads");
    check(bookencoding::check(converted).kind == bookencoding::Kind::Cp932, "the result is code page 932");
    QByteArray original;
    check(!linefile::readAll(done.keptAs, original).failed() && original == bytes, "the original is kept as it was");
    // Line by line, the result says what the input said, 〓 standing for a character the code page lacks.
    const QList<QByteArray> in = linefile::splitLines(body.toByteArray());
    const QList<QByteArray> out = linefile::splitLines(converted);
    check(in.size() == out.size(), "as many lines as before");
    for (qsizetype i = 0; i < in.size(); ++i) {
        const QString was = QString::fromUtf8(in.at(i));
        const QString now = cp932::decode(out.at(i));
        qsizetype w = 0;
        for (qsizetype n = 0; n < now.size(); ++n) {
            check(w < was.size(), "no character added");
            const qsizetype width = was.at(w).isHighSurrogate() && w + 1 < was.size() ? 2 : 1;
            const QStringView character = QStringView(was).mid(w, width);
            if (now.at(n) == u'〓' && !cp932::canEncode(character)) {
                w += width;
                continue;
            }
            check(cp932::encode(character) == cp932::encode(QStringView(now).mid(n, 1)), "a character kept as itself");
            w += width;
        }
        check(w == was.size(), "no character dropped");
    }
    return 0;
}
