#pragma once

#include <QString>

#include <memory>
#include <optional>

#include "transport/certificate_problem.h"

// Quillpost's mail transport: POP3 (plain and APOP login), SMTP, and decoding of
// received mail with its attachments. Every network wait keeps the user interface
// responsive by processing events, and gives up after the timeout with a message.
//
// Hosts: "host" means the standard port (110 for POP3, 25 for SMTP), upgraded with STLS
// or STARTTLS when the server offers it, "host:port" chooses the port, and
// "pop3s://host[:port]" and "smtps://host[:port]" speak TLS from the start. Certificates
// are verified, or matched against the one the user pinned for the server.
//
// Text buffers are passed by reference and may be rewritten by any call. Results follow
// the operations they are named after: a negative number is an error whose message, in
// Japanese with the technical detail, NMailGetMessage gives.
class NMail {
  public:
    NMail();
    ~NMail();
    NMail(const NMail&) = delete;
    NMail& operator=(const NMail&) = delete;

    // Start-up and shut-down of the library; NMailEndWinSock closes what is still open.
    void NMailInitializeWinSock();
    void NMailSetOption(int option, int value);
    void NMailEndWinSock();

    // Connection handle, or -1 when the host cannot be reached or does not greet as a
    // POP3 server.
    int NMailPop3Connect(const QString& host);
    // Number of waiting mails, or a negative result (wrong password, APOP refused or not
    // offered); the server's reply is kept for NMailGetMessage.
    int NMailPop3Authenticate(int handle, const QString& id, const QString& password, bool apop);
    // Decoded subject, date, sender ("display name <address>") and the raw header of mail
    // `mailNo` (from 1).
    int NMailPop3GetMailStatus(int handle, int mailNo, QString& subject, QString& date,
                               QString& from, QString& header);
    // Size of the mail in bytes, or a negative result.
    int NMailPop3GetMailSize(int handle, int mailNo);
    // What tells mail `mailNo` apart from every other mail of the mailbox across checks:
    // "uidl:" and the server's unique id, or, from a server without UIDL, "sha256:" and the
    // digest of the mail's bytes (the mail is then fetched, and kept for the calls below).
    int mailIdentity(int handle, int mailNo, QString& identity);
    // Fetches mail `mailNo`: the four status buffers as above, and `body` = the raw body
    // as it stands after the header (the MIME structure undecoded, 8-bit bytes read as code
    // page 932). The exact bytes are kept for NMailAttachmentFileFirst.
    int NMailPop3GetMail(int handle, int mailNo, QString& subject, QString& date, QString& from,
                         QString& header, QString& body);
    // Parses the whole mail (the exact bytes of the mail fetched and not yet deleted, else
    // `wholeMail` itself), saves all of its attachments into `folder` or none (never
    // outside it, never over an existing file) and rewrites the buffers with decoded text: the
    // first text/plain part, else the text of the HTML part. 1 = done, -5 = an attachment file
    // cannot be created, -6 = parts of a split mail are still missing (the parts that
    // arrived are kept in `folder`). `scratchPath` is the caller's scratch file.
    int NMailAttachmentFileFirst(QString& subject, QString& date, QString& from, QString& header,
                                 QString& body, const QString& folder, const QString& scratchPath,
                                 const QString& wholeMail);
    int NMailAttachmentFileClose();
    // Marks the mail deleted on the server; the deletion takes effect at NMailPop3Close.
    int NMailPop3DeleteMail(int handle, int mailNo);
    int NMailPop3Close(int handle);
    // Ends the connection without QUIT: the server keeps every mail, deleted or not.
    void dropPop3Connection(int handle);

    // The account SMTP AUTH uses when the server asks for it.
    void setSmtpAccount(const QString& id, const QString& password);
    // Sends one mail: `to` holds one address or several separated by commas,
    // `attachments` is empty or a comma-separated list of file paths. Negative = error.
    int NMailSmtpSendMail(const QString& smtpHost, const QString& to, const QString& from,
                          const QString& subject, const QString& body, const QString& attachments);

    // The text of the last error, for display.
    int NMailGetMessage(QString& message);

    // How long one network wait may take before the call fails (default 60 s).
    void setTimeoutMs(int ms);
    // A PEM file of certificate authorities trusted besides the system's (a test server's
    // self-signed certificate).
    void setExtraCertificates(const QString& pemPath);
    // The file of certificates the user chose to trust per server (certificate_pins.h).
    void setPinnedCertificates(const QString& path);
    // After a result of TransportResult::UntrustedCertificate: what is wrong with the
    // server's certificate.
    const std::optional<CertificateProblem>& certificateProblem() const;

  private:
    struct State;
    std::unique_ptr<State> state_;
};
