#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <iterator>
#include <vector>

namespace mdlDim {

// A line of the entry file as it was loaded: its physical number (from 1,
// blank lines counted) and its bytes.
struct LoadedLine {
    int number = 0;
    QByteArray bytes;
};

// The entries a window shows, index for index (Book::entries). Each is a line of
// the entry file kept as the bytes that were read, in one buffer, and decoded
// to its element (line number, "|", the decoded line) only when asked: a
// selection of 100,000 entries shows 19 of them. The buffer and the line list
// keep their memory from one selection to the next.
class ShownEntries {
public:
    struct Line {
        qsizetype offset; // in the buffer
        int length;
        int number; // the physical line number
    };

    qsizetype size() const { return static_cast<qsizetype>(lines_.size()); }
    bool isEmpty() const { return lines_.empty(); }
    // The element of entry `i`, decoded now.
    QString at(qsizetype i) const;
    // As at(), or empty when there is no entry `i`.
    QString value(qsizetype i) const;
    QString first() const { return at(0); }
    QString last() const { return at(size() - 1); }
    int numberAt(qsizetype i) const { return lines_[static_cast<size_t>(i)].number; }
    QByteArrayView bytesAt(qsizetype i) const;
    // Entry `i` as loaded, for a writer; number 0 when there is no entry `i`.
    LoadedLine loadedLine(qsizetype i) const;
    QStringList toList() const;

    // Empties the table; the memory stays for the next selection.
    void clear();

    // For the code that fills the table: the bytes read, and the lines kept.
    QByteArray &buffer() { return buffer_; }
    const QByteArray &buffer() const { return buffer_; }
    std::vector<Line> &lines() { return lines_; }

    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = QString;
        using difference_type = qsizetype;
        using pointer = void;
        using reference = QString;
        const_iterator(const ShownEntries *table, qsizetype i) : table_(table), i_(i) {}
        QString operator*() const { return table_->at(i_); }
        const_iterator &operator++() {
            ++i_;
            return *this;
        }
        bool operator==(const const_iterator &other) const { return i_ == other.i_; }
        bool operator!=(const const_iterator &other) const { return i_ != other.i_; }

    private:
        const ShownEntries *table_;
        qsizetype i_;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    QByteArray buffer_;
    std::vector<Line> lines_;
};

} // namespace mdlDim
