#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

#include "receive/received_mail_sink.h"
#include "transport/mail_failure.h"

// A fetched mail made ready to be stored.
struct UnpackedMail {
    ReceivedMail mail;
    // A piece of a split mail whose other pieces have not all come: `mail` says so.
    bool waitingPiece = false;
    // The pieces of a split mail this one completed, to be removed once the rebuilt mail
    // is stored and on the disk.
    QStringList pieceFiles;
    // The attachment files this mail placed, to be taken back should its record not be
    // stored: the mail stays on the server and brings them again.
    QStringList attachmentFiles;
};

// Takes back what unpackMail placed for a mail that could not be stored.
void withdrawAttachments(const UnpackedMail& unpacked);

// Decodes a fetched mail and saves its attachments into `attachmentFolder`, all or none. A
// piece of a split mail is kept in the folder until its last piece comes, which rebuilds
// the whole mail. Nothing when done; a failure (AttachmentNotSaved, PieceNotKept) leaves no
// attachment of the mail behind.
std::optional<MailFailure> unpackMail(const QByteArray& mail, const QString& attachmentFolder,
                                      UnpackedMail& unpacked);
