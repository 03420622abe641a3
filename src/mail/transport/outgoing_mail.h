#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

#include "transport/mail_addresses.h"

struct OutgoingMail {
    QString from;    // the sender's address
    QStringList to;  // one entry per recipient, "address" or "name <address>"
    QString subject;
    QString body;
    QStringList attachmentPaths;  // files sent as base64 parts
};

// The paths of a comma-separated attachment list (a single existing path that itself
// contains commas is kept whole).
QStringList splitAttachmentPaths(const QString& list);

// The mail as it goes on the wire, lines ending in CR LF, none longer than 998 bytes:
// text in ISO-2022-JP when it survives the trip, else UTF-8; attachment names per RFC 2231
// and RFC 2047. Nothing, with `error` set, when an attachment cannot be read.
std::optional<QByteArray> buildOutgoingMail(const OutgoingMail& mail, QString& error);
