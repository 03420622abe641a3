#include "transport/smtp_failure.h"

#include <QStringList>

namespace {

bool startsWithWord(QByteArrayView line, QByteArrayView word) {
    if (line.size() < word.size() || line.first(word.size()).compare(word, Qt::CaseInsensitive)) {
        return false;
    }
    return line.size() == word.size() || !QChar::isLetter(uchar(line[word.size()]));
}

bool tooLarge(const SmtpFailure& failure) {
    if (failure.replyCode == 552) {
        return true;
    }
    return failure.sizeLimit > 0 && failure.mailSize > failure.sizeLimit &&
           (failure.refused || failure.step >= SmtpStep::Sender);
}

bool recipientRefused(const SmtpFailure& failure) {
    const long code = failure.replyCode;
    return failure.step == SmtpStep::Recipient && (code == 550 || code == 551 || code == 553);
}

QString whatHappened(const QString& server, const SmtpFailure& failure) {
    // Even a mail over the offered SIZE: the server never said no to it.
    if (!failure.refused && failure.handedOver) {
        return QStringLiteral(
                   "メールはSMTPサーバー %1 に最後まで渡しましたが、受け付けたという返事が"
                   "ないまま%2。メールは届いているかもしれません。"
                   "送り直すと同じメールが二通届くことがあるので、先に相手に届いたかを"
                   "確かめてください。")
            .arg(server, failure.timedOut ? QStringLiteral("応答が途絶えました")
                                          : QStringLiteral("通信が切れました"));
    }
    if (tooLarge(failure)) {
        return QStringLiteral(
            "添付ファイルが大きすぎるため、サーバーが受け付けませんでした。"
            "添付ファイルを減らすか小さくしてから、送り直してください。");
    }
    if (!failure.refused) {
        if (failure.timedOut) {
            return QStringLiteral(
                       "SMTPサーバー %1 から応答がありません。"
                       "サーバー名とネットワークの接続を確かめてください。")
                .arg(server);
        }
        return QStringLiteral(
                   "SMTPサーバー %1 と通信できませんでした。"
                   "サーバー名とネットワークの接続を確かめてください。")
            .arg(server);
    }
    if (recipientRefused(failure)) {
        return QStringLiteral(
            "宛先のアドレスをサーバーが受け付けませんでした。"
            "宛先のアドレスが正しいか確かめてください。");
    }
    if (failure.replyCode == 535) {
        return QStringLiteral(
            "IDかパスワードが違うため、サーバーにログインできませんでした。"
            "「ID/パスワード入力」でIDとパスワードを確かめてください。");
    }
    if (failure.replyCode == 530) {
        return QStringLiteral(
            "このサーバーはログインしないと送信できません。"
            "「ID/パスワード入力」でIDとパスワードを入力してください。");
    }
    if (failure.replyCode >= 400 && failure.replyCode < 500) {
        return QStringLiteral(
                   "SMTPサーバー %1 が今はメールを受け付けませんでした。"
                   "しばらくしてから送り直してください。")
            .arg(server);
    }
    return QStringLiteral(
               "SMTPサーバー %1 がメールを受け付けませんでした。"
               "宛先と内容を確かめてください。")
        .arg(server);
}

}  // namespace

SmtpStep stepOfCommand(QByteArrayView line, SmtpStep current) {
    struct Command {
        QByteArrayView word;
        SmtpStep step;
    };
    static constexpr Command commands[] = {
        {"EHLO", SmtpStep::Hello}, {"HELO", SmtpStep::Hello},  {"STARTTLS", SmtpStep::StartTls},
        {"AUTH", SmtpStep::LogIn}, {"MAIL", SmtpStep::Sender}, {"RCPT", SmtpStep::Recipient},
        {"DATA", SmtpStep::Data},
    };
    for (const Command& command : commands) {
        if (startsWithWord(line, command.word)) {
            return command.step;
        }
    }
    return current;
}

qint64 offeredSizeLimit(QByteArrayView line) {
    line = line.trimmed();
    if (line.size() < 9 || !line.startsWith("250") || (line[3] != '-' && line[3] != ' ')) {
        return 0;
    }
    const QByteArrayView offer = line.sliced(4);
    if (!startsWithWord(offer, "SIZE")) {
        return 0;
    }
    bool ok = false;
    const qint64 limit = offer.sliced(4).trimmed().toLongLong(&ok);
    return ok && limit > 0 ? limit : 0;
}

QString describeSmtpFailure(const QString& server, const SmtpFailure& failure) {
    QStringList detail{failure.detail};
    if (failure.replyCode > 0) {
        detail.append(QStringLiteral("応答コード %1").arg(failure.replyCode));
    }
    if (!failure.serverReply.isEmpty()) {
        detail.append(QStringLiteral("サーバーの応答「%1」").arg(failure.serverReply));
    }
    if (tooLarge(failure) && failure.sizeLimit > 0) {
        detail.append(QStringLiteral("メール %1 バイト、上限 %2 バイト")
                          .arg(failure.mailSize)
                          .arg(failure.sizeLimit));
    }
    detail.removeAll(QString());
    return whatHappened(server, failure) + QStringLiteral("\n(") + detail.join(u'、') + u')';
}
