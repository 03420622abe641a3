#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

// The mails that a check stored, for as long as the server may still hold them: a check
// that ends without the server confirming the deletions (a crash, a dropped connection)
// leaves them there, and the next check deletes them without storing them again.
//
// A mail is noted before its record is written, with the number the record takes; the
// next check, before it stores anything, keeps the note only if the record file reached
// that record. So a crash between the note and the record costs neither a mail nor a
// duplicate.
//
// One line per mail: account, server, identity, when it was stored, the record number
// while unconfirmed (0 once confirmed), and a checksum of them all, so that a line torn
// by a crash is ignored rather than misread. A missing or damaged file only ever costs a
// duplicate, never a mail.
class ReceivedLedger {
  public:
    // Reads the entries of one mailbox, the account `account` on `server`.
    ReceivedLedger(QString path, QString account, QString server);

    bool contains(const QString& identity) const { return storedAt_.contains(identity); }
    // When the mail was stored, in seconds since 1970 (UTC).
    qint64 storedAt(const QString& identity) const { return storedAt_.value(identity); }

    // Confirms the notes whose record is among the `completeRecords` of the record file
    // and drops the others, of every mailbox (they share the file). Called before a check
    // stores anything.
    bool settle(qint64 completeRecords);
    // Notes a mail about to be stored as record `recordNo` at `storedAtSeconds`. False when
    // it cannot be written.
    bool add(const QString& identity, qint64 recordNo, qint64 storedAtSeconds);
    // Forgets this mailbox's entries that are not in `onServer`, the server no longer
    // holding them; the file is replaced whole, durably.
    bool keepOnly(const QSet<QString>& onServer);
    // Forces what was added onto the disk.
    bool sync();

    // The name of the file in the data folder.
    static constexpr char16_t kFileLiteral[] = u"\\★MailData\\received-ids.txt";

  private:
    struct Entry {
        QString account;
        QString server;
        QString identity;
        qint64 storedAt = 0;
        qint64 recordNo = 0;  // 0 once confirmed
    };
    bool isOurs(const Entry& entry) const {
        return entry.account == account_ && entry.server == server_;
    }
    bool rewrite(const QList<Entry>& entries);

    QString path_;
    QString account_;
    QString server_;
    QList<Entry> entries_;
    QHash<QString, qint64> storedAt_;  // this mailbox's identities
};
