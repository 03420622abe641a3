#pragma once

#include <QtGlobal>

#include "store/mail_records.h"

class QuillpostApp;
class TyakuForm;

// The attachment notice appended to the stored body of a mail that mentions attachments.
inline constexpr char16_t kAttachmentNotice[] =
    u"♪♪♪　添付ファイルがありましので、添付フォルダに展開しました。♪♪♪";

// Fetches every mail waiting on the POP3 server through the receive transaction, staging
// each in the history window, then tells what went wrong in one box and ends with the
// result display (6 seconds per part). Returns at once, without touching any window, when
// the program ends during one of its waits.
void MailCheck(QuillpostApp& app);

// The record the staged mail makes: the history window's Text1–Text4, trimmed, and Text7.
ReceivedMailRecord stagedReceivedMail(const TyakuForm& tyaku);

// Writes the staged mail as received record `recordNo`. False, with nothing written, when
// the record cannot be stored.
bool StoreReceivedMail(QuillpostApp& app, ReceivedMailStore& store, qint16 recordNo);
