#pragma once

#include <QByteArray>
#include <QString>

// Why a server's certificate was refused.
enum class CertificateFault {
    SelfSigned,     // signed by itself rather than by an authority
    UnknownIssuer,  // its authority is not one the system trusts
    Expired,
    NotYetValid,
    WrongName,     // valid, but made out for another server name
    Changed,       // not the certificate the user chose to trust for this server
    Unverifiable,  // any other reason, in `detail`
};

struct CertificateProblem {
    QString service;    // "SMTP", "POP3"
    QString host;       // the name the setting asks for
    QString authority;  // "host:port", what a pin is kept under
    CertificateFault fault = CertificateFault::Unverifiable;
    QByteArray sha256;        // digest of the certificate the server showed (DER)
    QByteArray pinnedSha256;  // with Changed: the digest the user trusted
    QString detail;           // the TLS library's own words
};

// The digest as "AB:CD:…", the way certificate viewers show it.
QString formatFingerprint(const QByteArray& sha256);
// The digest a formatFingerprint text (colons optional, any case) names; empty if none.
QByteArray parseFingerprint(QStringView text);

// What went wrong, in Japanese, with the certificate's SHA-256 fingerprint.
QString describeCertificateProblem(const CertificateProblem& problem);
