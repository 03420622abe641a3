#pragma once

class QuillpostApp;
class WriteForm;

// Sends the compose window's mail: once to its recipient, or with bulk sending once to
// each address-book entry. Every attempt is first recorded in the sent history with the
// body as typed; with the fortune box ticked a fortune is then added to the body in the
// window and sent with it. A rejected attempt shows its error and the others go on. At
// the end the window hands back to the main window, hidden with its contents kept.
// Stops early, without touching the window again, when the window is closed or the
// program ends while the mail is on its way.
void SendComposedMail(QuillpostApp& app, WriteForm& form);
