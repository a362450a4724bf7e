#pragma once

#include "store/bookindex.h"
#include "store/categorytable.h"
#include "store/entrywriter.h"
#include "store/linefile.h"
#include "store/people.h"
#include "store/shownentries.h"
#include "store/singleinstance.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class LineEdit;
class QTemporaryDir;

// One phone book: its folder, files and lock, whether it may be written, the
// tables its windows show, every entry's identity and per-person data (the
// side file), and the only code that writes the entry and category files.
// Every write is all or nothing: on failure the file is left byte for byte as
// it was and the result says why. The side file is written after the entry file; when that fails, or a
// kill comes between the two, the next load finds the entries again.
class Book {
public:
    explicit Book(const QString &dir);
    ~Book();

    const QString &dir() const { return dir_; }
    QString entryPath() const;
    QString categoryPath() const;
    QString peoplePath() const;

    // Takes the book's lock for `program` ("telbora", "telbora-contacts"):
    // one running copy per book, released by the kernel however the program
    // ends. Acquired, or ReadOnly with readOnlyReason() saying why; for the
    // other states lock() says who holds the book or what failed.
    SingleInstance::State takeLock(const QString &program);
    const SingleInstance &lock() const { return *lock_; }
    // Lets the lock go (a test's book whose folder goes away).
    void releaseLock() { lock_.reset(); }

    // Why the book is open read-only (its place or its files cannot be
    // written); empty when it can be written.
    const QString &readOnlyReason() const { return readOnlyReason_; }
    void setReadOnlyReason(const QString &reason) { readOnlyReason_ = reason; }
    // Why nothing can be written while the book is open read-only (BookReadOnly).
    Failure readOnlyRefusal() const;
    // A read-only book a text editor saved as UTF-8 (on a CD or a locked
    // stick, which cannot be converted where it is): its files are copied
    // into a private folder, converted there to code page 932, and read from
    // there for as long as the book is open; the book's own folder is not
    // touched. `unheld` receives what the code page has no character for.
    // None on success, else what failed.
    Failure readThroughConvertedCopy(QStringList *unheld = nullptr);
    bool readsConvertedCopy() const { return convertedCopy_ != nullptr; }

    // Both files read anew: every entry into entries(), the categories into
    // categories(). On failure the tables stay as they were and `error` says
    // what failed; they are never left half-loaded.
    bool load(QString *error = nullptr);
    bool load(Failure *failure);
    // The entries the windows show, as the last load or selection left them.
    // A writer acting on one is given entries().loadedLine(i).
    mdlDim::ShownEntries &entries() { return entries_; }
    const mdlDim::ShownEntries &entries() const { return entries_; }
    int entryCount() const { return static_cast<int>(entries_.size()); }
    // Slot k holds the category file's line for category k + 1.
    const mdlDim::CategoryLines &categories() const { return categories_; }
    // The name category slot `slot` holds; empty when unnamed.
    QString categoryName(int slot) const;
    // The category file's lines as last read: the bytes a category writer
    // must still find there.
    const QList<QByteArray> &categoryFileLines() const { return categoryFileLines_; }
    // The entries to print while printing; the working table of the selection.
    QStringList &printTable() { return printTable_; }
    const QStringList &printTable() const { return printTable_; }
    // What the selections and searches read the entry file through.
    BookIndex &index() { return index_; }
    // For a selection that read both files: its categories and their lines.
    void setCategories(const mdlDim::CategoryLines &categories, QList<QByteArray> lines);

    // Finds every entry of the entry file in the side file again, after
    // whatever another program did to the book, and writes the side file
    // when that changed it (never while read-only). A damaged side file is
    // kept beside the book as "telbora-people.tsv.broken-DATE" and made
    // anew; `notice` then says so. None on success, otherwise what failed.
    Failure attachPeople(QString *notice = nullptr);
    // The identity and data of a line as loaded; a null record when the
    // line is no longer in the file.
    people::Record personOf(const mdlDim::LoadedLine &line);
    // The per-person data of each line as loaded, in one read of the file;
    // empty data for a line that is no longer there.
    QList<people::PersonData> peopleDataOf(const QList<mdlDim::LoadedLine> &lines);
    // The records (identity and data) of each line as loaded, in one read of
    // the file; a null record for a line that is no longer there.
    QList<people::Record> recordsOf(const QList<mdlDim::LoadedLine> &lines);
    // Every entry's record, in the order of the entry file's non-empty lines.
    std::vector<people::Record> records();

