#include "receive/mail_unpacking.h"

#include <QFile>

#include "transport/attachment_saving.h"
#include "transport/header_text.h"
#include "transport/mail_decoding.h"
#include "transport/partial_mail_store.h"

namespace {

// The body stored while pieces of a split mail are still on their way.
QString waitingPieceNote(const PartialMailInfo& info) {
    const QString of = info.total > 0 ? QString::number(info.total) : QStringLiteral("?");
    return QStringLiteral(
               "（分割されたメールの %1/%2 番目の部分です。全部揃うと添付フォルダに展開します。）")
        .arg(info.number)
        .arg(of);
}

}  // namespace

std::optional<MailFailure> unpackMail(const QByteArray& mail, const QString& attachmentFolder,
                                      UnpackedMail& unpacked) {
    // As the raw body read: the word, before the body's first NUL.
    const QByteArray body = bodyAfterHeader(mail);
    QByteArrayView rawBody(body);
    if (const qsizetype nul = rawBody.indexOf('\0'); nul >= 0) {
        rawBody.truncate(nul);
    }
    unpacked.mail.mentionsAttachment = rawBody.contains("attachment");
    DecodedMail decoded = decodeMail(mail);
    if (decoded.partial) {
        PartialOutcome piece = keepPartialMail(attachmentFolder, *decoded.partial, mail);
        switch (piece.state) {
            case PartialState::Missing:
                decoded.summary.body = waitingPieceNote(*decoded.partial);
                decoded.attachments.clear();
                unpacked.waitingPiece = true;
                break;
            case PartialState::Failed: {
                MailFailure failed{MailFailure::What::PieceNotKept,
                                   MailFailure::Todo::CheckAttachmentFolder};
                failed.path = partialMailFolder(attachmentFolder);
                failed.detail = piece.error;
                return failed;
            }
            case PartialState::Complete:
                decoded = decodeMail(piece.rebuiltMail);
                unpacked.pieceFiles = piece.pieceFiles;
                break;
            case PartialState::Invalid:
                decoded.summary.body = rawBodyText(mail);
                break;
        }
    }
    // All of a mail's attachments or none: a mail whose attachments cannot all be saved
    // stays on the server and comes whole at the next check.
    AttachmentBatch batch(attachmentFolder);
    bool saved = true;
    QString failedName;
    for (const MailAttachment& attachment : decoded.attachments) {
        if (!batch.add(attachment.fileName, attachment.content)) {
            saved = false;
            failedName = attachment.fileName;
            break;
        }
    }
    if (!saved || !batch.publish()) {
        MailFailure failed{MailFailure::What::AttachmentNotSaved,
                           MailFailure::Todo::CheckAttachmentFolder};
        failed.path = attachmentFolder;
        failed.detail = failedName.isEmpty() ? batch.error()
                                             : failedName + QStringLiteral(": ") + batch.error();
        return failed;
    }
    unpacked.attachmentFiles = batch.created();
    unpacked.mail.subject = decoded.summary.subject;
    unpacked.mail.date = decoded.summary.date;
    unpacked.mail.from = decoded.summary.from;
    unpacked.mail.body = decoded.summary.body;
    return std::nullopt;
}

void withdrawAttachments(const UnpackedMail& unpacked) {
    for (const QString& path : unpacked.attachmentFiles) {
        QFile::remove(path);
    }
}
