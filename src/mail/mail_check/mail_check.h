#pragma once

#include <QtGlobal>

#include "store/mail_records.h"

class QuillpostApp;

// The attachment notice appended to the stored body of a mail that mentions attachments.
inline constexpr char16_t kAttachmentNotice[] =
    u"♪♪♪　添付ファイルがありましので、添付フォルダに展開しました。♪♪♪";

// Fetches every mail waiting on the POP3 server: stages each in the history window,
// stores it in "qsmdata2.data" and only then deletes it from the server; ends with the
// result display (6 seconds per part). Returns at once, without touching any window,
// when the program ends during one of its pauses.
void MailCheck(QuillpostApp& app);

// Writes the staged mail (history window's Text1–Text4, Text7) as received record
// `recordNo`. False, with nothing written, when the record cannot be stored.
bool StoreReceivedMail(QuillpostApp& app, ReceivedMailStore& store, qint16 recordNo);