    // Appends entry lines (without line ends) in one rewrite: all or none.
    // `data`, when given, holds each new entry's per-person data.
    // `uids`, when given, the UIDs they came with (an import of our own
    // export): each is kept unless an entry of the book holds it already.
    EntryWriter::Result appendEntries(const QStringList &lines, const people::DataOfNew &data = {},
                                      const QStringList &uids = {});
    EntryWriter::Result appendEntry(const QString &line, const people::PersonData &data = {});
    // An entry an import changed: its line as loaded, its line and data now.
    struct EntryUpdate {
        mdlDim::LoadedLine loaded;
        QString line;
        people::PersonData data;
    };
    // Updates entries, keeping their identities, and appends new ones, in
    // one rewrite: all or none. Refused as changed elsewhere when a loaded
    // line is no longer in the file.
    EntryWriter::Result updateAndAppend(const QList<EntryUpdate> &updates, QStringList lines,
                                        const people::DataOfNew &data = {}, const QStringList &uids = {});
    // Replaces the loaded line, keeping its identity; its per-person data
    // becomes `data` when given.
    EntryWriter::Result replaceEntry(const mdlDim::LoadedLine &loaded, const QString &line,
                                     const people::PersonData *data = nullptr);
    EntryWriter::Result deleteEntry(const mdlDim::LoadedLine &loaded);
    // Sets field 10, the printed flag, to "T" on each of these lines.
    EntryWriter::Result markPrinted(const QList<mdlDim::LoadedLine> &lines);
    // Changes the per-person data of these entries by `change`, their lines
    // as they are: the side file is written, the entry file is not touched.
    // A line another program changed or removed is left out and counted in `vanished`.
    EntryWriter::Result changePeopleData(const QList<mdlDim::LoadedLine> &lines,
                                         const std::function<void(people::PersonData &)> &change);
    // Sets line `slot` (0 to 9) of the category file to `line`, acting on the
    // file only while it still holds `loaded` (or at least that line).
    EntryWriter::Result writeCategory(const QList<QByteArray> &loaded, int slot, const QString &line);
    // The same on the lines as last read; the tables then hold the file as written.
    EntryWriter::Result writeCategory(int slot, const QString &line);

private:
    // One line of the entry file: its entry's record (null for a blank line)
    // and the line's hash (people::lineHash), so that a write folds the book's
    // hash anew without reading every line again.
    struct Slot {
        people::Record record;
        quint64 hash = 0;
    };
    using Records = std::vector<Slot>;
    // A change that sets `untouched` leaves the file as it is. It edits the
    // records in place and says in `undo` how to put them back, for when the
    // entry file cannot be written. Unless `changesRecords`, it leaves every
    // entry's anchor and data as they are (the printed mark).
    using Change =
        std::function<EntryWriter::Result(LineEdit &, Records &, std::function<void()> &undo, bool &untouched)>;
    // Unless `writesEntries`, the entry file is left as it is (a change of
    // the side file alone) and only checked and followed.
    EntryWriter::Result rewriteEntries(const Change &change, bool changesRecords = true, bool writesEntries = true);
    // The records of the entry file's bytes, one per physical line (null for
    // a blank line), found again when the file is not the one last seen.
    Failure follow(const QByteArray &entryBytes, QString *notice);
    // follow(), then the side file written when it no longer says what the records do.
    Failure followAndCatchUp(const QByteArray &entryBytes, QString *notice);
    Failure readSideFile(people::SideFile &side, QString *notice);
    // The whole side file written anew from the records.
    Failure writeSideFile();
    // After a write of the entry file: the one entry it changed appended as a
    // journal line when it may be, else the whole side file written anew.
    Failure saveSideFile();

    QString dir_;
    QString readFrom_; // where the files are read: the book's folder, or its converted copy
    std::unique_ptr<QTemporaryDir> convertedCopy_;
    std::unique_ptr<SingleInstance> lock_;
    QString readOnlyReason_;
    mdlDim::ShownEntries entries_;
    mdlDim::CategoryLines categories_;
    QList<QByteArray> categoryFileLines_;
    QStringList printTable_;
    BookIndex index_;
    bool attached_ = false;
    bool stale_ = false;   // the side file on disk is not what byLine_ holds
    quint64 seenHash_ = 0; // the entry file the records follow
    Records byLine_;
    linefile::FileStamp sideStamp_; // the side file as last read or written
    int journalLines_ = 0;          // journal lines it holds
    // Set by a write that changed one entry: its record, or its UID when it was deleted.
    QByteArray journal_;
};
