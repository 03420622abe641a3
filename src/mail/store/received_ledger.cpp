#include "store/received_ledger.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSet>

#include <fcntl.h>
#include <openssl/sha.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "app_folder.h"
#include "durable_file.h"
#include "failure_detail.h"
#include "record_file.h"
#include "store/mail_records.h"

namespace {

// Fields never hold these: they would break the line apart.
QString fieldText(const QString& text) {
    QString field = text;
    for (QChar& c : field) {
        if (c == u'\t' || c == u'\n' || c == u'\r') {
            c = u' ';
        }
    }
    return field;
}

QString keyOf(const auto& entry) {
    return entry.account + u'\t' + entry.server + u'\t' + entry.identity + u'\t' +
           QString::number(entry.recordNo);
}

auto confirmedEntry(auto entry) {
    entry.recordNo = 0;
    entry.digest.clear();
    return entry;
}

QByteArray checksum(const QByteArray& fields) {
    return QCryptographicHash::hash(fields, QCryptographicHash::Sha1).toHex().left(16);
}

QByteArray lineOf(const QString& account, const QString& server, const QString& identity,
                  qint64 storedAt, qint64 recordNo, const QByteArray& digest) {
    QByteArray fields = fieldText(account).toUtf8() + '\t' + fieldText(server).toUtf8() + '\t' +
                        fieldText(identity).toUtf8() + '\t' + QByteArray::number(storedAt) + '\t' +
                        QByteArray::number(recordNo);
    if (recordNo != 0) {
        fields += '\t' + digest;
    }
    return fields + '\t' + checksum(fields) + '\n';
}

}  // namespace

ReceivedLedger::ReceivedLedger(QString path, QString account, QString server)
    : path_(std::move(path)), account_(fieldText(account)), server_(fieldText(server)) {
    readable_ = read(entries_);
    remember();
}

bool ReceivedLedger::read(QList<Entry>& entries) {
    entries.clear();
    QFile file(path_);
    if (!file.exists()) {
        return true;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        error_ = file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error_ = file.errorString();
        return false;
    }
    const QList<QByteArray> lines = bytes.split('\n');
    // The last piece has no line end: complete, it is empty; torn by a crash, it is dropped.
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        const qsizetype sum = line.lastIndexOf('\t');
        if (sum < 0 || checksum(line.first(sum)) != line.sliced(sum + 1)) {
            continue;
        }
        const QList<QByteArray> fields = line.first(sum).split('\t');
        if (fields.size() != 5 && fields.size() != 6) {
            continue;
        }
        entries.append({QString::fromUtf8(fields[0]), QString::fromUtf8(fields[1]),
                        QString::fromUtf8(fields[2]), fields[3].toLongLong(),
                        fields[4].toLongLong(), fields.value(5)});
    }
    return true;
}

void ReceivedLedger::remember() {
    storedAt_.clear();
    for (const Entry& entry : entries_) {
        if (isOurs(entry)) {
            storedAt_.insert(entry.identity, entry.storedAt);
        }
    }
}

QByteArray ReceivedLedger::recordDigest(const QByteArray& record) {
    // OpenSSL's SHA-256 uses the processor's own instructions: hashing every record a
    // check stores costs it a few percent, Qt's portable one nearly half.
    unsigned char digest[SHA256_DIGEST_LENGTH];
    SHA256(reinterpret_cast<const unsigned char*>(record.constData()), size_t(record.size()),
           digest);
    return QByteArray(reinterpret_cast<const char*>(digest), 16).toHex();
}

bool ReceivedLedger::settle(const RecordFile& records) {
    const qint64 complete = records.RecordCount();
    QSet<QString> confirmed;
    bool unconfirmed = false;
    for (const Entry& entry : entries_) {
        if (entry.recordNo == 0) {
            continue;
        }
        unconfirmed = true;
        // Every operation that moves records settles first, so a note's record, if it was
        // written, is still where the note says; a note of an older version holds the
        // number alone.
        const std::optional<QByteArray> record =
            entry.recordNo <= complete ? records.ReadAt(static_cast<qint16>(entry.recordNo))
                                       : std::nullopt;
        if (entry.digest.isEmpty() ? entry.recordNo <= complete
                                   : record && recordDigest(*record) == entry.digest) {
            confirmed.insert(keyOf(entry));
        }
    }
    if (!unconfirmed) {
        return true;
    }
    return rewrite([&](const Entry& entry) -> std::optional<Entry> {
        if (entry.recordNo == 0) {
            return entry;
        }
        if (!confirmed.contains(keyOf(entry))) {
            return std::nullopt;
        }
        return confirmedEntry(entry);
    });
}

