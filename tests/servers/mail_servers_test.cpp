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

        servers.deliver(QStringLiteral("taro"), "Subject: a\r\n\r\nfirst\r\n");
        servers.deliver(QStringLiteral("taro"), "Subject: b\r\n\r\nsecond\r\n");
        const QList<QByteArray> box = servers.mailbox(QStringLiteral("taro"));
        ASSERT_EQ(box.size(), 2);
        EXPECT_TRUE(box[0].endsWith("first\r\n"));
    }
    EXPECT_TRUE(greeting(pop3Port).isEmpty()) << "Dovecot still answers after the stop";
}

}  // namespace
