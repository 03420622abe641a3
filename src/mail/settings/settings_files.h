#pragma once

#include <QString>

// Quillpost's three settings files: "qsmail.ini" (servers, own address, APOP) in the
// application folder, "iniIdPass.ini" (POP3 account) and "ini.ini" (background colour) in
// the data folder. `folder` is the application folder. Each write replaces its file whole,
// all its keys at once, or leaves it as it was and gives the system's reason in `reason`.

struct ServerSettings {
    QString SmtpServer;
    QString Pop3Server;
    QString MailAddress;
    qint16 ApopFlag = 0;
};

// Reads "qsmail.ini" line by line: a line counts when its first five characters are
// exactly "SMTP=", "POP3=", "MAIL=" or "APOP=", its value is characters 6–105, and the
// last line of a key wins. A missing file leaves every value empty.
ServerSettings readServerSettings(const QString& folder);

// Replaces "qsmail.ini" with exactly four CR LF lines: SMTP=, POP3=, MAIL= and "APOP= 1"
// or "APOP= 0" (nonzero ApopFlag).
bool writeServerSettings(const QString& folder, const ServerSettings& settings,
                         QString* reason = nullptr);

struct AccountSettings {
    QString AccountId;
    QString AccountPassword;
};

// NAME and NAME2 of section EXEINI; empty when missing.
AccountSettings readAccountSettings(const QString& folder);

// With `save`, writes NAME, NAME2 and NAME3 = "1"; without, only NAME3 = "0", leaving a
// stored ID and password as they were.
bool writeAccountSettings(const QString& folder, const AccountSettings& account, bool save,
                          QString* reason = nullptr);

struct ColourSettings {
    int red = 0;
    int green = 0;
    int blue = 0;
};

// NUMBER, NUMBER2 and NUMBER3 of section EXEINI; a missing key reads as 0.
ColourSettings readColourSettings(const QString& folder);
bool writeColourSettings(const QString& folder, const ColourSettings& colour,
                         QString* reason = nullptr);

// Whether received mail stays on the server, kept in "★MailData\server-copies.ini" of its
// own so that "qsmail.ini" keeps its four lines. A kept mail is fetched once; with
// `removeAfterDays` above 0 the check removes it from the server that many days after it
// was stored. Missing: delete at once, as a check always did.
struct ServerCopySettings {
    bool keep = false;
    int removeAfterDays = 0;
};

ServerCopySettings readServerCopySettings(const QString& folder);
bool writeServerCopySettings(const QString& folder, const ServerCopySettings& settings,
                             QString* reason = nullptr);
