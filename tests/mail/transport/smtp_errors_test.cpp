#include <gtest/gtest.h>

#include <QTcpServer>

#include "mail_servers.h"
#include "transport/nmail.h"
#include "transport/smtp_failure.h"
#include "transport/transport_results.h"

namespace {

const QString kFrom = QStringLiteral("hanako@example.jp");

struct Outcome {
    int result = 0;
    QString firstLine;
    QString detail;
};

Outcome send(NMail& transport, const QString& host, const QString& to, const QString& body) {
    Outcome outcome;
    outcome.result =
        transport.NMailSmtpSendMail(host, to, kFrom, QStringLiteral("件名"), body, QString());
    QString message;
    transport.NMailGetMessage(message);
    outcome.firstLine = message.section(u'\n', 0, 0);
    outcome.detail = message.section(u'\n', 1);
    return outcome;
}

MailServers::Options limitedTo(int bytes, bool smtpAuth) {
    MailServers::Options options;
    options.smtpSizeLimit = bytes;
    options.smtpAuth = smtpAuth;
    return options;
}

TEST(SmtpErrors, RefusalsSayWhatHappenedFirstAndTheServerReplySecond) {
    MailServers servers(limitedTo(4000, false));
    ASSERT_TRUE(servers.started()) << servers.error().toStdString();
    NMail transport;
    transport.setTimeoutMs(10000);

    const Outcome recipient = send(transport, servers.smtpHost(),
                                   QStringLiteral("nobody@localhost"), QStringLiteral("本文"));
    EXPECT_EQ(recipient.result, TransportResult::Refused);
    EXPECT_TRUE(recipient.firstLine.startsWith(u"宛先のアドレスをサーバーが受け付けませんでした。"))
        << recipient.firstLine.toStdString();
    EXPECT_TRUE(recipient.detail.contains(u"550 no such user here"))
        << recipient.detail.toStdString();

    const Outcome large =
        send(transport, servers.smtpHost(), QStringLiteral("taro@localhost"), QString(6000, u'あ'));
    EXPECT_EQ(large.result, TransportResult::Refused);
    EXPECT_TRUE(large.firstLine.startsWith(
        u"添付ファイルが大きすぎるため、サーバーが受け付けませんでした。"))
        << large.firstLine.toStdString();
    EXPECT_TRUE(large.detail.contains(u"552")) << large.detail.toStdString();
    EXPECT_TRUE(servers.mailbox(QStringLiteral("taro")).isEmpty());
}

TEST(SmtpErrors, LoginProblemsNameTheAccountDialog) {
    MailServers servers(limitedTo(0, true));
    ASSERT_TRUE(servers.started()) << servers.error().toStdString();
    NMail transport;
    transport.setTimeoutMs(10000);
    const Outcome required = send(transport, servers.smtpHost(), QStringLiteral("taro@localhost"),
                                  QStringLiteral("本文"));
    EXPECT_TRUE(required.firstLine.startsWith(u"このサーバーはログインしないと送信できません。"))
        << required.firstLine.toStdString();
    EXPECT_TRUE(required.detail.contains(u"530")) << required.detail.toStdString();

    transport.setSmtpAccount(QStringLiteral("taro"), QStringLiteral("wrong"));
    const Outcome denied = send(transport, servers.smtpHost(), QStringLiteral("taro@localhost"),
                                QStringLiteral("本文"));
    EXPECT_TRUE(denied.firstLine.startsWith(u"IDかパスワードが違うため"))
        << denied.firstLine.toStdString();
    EXPECT_TRUE(denied.detail.contains(u"535")) << denied.detail.toStdString();
}

TEST(SmtpErrors, AServerThatIsNotThereIsAQuestionOfNameAndNetwork) {
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const quint16 port = closed.serverPort();
    closed.close();
    NMail transport;
    transport.setTimeoutMs(5000);
    const Outcome outcome = send(transport, QStringLiteral("127.0.0.1:%1").arg(port),
                                 QStringLiteral("taro@localhost"), QStringLiteral("本文"));
    EXPECT_EQ(outcome.result, TransportResult::NetworkFailure);
    EXPECT_TRUE(outcome.firstLine.endsWith(u"サーバー名とネットワークの接続を確かめてください。"))
        << outcome.firstLine.toStdString();
    EXPECT_FALSE(outcome.detail.isEmpty());
}

TEST(SmtpErrors, AMailAboveTheOfferedSizeIsTooLargeEvenWhenTheServerJustHangsUp) {
    SmtpFailure failure;
    failure.step = SmtpStep::Message;
    failure.detail = QStringLiteral("Failed sending data to the peer");
    failure.sizeLimit = 1000;
    failure.mailSize = 5000;
    const QString text = describeSmtpFailure(QStringLiteral("mail.example.jp"), failure);
    EXPECT_TRUE(text.startsWith(u"添付ファイルが大きすぎるため")) << text.toStdString();
    EXPECT_TRUE(text.section(u'\n', 1).contains(u"上限 1000 バイト")) << text.toStdString();

    failure.mailSize = 900;
    EXPECT_TRUE(describeSmtpFailure(QStringLiteral("mail.example.jp"), failure)
                    .startsWith(u"SMTPサーバー mail.example.jp と通信できませんでした。"));
}

}  // namespace
