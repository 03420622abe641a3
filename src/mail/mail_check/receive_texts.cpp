#include "mail_check/receive_texts.h"

#include <QStringList>

#include "cp932.h"
#include "failure_detail.h"

namespace {

using What = MailFailure::What;
using Todo = MailFailure::Todo;

QString advice(Todo todo) {
    switch (todo) {
        case Todo::Nothing:
            return {};
        case Todo::CheckServerName:
            return QStringLiteral(
                "サーバーの設定画面でPOP3サーバーの名前とポート番号を確かめてください。");
        case Todo::CheckServerAndNetwork:
            return QStringLiteral("サーバー名とネットワークの接続を確かめてください。");
        case Todo::UseSafeNetwork:
            return QStringLiteral(
                "安全なネットワークにつないでから受信し直してください。直らないときは"
                "プロバイダーに問い合わせてください。");
        case Todo::CheckNetwork:
            return QStringLiteral("ネットワークの接続を確かめてから、もう一度受信してください。");
        case Todo::CheckAccount:
            return QStringLiteral("アカウントの設定を確かめてください。");
        case Todo::TurnOffApop:
            return QStringLiteral("サーバーの設定画面で「APOP を使用する」を外してください。");
        case Todo::WaitForOtherClient:
            return QStringLiteral("そのソフトの受信が終わってから受信し直してください。");
        case Todo::RetryLater:
            return QStringLiteral("しばらくしてから受信し直してください。");
        case Todo::AskProvider:
            return QStringLiteral("直らないときはプロバイダーに問い合わせてください。");
        case Todo::CheckDisk:
            return QStringLiteral(
                "★MailDataフォルダに書き込めるか、ディスクに空きがあるかを確かめてください。");
        case Todo::CheckAttachmentFolder:
            return QStringLiteral("添付フォルダがあるか、書き込めるかを確かめてください。");
        case Todo::DeleteOldMail:
            return QStringLiteral(
                "着信履歴で要らないメールを削除してから、もう一度受信してください。");
    }
    return {};
}

QString replyText(const QByteArray& reply) {
    return decodeCp932(reply).trimmed();
}

QString serverReply(const MailFailure& failure) {
    return QStringLiteral("(サーバーの応答: %1)").arg(replyText(failure.reply));
}

bool isAboutOneMail(const MailFailure& failure) {
    switch (failure.what) {
        case What::MailRefused:
        case What::MailTooLarge:
        case What::AttachmentNotSaved:
        case What::PieceNotKept:
            return true;
        default:
            return false;
    }
}

// The connection was lost: the session ended, in the middle of a mail or between.
bool isLostConnection(What what) {
    return what == What::NoReply || what == What::ConnectionClosed || what == What::SocketError ||
           what == What::GarbageReply || what == What::LineTooLong || what == What::MailOverLimit;
}

// What happened, in one or two sentences.
QString happened(const MailFailure& failure) {
    const QString& server = failure.server;
    switch (failure.what) {
        case What::BadServerSetting:
            return QStringLiteral("POP3サーバーの指定 \"%1\" が正しくありません。")
                .arg(failure.detail);
        case What::Unreachable:
        case What::ConnectTimedOut:
            return QStringLiteral("POP3サーバー %1 に接続できませんでした。").arg(server);
        case What::NotPop3:
            return QStringLiteral("%1 はPOP3サーバーとして応答しませんでした。").arg(server);
        case What::TlsFailed:
            return QStringLiteral("POP3サーバー %1 と暗号化して接続できませんでした。").arg(server);
        case What::StlsFailed:
            return QStringLiteral(
                       "POP3サーバー %1 は暗号化 (STLS) を申し出ましたが、暗号化を始められません"
                       "でした。パスワードを守るため、ログインせずにやめました。")
                .arg(server);
        case What::UntrustedCertificate:
            return failure.certificate ? describeCertificateProblem(*failure.certificate)
                                       : QString();
        case What::TlsWithdrawn:
            return QStringLiteral(
                       "POP3サーバー %1 は以前は暗号化 (STLS) を申し出ていましたが、今回は申し出"
                       "ませんでした。通信が途中で書き換えられているおそれがあるため、パスワードを"
                       "送らずにやめました。")
                .arg(server);
        case What::ClearLoginNotAgreed:
            return QStringLiteral(
                       "POP3サーバー %1 は暗号化 (STLS) に対応していないため、ログインしません"
                       "でした。")
                .arg(server);
        case What::SecurityNotKept:
            return QStringLiteral(
                       "POP3サーバー %1 が暗号化に対応していることを記録できませんでした。受信は"
                       "続けました。")
                .arg(server);
        case What::LoginRefused:
            return QStringLiteral("ユーザー名かパスワードが違うため、ログインできませんでした。");
        case What::MailboxInUse:
            return QStringLiteral(
                "メールボックスが他のメールソフトで使われているため、ログインできませんでした。");
        case What::LoginTooSoon:
            return QStringLiteral("前の受信から間もないため、サーバーがログインを断りました。");
        case What::ServerBusy:
            return QStringLiteral("サーバーが一時的にログインを受け付けられませんでした。");
        case What::ServerFault:
            return QStringLiteral("サーバーの障害のため、ログインできませんでした。");
        case What::ApopNotOffered:
            return QStringLiteral("POP3サーバー %1 はAPOPに対応していません。").arg(server);
        case What::CommandRefused:
            return QStringLiteral("POP3サーバーが %1 を受け付けませんでした。")
                .arg(failure.command);
        case What::BadListing:
            return QStringLiteral(
                "POP3サーバーがありえないメールの数を知らせてきたため、受信をやめました。");
        case What::NoReply:
        case What::ConnectionClosed:
        case What::SocketError:
        case What::LineTooLong:
        case What::MailOverLimit:
            return QStringLiteral("POP3サーバー %1 との通信に失敗しました。").arg(server);
        case What::GarbageReply:
            return QStringLiteral("POP3サーバーから正しくない応答が届いたため、受信をやめました。");
        case What::MailRefused:
            return QStringLiteral("サーバーがこのメールを送りませんでした。");
        case What::MailTooLarge:
            return QStringLiteral("%1 MB を超える大きさのため、受信しませんでした。")
                .arg(failure.limit >> 20);
        case What::AttachmentNotSaved:
            return QStringLiteral("添付ファイルをオープンできません。");
        case What::PieceNotKept:
            return QStringLiteral("分割されたメールの部分を添付フォルダに保存できません。");
        case What::HistoryFull:
            return QStringLiteral(
                       "受信履歴が満杯 (%1 通) のため、メールを保存できません。まだ保存していない"
                       "メールはサーバーに残してあります。")
                .arg(failure.limit);
        case What::RecordNotWritten:
            return QStringLiteral(
                "受信したメールを保存できませんでした。まだ保存していないメールはサーバーに"
                "残してあります。");
        case What::LedgerNotWritten:
            return QStringLiteral(
                "受信済みメールの記録を書き込めませんでした。まだ保存していないメールはサーバー"
                "に残してあります。");
        case What::LedgerUnreadable:
            return QStringLiteral(
                "受信済みメールの記録を読めないため、受信をやめました。メールはサーバーに残して"
                "あります。");
        case What::NotOnDisk:
            return QStringLiteral(
                "受信したメールをディスクに書き込めませんでした。メールはサーバーに残してあり"
                "ます。");
        case What::DeleteRefused:
            return QStringLiteral(
                       "POP3サーバーが %1 通目のメールの削除を受け付けませんでした。メールは保存"
                       "してあり、次の受信でもう一度削除します。")
                .arg(failure.mailNo);
        case What::QuitUnanswered:
            return QStringLiteral(
                "POP3サーバーが受信の終わり (QUIT) に応えませんでした。受信したメールがサーバーに"
                "残っていれば、次の受信で削除します。");
    }
    return {};
}

// The technical detail, for the line below; empty when there is none to give.
QString detailOf(const MailFailure& failure) {
    switch (failure.what) {
        case What::ConnectTimedOut:
            return QStringLiteral("(%1 秒以内に接続できませんでした)").arg(failure.seconds);
        case What::TlsFailed:
        case What::StlsFailed:
            return failure.detail.isEmpty()
                       ? QStringLiteral("(%1 秒以内に暗号化を始められませんでした)")
                             .arg(failure.seconds)
                       : QStringLiteral("(%1)").arg(failure.detail);
        case What::NoReply:
            return QStringLiteral("(%1 秒以内に応答がありませんでした)").arg(failure.seconds);
        case What::ConnectionClosed:
            return QStringLiteral("(サーバーが接続を切りました)");
        case What::LineTooLong:
            return QStringLiteral("(サーバーが 1 MB を超える一行を送ってきました)");
        case What::MailOverLimit:
            return QStringLiteral("(メールが %1 バイトの上限を超えたため受信を打ち切りました)")
                .arg(failure.limit);
        case What::GarbageReply:
        case What::BadListing:
            return QStringLiteral("(%1 への応答: %2)")
                .arg(failure.command, replyText(failure.reply));
        case What::NotPop3:
        case What::LoginRefused:
        case What::MailboxInUse:
        case What::LoginTooSoon:
        case What::ServerBusy:
        case What::ServerFault:
        case What::CommandRefused:
        case What::MailRefused:
        case What::DeleteRefused:
            return serverReply(failure);
        case What::QuitUnanswered:
            return failure.reply.isEmpty() ? QString() : serverReply(failure);
        case What::AttachmentNotSaved:
        case What::PieceNotKept:
        case What::SecurityNotKept:
        case What::RecordNotWritten:
        case What::LedgerNotWritten:
        case What::LedgerUnreadable:
        case What::NotOnDisk:
            return fileAndReason(failure.path, failure.detail);
        case What::Unreachable:
        case What::SocketError:
            return failure.detail.isEmpty() ? QString()
                                            : QStringLiteral("(%1)").arg(failure.detail);
        case What::BadServerSetting:
        case What::UntrustedCertificate:
        case What::TlsWithdrawn:
        case What::ClearLoginNotAgreed:
        case What::ApopNotOffered:
        case What::MailTooLarge:
        case What::HistoryFull:
            return {};
    }
    return {};
}

QString withDetail(const QString& first, const QString& detail) {
    return detail.isEmpty() ? first : first + u'\n' + detail;
}

// One failure on its own.
QString paragraph(const MailFailure& failure) {
    QString first = happened(failure);
    if (failure.mailNo > 0 && failure.what == What::AttachmentNotSaved) {
        first += QStringLiteral("%1 通目のメールはサーバーに残してあります。").arg(failure.mailNo);
    } else if (failure.mailNo > 0 && isAboutOneMail(failure)) {
        first = QStringLiteral("%1 通目のメールを受信できませんでした。").arg(failure.mailNo) +
                first + QStringLiteral("このメールはサーバーに残してあります。");
    } else if (failure.mailNo > 0 && isLostConnection(failure.what)) {
        first = QStringLiteral(
                    "%1 通目のメールを受信できませんでした。このメールとその後の"
                    "メールはサーバーに残してあります。")
                    .arg(failure.mailNo) +
                first;
    }
    return withDetail(first + advice(failure.todo), detailOf(failure));
}

}  // namespace

QString receiveFailureText(const QList<MailFailure>& failures) {
    QList<MailFailure> oneMail;
    QStringList paragraphs;
    for (const MailFailure& failure : failures) {
        if (isAboutOneMail(failure)) {
            oneMail.append(failure);
        }
    }
    if (oneMail.size() == 1) {
        paragraphs.append(paragraph(oneMail.first()));
    } else if (oneMail.size() > 1) {
        QStringList lines{QStringLiteral("%1 通のメールを受信できませんでした。これらのメールは"
                                         "サーバーに残してあります。")
                              .arg(oneMail.size())};
        for (const MailFailure& failure : oneMail) {
            const QString detail = detailOf(failure);
            lines.append(QStringLiteral("%1 通目: ").arg(failure.mailNo) + happened(failure) +
                         advice(failure.todo) + (detail.isEmpty() ? QString() : u' ' + detail));
        }
        paragraphs.append(lines.join(u'\n'));
    }
    for (const MailFailure& failure : failures) {
        if (!isAboutOneMail(failure)) {
            paragraphs.append(paragraph(failure));
        }
    }
    return paragraphs.join(QStringLiteral("\n\n"));
}
