#include "record_file.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace {

// Forces what was written to `fd` onto the disk.
bool syncToDisk(int fd) {
    return ::fsync(fd) == 0;
}

qint64 fileLength(const QString& path) {
    return QFileInfo(path).size();
}

}  // namespace

RecordFile::RecordFile(QString path, QString tempPath, int recordLength, int liveFlagOffset)
    : path_(std::move(path)),
      tempPath_(std::move(tempPath)),
      recordLength_(recordLength),
      liveFlagOffset_(liveFlagOffset) {}

bool RecordFile::fail(const QString& what) const {
    error_ = what;
    return false;
}

qint16 RecordFile::RecordCount() const {
    const qint64 length = fileLength(path_);
    qint64 count = length / recordLength_;
    const qint64 rest = length % recordLength_;
    // Round half to even, as the 16-bit conversion of a quotient does.
    if (2 * rest > recordLength_ || (2 * rest == recordLength_ && count % 2 == 1)) {
        ++count;
    }
    return static_cast<qint16>(qMin<qint64>(count, kMaxRecords));
}

qint16 RecordFile::NextRecordNo() const {
    return static_cast<qint16>(
        qMin<qint64>(fileLength(path_) / recordLength_ + 1, qint64(kMaxRecords) + 1));
}

std::optional<qint16> RecordFile::Append(const QByteArray& record) {
    Q_ASSERT(record.size() == recordLength_);
    const qint64 next = fileLength(path_) / recordLength_ + 1;
    if (next > kMaxRecords) {
        fail(QStringLiteral("%1 は %2 件で満杯です。").arg(path_).arg(kMaxRecords));
        return std::nullopt;
    }
    QFile file(path_);
    // Records hold the user's mail and addresses: a new file is for its owner's eyes alone.
    if (!file.open(QIODevice::ReadWrite, QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        fail(file.errorString());
        return std::nullopt;
    }
    if (!file.seek((next - 1) * recordLength_) || file.write(record) != record.size() ||
        !file.flush()) {
        fail(file.errorString());
        return std::nullopt;
    }
    return static_cast<qint16>(next);
}

void RecordFile::ReadAll(
    const std::function<bool(qint16 recordNo, const QByteArray& record)>& visit) const {
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        return;
    }
    QByteArray record(recordLength_, Qt::Uninitialized);
    for (qint16 n = 1; n > 0 && n <= kMaxRecords; ++n) {
        if (file.read(record.data(), recordLength_) != recordLength_) {
            return;
        }
        if (!visit(n, record)) {
            return;
        }
    }
}

QList<QByteArray> RecordFile::ReadAll() const {
    QList<QByteArray> records;
    ReadAll([&](qint16, const QByteArray& record) {
        records.append(QByteArray(record.constData(), record.size()));
        return true;
    });
    return records;
}

std::optional<QByteArray> RecordFile::ReadAt(qint16 n) const {
    if (n < 1) {
        return std::nullopt;
    }
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(qint64(n - 1) * recordLength_)) {
        return std::nullopt;
    }
    QByteArray record = file.read(recordLength_);
    if (record.size() != recordLength_) {
        return std::nullopt;
    }
    return record;
}

bool RecordFile::MarkDeleted(qint16 n, QByteArray record) {
    writeLiveFlag(record, liveFlagOffset_, 0);
    return writeAt(n, record);
}

bool RecordFile::Delete(qint16 n, const QByteArray& record) {
    const std::optional<QByteArray> before = ReadAt(n);
    if (!before) {
        return fail(QStringLiteral("レコード番号 %1 は範囲外です。").arg(n));
    }
    if (!MarkDeleted(n, record)) {
        return false;
    }
    if (Compact()) {
        return true;
    }
    const QString why = error_;
    writeAt(n, *before);
    error_ = why;
    return false;
}

bool RecordFile::FinishInterruptedDeletes() {
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        return true;
    }
    const qint64 count = qMin<qint64>(file.size() / recordLength_, kMaxRecords);
    char flag[2];
    for (qint64 n = 0; n < count; ++n) {
        if (::pread(file.handle(), flag, 2, n * recordLength_ + liveFlagOffset_) != 2) {
            return true;
        }
        if (qFromLittleEndian<qint16>(flag) == 0) {
            file.close();
            return Compact();
        }
    }
    return true;
}

