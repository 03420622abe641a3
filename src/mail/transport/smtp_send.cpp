#include "transport/smtp_send.h"

#include <sys/socket.h>

#include <cstring>

#include "cp932.h"
#include "transport/certificate_pins.h"
#include "transport/curl_certificate_check.h"
#include "transport/curl_handles.h"
#include "transport/server_security.h"
#include "transport/smtp_failure.h"
#include "transport/smtp_security.h"
#include "transport/transport_results.h"

namespace {

struct Upload {
    const QByteArray& bytes;
    qsizetype position = 0;
};

size_t readUpload(char* buffer, size_t size, size_t count, void* userData) {
    auto* upload = static_cast<Upload*>(userData);
    const size_t left = static_cast<size_t>(upload->bytes.size() - upload->position);
    const size_t chunk = std::min(left, size * count);
    std::memcpy(buffer, upload->bytes.constData() + upload->position, chunk);
    upload->position += static_cast<qsizetype>(chunk);
    return chunk;
}

bool isRefusal(CURLcode result) {
    return result == CURLE_LOGIN_DENIED || result == CURLE_SEND_ERROR ||
           result == CURLE_UPLOAD_FAILED || result == CURLE_WEIRD_SERVER_REPLY ||
           result == CURLE_QUOTE_ERROR || result == CURLE_REMOTE_ACCESS_DENIED;
}

struct Attempt {
    CURLcode result = CURLE_FAILED_INIT;
    long replyCode = 0;
    QString detail;
    SmtpOffer offer;
    CurlCertificateCheck certificate;
    SmtpStep step = SmtpStep::Connecting;
    QByteArray lastReply;
    qint64 sizeLimit = 0;
    bool quitting = false;
    // libcurl took the whole mail: from here on a broken dialogue may still have delivered it.
    bool handedOver = false;
    curl_socket_t socket = CURL_SOCKET_BAD;
};

int noteSocket(void* attemptData, curl_socket_t socket, curlsocktype) {
    static_cast<Attempt*>(attemptData)->socket = socket;
    return CURL_SOCKOPT_OK;
}

// The dialogue as libcurl logs it tells what the server's EHLO offered, which command a
// refusal answered, and the refusal's own words.
int watchDialogue(CURL*, curl_infotype type, char* data, size_t size, void* attemptData) {
    auto* attempt = static_cast<Attempt*>(attemptData);
    const QByteArrayView text(data, static_cast<qsizetype>(size));
    // libcurl says QUIT after a refusal too: its answer must not hide the refusal's.
    if (attempt->quitting) {
        return 0;
    }
    if (type == CURLINFO_HEADER_OUT && text.startsWith("QUIT")) {
        attempt->quitting = true;
    } else if (type == CURLINFO_HEADER_OUT) {
        attempt->step = stepOfCommand(text, attempt->step);
    } else if (type == CURLINFO_DATA_OUT && attempt->step == SmtpStep::Data) {
        attempt->step = SmtpStep::Message;
    } else if (type == CURLINFO_HEADER_IN) {
        noteSmtpAnswer(attempt->offer, text);
        const QList<QByteArray> lines = text.toByteArray().split('\n');
        for (const QByteArray& raw : lines) {
            const QByteArray line = raw.trimmed();
            if (line.isEmpty()) {
                continue;
            }
            attempt->lastReply = line;
            if (const qint64 limit = offeredSizeLimit(line)) {
                attempt->sizeLimit = limit;
            }
        }
    }
    return 0;
}

// One SMTP transaction. `useSsl` is CURLUSESSL_ALL (STARTTLS or fail) or CURLUSESSL_NONE.
void transact(Attempt& attempt, const MailHost& host, const NetworkOptions& options,
              const SmtpEnvelope& envelope, const QByteArray& message,
              const std::function<bool()>& stopRequested, long useSsl, bool logIn) {
    if (stopRequested && stopRequested()) {
        attempt.result = CURLE_ABORTED_BY_CALLBACK;
        return;
    }
    CurlEasy easy(curl_easy_init());
    CurlMulti multi(curl_multi_init());
    if (!easy || !multi) {
        attempt.detail = QStringLiteral("libcurl could not start");
        return;
    }
    char curlError[CURL_ERROR_SIZE];
    const QByteArray url = (host.tls ? "smtps://" : "smtp://") + host.authority().toUtf8();
    curl_easy_setopt(easy.get(), CURLOPT_URL, url.constData());
    applyNetworkOptions(easy.get(), options, curlError);
    installCertificateCheck(easy.get(), attempt.certificate);
    curl_easy_setopt(easy.get(), CURLOPT_USE_SSL, useSsl);
    curl_easy_setopt(easy.get(), CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(easy.get(), CURLOPT_DEBUGFUNCTION, watchDialogue);
    curl_easy_setopt(easy.get(), CURLOPT_DEBUGDATA, &attempt);
    curl_easy_setopt(easy.get(), CURLOPT_SOCKOPTFUNCTION, noteSocket);
    curl_easy_setopt(easy.get(), CURLOPT_SOCKOPTDATA, &attempt);
    // A silent server fails the send after the same time as any other network wait.
    curl_easy_setopt(easy.get(), CURLOPT_SERVER_RESPONSE_TIMEOUT,
                     static_cast<long>(std::max(1, options.timeoutMs / 1000)));
    curl_easy_setopt(easy.get(), CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy.get(), CURLOPT_LOW_SPEED_TIME,
                     static_cast<long>(std::max(1, options.timeoutMs / 1000)));
    const QByteArray from = '<' + envelope.from + '>';
    curl_easy_setopt(easy.get(), CURLOPT_MAIL_FROM, from.constData());
    curl_slist* recipientList = nullptr;
    for (const QByteArray& address : envelope.recipients) {
        recipientList = curl_slist_append(recipientList, ('<' + address + '>').constData());
    }
    const CurlList recipients(recipientList);
    curl_easy_setopt(easy.get(), CURLOPT_MAIL_RCPT, recipients.get());
    // Every text crosses in the system code page, the account too.
    const QByteArray id = encodeCp932(envelope.id);
    const QByteArray password = encodeCp932(envelope.password);
    if (logIn && !id.isEmpty()) {
        curl_easy_setopt(easy.get(), CURLOPT_USERNAME, id.constData());
        curl_easy_setopt(easy.get(), CURLOPT_PASSWORD, password.constData());
    }
    Upload upload{message};
    curl_easy_setopt(easy.get(), CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(easy.get(), CURLOPT_READFUNCTION, readUpload);
    curl_easy_setopt(easy.get(), CURLOPT_READDATA, &upload);
    curl_easy_setopt(easy.get(), CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(message.size()));

    curl_multi_add_handle(multi.get(), easy.get());
    // A stop is honoured only while part of the mail is still here: once libcurl has it
    // all, the server may already be delivering it, and its answer is awaited.
    const auto stop = [&] {
        return stopRequested && stopRequested() && upload.position < message.size();
    };
    attempt.result =
        runTransfer(multi.get(), easy.get(), QDeadlineTimer(QDeadlineTimer::Forever), stop);
    attempt.handedOver = upload.position == message.size();
    // libcurl would say QUIT on closing and wait for its answer, without processing events;
    // a server that answers DATA late would then read the QUIT as the mail's first line.
    if (attempt.result == CURLE_ABORTED_BY_CALLBACK && attempt.socket != CURL_SOCKET_BAD) {
        ::shutdown(attempt.socket, SHUT_RDWR);
    }
    curl_multi_remove_handle(multi.get(), easy.get());
    curl_easy_getinfo(easy.get(), CURLINFO_RESPONSE_CODE, &attempt.replyCode);
    attempt.detail =
        QString::fromUtf8(curlError[0] != '\0' ? curlError : curl_easy_strerror(attempt.result));
}

}  // namespace

int sendSmtpMail(const MailHost& host, const NetworkOptions& options, const SmtpEnvelope& envelope,
                 const QByteArray& message, const std::function<bool()>& stopRequested,
                 QString& error, std::optional<CertificateProblem>& certificate) {
    certificate.reset();
    QByteArray pin;
    if (!options.pinFile.isEmpty()) {
        pin = pinnedCertificate(options.pinFile, host.authority());
    }
    // The account is offered only when the server asks for it: a try without it, and one
    // with it after "530 Authentication required" (RFC 4954).
    const auto attemptWith = [&](long useSsl, bool mayLogIn) {
        Attempt attempt;
        attempt.certificate.pinnedSha256 = pin;
        transact(attempt, host, options, envelope, message, stopRequested, useSsl, false);
        if (mayLogIn && !envelope.id.isEmpty() && attempt.result != CURLE_OK &&
            attempt.replyCode == 530) {
            attempt = Attempt{};
            attempt.certificate.pinnedSha256 = pin;
            transact(attempt, host, options, envelope, message, stopRequested, useSsl, true);
        }
        return attempt;
    };
    // A server seen with TLS must use it from now on (server_security.h); on this computer
    // nothing lies between.
    const bool local = isLoopbackHost(host.host);
    const QString service = QStringLiteral("SMTP");
    QString unkept;
    if (host.tls && !local) {
        rememberTls(options.securityFile, service, host.authority(), unkept);
    }
    // Insisting on STARTTLS first means the account never goes out before the upgrade;
    // only a server that turns out to offer no STARTTLS at all is asked again in clear.
    Attempt attempt = attemptWith(host.tls ? CURLUSESSL_NONE : CURLUSESSL_ALL, true);
    if (!host.tls && attempt.offer.startTls && !local) {
        rememberTls(options.securityFile, service, host.authority(), unkept);
    }
    if (!host.tls && attempt.result == CURLE_USE_SSL_FAILED && !attempt.offer.startTls) {
        const ServerSecurity known = knownSecurity(options.securityFile, service, host.authority());
        if (!local && known == ServerSecurity::OffersTls) {
            error = QStringLiteral(
                        "SMTPサーバー %1 は以前は暗号化 (STARTTLS) を申し出ていましたが、今回は"
                        "申し出ませんでした。通信が途中で書き換えられているおそれがあるため、"
                        "送信しませんでした。安全なネットワークにつないでから送信し直してください。"
                        "直らないときはプロバイダーに問い合わせてください。")
                        .arg(host.authority());
            return TransportResult::NetworkFailure;
        }
        const bool mayLogIn = local || known == ServerSecurity::ClearAgreed;
        attempt = attemptWith(CURLUSESSL_NONE, mayLogIn);
        if (!mayLogIn && !envelope.id.isEmpty() && attempt.result != CURLE_OK &&
            attempt.replyCode == 530) {
            error = QStringLiteral(
                        "SMTPサーバー %1 は暗号化 (STARTTLS) に対応していないため、ユーザー名と"
                        "パスワードを送りませんでした。")
                        .arg(host.authority());
            return TransportResult::ClearLoginNotAgreed;
        }
    }
    if (attempt.result == CURLE_OK) {
        // Sent; but unless the server's TLS is on the disk, a later send cannot tell when
        // it is stripped.
        if (!unkept.isEmpty()) {
            error = QStringLiteral(
                        "メールは送信しましたが、SMTPサーバー %1 が暗号化 (STARTTLS) に対応して"
                        "いることを記録できませんでした。ディスクの空きと、★MailDataフォルダに"
                        "書き込めるかを確かめてください。\n%2 (%3)")
                        .arg(host.authority(), options.securityFile, unkept);
        }
        return 0;
    }
    if (attempt.result == CURLE_ABORTED_BY_CALLBACK) {
        error = QStringLiteral("送信を中止しました。メールは送信していません。");
        return TransportResult::Stopped;
    }
    certificate = certificateProblem(attempt.certificate, attempt.result, host,
                                     QStringLiteral("SMTP"), attempt.detail);
    if (certificate) {
        error = describeCertificateProblem(*certificate);
        return TransportResult::UntrustedCertificate;
    }
    if (attempt.result == CURLE_USE_SSL_FAILED) {
        error = QStringLiteral(
                    "SMTPサーバー %1 は暗号化 (STARTTLS) を申し出ましたが、暗号化を始められません"
                    "でした。パスワードとメールを暗号化せずに送ることはしません。\n(%2)")
                    .arg(host.authority(), attempt.detail);
        return TransportResult::NetworkFailure;
    }
    SmtpFailure failure;
    failure.step = attempt.step;
    failure.refused = isRefusal(attempt.result) && attempt.replyCode >= 400;
    failure.timedOut = attempt.result == CURLE_OPERATION_TIMEDOUT;
    failure.handedOver = attempt.handedOver;
    // A reply code of a dialogue that broke off is only that of the last good answer.
    if (failure.refused) {
        failure.replyCode = attempt.replyCode;
        failure.serverReply = QString::fromUtf8(attempt.lastReply);
    }
    failure.detail = attempt.detail;
    failure.sizeLimit = attempt.sizeLimit;
    failure.mailSize = message.size();
    error = describeSmtpFailure(host.authority(), failure);
    if (failure.refused) {
        return TransportResult::Refused;
    }
    return failure.handedOver ? TransportResult::MayHaveGone : TransportResult::NetworkFailure;
}
