#pragma once

#include <QByteArray>
#include <QList>

#include <vector>

// The lines of a file's bytes, edited where they lie: a writer replaces,
// removes or adds a few lines, and every other line goes back as a run of
// the bytes as read, never split into strings and joined again. Line ends
// are found as linefile::forEachLine finds them; every line written ends in
// CR LF.
class LineEdit {
public:
    explicit LineEdit(const QByteArray &data);

    qsizetype size() const { return static_cast<qsizetype>(lines_.size()); }
    // Line `i` as it stands now, without its line end.
    QByteArrayView at(qsizetype i) const;
    void replace(qsizetype i, const QByteArray &bytes);
    void removeAt(qsizetype i);
    void append(const QByteArray &bytes);
    QList<QByteArray> toList() const;

    // The file as it now stands, as pieces to write one after the other: runs
    // of the bytes as read and the changed lines with their CR LF. Valid
    // while this edit lives.
    std::vector<QByteArrayView> content() const;

private:
    // Small, so that a book of 100,000 lines costs little more than its bytes:
    // files are far below 2 GB (linefile::MaxFileSize).
    struct Line {
        int offset; // in data_
        int length;
        int end;              // past the line end as read; -1 for a line not from data_
        int replacement = -1; // index in replacements_
    };
    QByteArray data_;
    std::vector<Line> lines_;
    std::vector<QByteArray> replacements_;
};
