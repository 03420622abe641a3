#pragma once

#include <QString>

class QuillpostApp;
class QWidget;

// What became of one mail handed to SubmitMail.
enum class Submission {
    Sent,         // the server took it
    NotSent,      // it did not go out, and a box said why
    MayHaveGone,  // handed over whole with no answer to it; a box said it may have gone
    Stopped,      // the user stopped the send before the mail had all gone: nothing went
};

// Hands one mail to the transport with the shared SMTP server and own address. SMTP AUTH
// uses the account of this run, or the saved one when none was entered yet. A rejected
// mail shows the transport's message in a box titled "送信エラー" over `parent` (if it is
// still open). A server certificate that does not verify is explained there with the
// question whether to trust it from now on; Yes pins it and sends again. A stop asked
// for with StopSending while the mail is on its way ends the send if part of the mail is
// still to go; a mail that had all gone by then is told in a box, whatever became of it.
Submission SubmitMail(QuillpostApp& app, QWidget* parent, const QString& to, const QString& subject,
                      const QString& body, const QString& attachments);

// The user closed the window whose mail is on its way (中止, 送信中止, or its close box).
void StopSending(QuillpostApp& app);

// Whether a send can start: an SMTP server is set and can be read. Otherwise a box titled
// "送信エラー" over `parent` says so and the server dialog opens to set it.
bool SmtpServerReady(QuillpostApp& app, QWidget* parent);

// Whether `recipients` (comma-separated) names anyone; otherwise a box titled "送信エラー"
// over `parent` says the recipient is missing.
bool RecipientGiven(QuillpostApp& app, QWidget* parent, const QString& recipients);

// The main window's lamp timer runs every 500 ms while mail goes out, and stops after.
void SetSendingLamp(QuillpostApp& app, bool on);
