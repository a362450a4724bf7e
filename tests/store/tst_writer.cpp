#include "common/datadir.h"
#include "common/testmain.h"
#include "store/entrywriter.h"
#include "store/linefile.h"
#include "store/mdlDim.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

using Write = std::function<EntryWriter::Result()>;
Q_DECLARE_METATYPE(Write)
Q_DECLARE_METATYPE(Failure::Kind)

namespace {
const QString Line1 = QStringLiteral("あおき|青木|100-0001|東京都千代田区|03-1111-2222||||1|F");
const QString Line2 = QStringLiteral("いとう|伊藤|||||||2|T");
const QString Line4 = QStringLiteral("うえだ|上田|||||||3|F");
const QString Line5 = QStringLiteral("えんどう|遠藤|||||||4|F");
const QString Line6 = QStringLiteral("おの|小野|||||||5|F");

// Line `number` of the entry file as it stands now, as a loader would hand it to a writer.
mdlDim::LoadedLine loaded(int number) {
    return {number, linefile::splitLines(readFileBytes(testBook().entryPath())).value(number - 1)};
}

// Entry file with a blank third line and an odd byte in line 6 that must
// survive every rewrite untouched.
QByteArray sampleFile() {
    return DataDir::sjisLines({Line1, Line2, "", Line4, Line5}) + DataDir::sjis(Line6) + "\xff\r\n";
}
} // namespace

class TestWriter : public QObject {
    Q_OBJECT
private slots:
    // A file failure says what went wrong as a value, so that code can tell
    // one from another; the words are made from it.
    void fileFailuresAreTyped_data() {
        QTest::addColumn<QString>("there"); // what stands at the path
        QTest::addColumn<bool>("reading");
        QTest::addColumn<Failure::Kind>("kind");
        QTest::addColumn<int>("error");
        QTest::newRow("read, nothing there") << "nothing" << true << Failure::Kind::CannotOpen << ENOENT;
        QTest::newRow("read, a folder") << "folder" << true << Failure::Kind::CannotOpen << EISDIR;
        QTest::newRow("rewrite, nothing there") << "nothing" << false << Failure::Kind::CannotSave << ENOENT;
        QTest::newRow("rewrite, a folder") << "folder" << false << Failure::Kind::NotRegularFile << 0;
        QTest::newRow("rewrite, read-only") << "read-only" << false << Failure::Kind::ReadOnly << 0;
        QTest::newRow("rewrite, a file") << "file" << false << Failure::Kind::None << 0;
    }
    void fileFailuresAreTyped() {
        QFETCH(QString, there);
        QFETCH(bool, reading);
        QFETCH(Failure::Kind, kind);
        QFETCH(int, error);
        QTemporaryDir dir;
        const QString path = dir.filePath("VexaTel.txt");
        if (there == "folder")
            QVERIFY(QDir(dir.path()).mkdir("VexaTel.txt"));
        if (there == "file" || there == "read-only")
            QVERIFY(describe(linefile::createWith(path, {"a"}, there == "file" ? 0600 : 0400)).isEmpty());
        QByteArray bytes;
        const Failure failure = reading ? linefile::readAll(path, bytes) : linefile::replaceWith(path, {"b"});
        QCOMPARE(failure.kind, kind);
        QCOMPARE(failure.error, error);
        QCOMPARE(failure.failed(), kind != Failure::Kind::None);
        const QString said = describe(failure);
        QCOMPARE(said.isEmpty(), !failure.failed());
        if (failure.failed())
            QVERIFY2(said.startsWith(QStringLiteral("「VexaTel.txt」")), qPrintable(said));
    }

    void replaceChangesOnlyThatLine() {
        DataDir dir;
        dir.writeEntries(sampleFile());
        const QString changed = QStringLiteral("えんどう|遠藤|||||090-1234-5678|||4|F");
        QVERIFY(testBook().replaceEntry(loaded(5), changed));
        QCOMPARE(dir.entryBytes(),
                 DataDir::sjisLines({Line1, Line2, "", Line4, changed}) + DataDir::sjis(Line6) + "\xff\r\n");
        QVERIFY(!QFile::exists(dir.entryPath() + "$"));
    }

    void deleteShiftsLaterLines() {
        DataDir dir;
        dir.writeEntries(sampleFile());
        QVERIFY(testBook().deleteEntry(loaded(2)));
        QCOMPARE(dir.entryBytes(), DataDir::sjisLines({Line1, "", Line4, Line5}) + DataDir::sjis(Line6) + "\xff\r\n");
        QVERIFY(testBook().load());
        QCOMPARE(testBook().entries().at(1), "3|" + Line4);
    }

