#pragma once

#include <QList>
#include <QString>

#include <optional>

#include "record_file.h"

// Typed access to a record file. `Record` provides:
//   static constexpr int Length, LiveFlagOffset;
//   QByteArray toBytes() const;  static Record fromBytes(const QByteArray&);
//   qint16 LiveFlag;  void clearForDeletion();  (what a deletion writes besides the flag)
template <class Record>
class RecordStore {
  public:
    RecordStore(QString path, QString tempPath)
        : file_(std::move(path), std::move(tempPath), Record::Length, Record::LiveFlagOffset) {}

    qint16 RecordCount() const { return file_.RecordCount(); }
    qint16 NextRecordNo() const { return file_.NextRecordNo(); }
    std::optional<qint16> Append(const Record& record) { return file_.Append(record.toBytes()); }

    QList<Record> ReadAll() const {
        QList<Record> records;
        file_.ReadAll([&](qint16, const QByteArray& bytes) {
            records.append(Record::fromBytes(bytes));
            return true;
        });
        return records;
    }

    std::optional<Record> ReadAt(qint16 n) const {
        const auto bytes = file_.ReadAt(n);
        return bytes ? std::optional<Record>(Record::fromBytes(*bytes)) : std::nullopt;
    }

    // Sets the buffer's live flag to 0 (and whatever else a deletion clears), then writes
    // the buffer as it stands at record n.
    bool MarkDeleted(qint16 n, Record& buffer) {
        buffer.LiveFlag = 0;
        buffer.clearForDeletion();
        return file_.MarkDeleted(n, buffer.toBytes());
    }

    // Takes record n out of the file, all or nothing.
    bool Delete(qint16 n) { return file_.Delete(n); }
    // The same, leaving the buffer as a mark would leave it.
    bool Delete(qint16 n, Record& buffer) {
        buffer.LiveFlag = 0;
        buffer.clearForDeletion();
        return Delete(n);
    }
    bool FinishInterruptedDeletes() { return file_.FinishInterruptedDeletes(); }

    bool Compact() { return file_.Compact(); }
    bool Sync() { return file_.Sync(); }
    bool DeleteAll() { return file_.DeleteAll(); }

    QString errorString() const { return file_.errorString(); }
    bool changedButUnconfirmed() const { return file_.changedButUnconfirmed(); }
    // The untyped file, for readers that decode only the fields they show.
    const RecordFile& file() const { return file_; }

  private:
    RecordFile file_;
};
