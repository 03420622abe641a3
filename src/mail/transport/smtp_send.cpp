#include "smtp_send.h"

#include <cstring>

#include "curl_handles.h"
#include "transport_results.h"

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

}  // namespace

int sendSmtpMail(const MailHost& host, const NetworkOptions& options, const SmtpEnvelope& envelope,
                 const QByteArray& message, QString& error) {
    CurlEasy easy(curl_easy_init());
    CurlMulti multi(curl_multi_init());
    if (!easy || !multi) {
        error = QStringLiteral("メールを送信できませんでした。\n(libcurl could not start)");
        return TransportResult::NetworkFailure;
    }
    char curlError[CURL_ERROR_SIZE];
    const QByteArray url = (host.tls ? "smtps://" : "smtp://") + host.authority().toUtf8();
    curl_easy_setopt(easy.get(), CURLOPT_URL, url.constData());
    applyNetworkOptions(easy.get(), options, curlError);
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
    const QByteArray id = envelope.id.toUtf8();
    const QByteArray password = envelope.password.toUtf8();
    if (!id.isEmpty()) {
        curl_easy_setopt(easy.get(), CURLOPT_USERNAME, id.constData());
        curl_easy_setopt(easy.get(), CURLOPT_PASSWORD, password.constData());
    }
    Upload upload{message};
    curl_easy_setopt(easy.get(), CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(easy.get(), CURLOPT_READFUNCTION, readUpload);
    curl_easy_setopt(easy.get(), CURLOPT_READDATA, &upload);
    curl_easy_setopt(easy.get(), CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(message.size()));

    curl_multi_add_handle(multi.get(), easy.get());
    const CURLcode result =
        runTransfer(multi.get(), easy.get(), QDeadlineTimer(QDeadlineTimer::Forever));
    curl_multi_remove_handle(multi.get(), easy.get());
    if (result == CURLE_OK) {
        return 0;
    }
    long replyCode = 0;
    curl_easy_getinfo(easy.get(), CURLINFO_RESPONSE_CODE, &replyCode);
    const QString detail =
        QString::fromUtf8(curlError[0] != '\0' ? curlError : curl_easy_strerror(result));
    if (isRefusal(result) && replyCode >= 400) {
        error =
            QStringLiteral("SMTPサーバー %1 がメールを受け付けませんでした。\n(%2、応答コード %3)")
                .arg(host.authority(), detail)
                .arg(replyCode);
        return TransportResult::Refused;
    }
    error = QStringLiteral("SMTPサーバー %1 と通信できませんでした。\n(%2)")
                .arg(host.authority(), detail);
    return TransportResult::NetworkFailure;
}
