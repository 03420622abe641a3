#include "send/clear_login_question.h"

#include <QDir>

#include "desktop.h"
#include "transport/server_security.h"

bool askToLogInWithoutTls(Desktop& desktop, QWidget* parent, const QString& service,
                          const QString& authority, const QString& securityFile) {
    const QString offer = service == u"POP3" ? QStringLiteral("STLS") : QStringLiteral("STARTTLS");
    const QString question =
        QStringLiteral(
            "%1サーバー %2 は暗号化 (%3) に対応していません。このままでは、ユーザー名と"
            "パスワードが暗号化されずにネットワークを流れ、途中で盗み見られるおそれが"
            "あります。\n暗号化せずにこのサーバーにログインしますか?「はい」を選ぶと、"
            "このサーバーには次から尋ねません。")
            .arg(service, authority, offer);
    if (desktop.message(parent, question, QStringLiteral("確認"), Desktop::Buttons::YesNo,
                        Desktop::Icon::Question) != Desktop::Answer::Yes) {
        return false;
    }
    QString error;
    if (!agreeToClearLogin(securityFile, service, authority, error)) {
        desktop.message(parent,
                        QStringLiteral("この答えを記録できないため、ログインしませんでした。"
                                       "★MailDataフォルダに書き込めるかを確かめてください。\n"
                                       "%1 (%2)")
                            .arg(QDir::toNativeSeparators(securityFile), error));
        return false;
    }
    return true;
}
