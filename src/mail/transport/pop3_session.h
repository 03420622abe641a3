#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <deque>
#include <memory>
#include <optional>

#include "transport/mail_failure.h"
#include "transport/mail_host.h"
#include "transport/network_wait.h"

class QSslSocket;

// One mail of the mailbox as the server lists it.
struct ListedMail {
    int number = 0;
    qint64 size = -1;  // -1 when the server gave none
    QByteArray uid;    // UIDL; empty from a server without it
};

// One POP3 conversation over Qt's socket. The greeting is checked before any login.
// "pop3s://" speaks TLS from the start; any other host is upgraded with STLS when its CAPA
// offers it, and an upgrade that fails ends the session. The account (USER and PASS, or
// the APOP digest) crosses in clear only to this computer, or to a server that never
// offered TLS once the user agreed (server_security.h); a server that offered it before
// and not now gets nothing. Certificates are verified, or matched against the user's pin
// for the server.
//
// Where CAPA lists PIPELINING (over TLS, once upgraded), commands go out without waiting:
// the login with the listing, the RETRs of the mails planned in a window bounded by count
// and bytes, DELEs as they come; replies are read in order. Unread replies stay in the
// kernel's buffers, so memory holds about one mail whatever the window.
//
// Every failure is a MailFailure; after one that is not about a single mail, the session
// is no longer alive and takes nothing more.
class Pop3Session {
  public:
    // RETRs in flight at most, and their listed bytes at most (one mail always goes).
    static constexpr int kAheadMails = 100;
    static constexpr qint64 kAheadBytes = qint64(8) << 20;
    // No mail larger than this is fetched; it is left on the server.
    static constexpr qint64 kMaxMailBytes = qint64(256) << 20;

    Pop3Session(const MailHost& host, const NetworkOptions& options);
    ~Pop3Session();
    Pop3Session(const Pop3Session&) = delete;
    Pop3Session& operator=(const Pop3Session&) = delete;

    // Connects, reads the greeting and upgrades to TLS where offered.
    std::optional<MailFailure> open();
    // Logs in (USER/PASS or APOP) and lists the waiting mails in `mailbox`.
    std::optional<MailFailure> login(const QString& id, const QString& password, bool apop,
                                     QList<ListedMail>& mailbox);
    // The mails the caller will fetch, in the order it will ask for them.
    void planFetches(const QList<ListedMail>& mails);
    // The next planned mail, dot-stuffing undone, lines ending in CR LF. Planned mails
    // before it are skipped. A refusal (MailRefused) leaves the session alive.
    std::optional<MailFailure> fetch(int mailNo, QByteArray& mail);
    // No more RETRs go out; those in flight are read past.
    void stopFetching();
    // Marks a mail deleted; a refusal is told by quit().
    std::optional<MailFailure> markDeleted(int mailNo);
    // Reads every reply still due and sends QUIT: the server removes the mails marked
    // deleted. `refusedDeletes` gets a DeleteRefused for each mail the server kept.
    std::optional<MailFailure> quit(QList<MailFailure>& refusedDeletes);
    // Ends the connection at once, without QUIT; a wait in progress returns.
    void abort();

    bool alive() const { return alive_; }
    bool pipelining() const { return pipelining_; }
    // Set when open() saw encryption offered but could not note it: told, the check goes on.
    const std::optional<MailFailure>& securityNote() const { return securityNote_; }

  private:
    struct Pending {
        enum class Kind { Retrieve, Delete };
        Kind kind;
        int mailNo;
        qint64 listedSize;
    };
    struct Planned {
        int mailNo;
        qint64 listedSize;
    };

    std::optional<MailFailure> connectSocket();
    std::optional<MailFailure> upgradeWhereOffered();
    // Notes that the server offers encryption, so that it must from now on.
    void noteTls();
    // Before an account crosses without encryption: only to this computer, or to a server
    // that never offered encryption once the user agreed.
    std::optional<MailFailure> guardClearLogin();
    bool waitForHandshake(const QDeadlineTimer& deadline);
    MailFailure tlsFailure(bool upgrade);
    std::optional<MailFailure> capabilities(bool& pipelining, bool& stls);
    std::optional<MailFailure> command(const QByteArray& line, QByteArray& reply, bool& ok);
    // Reads one reply line: `ok` for +OK, false for -ERR; a failure for anything else.
    std::optional<MailFailure> readStatus(const QByteArray& shownCommand, QByteArray& reply,
                                          bool& ok);
    // The mailbox from the replies to STAT, LIST and UIDL.
    std::optional<MailFailure> listMailbox(const QByteArray& stat, bool listOk,
                                           const QByteArray& listText, bool uidlOk,
                                           const QByteArray& uidlText, QList<ListedMail>& mailbox);
    // Sends the RETRs that fit into the window.
    std::optional<MailFailure> fillWindow();
    // Reads the reply of the oldest command in flight: a RETR's mail is read past, a DELE
    // refused is kept for quit().
    std::optional<MailFailure> collectOldest();
    std::optional<MailFailure> sendLines(const QByteArray& lines);
    std::optional<MailFailure> readLine(QByteArray& line);
    std::optional<MailFailure> receiveMore();
    // A multi-line answer up to its "." line into `text` (read past when null); more than
    // `maxBytes` fails. `mailNo` is the mail it is, for the failure.
    std::optional<MailFailure> readMultiLine(qint64 maxBytes, int mailNo, QByteArray* text);
    // The session ends: the failure that ended it.
    MailFailure lose(MailFailure::What what);
    MailFailure failure(MailFailure::What what, MailFailure::Todo todo) const;

    MailHost host_;
    NetworkOptions options_;
    std::unique_ptr<QSslSocket> socket_;
    QByteArray pinnedSha256_;
    QByteArray seenSha256_;
    std::optional<CertificateFault> refusal_;
    QString refusalDetail_;
    QByteArray received_;
    qsizetype readPos_ = 0;
    QByteArray apopChallenge_;
    bool pipelining_ = false;
    bool alive_ = false;
    std::deque<Planned> plan_;
    std::deque<Pending> pending_;
    int aheadMails_ = 0;
    qint64 aheadBytes_ = 0;
    QList<MailFailure> refusedDeletes_;
    std::optional<MailFailure> securityNote_;
};