bool ReceivedLedger::settleBeforeDelete(const QString& folder, QString& error) {
    ReceivedLedger ledger(appPath(folder, kFileLiteral), QString(), QString());
    if (ledger.readable() && ledger.settle(receivedMailStore(folder).file())) {
        return true;
    }
    error = fileAndReason(ledger.path(), ledger.errorString());
    return false;
}

bool ReceivedLedger::note(const QString& identity, qint64 recordNo, qint64 storedAtSeconds,
                          const QByteArray& digest) {
    if (recordNo < 1) {
        error_ = QStringLiteral("record number %1").arg(recordNo);
        return false;
    }
    const QByteArray line = lineOf(account_, server_, identity, storedAtSeconds, recordNo, digest);
    const int fd = ::open(QFile::encodeName(path_).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        error_ = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    // One write of the whole line: a crash leaves it whole or torn, never mixed. A write
    // that fails is cut back, so the next note does not run on from a torn line.
    const off_t before = ::lseek(fd, 0, SEEK_END);
    const ssize_t written = ::write(fd, line.constData(), size_t(line.size()));
    bool done = written == line.size();
    QString reason =
        written < 0 ? QString::fromLocal8Bit(std::strerror(errno)) : QStringLiteral("short write");
    if (!done && before >= 0) {
        (void)::ftruncate(fd, before);
    }
    // A close can still report a write the disk did not take.
    if (::close(fd) != 0 && done) {
        reason = QString::fromLocal8Bit(std::strerror(errno));
        done = false;
        if (before >= 0) {
            (void)::truncate(QFile::encodeName(path_).constData(), before);
        }
    }
    if (!done) {
        error_ = reason;
        return false;
    }
    storedAt_.insert(identity, storedAtSeconds);
    entries_.append({account_, server_, identity, storedAtSeconds, recordNo, digest});
    return true;
}

bool ReceivedLedger::sync() {
    return syncFile(path_, error_);
}

bool ReceivedLedger::confirm(const QSet<QString>& stored,
                             const std::optional<QSet<QString>>& onServer) {
    const auto change = [&](const Entry& entry) -> std::optional<Entry> {
        if (!isOurs(entry)) {
            return entry;
        }
        if (entry.recordNo != 0) {
            return stored.contains(entry.identity) ? std::optional(confirmedEntry(entry))
                                                   : std::nullopt;
        }
        if (onServer && !onServer->contains(entry.identity)) {
            return std::nullopt;
        }
        return entry;
    };
    const bool changed = std::any_of(entries_.begin(), entries_.end(), [&](const Entry& entry) {
        const std::optional<Entry> after = change(entry);
        return !after || after->recordNo != entry.recordNo;
    });
    return !changed || rewrite(change);
}

bool ReceivedLedger::forget(const QSet<QString>& removed) {
    const auto gone = [&](const Entry& entry) {
        return isOurs(entry) && removed.contains(entry.identity);
    };
    if (std::none_of(entries_.begin(), entries_.end(), gone)) {
        return true;
    }
    return rewrite([&](const Entry& entry) -> std::optional<Entry> {
        return gone(entry) ? std::nullopt : std::optional(entry);
    });
}

bool ReceivedLedger::rewrite(const std::function<std::optional<Entry>(const Entry&)>& change) {
    // Changed on what the file holds now, so that entries of other mailboxes written since
    // it was read are kept.
    QList<Entry> current;
    if (!read(current)) {
        return false;
    }
    QList<Entry> entries;
    QByteArray bytes;
    for (const Entry& entry : current) {
        if (const std::optional<Entry> changed = change(entry)) {
            entries.append(*changed);
            bytes += lineOf(changed->account, changed->server, changed->identity, changed->storedAt,
                            changed->recordNo, changed->digest);
        }
    }
    // It names the account, the server and every mail kept there.
    if (!writeFileDurably(path_, bytes, error_, FolderSync::Now, FileAccess::OwnerOnly)) {
        return false;
    }
    entries_ = entries;
    remember();
    return true;
}
