#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <functional>
#include <optional>

class RecordFile;

// The mails that checks stored, for as long as the server may still hold them: a mail kept
// on the server, or one whose deletion the server has not confirmed (a crash, a dropped
// connection), is deleted by a later check without being stored again.
//
// A mail is noted before its record is written, with the number the record takes and a
// digest of the record's bytes. Once the records are on the disk, before QUIT, the check
// confirms its notes; a note left unconfirmed by a crash stands only if its record is in
// the record file at its number. Every operation that moves or removes received records
// settles the notes first (settleBeforeDelete), so the number still tells. A crash between
// the note and the record thus costs neither a mail nor a duplicate, and a history delete
// cannot make a stored mail new again. After QUIT has removed mails from the server, their
// notes go: a later mail under the same id is a new mail.
//
// One line per mail: account, server, identity, when it was stored, the record number and
// digest while unconfirmed (0 and nothing once confirmed), and a checksum of them all, so
// that a line torn by a crash is ignored rather than misread.
class ReceivedLedger {
  public:
    // Reads the entries of one mailbox, the account `account` on `server`.
    ReceivedLedger(QString path, QString account, QString server);

    // False when the file exists and cannot be read (errorString() says why): using it
    // then would take every stored mail for new.
    bool readable() const { return readable_; }

    bool contains(const QString& identity) const { return storedAt_.contains(identity); }
    // When the mail was stored, in seconds since 1970 (UTC).
    qint64 storedAt(const QString& identity) const { return storedAt_.value(identity); }

    // Settles the notes a crash left unconfirmed, of every mailbox (they share the file):
    // a note whose record is in `records` at its number is confirmed, any other dropped.
    // Called before a check stores anything and before records move.
    bool settle(const RecordFile& records);
    // Notes a mail about to be stored as record `recordNo` (at least 1) whose bytes have
    // `digest` (recordDigest). False when it cannot be written.
    bool note(const QString& identity, qint64 recordNo, qint64 storedAtSeconds,
              const QByteArray& digest);
    // Forces the notes onto the disk.
    bool sync();
    // Once the records of `stored` are on the disk: confirms their notes, drops this
    // mailbox's other unconfirmed notes (their records were not written) and, given the
    // identities the server holds, the entries of mails it no longer holds.
    bool confirm(const QSet<QString>& stored, const std::optional<QSet<QString>>& onServer);
    // Drops the entries of mails the server has removed.
    bool forget(const QSet<QString>& removed);

    // Why the last read or write failed.
    const QString& errorString() const { return error_; }
    const QString& path() const { return path_; }

    static QByteArray recordDigest(const QByteArray& record);

    // The name of the file in the data folder.
    static constexpr char16_t kFileLiteral[] = u"\\★MailData\\received-ids.txt";

    // Before received records are deleted: the notes a crash left unconfirmed are settled
    // while their records are still there to be found; a note settled later would find
    // its record gone and its mail, still on the server, would be stored again. False,
    // with the reason in `error`, when the notes cannot be settled: nothing may be deleted.
    static bool settleBeforeDelete(const QString& folder, QString& error);

  private:
    struct Entry {
        QString account;
        QString server;
        QString identity;
        qint64 storedAt = 0;
        qint64 recordNo = 0;  // 0 once confirmed
        QByteArray digest;    // of the unconfirmed record; empty in notes of older versions
    };
    bool isOurs(const Entry& entry) const {
        return entry.account == account_ && entry.server == server_;
    }
    // Reads the file into `entries`; false (error_ set) when it exists and cannot be read.
    bool read(QList<Entry>& entries);
    // This mailbox's identities, from entries_.
    void remember();
    // Writes the file anew from what it holds now, each entry changed or dropped (nothing).
    bool rewrite(const std::function<std::optional<Entry>(const Entry&)>& change);

    QString path_;
    QString account_;
    QString server_;
    bool readable_ = true;
    QString error_;
    QList<Entry> entries_;
    QHash<QString, qint64> storedAt_;  // this mailbox's identities
};
