#pragma once

#include <QByteArray>

#include <optional>

#include "store/mail_records.h"

class QuillpostApp;
class QWidget;

// A send's record in the sent history, written before the mail goes out so that a crash
// mid-send still leaves it, and taken out again if the server did not take the mail.
struct SentAttempt {
    qint16 recordNo = 0;
    QByteArray image;  // the record as written, to find it again
    qint16 previousCurrentRecordNo = 0;
    SentMailRecord previousBuffer;
};

// Appends `record` at the next record number, which becomes CurrentRecordNo, with the
// record in the shared buffer. A record that cannot be written is reported over `parent`.
std::optional<SentAttempt> RecordSendAttempt(QuillpostApp& app, QWidget* parent,
                                             const SentMailRecord& record);

// Deletes the attempt's record (mark and compaction: the file is replaced only once the
// survivors are safely written) and puts CurrentRecordNo and the buffer back as they
// were. The record is looked for by its contents, because deletions made while the
// mail was on its way move the records behind them.
void WithdrawSendAttempt(QuillpostApp& app, QWidget* parent, const SentAttempt& attempt);
