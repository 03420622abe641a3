#include "transport/curl_certificate_check.h"

#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

namespace {

QByteArray sha256Of(X509* certificate) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (certificate == nullptr || X509_digest(certificate, EVP_sha256(), digest, &length) != 1) {
        return {};
    }
    return QByteArray(reinterpret_cast<const char*>(digest), static_cast<qsizetype>(length));
}

// Replaces OpenSSL's chain check: the same check, watched, or the pin instead of it.
int verifyChain(X509_STORE_CTX* store, void* data) {
    auto* check = static_cast<CurlCertificateCheck*>(data);
    const int verified = X509_verify_cert(store);
    check->seenSha256 = sha256Of(X509_STORE_CTX_get0_cert(store));
    if (!check->pinnedSha256.isEmpty()) {
        const bool pinned =
            !check->seenSha256.isEmpty() && check->seenSha256 == check->pinnedSha256;
        check->pinRefused = !pinned;
        X509_STORE_CTX_set_error(store, pinned ? X509_V_OK : X509_V_ERR_CERT_REJECTED);
        return pinned ? 1 : 0;
    }
    check->chainError = verified == 1 ? X509_V_OK : X509_STORE_CTX_get_error(store);
    return verified == 1 ? 1 : 0;
}

CURLcode onSslContext(CURL*, void* context, void* data) {
    SSL_CTX_set_cert_verify_callback(static_cast<SSL_CTX*>(context), verifyChain, data);
    return CURLE_OK;
}

CertificateFault faultOf(int chainError) {
    switch (chainError) {
        case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
        case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
            return CertificateFault::SelfSigned;
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
        case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
            return CertificateFault::UnknownIssuer;
        case X509_V_ERR_CERT_HAS_EXPIRED:
            return CertificateFault::Expired;
        case X509_V_ERR_CERT_NOT_YET_VALID:
            return CertificateFault::NotYetValid;
        case X509_V_ERR_HOSTNAME_MISMATCH:
        case X509_V_ERR_IP_ADDRESS_MISMATCH:
        // A chain that verified fails afterwards only on libcurl's own name check.
        case X509_V_OK:
            return CertificateFault::WrongName;
        default:
            return CertificateFault::Unverifiable;
    }
}

}  // namespace

void installCertificateCheck(CURL* easy, CurlCertificateCheck& check) {
    curl_easy_setopt(easy, CURLOPT_SSL_CTX_FUNCTION, onSslContext);
    curl_easy_setopt(easy, CURLOPT_SSL_CTX_DATA, &check);
    if (!check.pinnedSha256.isEmpty()) {
        // The pin names this server's certificate: its name no longer matters.
        curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 0L);
    }
}

std::optional<CertificateProblem> certificateProblem(const CurlCertificateCheck& check,
                                                     CURLcode result, const MailHost& host,
                                                     const QString& service,
                                                     const QString& detail) {
    const bool refused = check.pinRefused || check.chainError != X509_V_OK;
    if (result == CURLE_OK || check.seenSha256.isEmpty() ||
        (!refused && result != CURLE_PEER_FAILED_VERIFICATION)) {
        return std::nullopt;
    }
    CertificateProblem problem;
    problem.service = service;
    problem.host = host.host;
    problem.authority = host.authority();
    problem.sha256 = check.seenSha256;
    if (check.pinRefused) {
        problem.fault = CertificateFault::Changed;
        problem.pinnedSha256 = check.pinnedSha256;
    } else {
        problem.fault = faultOf(check.chainError);
        problem.detail = check.chainError != X509_V_OK
                             ? QString::fromUtf8(X509_verify_cert_error_string(check.chainError))
                             : detail;
    }
    return problem;
}
