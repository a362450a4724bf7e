#pragma once

#include <QString>
#include <QStringList>

// A failure as code can tell one from another: what could not be done, to
// which file, and the system's error number. describe() makes the words the
// user reads of it, in one place.
struct Failure {
    enum class Kind {
        None,
        CannotOpen,
        CannotRead,
        CannotSave,
        CannotCreate,
        CannotMakeFolder,
        NotRegularFile,   // a folder, a device or a pipe where a file belongs
        ReadOnly,         // a file without write permission, refused rather than replaced
        Unencodable,      // text the code page cannot hold, refused before a write
        ChangedElsewhere, // the line acted on is no longer in the file as it was loaded
        NotCodePage932,   // a write refused into a file in another encoding; `found` says which
        BookReadOnly,     // the book is open read-only; `detail` says why
        // A printer's: `file` is the printer's name, `detail` what CUPS said.
        NoPrinter,
        PrinterCannotStart,
        PrinterFailed,
        PrinterRefusedJob,   // the queue did not take the document
        PrinterNotAccepting, // the queue refuses jobs now
        PrinterStopped,
        // Contacts': a file that is no vCard nor a contacts CSV (`line`, when
        // given, is longer than `detail` MB); a category without a name
        // (`detail` its number); an entry the chosen encoding cannot write
        // (`detail` names it); an import given no file.
        NotContactsFile,
        CategoryUnnamed,
        NotWritableInEncoding,
        NoContactsFiles,
        // The book's files as they are read.
        NoCodec,      // iconv offers no code page 932
        TooManyLines, // `line`: how many lines the file may hold
        InUtf8,       // re-saved in UTF-8 by an editor: offered a conversion, not read as it is
        InUtf16,
        MixedEncodings,    // `line`: the first line that is not code page 932
        WouldReadAsUtf8,   // a conversion refused: in code page 932 a line would read as UTF-8 again
        CannotMakeScratch, // no private folder to convert in; `detail` is Qt's reason
        FolderMissing,     // `file`: the folder asked for
        NotAFolder,        // `file`: the file named as the folder
        FolderNotWritable, // `file`: the folder
        FileNotWritable,   // `file`: the file, as the user should read it
        // The lock on the book's folder (`file`: the lock file, or the book's folder).
        LockIsLink,
        LockNotRegular,
        CannotLock,
        HeldByTelbora,
        HeldByContacts,
        HeldByOther,
        // A side file this program did not write as it reads it (`line`: where, when known).
        SideNotUtf8,
        SideNoHeader,
        SideBadHeader,
        SideBadUid,
        SideBadEscape,
        SideBadHash,
        SideNotKeyValue,
        SideTooFewColumns,
        SideUidTwice,
        SideBadJournalLine,
        SideRecordAfterJournal,
        SideNoUidToDelete,
        SideCannotKeep, // damaged, and no free name to keep it under
        SideNotSaved,   // the book was saved, its side file not; `detail` says why
        // The postal code table (`file`).
        PostalTableMissing,
        PostalTableDamaged,
        Other, // told in `detail` alone
    };
    Failure() = default;
    Failure(Kind kind_, QString file_ = {}, int error_ = 0, QString detail_ = {})
        : kind(kind_), file(std::move(file_)), error(error_), detail(std::move(detail_)) {}

    Kind kind = Kind::None;
    QString file;   // the file, or the printer
    int error = 0;  // errno; 0 when none applies
    QString detail; // a further sentence, said after the cause
    int line = 0;   // the line (from 1) it concerns, where one does
    // NotCodePage932: what the file was found to be (InUtf8, InUtf16 or MixedEncodings).
    Kind found = Kind::None;

    bool failed() const { return kind != Kind::None; }
};

// What the user reads: the file's (or printer's) name, what could not be done, and why.
// Empty for no failure.
QString describe(const Failure &failure);
// The system error `err` in words.
QString reasonOf(int err);

// Words that are not failures, kept beside theirs.
// The question telbora asks about book files an editor re-saved as UTF-8
// ("VexaTel.txt", ...), and what they are, said before another answer.
QString utf8Question(const QStringList &fileNames);
QString utf8Explanation(const QStringList &fileNames);
// A character a conversion wrote as 〓, with its line ("6 行目の「𠮷」"),
// after the file's name when one is given.
QString unheldCharacter(const QString &fileName, int line, const QString &character);
// The notice after a damaged side file was set aside (as `keptAs`, when it
// could be) and made again; `damage` says what was wrong.
QString sideFileRebuilt(const Failure &damage, const QString &keptAs);
// Most of the people of the side file gone from VexaTel.txt at once: the side file was left as it was.
QString sideFileKeptForVanished(qsizetype count, qsizetype vanished);
