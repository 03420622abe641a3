#pragma once

#include <QByteArrayView>
#include <QStringView>

#include "transport/mail_host.h"

// What an SMTP server offered in its EHLO answers.
struct SmtpOffer {
    bool startTls = false;
    bool auth = false;
};

// Notes what the server's answer lines ("250-STARTTLS", "250 AUTH PLAIN LOGIN") offer.
void noteSmtpAnswer(SmtpOffer& offer, QByteArrayView lines);

// 127.0.0.0/8, ::1 and "localhost": connections that never leave this computer.
bool isLoopbackHost(QStringView host);

// Whether the account may cross a connection that is not encrypted: only to this computer
// itself, or to a server that offers no encryption to upgrade to. A server that offers
// STARTTLS gets the account only over TLS.
bool mayLogInWithoutTls(const MailHost& host, const SmtpOffer& offer);
