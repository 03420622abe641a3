#include "transport/network_wait.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>

namespace {

// Longest time events wait while the network is quiet.
constexpr int kSliceMs = 20;

void processPendingEvents() {
    if (QCoreApplication::instance()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

int sliceMs(const QDeadlineTimer& deadline) {
    return static_cast<int>(std::clamp<qint64>(deadline.remainingTime(), 0, kSliceMs));
}

}  // namespace

CURLcode runTransfer(CURLM* multi, CURL* easy, const QDeadlineTimer& deadline,
                     const std::function<bool()>& stop) {
    while (true) {
        int running = 0;
        const CURLMcode performed = curl_multi_perform(multi, &running);
        if (performed != CURLM_OK) {
            return CURLE_RECV_ERROR;
        }
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == easy) {
                return message->data.result;
            }
        }
        if (deadline.hasExpired()) {
            return CURLE_OPERATION_TIMEDOUT;
        }
        curl_multi_poll(multi, nullptr, 0, sliceMs(deadline), nullptr);
        processPendingEvents();
        if (stop && stop()) {
            return CURLE_ABORTED_BY_CALLBACK;
        }
    }
}

void applyNetworkOptions(CURL* easy, const NetworkOptions& options, char* errorBuffer) {
    errorBuffer[0] = '\0';
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_PROXY, "");
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options.timeoutMs));
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!options.extraCaFile.isEmpty()) {
        // CAINFO replaces the default bundle; the system's folder keeps its authorities.
        curl_easy_setopt(easy, CURLOPT_CAINFO, options.extraCaFile.constData());
        if (QFileInfo(QStringLiteral("/etc/ssl/certs")).isDir()) {
            curl_easy_setopt(easy, CURLOPT_CAPATH, "/etc/ssl/certs");
        }
    }
}
