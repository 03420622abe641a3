#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Real mail servers for a test: a private Dovecot (POP3, APOP, POP3S) and aiosmtpd
// SMTP servers (plain, implicit TLS, submission with STARTTLS required before AUTH, and one
// that offers STARTTLS but refuses it) on 127.0.0.1, delivering into the same Maildirs.
// Every TLS port shows one self-signed certificate (caFile()).
// Started by the constructor, stopped by the destructor; if the test process dies, the
// supervisor sees its standard input close and stops the servers itself.
class MailServers {
  public:
    struct Options {
        QStringList users{QStringLiteral("taro:himitsu")};  // "name:password"
        bool smtpAuth = false;                              // SMTP requires AUTH
        // The certificate's only name; empty: "localhost" and 127.0.0.1, as clients ask.
        QString certificateName;
        bool pop3Stls = false;         // the plain POP3 port offers STLS
        bool pop3TlsRequired = false;  // STLS offered, and every login refused before it
        int smtpSizeLimit = 0;  // bytes above which SMTP refuses a mail (552); 0: the default
    };

    MailServers();
    explicit MailServers(const Options& options);
    ~MailServers();
    MailServers(const MailServers&) = delete;
    MailServers& operator=(const MailServers&) = delete;

    // False with a reason when a server could not be started (missing package included).
    bool started() const { return started_; }
    const QString& error() const { return error_; }

    // "127.0.0.1:port", with pop3TlsRequired "127.0.0.2:port" (see mail_servers.py).
    QString pop3Host() const;
    // "pop3s://127.0.0.3:port", or on pop3Host()'s address when that offers STLS.
    QString pop3sHost() const;
    QString smtpHost() const;
    QString smtpsHost() const;
    QString submissionHost() const;      // "127.0.0.1:port": STARTTLS, then AUTH, then mail
    QString refusedTlsSmtpHost() const;  // offers STARTTLS, answers it with 454
    const QString& caFile() const { return caFile_; }

    // Puts a mail into the user's mailbox as a delivery agent would.
    void deliver(const QString& user, const QByteArray& mail) const;
    // The mails in the user's mailbox, oldest first.
    QList<QByteArray> mailbox(const QString& user) const;

  private:
    QString maildir(const QString& user) const;

    QTemporaryDir dir_;
    QProcess supervisor_;
    bool started_ = false;
    QString error_;
    QString pop3Address_;
    QString pop3sAddress_;
    int pop3Port_ = 0;
    int pop3sPort_ = 0;
    int smtpPort_ = 0;
    int smtpsPort_ = 0;
    int submissionPort_ = 0;
    int refusedTlsSmtpPort_ = 0;
    qint64 dovecotPid_ = 0;
    uint uid_ = 0;
    uint gid_ = 0;
    QString caFile_;
    QString maildirRoot_;
};
