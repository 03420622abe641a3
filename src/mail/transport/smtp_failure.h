#pragma once

#include <QByteArrayView>
#include <QString>

// The step an SMTP dialogue had reached: the last command the client sent.
enum class SmtpStep { Connecting, Hello, StartTls, LogIn, Sender, Recipient, Data, Message };

// What is known about a send that did not go through.
struct SmtpFailure {
    SmtpStep step = SmtpStep::Connecting;
    bool refused = false;     // the server answered with an error (else the connection failed)
    bool timedOut = false;    // the server stopped answering
    bool handedOver = false;  // the whole mail had gone to the server when it broke off
    long replyCode = 0;       // of the server's last answer, 0 when there was none
    QString serverReply;      // that answer's last line, as the server sent it
    QString detail;           // libcurl's description
    qint64 sizeLimit = 0;     // the SIZE the server offered in its EHLO answer, 0 for none
    qint64 mailSize = 0;      // bytes of the mail as sent
};

// The step a command line sent by the client starts; `current` for a line that starts
// none (the lines of an AUTH exchange, QUIT).
SmtpStep stepOfCommand(QByteArrayView line, SmtpStep current);
// The SIZE value of an EHLO answer line ("250-SIZE 1000"), 0 for any other line.
qint64 offeredSizeLimit(QByteArrayView line);

// The message for the user: a first line that says in plain Japanese what happened and
// what to do, a second one in brackets with the server's reply and code.
QString describeSmtpFailure(const QString& server, const SmtpFailure& failure);
