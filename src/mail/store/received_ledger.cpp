#include "store/received_ledger.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <unistd.h>

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

QByteArray checksum(const QByteArray& fields) {
    return QCryptographicHash::hash(fields, QCryptographicHash::Sha1).toHex().left(16);
}

QByteArray lineOf(const QString& account, const QString& server, const QString& identity,
                  qint64 storedAt, qint64 recordNo) {
    const QByteArray fields = fieldText(account).toUtf8() + '\t' + fieldText(server).toUtf8() +
                              '\t' + fieldText(identity).toUtf8() + '\t' +
                              QByteArray::number(storedAt) + '\t' + QByteArray::number(recordNo);
    return fields + '\t' + checksum(fields) + '\n';
}

}  // namespace

ReceivedLedger::ReceivedLedger(QString path, QString account, QString server)
    : path_(std::move(path)), account_(fieldText(account)), server_(fieldText(server)) {
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) {
        return;
    }
    const QList<QByteArray> lines = file.readAll().split('\n');
    // The last piece has no line end: complete, it is empty; torn by a crash, it is dropped.
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        const qsizetype sum = line.lastIndexOf('\t');
        if (sum < 0 || checksum(line.first(sum)) != line.sliced(sum + 1)) {
            continue;
        }
        const QList<QByteArray> fields = line.first(sum).split('\t');
        if (fields.size() != 5) {
            continue;
        }
        const Entry entry{QString::fromUtf8(fields[0]), QString::fromUtf8(fields[1]),
                          QString::fromUtf8(fields[2]), fields[3].toLongLong(),
                          fields[4].toLongLong()};
        entries_.append(entry);
        if (isOurs(entry)) {
            storedAt_.insert(entry.identity, entry.storedAt);
        }
    }
}

bool ReceivedLedger::settle(qint64 completeRecords) {
    QList<Entry> settled;
    bool changed = false;
    for (Entry entry : entries_) {
        if (entry.recordNo == 0) {
            settled.append(entry);
            continue;
        }
        changed = true;
        if (entry.recordNo <= completeRecords) {
            entry.recordNo = 0;
            settled.append(entry);
        } else if (isOurs(entry)) {
            storedAt_.remove(entry.identity);
        }
    }
    return !changed || rewrite(settled);
}

bool ReceivedLedger::add(const QString& identity, qint64 recordNo, qint64 storedAtSeconds) {
    storedAt_.insert(identity, storedAtSeconds);
    entries_.append({account_, server_, identity, storedAtSeconds, recordNo});
    QFile file(path_);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        return false;
    }
    // One write of the whole line: a crash leaves it whole or torn, never mixed.
    const QByteArray line = lineOf(account_, server_, identity, storedAtSeconds, recordNo);
    return file.write(line) == line.size();
}

bool ReceivedLedger::keepOnly(const QSet<QString>& onServer) {
    QList<Entry> kept;
    for (const Entry& entry : entries_) {
        if (!isOurs(entry) || onServer.contains(entry.identity)) {
            kept.append(entry);
        }
    }
    if (kept.size() == entries_.size()) {
        return true;
    }
    if (!rewrite(kept)) {
        return false;
    }
    storedAt_.clear();
    for (const Entry& entry : entries_) {
        if (isOurs(entry)) {
            storedAt_.insert(entry.identity, entry.storedAt);
        }
    }
    return true;
}

bool ReceivedLedger::rewrite(const QList<Entry>& entries) {
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    for (const Entry& entry : entries) {
        file.write(
            lineOf(entry.account, entry.server, entry.identity, entry.storedAt, entry.recordNo));
    }
    // QSaveFile syncs the new file before it renames it over the old one.
    if (!file.commit()) {
        return false;
    }
    entries_ = entries;
    return true;
}

bool ReceivedLedger::sync() {
    if (!QFileInfo::exists(path_)) {
        return true;
    }
    QFile file(path_);
    return file.open(QIODevice::ReadWrite) && ::fdatasync(file.handle()) == 0;
}
