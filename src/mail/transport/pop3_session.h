#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <deque>
#include <map>
#include <memory>
#include <optional>

#include "transport/certificate_problem.h"
#include "transport/mail_host.h"
#include "transport/network_wait.h"

class QSslSocket;

// One POP3 conversation over Qt's socket: the greeting is checked before any login, and
// the server's replies are kept for the error message. "pop3s://" speaks TLS from the
// start; any other host is upgraded with STLS when its CAPA offers it, and an upgrade
// that fails ends the session, so USER and PASS cross in clear only to a server that
// offers no TLS (APOP never sends the password itself). Certificates are verified, or
// matched against the user's pin for the server. Results as in transport_results.h.
//
// A server whose CAPA lists PIPELINING (over TLS, once upgraded) gets the next RETR while
// the caller still stores the mail before it, and DELEs without waiting for their +OK;
// their replies are read in order before the next reply that is needed and before QUIT.
class Pop3Session {
  public:
    Pop3Session(const MailHost& host, const NetworkOptions& options);
    ~Pop3Session();
    Pop3Session(const Pop3Session&) = delete;
    Pop3Session& operator=(const Pop3Session&) = delete;

    // Connects, reads the greeting and upgrades to TLS where offered.
    int open();
    // Logs in (USER/PASS or APOP) and returns the number of waiting mails.
    int login(const QString& id, const QString& password, bool apop);
    // The size the server gives for the mail; all sizes come with the first call.
    int mailSize(int mailNo);
    // The server's unique id of the mail (UIDL), empty when the server has none; all ids
    // come with the first call. Negative when the connection failed.
    int uniqueId(int mailNo, QByteArray& id);
    // The mail as the server holds it, dot-stuffing undone, lines ending in CR LF. A mail
    // longer than `maxBytes` fails the call, so that a hostile server cannot fill memory.
    int fetch(int mailNo, qsizetype maxBytes, QByteArray& mail);
    // The size from the listing already read, without asking the server.
    std::optional<int> listedSize(int mailNo) const;
    // With pipelining, asks for mail `mailNo` now so that it streams while the caller is
    // busy; fetch() of that mail reads it (or its -ERR). Nothing without pipelining.
    void fetchAhead(int mailNo, qsizetype maxBytes);
    // With pipelining the reply is read later: a refusal is reported by quit().
    int markDeleted(int mailNo);
    // QUIT: the server removes the mails marked deleted. Refused when the server refused a
    // pipelined DELE (that mail stays on the server; the others are removed).
    int quit();

    // Set by the failed call, in Japanese with the technical detail.
    const QString& error() const { return error_; }
    // True while a call waits on the network (events are processed meanwhile).
    bool busy() const { return busy_; }
    // Set when open() failed because the server's certificate was refused.
    const std::optional<CertificateProblem>& certificateProblem() const { return certificate_; }

  private:
    int connectSocket();
    // CAPA, then STLS and the handshake when offered.
    int upgradeWhereOffered();
    bool waitForHandshake(const QDeadlineTimer& deadline);
    // `upgrade`: the failure came after STLS, not on a "pop3s://" connection.
    int failTls(bool upgrade);
    // The server's capabilities; empty when it has no CAPA.
    int capabilities(QByteArray& listed);
    int command(const QByteArray& line, const QString& shownCommand, QByteArray& reply);
    // +OK, -ERR (Refused) or a reply that ends the session.
    int replyStatus(const QByteArray& reply, const QString& shownCommand);
    // Reads the replies of pipelined commands in order, up to the RETR of `untilMail`
    // (left unread) or all of them.
    int collectPending(std::optional<int> untilMail);
    int sendAll(const QByteArray& bytes);
    int readLine(QByteArray& line);
    int receiveMore();
    int readMultiLine(qsizetype maxBytes, QByteArray& text);
    // The numbered lines of a multi-line listing ("LIST", "UIDL"); an empty map when the
    // server refused the command.
    int listing(const QByteArray& command, std::map<int, QByteArray>& entries);
    int failNetwork(const QString& detail);

    // A pipelined command whose reply has not been read yet.
    struct Pending {
        bool retrieve = false;  // RETR, else DELE
        int mailNo = 0;
        qsizetype maxBytes = 0;
    };

    MailHost host_;
    NetworkOptions options_;
    std::unique_ptr<QSslSocket> socket_;
    QByteArray pinnedSha256_;
    QByteArray seenSha256_;
    std::optional<CertificateFault> refusal_;  // why verification failed
    QString refusalDetail_;
    std::optional<CertificateProblem> certificate_;
    QByteArray received_;
    qsizetype readPos_ = 0;
    QByteArray apopChallenge_;
    std::optional<std::map<int, QByteArray>> sizes_;
    std::optional<std::map<int, QByteArray>> uniqueIds_;
    bool pipelining_ = false;
    std::deque<Pending> pending_;
    QStringList refusedDeletes_;  // the server's -ERR to pipelined DELEs
    QString error_;
    bool busy_ = false;
    bool connected_ = false;
};
