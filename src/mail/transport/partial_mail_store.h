#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include "transport/mail_decoding.h"

// Pieces of mails sent as message/partial wait in the hidden sub-folder ".partial-mail" of
// the attachment folder, one file per piece named after a digest of the mail's id and the
// piece's number, until the last one arrives. Each is written whole and synced; the
// folder's entries are made durable by SyncFolder(partialMailFolder(...)) before the
// server may delete the piece.
enum class PartialState {
    Missing,   // kept; other pieces have not arrived yet
    Complete,  // every piece is there: `rebuiltMail` holds the whole mail
    Invalid,   // no id or no usable number: nothing to join it with
    Failed,    // the piece could not be kept (`error` says why)
};

struct PartialOutcome {
    PartialState state = PartialState::Invalid;
    QByteArray rebuiltMail;
    // With Complete: the files of the pieces. They stay until the rebuilt mail is stored
    // and on the disk, so that a failure or a crash before costs no piece.
    QStringList pieceFiles;
    QString error;
};

PartialOutcome keepPartialMail(const QString& folder, const PartialMailInfo& info,
                               QByteArrayView mail);

// The folder of the pieces in the attachment folder `folder`.
QString partialMailFolder(const QString& folder);

// Removes the pieces of rebuilt mails, the list of storedPieces among them, and their
// folder once it is empty.
void removePieces(const QStringList& pieceFiles);

// Pieces whose rebuilt mail a check stored but could not make sure of on the disk: the
// server keeps them, and a later check removes them once its own records are on the disk.
bool noteStoredPieces(const QString& folder, const QStringList& pieceFiles, QString& error);
QStringList storedPieces(const QString& folder);