bool RecordFile::writeAt(qint16 n, const QByteArray& record) {
    Q_ASSERT(record.size() == recordLength_);
    // Counted in full width: on a full file the 16-bit next number has no room.
    if (n < 1 || n > fileLength(path_) / recordLength_) {
        return fail(QStringLiteral("レコード番号 %1 は範囲外です。").arg(n));
    }
    QFile file(path_);
    if (!file.open(QIODevice::ReadWrite) || !file.seek(qint64(n - 1) * recordLength_) ||
        file.write(record) != record.size() || !file.flush()) {
        return fail(file.errorString());
    }
    return true;
}

bool RecordFile::Sync() {
    if (!QFileInfo::exists(path_)) {
        return true;
    }
    QFile file(path_);
    if (!file.open(QIODevice::ReadWrite) || ::fdatasync(file.handle()) != 0) {
        return fail(file.errorString());
    }
    SyncFolder(QFileInfo(path_).absolutePath());
    return true;
}

bool RecordFile::Compact() {
    return replaceWithSurvivors(true);
}

bool RecordFile::DeleteAll() {
    return replaceWithSurvivors(false);
}

bool RecordFile::replaceWithSurvivors(bool keepLive) {
    QFile source(path_);
    if (!source.exists()) {
        return true;
    }
    if (!source.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        return fail(source.errorString());
    }
    QFile temp(tempPath_);
    auto abandon = [&](const QString& why) {
        temp.close();
        QFile::remove(tempPath_);
        return fail(QStringLiteral("%1 を書けません: %2").arg(tempPath_, why));
    };
    if (!temp.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered,
                   QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        return fail(QStringLiteral("%1 を作れません: %2").arg(tempPath_, temp.errorString()));
    }
    // The survivors take the data file's place and keep its mode.
    if (!temp.setPermissions(source.permissions())) {
        return abandon(temp.errorString());
    }
    // Records are read in batches of about a megabyte and the survivors of a batch written
    // in one go: compaction costs little more than a copy of the file.
    const qsizetype perBatch = qMax<qsizetype>(1, (1 << 20) / recordLength_);
    QByteArray batch(perBatch * recordLength_, Qt::Uninitialized);
    qint64 got = 0;
    while (keepLive && (got = source.read(batch.data(), batch.size())) >= recordLength_) {
        qsizetype kept = 0;
        for (qsizetype at = 0; at + recordLength_ <= got; at += recordLength_) {
            if (qFromLittleEndian<qint16>(batch.constData() + at + liveFlagOffset_) == 0) {
                continue;
            }
            if (kept != at) {
                std::memmove(batch.data() + kept, batch.constData() + at, recordLength_);
            }
            kept += recordLength_;
        }
        if (temp.write(batch.constData(), kept) != kept) {
            return abandon(temp.errorString());
        }
        if (got < batch.size()) {
            break;
        }
    }
    if (source.error() != QFileDevice::NoError) {
        return abandon(source.errorString());
    }
    if (!temp.flush() || !syncToDisk(temp.handle())) {
        return abandon(temp.errorString());
    }
    temp.close();
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(tempPath_).toStdString(),
                            QFile::encodeName(path_).toStdString(), error);
    if (error) {
        return abandon(QString::fromStdString(error.message()));
    }
    SyncFolder(QFileInfo(path_).absolutePath());
    return true;
}

qint16 readLiveFlag(const QByteArray& record, int offset) {
    return qFromLittleEndian<qint16>(record.constData() + offset);
}

void writeLiveFlag(QByteArray& record, int offset, qint16 value) {
    qToLittleEndian<qint16>(value, record.data() + offset);
}

bool SyncFolder(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) {
        return errno == ENOENT;
    }
    const bool synced = ::fsync(fd) == 0;
    const int syncError = errno;
    const bool closed = ::close(fd) == 0;
    if (!synced) {
        errno = syncError;
    }
    return synced && closed;
}
