#pragma once

#include <QByteArray>
#include <QString>

// The certificates the user chose to trust although they do not verify, one line per
// server: "host:port" and the SHA-256 fingerprint (formatFingerprint), CR LF line ends.
// Every call opens the file, uses it and closes it; lines it cannot read are kept.

// Where the pins of an application folder live.
QString pinnedCertificatesPath(const QString& folder);

// The digest pinned for `authority` ("host:port", the host in any case); empty when
// there is none or the file cannot be read.
QByteArray pinnedCertificate(const QString& path, const QString& authority);

// Pins `sha256` for `authority`, in place of an earlier pin. The file is written anew
// beside itself and renamed over the old one only when complete. False with `error`.
bool pinCertificate(const QString& path, const QString& authority, const QByteArray& sha256,
                    QString& error);
