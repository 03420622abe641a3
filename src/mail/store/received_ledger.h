#pragma once

#include <QList>
#include <QSet>
#include <QString>

// The mails that a check stored, for as long as the server may still hold them: a check
// that ends without the server confirming the deletions (a crash, a dropped connection)
// leaves them there, and the next check deletes them without storing them again.
//
// One line per mail: account, server, identity and a checksum of the three, so that a
// line torn by a crash is ignored rather than misread. A missing or damaged file only
// ever costs a duplicate, never a mail.
class ReceivedLedger {
  public:
    // Reads the entries of one mailbox, the account `account` on `server`.
    ReceivedLedger(QString path, QString account, QString server);

    bool contains(const QString& identity) const { return identities_.contains(identity); }

    // Notes a stored mail. False when it cannot be written.
    bool add(const QString& identity);
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
    };
    bool isOurs(const Entry& entry) const {
        return entry.account == account_ && entry.server == server_;
    }

    QString path_;
    QString account_;
    QString server_;
    QList<Entry> others_;  // entries of other mailboxes, kept as they are
    QSet<QString> identities_;
};
