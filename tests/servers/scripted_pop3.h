#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include "scripted_server.h"

// A small POP3 server of our own that misbehaves on purpose (scripted_pop3.py says how), for
// faults a real server cannot be made to show. Serves the mails added here to any account.
class ScriptedPop3 {
  public:
    struct Options {
        // "err:2", "drop:2", "stall:2", "garbage:2", "longline:2", "endless:2", "slow:2",
        // "dele-err:2"; "in-use", "login-delay", "sys-temp" refuse PASS with that code;
        // "stat:VALUE" answers STAT with that count; "huge:2" lists mail 2 with 300 MB;
        // "quit-err" answers QUIT with -ERR and removes nothing; "capa-err" answers CAPA
        // with -ERR
        QString fault;
        bool uidl = true;
        double stallQuitSeconds = 0;
        bool pipelining = false;  // CAPA lists PIPELINING
        QString address = QStringLiteral("127.0.0.1");
        bool apop = false;  // the greeting holds an APOP challenge
    };

    explicit ScriptedPop3(const Options& options);

    bool started() const { return process_.port() > 0; }
    QString host() const { return QStringLiteral("%1:%2").arg(address_).arg(process_.port()); }

    // Whether a new session's CAPA offers STLS (which is then refused): off at the start.
    void offerStls(bool offer);

    // Mails are served in the order they were added.
    void addMail(const QByteArray& mail);
    // A mail under a number of the test's choosing, which also makes its UIDL: a number
    // used before serves a new mail under an id the server once gave another.
    void addMail(const QByteArray& mail, int number);
    // The mails the server still holds.
    QList<QByteArray> mails() const;
    // The command lines received so far, in order, from every connection.
    QList<QByteArray> commands() const;

  private:
    QTemporaryDir dir_;
    QString address_;
    ScriptedServerProcess process_;
    int added_ = 0;
};
