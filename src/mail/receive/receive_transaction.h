#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

#include "settings/settings_files.h"
#include "store/mail_records.h"
#include "transport/mail_failure.h"
#include "transport/pop3_session.h"

class NMail;
class ReceivedLedger;
class ReceivedMailSink;

struct ReceiveSettings {
    QString folder;  // the application folder
    QString server;  // the POP3 server setting
    ServerCopySettings copies;
    qint64 now = 0;  // seconds since 1970 (UTC): when the mails are stored
};

struct Pop3Account {
    QString id;
    QString password;
    bool apop = false;
};

struct ReceiveOutcome {
    int stored = 0;
    // The last mail stored mentions attachments.
    bool attachment = false;
    // A piece of a split mail was stored while its other pieces are still to come.
    bool piecesWaiting = false;
    // In the order met: mails left on the server for a reason of their own, what stopped
    // the check, and what went wrong as it closed.
    QList<MailFailure> failures;
    // The program ended meanwhile: nothing more may be touched.
    bool ended = false;
};

// One mail check as a transaction: every mail that reached the server is stored exactly
// once or stays on the server.
// - A mail is stored only when it was fetched whole and its attachments saved, and only
//   while the record file has room; it is noted in the ledger before its record is written.
// - It is deleted from the server only after its record is written, and QUIT, which makes
//   the deletions take effect, goes only after the records, attachments, pieces of split
//   mails and notes are on the disk.
// - A mail that fails on its own (refused, too large, attachments not saved) stays on the
//   server and the check goes on with the others; a failure of the connection or of the
//   disk stops it, and what was stored before stays stored.
// The windows see only the sink; the transaction works on the files and the session.
class ReceiveTransaction {
  public:
    ReceiveTransaction(NMail& transport, ReceiveSettings settings, ReceivedMailSink& sink);
    ~ReceiveTransaction();
    ReceiveTransaction(const ReceiveTransaction&) = delete;
    ReceiveTransaction& operator=(const ReceiveTransaction&) = delete;

    // Connects to the server and greets it.
    std::optional<MailFailure> connect();
    // Ends the connection without logging in.
    void close();
    // Logs in and receives every mail waiting, then closes.
    ReceiveOutcome receive(const Pop3Account& account);

  private:
    // Lists, fetches and stores; false when the program ended.
    bool receiveListed(const QList<ListedMail>& mailbox, ReceivedLedger& ledger,
                       ReceivedMailStore& store);
    // Stores one fetched mail; false when the check must stop.
    bool storeMail(const ListedMail& listed, const QString& identity, const QByteArray& mail,
                   ReceivedLedger& ledger, ReceivedMailStore& store);
    // A mail stored before: deleted now unless it is kept and not yet due. False when the
    // connection failed.
    bool settleStoredMail(int mailNo, const QString& identity, const ReceivedLedger& ledger);
    // Notes the pieces of the mails this check rebuilt and stored, for the next check to
    // remove once the records are surely on the disk.
    void leavePieces();
    bool deleteFromServer(int mailNo, const QString& identity);
    void finish(ReceivedLedger& ledger, ReceivedMailStore& store);
    void fail(const MailFailure& failure);
    void quitQuietly();
    ReceiveOutcome ended();

    NMail& transport_;
    ReceiveSettings settings_;
    ReceivedMailSink& sink_;
    const QString attachmentFolder_;
    std::shared_ptr<Pop3Session> session_;
    ReceiveOutcome outcome_;
    QSet<QString> stored_;
    QHash<int, QString> deleted_;  // mail number → identity
    QSet<QString> onServer_;
    bool everyMailKnown_ = true;  // onServer_ names every mail the server holds
    QStringList pieceFiles_;
};
