#pragma once

#include <QByteArrayView>

// What an SMTP server offered in its EHLO answers.
struct SmtpOffer {
    bool startTls = false;
    bool auth = false;
};

// Notes what the server's answer lines ("250-STARTTLS", "250 AUTH PLAIN LOGIN") offer.
void noteSmtpAnswer(SmtpOffer& offer, QByteArrayView lines);
