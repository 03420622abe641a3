#include "transport/nmail.h"

#include <curl/curl.h>

#include <QFile>

#include <vector>

#include "transport/outgoing_mail.h"
#include "transport/pop3_session.h"
#include "transport/smtp_send.h"
#include "transport/transport_results.h"

struct NMail::State {
    NetworkOptions network;
    std::vector<std::weak_ptr<Pop3Session>> pop3Sessions;
    QString smtpId;
    QString smtpPassword;
    QString message;
    std::optional<CertificateProblem> certificateProblem;
    bool curlStarted = false;
    bool smtpStopRequested = false;
};

NMail::NMail() : state_(std::make_unique<State>()) {}

NMail::~NMail() {
    NMailEndWinSock();
    if (state_->curlStarted) {
        curl_global_cleanup();
    }
}

void NMail::NMailInitializeWinSock() {
    if (!state_->curlStarted) {
        state_->curlStarted = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    }
}

void NMail::NMailSetOption(int, int) {
    // Option 1 sized the caller's buffers; buffers here are QStrings of any length.
}

void NMail::NMailEndWinSock() {
    // Connections still open are dropped without QUIT, so that nothing marked deleted is
    // removed from the server by a shutdown; a wait on one of them returns at once.
    for (const std::weak_ptr<Pop3Session>& weak : state_->pop3Sessions) {
        if (const std::shared_ptr<Pop3Session> session = weak.lock()) {
            session->abort();
        }
    }
    state_->pop3Sessions.clear();
}

std::shared_ptr<Pop3Session> NMail::pop3Session(const MailHost& host) {
    std::erase_if(state_->pop3Sessions, [](const auto& weak) { return weak.expired(); });
    auto session = std::make_shared<Pop3Session>(host, state_->network);
    state_->pop3Sessions.push_back(session);
    return session;
}

void NMail::setSmtpAccount(const QString& id, const QString& password) {
    state_->smtpId = id;
    state_->smtpPassword = password;
}

int NMail::NMailSmtpSendMail(const QString& smtpHost, const QString& to, const QString& from,
                             const QString& subject, const QString& body,
                             const QString& attachments) {
    const std::optional<MailHost> host = parseMailHost(smtpHost, kSmtpProtocol);
    if (!host) {
        state_->message =
            QStringLiteral(
                "SMTPサーバーの指定が正しくないため、送信できません。サーバーの設定画面で"
                "SMTPサーバーを確かめてください。\n(指定: \"%1\")")
                .arg(smtpHost);
        return TransportResult::BadInput;
    }
    OutgoingMail mail{from, splitRecipients(to), subject, body, splitAttachmentPaths(attachments)};
    if (mail.to.isEmpty()) {
        state_->message = QStringLiteral(
                              "宛先のアドレスがないため、送信できません。宛先を入力してください。\n"
                              "(宛先: \"%1\")")
                              .arg(to);
        return TransportResult::BadInput;
    }
    QString error;
    const std::optional<QByteArray> message = buildOutgoingMail(mail, error);
    if (!message) {
        state_->message = error;
        return TransportResult::UnreadableFile;
    }
    SmtpEnvelope envelope{bareAddress(from), {}, state_->smtpId, state_->smtpPassword};
    for (const QString& recipient : mail.to) {
        envelope.recipients.append(bareAddress(recipient));
    }
    const auto stopRequested = [this] { return state_->smtpStopRequested; };
    const int result = sendSmtpMail(*host, state_->network, envelope, *message, stopRequested,
                                    error, state_->certificateProblem);
    // A sent mail may still bring a note of what could not be kept.
    state_->message = error;
    return result < 0 ? result : 1;
}

void NMail::setSmtpStopRequested(bool requested) {
    state_->smtpStopRequested = requested;
}

bool NMail::smtpStopRequested() const {
    return state_->smtpStopRequested;
}

int NMail::NMailGetMessage(QString& message) {
    message = state_->message;
    return static_cast<int>(message.size());
}

void NMail::setTimeoutMs(int ms) {
    state_->network.timeoutMs = ms;
}

void NMail::setExtraCertificates(const QString& pemPath) {
    state_->network.extraCaFile = QFile::encodeName(pemPath);
}

void NMail::setPinnedCertificates(const QString& path) {
    state_->network.pinFile = path;
}

void NMail::setServerSecurityFile(const QString& path) {
    state_->network.securityFile = path;
}

const std::optional<CertificateProblem>& NMail::certificateProblem() const {
    return state_->certificateProblem;
}
