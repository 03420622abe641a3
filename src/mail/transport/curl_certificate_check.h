#pragma once

#include <curl/curl.h>

#include <QByteArray>
#include <QString>

#include <optional>

#include "transport/certificate_problem.h"
#include "transport/mail_host.h"

// Watches the certificate check of one libcurl transfer (OpenSSL underneath): keeps the
// SHA-256 of the server's certificate and why it does not verify. With a pin it accepts
// exactly the pinned certificate, whatever its authority, dates or name, and refuses any
// other, during the handshake, before the server sees a password or a mail.
struct CurlCertificateCheck {
    QByteArray pinnedSha256;  // empty: the usual checks of authority, dates and name
    QByteArray seenSha256;
    int chainError = 0;  // OpenSSL's X509_V_ERR_*, 0 when the chain verified
    bool pinRefused = false;
};

// Hooks `check` into `easy`, after applyNetworkOptions; `check` must outlive the transfer.
void installCertificateCheck(CURL* easy, CurlCertificateCheck& check);

// The problem with the certificate, when it is why the transfer ended with `result`.
std::optional<CertificateProblem> certificateProblem(const CurlCertificateCheck& check,
                                                     CURLcode result, const MailHost& host,
                                                     const QString& service, const QString& detail);
