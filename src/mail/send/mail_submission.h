#pragma once

#include <QString>

class QuillpostApp;
class QWidget;

// Hands one mail to the transport with the shared SMTP server and own address. SMTP AUTH
// uses the account of this run, or the saved one when none was entered yet. A rejected
// mail shows the transport's message in a box titled "送信エラー" over `parent` (if it is
// still open). A server certificate that does not verify is explained there with the
// question whether to trust it from now on; Yes pins it and sends again. True when the
// server took the mail.
bool SubmitMail(QuillpostApp& app, QWidget* parent, const QString& to, const QString& subject,
                const QString& body, const QString& attachments);

// Whether a send can start: an SMTP server is set and can be read. Otherwise a box titled
// "送信エラー" over `parent` says so and the server dialog opens to set it.
bool SmtpServerReady(QuillpostApp& app, QWidget* parent);

// Whether `recipients` (comma-separated) names anyone; otherwise a box titled "送信エラー"
// over `parent` says the recipient is missing.
bool RecipientGiven(QuillpostApp& app, QWidget* parent, const QString& recipients);

// The main window's lamp timer runs every 500 ms while mail goes out, and stops after.
void SetSendingLamp(QuillpostApp& app, bool on);
