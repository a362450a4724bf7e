#pragma once

#include <QString>

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
        NotCodePage932,   // a write refused into a file in another encoding; `detail` says why
        BookReadOnly,     // the book is open read-only; `detail` says why
        // A printer's: `file` is the printer's name, `detail` what CUPS said.
        NoPrinter,
        PrinterCannotStart,
        PrinterFailed,
        PrinterRefusedJob,   // the queue did not take the document
        PrinterNotAccepting, // the queue refuses jobs now
        PrinterStopped,
        // Contacts': a file that is no vCard nor a contacts CSV (`detail`, when
        // given, says which line is too long); a category without a name
        // (`detail` its number); an entry the chosen encoding cannot write
        // (`detail` names it).
        NotContactsFile,
        CategoryUnnamed,
        NotWritableInEncoding,
        Other, // told in `detail` alone
    };
    Kind kind = Kind::None;
    QString file;   // the file, or the printer
    int error = 0;  // errno; 0 when none applies
    QString detail; // a further sentence, said after the cause

    bool failed() const { return kind != Kind::None; }
};

// What the user reads: the file's (or printer's) name, what could not be done, and why.
// Empty for no failure.
QString describe(const Failure &failure);
// The system error `err` in words.
QString reasonOf(int err);
