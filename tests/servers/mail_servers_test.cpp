#include <gtest/gtest.h>

#include <QTcpSocket>

#include "mail_servers.h"

namespace {

QByteArray greeting(int port) {
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(port));
    if (!socket.waitForConnected(5000) || !socket.waitForReadyRead(5000)) {
        return {};
    }
    return socket.readAll();
}

int portOf(const QString& host) {
    return host.section(u':', -1).toInt();
}

// Sends each command and returns everything the server answered, greeting included.
QByteArray dialogue(const QString& host, const QList<QByteArray>& commands) {
    QTcpSocket socket;
    socket.connectToHost(host.section(u':', 0, 0), static_cast<quint16>(portOf(host)));
    if (!socket.waitForConnected(5000) || !socket.waitForReadyRead(5000)) {
        return {};
    }
    QByteArray answers = socket.readAll();
    for (const QByteArray& command : commands) {
        socket.write(command + "\r\n");
        // Multi-line answers may come in pieces; the last line settles within the wait.
        while (socket.waitForReadyRead(500)) {
            answers += socket.readAll();
        }
    }
    return answers;
}

TEST(MailServers, StartGreetAndStop) {
    int pop3Port = 0;
    {
        MailServers servers;
        ASSERT_TRUE(servers.started()) << servers.error().toStdString();
        pop3Port = portOf(servers.pop3Host());
        const QByteArray pop3 = greeting(pop3Port);
        EXPECT_TRUE(pop3.startsWith("+OK")) << pop3.constData();
        EXPECT_TRUE(pop3.contains('<')) << "APOP challenge missing: " << pop3.constData();
        EXPECT_TRUE(greeting(portOf(servers.smtpHost())).startsWith("220"));
        EXPECT_FALSE(dialogue(servers.pop3Host(), {"CAPA"}).contains("STLS"))
            << "the plain port offers no STLS unless asked to";

        servers.deliver(QStringLiteral("taro"), "Subject: a\r\n\r\nfirst\r\n");
        servers.deliver(QStringLiteral("taro"), "Subject: b\r\n\r\nsecond\r\n");
        const QList<QByteArray> box = servers.mailbox(QStringLiteral("taro"));
        ASSERT_EQ(box.size(), 2);
        EXPECT_TRUE(box[0].endsWith("first\r\n"));
    }
    EXPECT_TRUE(greeting(pop3Port).isEmpty()) << "Dovecot still answers after the stop";
}

TEST(MailServers, TlsOffersOfEveryPort) {
    MailServers::Options options;
    options.pop3TlsRequired = true;
    MailServers servers(options);
    ASSERT_TRUE(servers.started()) << servers.error().toStdString();
    const QByteArray capa = dialogue(servers.pop3Host(), {"CAPA", "USER taro", "PASS himitsu"});
    EXPECT_TRUE(capa.contains("\r\nSTLS\r\n")) << capa.constData();
    EXPECT_TRUE(
        capa.endsWith("-ERR [AUTH] Plaintext authentication disallowed on non-secure "
                      "(SSL/TLS) connections.\r\n"))
        << capa.constData();

    const QByteArray submission = dialogue(servers.submissionHost(), {"EHLO me"});
    EXPECT_TRUE(submission.contains("250-STARTTLS")) << submission.constData();
    EXPECT_FALSE(submission.contains("AUTH")) << "AUTH offered before TLS";
    const QByteArray refused = dialogue(servers.refusedTlsSmtpHost(), {"EHLO me", "STARTTLS"});
    EXPECT_TRUE(refused.contains("250-STARTTLS")) << refused.constData();
    EXPECT_TRUE(refused.endsWith("454 4.7.0 TLS not available due to temporary reason\r\n"));
}

}  // namespace
