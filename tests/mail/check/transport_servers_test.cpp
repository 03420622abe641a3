#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "app/quillpost_app.h"
#include "fake_clock.h"
#include "mail_check/mail_check.h"
#include "mail_servers.h"
#include "main_window/main_form.h"
#include "pop3_login.h"
#include "scripted_desktop.h"
#include "settings/settings_files.h"
#include "store/mail_records.h"
#include "temp_app_folder.h"
#include "transport/nmail.h"

namespace {

const QString kUser = QStringLiteral("taro");
const QString kAddress = QStringLiteral("taro@localhost");

TEST(TransportWithServers, ASentMailIsFetchedBackWithSubjectBodyAndAttachments) {
    MailServers servers;
    ASSERT_TRUE(servers.started()) << servers.error().toStdString();
    TempAppFolder folder;
    const QString outgoing = folder.file(QStringLiteral("送る"));
    QDir().mkpath(outgoing);
    const QStringList files{outgoing + QStringLiteral("/見積書①.txt"),
                            outgoing + QStringLiteral("/photo.jpg"),
                            outgoing + QStringLiteral("/data file.bin")};
    const QList<QByteArray> contents{"見積", QByteArray(5000, '\xff'), QByteArray(10, '\0')};
    for (int i = 0; i < files.size(); ++i) {
        QFile f(files[i]);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contents[i]);
    }
    ScriptedDesktop desktop;
    FakeClock clock;
    QuillpostApp app(folder.path(), desktop, clock);
    const QString subject = QStringLiteral("お見積り①㈱の件");
    const QString body = QStringLiteral("髙橋様\r\nお世話になっております。ｶﾀｶﾅ\r\n");
    ASSERT_GE(app.transport().NMailSmtpSendMail(servers.smtpHost(), kAddress,
                                                QStringLiteral("hanako@example.jp"), subject, body,
                                                files.join(u',')),
              0);
    ASSERT_EQ(servers.mailbox(kUser).size(), 1);

    app.mainForm();
    app.Pop3Server = servers.pop3Host();
    ASSERT_TRUE(writeAccountSettings(folder.path(), {kUser, QStringLiteral("himitsu")}, true));
    app.mainForm().Command3_Click();
    const QList<ReceivedMailRecord> stored = receivedMailStore(folder.path()).ReadAll();
    ASSERT_EQ(stored.size(), 1);
    EXPECT_EQ(stored[0].Subject.trimmed(), subject);
    EXPECT_TRUE(stored[0].Body.trimmed().startsWith(body.trimmed()))
        << stored[0].Body.trimmed().toStdString();
    EXPECT_TRUE(stored[0].From.contains(QStringLiteral("hanako@example.jp")));
    for (int i = 0; i < files.size(); ++i) {
        EXPECT_EQ(folder.read(QStringLiteral("添付フォルダ/") + QFileInfo(files[i]).fileName()),
                  contents[i])
            << i;
    }
}

TEST(TransportWithServers, SendingToSeveralRecipientsAndAMissingAttachment) {
    MailServers::Options options;
    options.users << QStringLiteral("jiro:pw");
    MailServers servers(options);
    ASSERT_TRUE(servers.started()) << servers.error().toStdString();
    NMail transport;
    transport.NMailInitializeWinSock();
    ASSERT_GE(transport.NMailSmtpSendMail(servers.smtpHost(),
                                          QStringLiteral("taro@localhost,jiro@localhost"),
                                          QStringLiteral("me@example.jp"), QStringLiteral("両方へ"),
                                          QStringLiteral("本文"), QString()),
              0);
    EXPECT_EQ(servers.mailbox(kUser).size(), 1);
    EXPECT_EQ(servers.mailbox(QStringLiteral("jiro")).size(), 1);

    EXPECT_LT(transport.NMailSmtpSendMail(servers.smtpHost(), kAddress,
                                          QStringLiteral("me@example.jp"), QStringLiteral("x"),
                                          QStringLiteral("y"), QStringLiteral("/no/such/file")),
              0);
    QString message;
    transport.NMailGetMessage(message);
    EXPECT_FALSE(message.isEmpty());
    EXPECT_EQ(servers.mailbox(kUser).size(), 1);
}

