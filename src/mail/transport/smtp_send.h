#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

#include "transport/certificate_problem.h"
#include "transport/mail_host.h"
#include "transport/network_wait.h"

struct SmtpEnvelope {
    QByteArray from;               // bare address
    QList<QByteArray> recipients;  // bare addresses
    QString id;                    // SMTP AUTH account, used when the server offers AUTH
    QString password;
};

// Sends `message` (CR LF lines) through libcurl's SMTP client. "smtps://" hosts speak TLS
// from the start; any other host is upgraded with STARTTLS when it offers it, and an
// upgrade that fails ends the send rather than going on in clear. The account (in code
// page 932) goes only over TLS, to this computer, or to a server that never offered TLS
// once the user agreed (server_security.h; else ClearLoginNotAgreed), and only when the
// server asks for it. A server that offered TLS before and not now gets nothing.
// 0, or a negative result of transport_results.h with `error` in Japanese: what happened
// and what to do, then on a second line the server's reply or libcurl's detail (see
// smtp_failure.h); with UntrustedCertificate, `certificate` says why. MayHaveGone when
// the whole mail was handed over and the dialogue broke off before the server answered
// it. `stopRequested`, asked while events are processed, ends the send with Stopped as
// long as part of the mail is still to be handed over; after that it is not honoured.
int sendSmtpMail(const MailHost& host, const NetworkOptions& options, const SmtpEnvelope& envelope,
                 const QByteArray& message, const std::function<bool()>& stopRequested,
                 QString& error, std::optional<CertificateProblem>& certificate);
