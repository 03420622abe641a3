#pragma once

#include <QString>

// What the user's mail servers have shown of encryption, kept in
// "★MailData\server-security.txt", one line a server: the service ("POP3", "SMTP"),
// "host:port" and what is known. A server that once offered encryption must use it from
// then on: an attacker on the way can strip the offer from a plain answer, but not from
// what was seen before. To a server that never offered it, the account goes in clear only
// after the user agreed for that server. Servers on this computer are left out: nothing
// lies between.
enum class ServerSecurity {
    Unknown,
    OffersTls,    // STLS or STARTTLS offered, or pop3s/smtps used
    ClearAgreed,  // never offered; the user agreed to log in without encryption
};

QString serverSecurityPath(const QString& folder);

// Unknown when the file or the server's line is missing (or cannot be read).
ServerSecurity knownSecurity(const QString& path, const QString& service, const QString& authority);

// Notes the server as one that offers encryption; this outweighs an agreement to log in
// without. False with `error` when it cannot be kept.
bool rememberTls(const QString& path, const QString& service, const QString& authority,
                 QString& error);
// Notes the user's agreement to log in to the server without encryption.
bool agreeToClearLogin(const QString& path, const QString& service, const QString& authority,
                       QString& error);