TEST(TransportWithServers, SmtpAuthIsUsedWhenTheServerRequiresIt) {
    MailServers::Options options;
    options.smtpAuth = true;
    MailServers servers(options);
    ASSERT_TRUE(servers.started()) << servers.error().toStdString();
    NMail transport;
    transport.NMailInitializeWinSock();
    EXPECT_LT(
        transport.NMailSmtpSendMail(servers.smtpHost(), kAddress, QStringLiteral("me@example.jp"),
                                    QStringLiteral("x"), QStringLiteral("y"), QString()),
        0);
    EXPECT_TRUE(servers.mailbox(kUser).isEmpty());
    transport.setSmtpAccount(kUser, QStringLiteral("himitsu"));
    EXPECT_GE(
        transport.NMailSmtpSendMail(servers.smtpHost(), kAddress, QStringLiteral("me@example.jp"),
                                    QStringLiteral("x"), QStringLiteral("y"), QString()),
        0);
    EXPECT_EQ(servers.mailbox(kUser).size(), 1);
}

TEST(TransportWithServers, SmtpAuthIsNotOfferedToAServerThatDoesNotAskForIt) {
    MailServers servers;
    ASSERT_TRUE(servers.started()) << servers.error().toStdString();
    NMail transport;
    transport.NMailInitializeWinSock();
    // A wrong password would fail the send if the account were offered at all.
    transport.setSmtpAccount(kUser, QStringLiteral("wrong"));
    EXPECT_GE(
        transport.NMailSmtpSendMail(servers.smtpHost(), kAddress, QStringLiteral("me@example.jp"),
                                    QStringLiteral("x"), QStringLiteral("y"), QString()),
        0);
    EXPECT_EQ(servers.mailbox(kUser).size(), 1);
}

TEST(TransportWithServers, TlsHostsVerifyTheCertificate) {
    MailServers servers;
    ASSERT_TRUE(servers.started()) << servers.error().toStdString();
    {
        NMail untrusting;
        untrusting.NMailInitializeWinSock();
        untrusting.setTimeoutMs(10000);
        const std::optional<MailFailure> refused =
            logIn(untrusting, servers.pop3sHost(), kUser, QStringLiteral("himitsu")).failure;
        ASSERT_TRUE(refused);
        EXPECT_EQ(refused->what, MailFailure::What::UntrustedCertificate);
        EXPECT_LT(untrusting.NMailSmtpSendMail(servers.smtpsHost(), kAddress,
                                               QStringLiteral("me@example.jp"), QStringLiteral("x"),
                                               QStringLiteral("y"), QString()),
                  0);
    }
    NMail transport;
    transport.NMailInitializeWinSock();
    transport.setTimeoutMs(10000);
    transport.setExtraCertificates(servers.caFile());
    ASSERT_GE(
        transport.NMailSmtpSendMail(servers.smtpsHost(), kAddress, QStringLiteral("me@example.jp"),
                                    QStringLiteral("tls"), QStringLiteral("y"), QString()),
        0);
    EXPECT_EQ(waitingMails(transport, servers.pop3sHost(), kUser, QStringLiteral("himitsu")), 1);
    EXPECT_EQ(waitingMails(transport, servers.pop3sHost(), kUser, QStringLiteral("wrong")), -1);
}

TEST(TransportWithServers, ConnectFailsOnAHostThatIsNotAPop3Server) {
    MailServers servers;
    ASSERT_TRUE(servers.started()) << servers.error().toStdString();
    NMail transport;
    transport.NMailInitializeWinSock();
    transport.setTimeoutMs(5000);
    // The SMTP port greets with "220", not "+OK".
    const std::optional<MailFailure> smtp =
        logIn(transport, servers.smtpHost(), kUser, QStringLiteral("himitsu")).failure;
    ASSERT_TRUE(smtp);
    EXPECT_EQ(smtp->what, MailFailure::What::NotPop3);
    EXPECT_TRUE(smtp->reply.startsWith("220")) << smtp->reply.toStdString();
    const std::optional<MailFailure> closed =
        logIn(transport, QStringLiteral("127.0.0.1:1"), kUser, QStringLiteral("himitsu")).failure;
    ASSERT_TRUE(closed);
    EXPECT_EQ(closed->what, MailFailure::What::Unreachable);
}

}  // namespace
