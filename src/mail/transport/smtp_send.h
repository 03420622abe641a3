#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "mail_host.h"
#include "network_wait.h"

struct SmtpEnvelope {
    QByteArray from;               // bare address
    QList<QByteArray> recipients;  // bare addresses
    QString id;                    // SMTP AUTH account, used when the server offers AUTH
    QString password;
};

// Sends `message` (CR LF lines) through libcurl's SMTP client. 0, or a negative result of
// transport_results.h with `error` in Japanese holding the server's or libcurl's detail.
int sendSmtpMail(const MailHost& host, const NetworkOptions& options, const SmtpEnvelope& envelope,
                 const QByteArray& message, QString& error);
