#pragma once

#include "store/failure.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Where the phone book lives, for telbora and telbora-contacts alike:
//  1. `--dir DIR`, else the environment's TELBORA_DIR;
//  2. beside the program, when VexaTel.txt or VexaType.txt is there;
//  3. $XDG_DATA_HOME/telbora (by default ~/.local/share/telbora).
// Never the build folder by accident: a clean build must not lose the book.
namespace bookfolder {

struct Location {
    QString dir;
    bool standard = false; // case 3
};
Location locate(const QString &dirOption);
// The same, for a program in `programDir`.
Location locate(const QString &dirOption, const QString &programDir);

// Whether `dir` holds a book: VexaTel.txt or VexaType.txt is there.
bool hasBook(const QString &dir);

// Whether `dir` is the standard folder (case 3), where most books live.
bool isStandard(const QString &dir);

// The ten lines of a new category file, in code page 932.
QList<QByteArray> defaultCategoryLines();

// Makes the standard folder (0700) and, when neither data file is there yet,
// a new book in it: the default categories and an empty entry file. Nothing
// that exists is touched. None on success, otherwise what failed.
Failure prepareStandard(const QString &dir);

// Why `dir` cannot hold a book (FolderMissing, NotAFolder); none when it can.
Failure folderProblem(const QString &dir);

// Why the book in `dir` cannot be written (FolderNotWritable: a read-only
// place or a folder the user may not write; FileNotWritable: a data file);
// none when it can.
Failure writeProblem(const QString &dir);

// Locates the book, prepares it when it is the standard one, and makes it the
// data folder (mdlDim::AppDir). None on success, otherwise what failed (a
// given folder that is missing or is a file is named).
Failure use(const QString &dirOption);

} // namespace bookfolder
