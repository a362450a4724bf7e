#pragma once

#include "store/failure.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

// Each entry's identity (a UID no edit changes) and what a household keeps
// beside the ten fields, in a UTF-8 side file beside the book: one line per
// entry, in the book's order, holding the UID, the hash of the entry's line
// and its fields 1 to 9 as last seen (which find the entry again after
// another program edited the book) and the person's data as key=value columns.
namespace people {

inline const QString FileName = QStringLiteral("telbora-people.tsv");
inline constexpr int MaxJointNames = 5;

struct JointName {
    QString given;
    QString family; // empty: the entry's family name
    QString reading;
    QString honorific; // empty: the entry's
    bool operator==(const JointName &) const = default;
};

// One year of New Year cards.
struct NewYear {
    int year = 0;
    bool sent = false;
    bool received = false;
    bool mourning = false;   // 喪中: no card this year
    bool kanchuSent = false; // 寒中見舞い sent instead
    bool doNotSend = false;
    bool operator==(const NewYear &) const = default;
    // The marks set, as words ("sent", "received", "mourning", "kanchu", "skip"),
    // as the side file and the exports write them.
    QStringList words() const;
    // Sets the marks the words name; the words that name none (a newer
    // copy's), empty when every word was known.
    QStringList setWords(const QStringList &words);
    static bool isYear(int year) { return year >= 1900 && year <= 9999; }
    // The marks of `other` set here too; none taken away.
    void addMarks(const NewYear &other) {
        sent |= other.sent;
        received |= other.received;
        mourning |= other.mourning;
        kanchuSent |= other.kanchuSent;
        doNotSend |= other.doNotSend;
    }
};

struct PersonData;
// New entries' per-person data by their index among the new lines; most have
// none, and a list of a hundred thousand empty ones would cost 34 MB.
using DataOfNew = QHash<qsizetype, PersonData>;
// The person's data as the side file's key=value columns; nothing for what is empty.
QList<std::pair<QString, QString>> itemsOf(const PersonData &d);

struct PersonData {
    QString honorific; // empty: 様, or 御中 for a company
    QList<JointName> joint;
    QString company;
    QString department;
    QString title;
    QString birthday; // as written: YYYY-MM-DD, or --MM-DD without a year
    QString notes;
    QString nickname;
    QStringList urls;
    QStringList phones;    // beyond the entry's three
    QStringList emails;    // beyond the entry's one
    QStringList addresses; // beyond the entry's one: the postal code, a space and the address
    int buildingBreak = 0; // where the address breaks before the building (characters); 0: nowhere
    QString sender;        // the postcards' sender profile chosen for this person; empty: the usual one
    QList<NewYear> years;
    // Columns a newer copy of the program wrote, kept as they were.
    QList<std::pair<QString, QString>> unknown;

    bool isEmpty() const { return *this == PersonData(); }
    bool operator==(const PersonData &) const = default;
    // The New Year record of `year`, made when absent.
    NewYear &yearRecord(int year);
};

// Fields 1 to 9 of an entry line: the printed mark is no part of who it is.
using Anchor = QStringList;
Anchor anchorOf(QStringView line);

// The UID a new entry gets: the name-based UUID earlier exports gave the
// same line, so that they still match (the caller makes a random one when
// another entry holds it already).
QString seededUid(const Anchor &anchor, int occurrence);
QString randomUid();

// One line of the side file, kept as written: lines nobody changes go back
// as their bytes, and fields are decoded only when asked.
class Record {
public:
    Record() = default;
    Record(const QString &uid, quint64 lineHash, const Anchor &anchor, const PersonData &data);
    // The line as read; checked by SideFile::parse.
    static Record ofLine(QByteArray line) { return Record(std::move(line)); }

    QString uid() const;
    // lineHash() of the entry's line as last seen.
    quint64 lineHash() const;
    Anchor anchor() const;
    PersonData data() const;
    Record withLine(quint64 lineHash, const Anchor &anchor) const { return Record(uid(), lineHash, anchor, data()); }
    const QByteArray &line() const { return line_; }
    bool isNull() const { return line_.isEmpty(); }

private:
    explicit Record(QByteArray line) : line_(std::move(line)) {}
    QByteArray line_;
};

// The side file: which book content it was last written for (a hash of the
// entry file's bytes, so that an unchanged book needs no re-attaching) and
// one record per non-empty line of the entry file.
// The side file: a header with the hash of the book it follows, a record for
// each entry in book order, then perhaps a journal: a line for each write
// since the file was last written whole ("@", the book's hash after the
// write, a tab, and the entry's record, set in its place or added at the end,
// or the UID of a deleted entry). A write of one entry appends its line
// instead of rewriting the whole file.
struct SideFile {
    quint64 bookHash = 0;
    std::vector<Record> records; // the journal applied
    int journalLines = 0;

    // Why the bytes are not a side file this program can read (its first
    // fault, one of the Side… kinds, with its line); none when they are. A
    // last journal line cut short by a kill is left out.
    static Failure parse(const QByteArray &bytes, SideFile &out);
    // What can still be read of a damaged side file: each record line and
    // journal line that is whole, a UID kept once, in order. Its book hash
    // is none, so that every entry is found again against these records.
    static SideFile salvage(const QByteArray &bytes);
    // A journal line, with its line end: a record, or the UID of a deleted entry.
    static QByteArray journalLine(quint64 bookHash, const QByteArray &recordOrUid);
    QByteArray toBytes() const;
    // The file's first line, with its line end: the records follow it, each with CR LF.
    QByteArray header() const;
};

// A hash of the entry file's lines, quick enough to take at every load. Line
// ends and a line's printed mark ("|T", "|F" at its end) are left out: a
// text editor's re-save or a printed mark leaves the side file as good as it was.
// One line's part of it, and the book's hash folded from its lines' parts (blank lines 0).
quint64 lineHash(QByteArrayView line);
quint64 foldedHash(const std::vector<quint64> &lineHashes);

// For each line of `now`, the index in `before` of the entry it continues,
// or -1 for a new one. Identical anchors pair in order of occurrence; the
// rest pair by similarity inside the stretch between lines that did not
// change, and only when enough of them is the same person (a name or its
// reading, or a personal number or address): no entry ever takes a UID
// that was another's.
std::vector<int> attach(const std::vector<Anchor> &before, const std::vector<Anchor> &now);

} // namespace people
