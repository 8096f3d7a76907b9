// CBooks: the command book of a CPU-card page, the history of the hex
// commands sent from it, oldest first. An entry equal to the last one is
// not added again; past 201 entries the oldest goes.
//
// Book file (all integers 32-bit little-endian, no header, no padding):
//   count N, then N times: length L, L characters of text (no terminator).
// Saving writes a temporary file beside the book and renames it into place,
// so a failed save leaves the previous book whole. Loading never reads past
// the file's end: a file that ends early keeps its complete entries; a file
// that is not a book (a count it has no room for, a negative length or
// count, text that is not hex digits) is refused and leaves the book empty.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QIODevice;

class CBooks {
public:
    static constexpr int kMaxEntries = 201;

    enum class LoadResult {
        loaded,     // every entry the count announced was read
        truncated,  // the file ended early: its complete entries were kept
        missing,    // no file (or one that cannot be opened): empty book
        refused,    // not a book: empty book
    };

    // The add rule: an entry equal to the last is dropped; otherwise, with
    // more than 200 entries held, the oldest goes before the new one is
    // appended.
    void Add(const QString& text);
    void Clear() { entries_.clear(); }
    const QStringList& entries() const { return entries_; }
    int count() const { return int(entries_.size()); }

    // Replaces the book by the file's entries, each through the add rule.
    LoadResult Load(const QString& path);
    // Writes the whole book; false (and the old file untouched) on failure.
    bool Save(const QString& path) const;

    // The file's bytes for these entries.
    static QByteArray serialize(const QStringList& entries);
    // Reads a book from `device` (its size known), adding each entry by the
    // add rule.
    LoadResult read(QIODevice& device);

private:
    QStringList entries_;
};
