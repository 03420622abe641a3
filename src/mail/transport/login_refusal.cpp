#include "transport/login_refusal.h"

QString loginRefusedText(const QByteArray& reply) {
    const QByteArray upper = reply.toUpper();
    if (upper.contains("[IN-USE]")) {
        return QStringLiteral(
            "メールボックスが他のメールソフトで使われているため、ログインできませんでした。"
            "そのソフトの受信が終わってから受信し直してください。");
    }
    if (upper.contains("[LOGIN-DELAY]")) {
        return QStringLiteral(
            "前の受信から間もないため、サーバーがログインを断りました。"
            "しばらくしてから受信し直してください。");
    }
    if (upper.contains("[SYS/TEMP]")) {
        return QStringLiteral(
            "サーバーが一時的にログインを受け付けられませんでした。"
            "しばらくしてから受信し直してください。");
    }
    if (upper.contains("[SYS/PERM]")) {
        return QStringLiteral(
            "サーバーの障害のため、ログインできませんでした。"
            "直らないときはプロバイダーに問い合わせてください。");
    }
    return QStringLiteral(
        "ユーザー名かパスワードが違うため、ログインできませんでした。"
        "アカウントの設定を確かめてください。");
}
