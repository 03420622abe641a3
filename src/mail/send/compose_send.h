#pragma once

class QuillpostApp;
class WriteForm;

// Sends the compose window's mail: once to its recipient, or with bulk sending once to
// each address-book entry. Without an SMTP server or a recipient nothing is sent. Every
// attempt is first recorded in the sent history with the body as typed, and the record
// taken out again when the server does not take the mail (kept when it may have gone:
// handed over whole with no answer); with the fortune box ticked a fortune is added to
// the body in the window and sent with it (and taken back if the mail did not go out).
// A rejected attempt shows its error and the others go on. When every mail went out the
// window hands back to the main window, hidden with its contents kept; otherwise it
// stays, saying so, for the mail to be put right. Stops early, without touching the
// window again, when the window is closed or the program ends while the mail is on its
// way; a close stops the send (mail_submission.h), and a mail stopped so is withdrawn
// like a refused one.
void SendComposedMail(QuillpostApp& app, WriteForm& form);
