#pragma once

#include "store/failure.h"
#include "store/mdlDim.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// What a write to the data files (Book's writers) gives back, and the line
// edit they share.
namespace EntryWriter {

struct Result {
    bool ok = true;
    Failure failure;            // what failed, as code tells it apart
    QString message;            // the same in words, for the message box
    int unmarked = 0;           // markPrinted: lines that could not be marked safely and were left as they were
    int vanished = 0;           // markPrinted: lines another program changed or removed
    mdlDim::LoadedLine written; // replaceEntry: the line as it now stands in the file
    QList<QByteArray> lines;    // writeCategory: the category file's lines as they now stand
    // The entry file was written but the side file was not: the per-person data
    // given with this write is lost, which the user must be told.
    QString peopleError;
    QString peopleNotice; // the side file was found damaged and made anew
    // What the user must hear of the side file after a write that succeeded.
    QStringList peopleMessages() const {
        QStringList said;
        for (const QString &text : {peopleNotice, peopleError})
            if (!text.isEmpty())
                said.append(text);
        return said;
    }
    explicit operator bool() const { return ok; }
    // The line acted on is no longer in the file as loaded.
    bool changedElsewhere() const { return failure.kind == Failure::Kind::ChangedElsewhere; }
};

// The line (bytes in code page 932) with field `n` (counting from 1) set to
// `value`. Separators are found by walking code page 932 characters as the
// loader decodes them, so the "|" inside a two-byte character is no
// separator and the loader sees the same fields; missing fields up to `n`
// are added empty, later fields and every other byte stay. nullopt when the
// line ends in a lone lead byte, which would swallow an added separator.
std::optional<QByteArray> withField(const QByteArray &line, int n, QByteArrayView value);
// Another program (an editor, a sync folder, a restore) may have changed the
// entry file since it was loaded. A writer that acts on a loaded line acts on
// line `number` only while it still holds the loaded bytes; otherwise on the
// one line that holds them, if exactly one does; otherwise it changes nothing
// and says ChangedElsewhere.
inline QString changedElsewhereIn(const QString &fileName) {
    return describe(Failure{Failure::Kind::ChangedElsewhere, fileName, 0, {}});
}
inline const QString ChangedElsewhere = changedElsewhereIn(QStringLiteral("VexaTel.txt"));

} // namespace EntryWriter
