#pragma once

#include <QString>

#include <memory>
#include <optional>

#include "transport/certificate_problem.h"
#include "transport/mail_host.h"

class Pop3Session;

// Quillpost's mail transport library: the network settings every connection shares, POP3
// sessions (pop3_session.h) and SMTP. Every network wait keeps the user interface
// responsive by processing events, and gives up after the timeout.
//
// Hosts: "host" means the standard port (110 for POP3, 25 for SMTP), upgraded with STLS
// or STARTTLS when the server offers it, "host:port" chooses the port, and
// "pop3s://host[:port]" and "smtps://host[:port]" speak TLS from the start. Certificates
// are verified, or matched against the one the user pinned for the server.
//
// SMTP results follow the operation they are named after: a negative number is an error
// whose message, in Japanese with the technical detail, NMailGetMessage gives.
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

    // A POP3 session with this transport's network settings, not yet connected; if it is
    // still open when NMailEndWinSock runs, it is ended there without QUIT.
    std::shared_ptr<Pop3Session> pop3Session(const MailHost& host);

    // The account SMTP AUTH uses when the server asks for it.
    void setSmtpAccount(const QString& id, const QString& password);
    // Sends one mail: `to` holds one address or several separated by commas,
    // `attachments` is empty or a comma-separated list of file paths. Negative = error.
    int NMailSmtpSendMail(const QString& smtpHost, const QString& to, const QString& from,
                          const QString& subject, const QString& body, const QString& attachments);

    // Asks a send under way to stop (see sendSmtpMail), and every send after it until
    // the request is taken back with false.
    void setSmtpStopRequested(bool requested);
    bool smtpStopRequested() const;

    // The text of the last error, for display.
    int NMailGetMessage(QString& message);

    // How long one network wait may take before the call fails (default 60 s).
    void setTimeoutMs(int ms);
    // A PEM file of certificate authorities trusted besides the system's (a test server's
    // self-signed certificate).
    void setExtraCertificates(const QString& pemPath);
    // The file of certificates the user chose to trust per server (certificate_pins.h).
    void setPinnedCertificates(const QString& path);
    // The file of what servers showed of encryption (server_security.h).
    void setServerSecurityFile(const QString& path);
    // After a result of TransportResult::UntrustedCertificate: what is wrong with the
    // server's certificate.
    const std::optional<CertificateProblem>& certificateProblem() const;

  private:
    struct State;
    std::unique_ptr<State> state_;
};
