#include "transport/certificate_problem.h"

namespace {

constexpr qsizetype kSha256Bytes = 32;

QString reason(const CertificateProblem& problem) {
    switch (problem.fault) {
        case CertificateFault::SelfSigned:
            return QStringLiteral(
                "この証明書は自己署名のもので、信頼できる認証局の署名がありません。");
        case CertificateFault::UnknownIssuer:
            return QStringLiteral("この証明書の発行元は、信頼できる認証局ではありません。");
        case CertificateFault::Expired:
            return QStringLiteral("この証明書は有効期限が切れています。");
        case CertificateFault::NotYetValid:
            return QStringLiteral("この証明書の有効期間はまだ始まっていません。");
        case CertificateFault::WrongName:
            return QStringLiteral("この証明書はサーバー名 %1 のものではありません。")
                .arg(problem.host);
        case CertificateFault::Changed:
        case CertificateFault::Unverifiable:
            break;
    }
    return QStringLiteral("この証明書を検証できませんでした。");
}

}  // namespace

QString formatFingerprint(const QByteArray& sha256) {
    return QString::fromLatin1(sha256.toHex(':').toUpper());
}

QByteArray parseFingerprint(QStringView text) {
    QByteArray hex;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u':') {
            continue;
        }
        if (!((u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F'))) {
            return {};
        }
        hex += static_cast<char>(u);
    }
    const QByteArray digest = QByteArray::fromHex(hex);
    return hex.size() == 2 * kSha256Bytes && digest.size() == kSha256Bytes ? digest : QByteArray();
}

QString describeCertificateProblem(const CertificateProblem& problem) {
    const QString server = QStringLiteral("%1サーバー %2").arg(problem.service, problem.authority);
    const QString detail =
        problem.detail.isEmpty() ? QString() : QStringLiteral("\n(%1)").arg(problem.detail);
    if (problem.fault == CertificateFault::Changed) {
        return QStringLiteral(
                   "%1 の証明書が、信頼すると決めた証明書と違います。別のサーバーがなりすましている"
                   "おそれがあるため、接続を中止しました。\n\n今回の証明書の SHA-256 "
                   "フィンガープリント:\n%2\n信頼すると決めた証明書:\n%"
                   "3\n\nサーバーの証明書が正しく"
                   "更新されたと確かめられたときは、★MailData の pinned-certificates.txt から"
                   "この行を削除してください。%4")
            .arg(server, formatFingerprint(problem.sha256), formatFingerprint(problem.pinnedSha256),
                 detail);
    }
    return QStringLiteral(
               "%1 の証明書を確認できませんでした。%2\n\n証明書の SHA-256 "
               "フィンガープリント:\n%3%4")
        .arg(server, reason(problem), formatFingerprint(problem.sha256), detail);
}
