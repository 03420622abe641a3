#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

#include "transport/attachment_saving.h"

// What the summary lines of a mail show, read from its header alone.
struct MailSummary {
    QString subject;
    QString date;
    QString from;    // "display name <address>"
    QString header;  // the raw header lines, each ending in CR LF
    QString body;    // the raw body after the header, bytes read as code page 932
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

MailSummary summarizeMail(QByteArrayView mail);
// `summary` is summarizeMail(mail) when the caller has it already, which spares
// decoding the raw text a second time.
DecodedMail decodeMail(QByteArrayView mail, std::optional<MailSummary> summary = std::nullopt);
