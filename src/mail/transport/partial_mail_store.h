#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include "transport/mail_decoding.h"

// Pieces of mails sent as message/partial wait in the hidden sub-folder ".partial-mail" of
// the attachment folder, one file per piece named after a digest of the mail's id and the
// piece's number, until the last one arrives.
enum class PartialState {
    Missing,   // kept; other pieces have not arrived yet
    Complete,  // every piece is there: `rebuiltMail` holds the whole mail, pieces removed
    Invalid,   // no id or no usable number: nothing to join it with
    Failed,    // the piece could not be kept (`error` says why)
};

struct PartialOutcome {
    PartialState state = PartialState::Invalid;
    QByteArray rebuiltMail;
    QString error;
};

PartialOutcome keepPartialMail(const QString& folder, const PartialMailInfo& info,
                               QByteArrayView mail);
