#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

// The mails that a check stored, for as long as the server may still hold them: a check
// that ends without the server confirming the deletions (a crash, a dropped connection)
// leaves them there, and the next check deletes them without storing them again.
//
// One line per mail: account, server, identity, when it was stored, and a checksum of the
// four, so that a line torn by a crash is ignored rather than misread. A missing or damaged file
// only ever costs a duplicate, never a mail.
class ReceivedLedger {
  public:
    // Reads the entries of one mailbox, the account `account` on `server`.
    ReceivedLedger(QString path, QString account, QString server);

    bool contains(const QString& identity) const { return storedAt_.contains(identity); }
    // When the mail was stored, in seconds since 1970 (UTC).
    qint64 storedAt(const QString& identity) const { return storedAt_.value(identity); }

    // Notes a mail stored at `storedAtSeconds`. False when it cannot be written.
    bool add(const QString& identity, qint64 storedAtSeconds);
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
    };
    bool isOurs(const Entry& entry) const {
        return entry.account == account_ && entry.server == server_;
    }

    QString path_;
    QString account_;
    QString server_;
    QList<Entry> others_;  // entries of other mailboxes, kept as they are
    QHash<QString, qint64> storedAt_;
};