    void deleteOnlyEntryLeavesEmptyFile() {
        DataDir dir({Line1});
        QVERIFY(testBook().deleteEntry(loaded(1)));
        QCOMPARE(dir.entryBytes(), QByteArray());
    }

    void append_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        const QByteArray added = DataDir::sjis(Line4) + "\r\n";
        QTest::newRow("after CR LF") << DataDir::sjisLines({Line1}) << DataDir::sjisLines({Line1}) + added;
        QTest::newRow("after a last line without CR LF") << DataDir::sjis(Line1) << DataDir::sjisLines({Line1}) + added;
        QTest::newRow("to an empty file") << QByteArray() << added;
        QTest::newRow("after blank lines") << QByteArray("\r\n\r\n") << QByteArray("\r\n\r\n") + added;
    }
    void append() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        DataDir dir;
        dir.writeEntries(before);
        QVERIFY(testBook().appendEntry(Line4));
        QCOMPARE(dir.entryBytes(), after);
    }

    void appendedEntryFollowsLastLine() {
        DataDir dir;
        dir.writeEntries(DataDir::sjisLines({Line1, "", Line2}));
        QVERIFY(testBook().appendEntry(Line4));
        QVERIFY(testBook().load());
        QCOMPARE(testBook().entries().last(), "4|" + Line4);
    }

    void markPrinted() {
        DataDir dir;
        dir.writeEntries(sampleFile());
        QVERIFY(testBook().markPrinted({loaded(5), loaded(1), loaded(2)}));
        QCOMPARE(dir.entryBytes(), DataDir::sjisLines({QString(Line1).replace("|F", "|T"), Line2, "", Line4,
                                                       QString(Line5).replace("|F", "|T")}) +
                                       DataDir::sjis(Line6) + "\xff\r\n");
    }

    void markPrintedSetsTheFlagField_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("marked"); // empty: cannot be marked, left as it was
        const QByteArray nine = "a|b|||||||1|";
        for (const char *flag : {"F", "t", "x", "FF", "T", ""})
            QTest::addRow("flag '%s'", flag) << nine + flag << nine + "T";
        QTest::newRow("fewer than ten fields") << QByteArray("a|b") << QByteArray("a|b||||||||T");
        QTest::newRow("eleventh field kept") << nine + "F|memo" << nine + "T|memo";
        QTest::newRow("invalid byte in the name") << QByteArray("a|\xff|||||||1|F") << QByteArray("a|\xff|||||||1|T");
        QTest::newRow("name holds \uff0d (81 7C)")
            << DataDir::sjis("a|－|||||||1|F") << DataDir::sjis("a|－|||||||1|T");
        QTest::newRow("short line holding \uff0d") << DataDir::sjis("a|－") << DataDir::sjis("a|－||||||||T");
        QTest::newRow("ends in a lone lead byte") << QByteArray("a|b\x88") << QByteArray();
    }
    void markPrintedSetsTheFlagField() {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, marked);
        DataDir dir;
        dir.writeEntries(line + "\r\n");
        const EntryWriter::Result result = testBook().markPrinted({loaded(1)});
        QVERIFY(result.ok);
        QCOMPARE(result.unmarked, marked.isEmpty() ? 1 : 0);
        QCOMPARE(dir.entryBytes(), (marked.isEmpty() ? line : marked) + "\r\n");
    }

    // Another program changed the file after B was loaded as line 2 of A, B, C.
    // `at` is the line the writers must act on now, 0 when they must refuse.
    void otherProgramChangedTheFile_data() {
        QTest::addColumn<QStringList>("now");
        QTest::addColumn<int>("at");
        QTest::newRow("unchanged") << QStringList{Line1, Line2, Line4} << 2;
        QTest::newRow("line inserted above") << QStringList{Line5, Line1, Line2, Line4} << 3;
        QTest::newRow("line deleted above") << QStringList{Line2, Line4} << 1;
        QTest::newRow("the line itself changed") << QStringList{Line1, Line6, Line4} << 0;
        QTest::newRow("the line gone, a blank in its place") << QStringList{Line1, "", Line4} << 0;
        QTest::newRow("identical twin below, in place") << QStringList{Line1, Line2, Line2, Line4} << 2;
        QTest::newRow("identical twins, shifted") << QStringList{Line5, Line1, Line2, Line2, Line4} << 0;
    }
    void otherProgramChangedTheFile() {
        QFETCH(QStringList, now);
        QFETCH(int, at);
        DataDir dir({Line1, Line2, Line4});
        const mdlDim::LoadedLine b = loaded(2);
        const QByteArray file = DataDir::sjisLines(now);
        const auto expect = [&](const EntryWriter::Result &result, const QString &changedTo, bool removed) {
            QStringList lines = now;
            if (at > 0 && removed)
                lines.removeAt(at - 1);
            else if (at > 0)
                lines[at - 1] = changedTo;
            QCOMPARE(result.ok, at > 0);
            QCOMPARE(dir.entryBytes(), DataDir::sjisLines(lines));
        };
        dir.writeEntries(file);
        const EntryWriter::Result replaced = testBook().replaceEntry(b, Line5);
        QCOMPARE(replaced.changedElsewhere(), at == 0);
        QVERIFY(at == 0 || replaced.message.isEmpty());
        QVERIFY(at > 0 || replaced.message == EntryWriter::ChangedElsewhere);
        expect(replaced, Line5, false);
        if (at > 0)
            QCOMPARE(replaced.written.number, at);

        dir.writeEntries(file);
        const EntryWriter::Result deleted = testBook().deleteEntry(b);
        QCOMPARE(deleted.changedElsewhere(), at == 0);
        expect(deleted, {}, true);

        dir.writeEntries(file);
        const EntryWriter::Result marked = testBook().markPrinted({b, loaded(1)});
        QVERIFY(marked.ok);
        QCOMPARE(marked.vanished, at == 0 ? 1 : 0); // counted, never skipped silently
        QStringList lines = now;
        lines[0] = QString(lines[0]).replace("|F", "|T");
        if (at > 0)
            lines[at - 1] = QString(lines[at - 1]).replace("|F", "|T");
        QCOMPARE(dir.entryBytes(), DataDir::sjisLines(lines));
    }

    // CR LF, LF and CR each end a line, for the loader and the writers alike.
    void lineEndsAgree_data() {
        QTest::addColumn<QByteArray>("file"); // the lines a, b, a blank line and c
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n\r\nc\r\n");
        QTest::newRow("LF") << QByteArray("a\nb\n\nc\n");
        QTest::newRow("CR") << QByteArray("a\rb\r\rc\r");
        QTest::newRow("mixed") << QByteArray("a\r\nb\n\rc\r\n");
        QTest::newRow("last line without an end") << QByteArray("a\rb\r\n\nc");
    }
    void lineEndsAgree() {
        QFETCH(QByteArray, file);
        DataDir dir;
        dir.writeEntries(file);
        QVERIFY(testBook().load());
        QCOMPARE(testBook().entries().toList(), QStringList({"1|a", "2|b", "4|c"}));
        QVERIFY(testBook().replaceEntry(loaded(4), "z"));
        QCOMPARE(dir.entryBytes(), QByteArray("a\r\nb\r\n\r\nz\r\n"));
        dir.writeEntries(file);
        QVERIFY(testBook().deleteEntry(loaded(2)));
        QCOMPARE(dir.entryBytes(), QByteArray("a\r\n\r\nc\r\n"));
    }

    // A long file of lines ended by CR alone is counted as the loader counts it.
    void longCrOnlyFile() {
        DataDir dir;
        QByteArray file;
        for (int i = 1; i <= 100000; ++i)
            file += "e" + QByteArray::number(i) + "\r";
        dir.writeEntries(file);
        QVERIFY(testBook().replaceEntry(loaded(99999), "z"));
        const QList<QByteArray> lines = linefile::splitLines(dir.entryBytes());
        QCOMPARE(lines.size(), 100000);
        QCOMPARE(lines.at(99997), QByteArray("e99998"));
        QCOMPARE(lines.at(99998), QByteArray("z"));
        QVERIFY(dir.entryBytes().endsWith("z\r\ne100000\r\n"));
    }

    // The user names category 7 while another program may have edited the file.
    void writeCategoryActsOnWhatWasLoaded_data() {
        QTest::addColumn<QStringList>("elsewhere"); // the file's lines when the user saves
        QTest::addColumn<QStringList>("expected");  // empty: refused, the file left as it was
        QStringList installed = DataDir::installedCategories();
        QStringList named = installed;
        named[6] = QStringLiteral("7|歯医者");
        QStringList otherRenamed = installed;
        otherRenamed[1] = QStringLiteral("2|友だち");
        QStringList bothChanges = named;
        bothChanges[1] = QStringLiteral("2|友だち");
        QStringList sameRenamed = installed;
        sameRenamed[6] = QStringLiteral("7|習い事");
        QTest::newRow("unchanged") << installed << named;
        QTest::newRow("another line changed elsewhere is kept") << otherRenamed << bothChanges;
        QTest::newRow("the same line changed elsewhere") << sameRenamed << QStringList();
        QTest::newRow("file cut short elsewhere") << installed.mid(0, 8) << named.mid(0, 8);
        QTest::newRow("the line itself cut off elsewhere") << installed.mid(0, 5) << QStringList();
    }
    void writeCategoryActsOnWhatWasLoaded() {
        QFETCH(QStringList, elsewhere);
        QFETCH(QStringList, expected);
        DataDir dir;
        QByteArray file = DataDir::sjisLines(DataDir::installedCategories());
        file.replace("3|", "3|\xff"); // an odd byte, copied through as it was
        dir.writeCategories(file);
        QVERIFY(testBook().load());
        const QList<QByteArray> loaded = testBook().categoryFileLines();
        QByteArray now = DataDir::sjisLines(elsewhere);
        now.replace("3|", "3|\xff");
        dir.writeCategories(now);
        const EntryWriter::Result result = testBook().writeCategory(loaded, 6, QStringLiteral("7|歯医者"));
        QCOMPARE(result.ok, !expected.isEmpty());
        QByteArray after = DataDir::sjisLines(expected);
        after.replace("3|", "3|\xff");
        QCOMPARE(dir.categoryBytes(), result.ok ? after : now);
        if (result.ok)
            QCOMPARE(result.lines, linefile::splitLines(after));
        else
            QCOMPARE(result.message, EntryWriter::changedElsewhereIn("VexaType.txt"));
    }

    void failureLeavesFileUntouched_data() {
        QTest::addColumn<Write>("write");
        QTest::addColumn<bool>("categoryFile");
        QTest::newRow("append") << Write([] { return testBook().appendEntry(Line4); }) << false;
        QTest::newRow("replace") << Write([] { return testBook().replaceEntry(loaded(1), Line4); }) << false;
        QTest::newRow("delete") << Write([] { return testBook().deleteEntry(loaded(1)); }) << false;
        QTest::newRow("mark printed") << Write([] { return testBook().markPrinted({loaded(1)}); }) << false;
        QTest::newRow("categories") << Write([] {
            const QList<QByteArray> asLoaded = linefile::splitLines(readFileBytes(testBook().categoryPath()));
            static int renamed = 0; // a new name each time, so that every call has something to write
            return testBook().writeCategory(asLoaded, 5, "6|趣味" + QString::number(++renamed));
        }) << true;
    }
    void failureLeavesFileUntouched() {
        QFETCH(Write, write);
        QFETCH(bool, categoryFile);
        DataDir dir;
        dir.writeEntries(sampleFile());
        const QByteArray entries = dir.entryBytes();
        const QByteArray categories = dir.categoryBytes();
        {
            ReadOnlyDir readOnly(dir.path());
            const EntryWriter::Result result = write();
            QVERIFY(!result.ok);
            QVERIFY2(result.message.contains(categoryFile ? "VexaType.txt" : "VexaTel.txt"),
                     qPrintable(result.message));
        }
        QCOMPARE(dir.entryBytes(), entries);
        QCOMPARE(dir.categoryBytes(), categories);
        QVERIFY(!QFile::exists(dir.entryPath() + "$"));
        QVERIFY(!QFile::exists(dir.categoryPath() + "$"));
    }

    void missingEntryFileIsNotCreated() {
        DataDir dir;
        QVERIFY(QFile::remove(dir.entryPath()));
        QVERIFY(!testBook().appendEntry(Line1).ok);
        QVERIFY(!testBook().replaceEntry(loaded(1), Line1).ok);
        QVERIFY(!QFile::exists(dir.entryPath()));
    }

    void lineThatIsGoneIsReported() {
        DataDir dir({Line1, Line2});
        const QByteArray before = dir.entryBytes();
        QVERIFY(!testBook().replaceEntry(loaded(3), Line4).ok);
        QVERIFY(!testBook().deleteEntry(loaded(7)).ok);
        QCOMPARE(dir.entryBytes(), before);
    }

    void unwritableTextIsRefused_data() {
        QTest::addColumn<QString>("line");
        QTest::newRow("outside the code page") << QStringLiteral("よしだ|𠮷田|||||||1|F");
        QTest::newRow("CR LF") << QStringLiteral("やまだ|山田\r\n太郎|||||||1|F");
        QTest::newRow("lone CR") << QStringLiteral("やまだ|山田\r|||||||1|F");
        QTest::newRow("TAB") << QStringLiteral("やまだ|山\t田|||||||1|F");
        QTest::newRow("NUL") << QStringLiteral("やまだ|山") + QChar(0) + QStringLiteral("|||||||1|F");
    }
    void unwritableTextIsRefused() {
        QFETCH(QString, line);
        DataDir dir({Line1});
        const QByteArray before = dir.entryBytes();
        QVERIFY(!testBook().replaceEntry(loaded(1), line).ok);
        QVERIFY(!testBook().appendEntry(line).ok);
        QVERIFY(!testBook().writeCategory({}, 5, QStringLiteral("6|") + line.left(8)).ok);
        QCOMPARE(dir.entryBytes(), before);
    }

    // Every rewrite keeps what the user set up on the file.
    void rewriteKeepsPermissions_data() { failureLeavesFileUntouched_data(); }
    void rewriteKeepsPermissions() {
        QFETCH(Write, write);
        QFETCH(bool, categoryFile);
        DataDir dir;
        dir.writeEntries(sampleFile());
        const QString path = categoryFile ? dir.categoryPath() : dir.entryPath();
        const QByteArray name = QFile::encodeName(path);
        // Group write under the usual umask: the copy must be given its bits, not take the umask's.
        const mode_t umaskBefore = ::umask(022);
        QCOMPARE(::chmod(name, 0664), 0);
        const bool written = write().ok;
        ::umask(umaskBefore);
        QVERIFY(written);
        struct stat info {};
        QCOMPARE(::stat(name, &info), 0);
        QCOMPARE(info.st_mode & 07777, 0664u);

        QCOMPARE(::chmod(name, 0444), 0);
        const QByteArray before = readFileBytes(path);
        const EntryWriter::Result refused = write();
        QVERIFY(!refused.ok);
        QVERIFY2(refused.message.contains(QStringLiteral("読み取り専用")), qPrintable(refused.message));
        QCOMPARE(readFileBytes(path), before);
    }

    void symbolicLinkStaysALink() {
        DataDir dir;
        QTemporaryDir elsewhere;
        const QString real = elsewhere.filePath("phonebook.txt");
        QVERIFY(QFile::rename(dir.entryPath(), real));
        QVERIFY(QFile::link(real, dir.entryPath()));
        QVERIFY(testBook().appendEntry(Line1));
        QVERIFY(QFileInfo(dir.entryPath()).isSymLink());
        QCOMPARE(readFileBytes(real), DataDir::sjisLines({Line1}));
        QVERIFY(!QFile::exists(real + "$"));
    }

    void plantedCopyLinkIsNotFollowed() {
        DataDir dir({Line1});
        QTemporaryDir elsewhere;
        const QString victim = elsewhere.filePath("victim.txt");
        QFile file(victim);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("keep me");
        file.close();
        QVERIFY(QFile::link(victim, dir.entryPath() + "$"));
        QVERIFY(testBook().appendEntry(Line2));
        QCOMPARE(readFileBytes(victim), QByteArray("keep me"));
        QCOMPARE(dir.entryBytes(), DataDir::sjisLines({Line1, Line2}));
    }

    // A fault where the rewrite calls the system leaves the original whole and no copy behind.
    void systemFaultLeavesOriginal_data() {
        QTest::addColumn<int>("step");
        QTest::newRow("write fails half-way") << 0;
        QTest::newRow("fsync fails") << 1;
        QTest::newRow("rename fails") << 2;
    }
    void systemFaultLeavesOriginal() {
        QFETCH(int, step);
        DataDir dir;
        dir.writeEntries(sampleFile());
        const QByteArray before = dir.entryBytes();
        linefile::SystemCalls &calls = linefile::systemCalls();
        const linefile::SystemCalls real = calls;
        if (step == 0)
            calls.write = [](int fd, const void *data, size_t size) -> ssize_t {
                static bool first = true;
                if (std::exchange(first, !first))
                    return ::write(fd, data, size / 2); // part of it reaches the disk
                errno = ENOSPC;
                return -1;
            };
        if (step == 1)
            calls.fsync = [](int) { return errno = EIO, -1; };
        if (step == 2)
            calls.rename = [](const char *, const char *) { return errno = EXDEV, -1; };
        const EntryWriter::Result result = testBook().deleteEntry(loaded(1));
        calls = real;
        QVERIFY(!result.ok);
        QVERIFY2(result.message.contains("VexaTel.txt"), qPrintable(result.message));
        QCOMPARE(dir.entryBytes(), before);
        QVERIFY(!QFile::exists(dir.entryPath() + "$"));
    }
};

TELBORA_TEST(TestWriter)
#include "tst_writer.moc"
