#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

// A file of fixed-length records without header or trailer, numbered from 1, each holding
// a 16-bit little-endian live flag at a fixed offset (0 marks a record awaiting
// compaction). Every operation opens the file, does its work and closes it again.
//
// Record numbers are 16-bit: a file holds at most kMaxRecords records.
class RecordFile {
  public:
    static constexpr qint16 kMaxRecords = 32767;

    RecordFile(QString path, QString tempPath, int recordLength, int liveFlagOffset);

    const QString& path() const { return path_; }
    int recordLength() const { return recordLength_; }

    // File length ÷ record length, rounded to the nearest integer (a missing file is 0).
    qint16 RecordCount() const;
    // The number the next append writes at: one past the last complete record, so a
    // trailing partial record is replaced rather than left as a gap.
    qint16 NextRecordNo() const;

    // Writes `record` at NextRecordNo (creating the file) and returns that number; nothing
    // when the file already holds kMaxRecords records or cannot be written, and then the
    // file is as it was.
    std::optional<qint16> Append(const QByteArray& record);

    // Complete records in order; a trailing partial record is never delivered. `visit`
    // returns false to stop early.
    void ReadAll(const std::function<bool(qint16 recordNo, const QByteArray& record)>& visit) const;
    QList<QByteArray> ReadAll() const;
    // Record n, or nothing when it is out of range or incomplete.
    std::optional<QByteArray> ReadAt(qint16 n) const;

    // Writes `record` at n with its live flag set to 0; only an existing record is written.
    // A write that fails puts the record back as it was.
    bool MarkDeleted(qint16 n, QByteArray record);

    // Takes record n out by one compaction that leaves it behind, so the file is replaced
    // whole or not at all; a mark written in place first could be left half written.
    bool Delete(qint16 n);
    // Completes the deletes a crash interrupted between the mark and the compaction:
    // compacts the file when a record's live flag is 0. True when none is left.
    bool FinishInterruptedDeletes();

    // Forces what was appended onto the disk, the file's entry in its folder included.
    bool Sync();

    // Drops every record whose live flag is 0, keeping the order of the others. The
    // survivors go to the temporary file, which is flushed to disk and only then renamed
    // over the data file: a failure up to the rename leaves the data file as it was, one
    // after it is changedButUnconfirmed().
    bool Compact();
    // Leaves an empty file, by the same safe replacement.
    bool DeleteAll();

    // What went wrong in the last failed operation, for a message to the user.
    QString errorString() const { return error_; }
    // Whether the last failed operation did change the file (a compaction renamed into
    // place, a Sync) but could not make sure that the change is on the disk; otherwise a
    // failed operation left the file as it was.
    bool changedButUnconfirmed() const { return unconfirmed_; }

  private:
    // Copies the records to the temporary file, leaving out those marked 0 and record
    // `dropped`, or every one unless `keepLive`, and renames it over the data file.
    bool replaceWithSurvivors(bool keepLive, qint64 dropped);
    bool writeAt(qint16 n, const QByteArray& record);
    bool fail(const QString& what) const;

    QString path_;
    QString tempPath_;
    int recordLength_;
    int liveFlagOffset_;
    mutable QString error_;
    bool unconfirmed_ = false;
};

// Reads and writes the 16-bit little-endian live flag of a record image.
qint16 readLiveFlag(const QByteArray& record, int offset);
void writeLiveFlag(QByteArray& record, int offset, qint16 value);

// Makes the entries of `folder` durable (a file created, renamed or removed in it). A
// folder that is not there holds nothing to keep: true.
bool SyncFolder(const QString& folder);
