#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

#include "transport/attachment_saving.h"

// What the history shows of a mail: subject, date and sender from its header, and the
// body as decodeMail reads it.
struct MailSummary {
    QString subject;
    QString date;
    QString from;  // "display name <address>"
    QString body;
};

// One piece of a mail sent as message/partial.
struct PartialMailInfo {
    QByteArray id;
    int number = 0;
    int total = 0;  // 0 when this piece does not tell
};

// A received mail taken apart: the summary with the readable text as body (the first
// text/plain part, else the text of the first HTML part) and the attachments.
struct DecodedMail {
    MailSummary summary;
    QList<MailAttachment> attachments;
    std::optional<PartialMailInfo> partial;
};

DecodedMail decodeMail(QByteArrayView mail);

// The body after the header as it stands, bytes read as code page 932, NULs as spaces:
// what is left to show of a mail nothing else can be made of.
QString rawBodyText(QByteArrayView mail);
