#include "record_file.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>

#include "durable_file.h"

namespace {

// The reason for a write whose bytes could not be taken off again either.
QString notUndone(int error) {
    return QStringLiteral("%1; 書きかけを元に戻せませんでした").arg(systemReason(error));
}

// Reads exactly `length` bytes at `offset`; nothing when the file holds fewer.
std::optional<QByteArray> readAt(int fd, qint64 offset, qint64 length) {
    QByteArray bytes(length, Qt::Uninitialized);
    return readAllAt(fd, bytes.data(), length, offset) ? std::optional(bytes) : std::nullopt;
}

qint64 fileLength(int fd) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 ? qint64(info.st_size) : -1;
}

qint64 fileLength(const QString& path) {
    return QFileInfo(path).size();
}

// Puts the file back to `length` bytes ending in `tail` at `at`, as it was before a write
// there. The file is opened again: the failed close of a write may have taken its descriptor.
bool putBack(const QByteArray& name, qint64 length, qint64 at, const QByteArray& tail) {
    const int fd = ::open(name.constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool putBack = ::ftruncate(fd, off_t(length)) == 0 && writeAllAt(fd, tail, at);
    return ::close(fd) == 0 && putBack;
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
    unconfirmed_ = false;
    const QByteArray name = QFile::encodeName(path_);
    bool created = false;
    int fd = ::open(name.constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
        // Records hold the user's mail and addresses: a new file is for its owner's eyes
        // alone.
        fd = ::open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        created = fd >= 0;
    }
    if (fd < 0) {
        fail(systemReason(errno));
        return std::nullopt;
    }
    const qint64 length = fileLength(fd);
    const qint64 next = length / recordLength_ + 1;
    const qint64 at = (next - 1) * recordLength_;
    // A trailing partial record is written over; its bytes are kept to be put back.
    const std::optional<QByteArray> tail = length < 0 ? std::nullopt : readAt(fd, at, length - at);
    if (!tail || next > kMaxRecords) {
        const int error = errno;
        ::close(fd);
        fail(tail ? QStringLiteral("%1 は %2 件で満杯です。").arg(path_).arg(kMaxRecords)
                  : systemReason(error));
        return std::nullopt;
    }
    const bool written = writeAllAt(fd, record, at);
    int error = errno;
    const bool closed = ::close(fd) == 0;
    if (written && closed) {
        return static_cast<qint16>(next);
    }
    error = written ? errno : error;
    // What did not go whole is taken off again, so that the file is as it was.
    const bool undone =
        created ? ::unlink(name.constData()) == 0 : putBack(name, length, at, *tail);
    fail(undone ? systemReason(error) : notUndone(error));
    return std::nullopt;
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

bool RecordFile::Delete(qint16 n) {
    unconfirmed_ = false;
    // Counted in full width: on a full file the 16-bit next number has no room.
    if (n < 1 || n > fileLength(path_) / recordLength_) {
        return fail(QStringLiteral("レコード番号 %1 は範囲外です。").arg(n));
    }
    return replaceWithSurvivors(true, n);
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
    unconfirmed_ = false;
    const QByteArray name = QFile::encodeName(path_);
    const int fd = ::open(name.constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        return fail(systemReason(errno));
    }
    const qint64 length = fileLength(fd);
    const qint64 at = qint64(n - 1) * recordLength_;
    // Counted in full width: on a full file the 16-bit next number has no room.
    const std::optional<QByteArray> old =
        n < 1 || n > length / recordLength_ ? std::nullopt : readAt(fd, at, recordLength_);
    if (!old) {
        const int error = errno;
        ::close(fd);
        return fail(length < 0 ? systemReason(error)
                               : QStringLiteral("レコード番号 %1 は範囲外です。").arg(n));
    }
    const bool written = writeAllAt(fd, record, at);
    int error = errno;
    const bool closed = ::close(fd) == 0;
    if (written && closed) {
        return true;
    }
    error = written ? errno : error;
    // A record half written, or written without the close confirming it, goes back to what
    // it was: a mark that is reported as failed must not delete the record later.
    return fail(putBack(name, length, at, *old) ? systemReason(error) : notUndone(error));
}

bool RecordFile::Sync() {
    unconfirmed_ = false;
    const int fd = ::open(QFile::encodeName(path_).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return errno == ENOENT || fail(systemReason(errno));
    }
    const bool synced = ::fdatasync(fd) == 0;
    const int error = errno;
    const bool closed = ::close(fd) == 0;
    if (!synced || !closed || !SyncFolder(QFileInfo(path_).absolutePath())) {
        unconfirmed_ = true;
        return fail(systemReason(synced ? errno : error));
    }
    return true;
}

bool RecordFile::Compact() {
    unconfirmed_ = false;
    return replaceWithSurvivors(true, 0);
}

bool RecordFile::DeleteAll() {
    unconfirmed_ = false;
    return replaceWithSurvivors(false, 0);
}

bool RecordFile::replaceWithSurvivors(bool keepLive, qint64 dropped) {
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
    qint64 recordNo = 0;
    while (keepLive && (got = source.read(batch.data(), batch.size())) >= recordLength_) {
        qsizetype kept = 0;
        for (qsizetype at = 0; at + recordLength_ <= got; at += recordLength_) {
            if (++recordNo == dropped ||
                qFromLittleEndian<qint16>(batch.constData() + at + liveFlagOffset_) == 0) {
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
    if (!temp.flush()) {
        return abandon(temp.errorString());
    }
    if (::fsync(temp.handle()) != 0) {
        return abandon(systemReason(errno));
    }
    // A close can be the first to report that the disk did not take the survivors.
    temp.close();
    if (temp.error() != QFileDevice::NoError) {
        return abandon(temp.errorString());
    }
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(tempPath_).toStdString(),
                            QFile::encodeName(path_).toStdString(), error);
    if (error) {
        return abandon(QString::fromStdString(error.message()));
    }
    // Replaced, but only the folder's sync makes the replacement survive a crash.
    if (!SyncFolder(QFileInfo(path_).absolutePath())) {
        unconfirmed_ = true;
        return fail(systemReason(errno));
    }
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
