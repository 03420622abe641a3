#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>

#include "mail_servers.h"
#include "main_window/main_form.h"
#include "pop3_login.h"
#include "quillpost_test.h"
#include "reply/back_form.h"
#include "settings/settings_files.h"
#include "store/mail_records.h"
#include "transport/certificate_pins.h"
#include "transport/certificate_problem.h"
#include "transport/nmail.h"
#include "transport/transport_results.h"

namespace {

// The message of the transport's last SMTP failure.
QString messageOf(NMail& transport) {
    QString message;
    transport.NMailGetMessage(message);
    return message;
}

const QString kUser = QStringLiteral("taro");
const QString kAddress = QStringLiteral("taro@localhost");
const QString kFrom = QStringLiteral("hanako@example.jp");

// SHA-256 of the DER certificate in a PEM file.
QByteArray fingerprintOf(const QString& pemPath) {
    QFile file(pemPath);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QByteArray base64;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (!line.startsWith("-----")) {
            base64 += line.trimmed();
        }
    }
    return QCryptographicHash::hash(QByteArray::fromBase64(base64), QCryptographicHash::Sha256);
}

int send(NMail& transport, const QString& host) {
    return transport.NMailSmtpSendMail(host, kAddress, kFrom, QStringLiteral("件名"),
                                       QStringLiteral("本文"), QString());
}

class SecureTransport : public ::testing::Test {
  protected:
    explicit SecureTransport(const MailServers::Options& options = {}) : servers(options) {}
    void SetUp() override {
        ASSERT_TRUE(servers.started()) << servers.error().toStdString();
        transport.NMailInitializeWinSock();
        transport.setTimeoutMs(10000);
    }
    MailServers servers;
    NMail transport;
};

MailServers::Options japanesePassword() {
    MailServers::Options options;
    options.users = QStringList{QStringLiteral("taro:ひみつ①")};
    return options;
}

class StartTls : public SecureTransport {
  protected:
    StartTls() : SecureTransport(japanesePassword()) {}
};

TEST_F(StartTls, SubmissionUpgradesBeforeTheCodePage932Login) {
    transport.setExtraCertificates(servers.caFile());
    EXPECT_EQ(send(transport, servers.submissionHost()), TransportResult::Refused)
        << "the submission port takes no mail without AUTH";
    transport.setSmtpAccount(kUser, QStringLiteral("ひみつ①"));
    ASSERT_GE(send(transport, servers.submissionHost()), 0) << messageOf(transport).toStdString();
    EXPECT_EQ(servers.mailbox(kUser).size(), 1);
}

TEST_F(StartTls, AnOfferedUpgradeThatIsRefusedSendsNothingInClear) {
    transport.setSmtpAccount(kUser, QStringLiteral("ひみつ①"));
    EXPECT_EQ(send(transport, servers.refusedTlsSmtpHost()), TransportResult::NetworkFailure);
    EXPECT_TRUE(messageOf(transport).contains(QStringLiteral("STARTTLS")));
    EXPECT_TRUE(servers.mailbox(kUser).isEmpty());
}

TEST_F(SecureTransport, PinnedCertificateIsTrustedAndAChangedOneRefused) {
    TempAppFolder folder;
    const QString pins = pinnedCertificatesPath(folder.path());
    transport.setPinnedCertificates(pins);
    ASSERT_EQ(send(transport, servers.smtpsHost()), TransportResult::UntrustedCertificate);
    const auto problem = transport.certificateProblem();
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->fault, CertificateFault::SelfSigned);
    EXPECT_EQ(problem->sha256, fingerprintOf(servers.caFile()));
    EXPECT_TRUE(messageOf(transport).contains(formatFingerprint(problem->sha256)));

    QString error;
    ASSERT_TRUE(pinCertificate(pins, problem->authority, problem->sha256, error));
    EXPECT_GE(send(transport, servers.smtpsHost()), 0) << messageOf(transport).toStdString();
    EXPECT_FALSE(transport.certificateProblem());
    EXPECT_EQ(send(transport, servers.submissionHost()), TransportResult::UntrustedCertificate)
        << "a pin holds for its own port only; the submission port is another server";

    QByteArray other = problem->sha256;
    other[0] = static_cast<char>(other[0] ^ 1);
    ASSERT_TRUE(pinCertificate(pins, problem->authority, other, error));
    EXPECT_EQ(send(transport, servers.smtpsHost()), TransportResult::UntrustedCertificate);
    ASSERT_TRUE(transport.certificateProblem());
    EXPECT_EQ(transport.certificateProblem()->fault, CertificateFault::Changed);
    EXPECT_EQ(servers.mailbox(kUser).size(), 1);
}

MailServers::Options wrongName() {
    MailServers::Options options;
    options.certificateName = QStringLiteral("wrong.example");
    return options;
}

class WrongName : public SecureTransport {
  protected:
    WrongName() : SecureTransport(wrongName()) {}
};

TEST_F(WrongName, ACertificateForAnotherNameIsRefusedOnBothTlsPaths) {
    transport.setExtraCertificates(servers.caFile());
    for (const QString& host : {servers.smtpsHost(), servers.submissionHost()}) {
        ASSERT_EQ(send(transport, host), TransportResult::UntrustedCertificate)
            << host.toStdString();
        EXPECT_EQ(transport.certificateProblem()->fault, CertificateFault::WrongName);
        EXPECT_TRUE(
            messageOf(transport).contains(QStringLiteral("127.0.0.1 のものではありません")));
    }
    EXPECT_TRUE(servers.mailbox(kUser).isEmpty());
}

// The reply window's send: the certificate question and what each answer does.
class CertificateQuestion : public QuillpostTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(servers.started()) << servers.error().toStdString();
        QuillpostTest::SetUp();
        app->mainForm();
        app->transport().setTimeoutMs(10000);
        app->SmtpServer = servers.smtpsHost();
        app->MailAddress = kFrom;
    }

    void reply() {
        BackForm& form = app->backForm();
        form.ToText->setText(kAddress);
        form.SubjectText->setText(QStringLiteral("Re: 証明書"));
        form.SendCommand->click();
        settle();
    }

    QString pins() const { return pinnedCertificatesPath(folder.path()); }

    MailServers servers;
};

TEST_F(CertificateQuestion, YesPinsTheCertificateAndSendsAgain) {
    desktop.answers = {Desktop::Answer::Yes};
    reply();
    ASSERT_EQ(desktop.messages.size(), 1);
    const auto& box = desktop.messages[0];
    EXPECT_EQ(box.title, QStringLiteral("送信エラー"));
    EXPECT_EQ(box.buttons, Desktop::Buttons::YesNo);
    EXPECT_TRUE(box.text.contains(QStringLiteral("自己署名")));
    const QString fingerprint = formatFingerprint(fingerprintOf(servers.caFile()));
    EXPECT_TRUE(box.text.contains(fingerprint)) << box.text.toStdString();
    EXPECT_EQ(servers.mailbox(kUser).size(), 1);
    EXPECT_EQ(folder.read(QStringLiteral("★MailData/pinned-certificates.txt")),
              (servers.smtpsHost().mid(8) + u' ' + fingerprint + QStringLiteral("\r\n")).toUtf8());

    reply();
    EXPECT_EQ(desktop.messages.size(), 1) << "a pinned certificate asks nothing";
    EXPECT_EQ(servers.mailbox(kUser).size(), 2);
}

TEST_F(CertificateQuestion, NoSendsNothingAndPinsNothing) {
    desktop.answers = {Desktop::Answer::No};
    reply();
    EXPECT_EQ(desktop.messages.size(), 1);
    EXPECT_TRUE(servers.mailbox(kUser).isEmpty());
    EXPECT_FALSE(QFile::exists(pins()));
}

TEST_F(CertificateQuestion, AChangedPinnedCertificateIsRefusedWithoutAQuestion) {
    const QString unrelated = QStringLiteral("pop.example.jp:995 ") +
                              formatFingerprint(QByteArray(32, '\x11')) + QStringLiteral("\r\n");
    QString error;
    ASSERT_TRUE(pinCertificate(pins(), QStringLiteral("pop.example.jp:995"), QByteArray(32, '\x11'),
                               error));
    ASSERT_TRUE(pinCertificate(pins(), servers.smtpsHost().mid(8), QByteArray(32, '\x22'), error));
    const QByteArray before = folder.read(QStringLiteral("★MailData/pinned-certificates.txt"));
    reply();
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0].buttons, Desktop::Buttons::Ok);
    EXPECT_TRUE(desktop.messages[0].text.contains(QStringLiteral("違います")));
    EXPECT_TRUE(servers.mailbox(kUser).isEmpty());
    const QByteArray after = folder.read(QStringLiteral("★MailData/pinned-certificates.txt"));
    EXPECT_EQ(after, before);
    EXPECT_TRUE(after.startsWith(unrelated.toUtf8()));
}

// The certificate a login was refused for.
std::optional<CertificateProblem> refusedCertificate(NMail& transport, const QString& host) {
    const Pop3Login login = logIn(transport, host, kUser, QStringLiteral("himitsu"));
    return login.failure ? login.failure->certificate : std::nullopt;
}

MailServers::Options pop3Tls(bool required) {
    MailServers::Options options;
    options.pop3Stls = true;
    options.pop3TlsRequired = required;
    return options;
}

class Stls : public SecureTransport {
  protected:
    Stls() : SecureTransport(pop3Tls(false)) {}
};

TEST_F(Stls, OfferedStlsIsTakenForUserPassAndApop) {
    servers.deliver(kUser, "Subject: a\r\n\r\nbody\r\n");
    // The upgrade meets an untrusted certificate: no login in clear instead.
    const std::optional<CertificateProblem> refused =
        refusedCertificate(transport, servers.pop3Host());
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->fault, CertificateFault::SelfSigned);
    EXPECT_EQ(refused->sha256, fingerprintOf(servers.caFile()));

    transport.setExtraCertificates(servers.caFile());
    EXPECT_EQ(waitingMails(transport, servers.pop3Host(), kUser, QStringLiteral("himitsu")), 1);
    EXPECT_EQ(waitingMails(transport, servers.pop3Host(), kUser, QStringLiteral("himitsu"), true),
              1);
    EXPECT_EQ(waitingMails(transport, servers.pop3Host(), kUser, QStringLiteral("wrong")), -1);
}

// Mails far larger than the socket holds unread come through whole over TLS, also the one
// asked for ahead while the one before is taken.
TEST_F(Stls, MailsLargerThanTheSocketBufferArriveWhole) {
    const QByteArray body = QByteArray("0123456789abcdef0123456789abcd\r\n").repeated(3 << 15);
    servers.deliver(kUser, "Subject: a\r\n\r\n" + body + "\r\nend a\r\n");
    servers.deliver(kUser, "Subject: b\r\n\r\n" + body + "\r\nend b\r\n");
    transport.setExtraCertificates(servers.caFile());
    Pop3Login login = logIn(transport, servers.pop3Host(), kUser, QStringLiteral("himitsu"));
    ASSERT_FALSE(login.failure);
    ASSERT_EQ(login.mailbox.size(), 2);
    EXPECT_TRUE(login.session->pipelining());
    login.session->planFetches(login.mailbox);
    for (const char* end : {"end a", "end b"}) {
        QByteArray mail;
        ASSERT_FALSE(login.session->fetch(end == std::string_view("end a") ? 1 : 2, mail));
        EXPECT_TRUE(mail.trimmed().endsWith(end)) << end;
        EXPECT_GT(mail.size(), body.size());
    }
    QList<MailFailure> refused;
    EXPECT_FALSE(login.session->quit(refused));
}

class StlsRequired : public SecureTransport {
  protected:
    StlsRequired() : SecureTransport(pop3Tls(true)) {}
};

TEST_F(StlsRequired, TheLoginGoesThroughTheUpgradeAndAChangedPinIsRefused) {
    transport.setExtraCertificates(servers.caFile());
    EXPECT_EQ(waitingMails(transport, servers.pop3Host(), kUser, QStringLiteral("himitsu")), 0);

    TempAppFolder folder;
    const QString pins = pinnedCertificatesPath(folder.path());
    const QString authority = servers.pop3Host();
    QString error;
    ASSERT_TRUE(pinCertificate(pins, authority, QByteArray(32, '\x33'), error));
    transport.setPinnedCertificates(pins);
    // A pin refuses even a certificate that verifies.
    const std::optional<CertificateProblem> refused =
        refusedCertificate(transport, servers.pop3Host());
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->fault, CertificateFault::Changed);
}

// The mail check's side of the question: Yes pins the server's certificate and checks.
class MailCheckCertificate : public QuillpostTest {
  protected:
    MailCheckCertificate() : servers(pop3Tls(false)) {}
    MailServers servers;
};

TEST_F(MailCheckCertificate, YesPinsTheSelfSignedCertificateAndFetchesTheMail) {
    ASSERT_TRUE(servers.started()) << servers.error().toStdString();
    app->mainForm();
    app->transport().setTimeoutMs(10000);
    app->Pop3Server = servers.pop3Host();
    ASSERT_TRUE(writeAccountSettings(folder.path(), {kUser, QStringLiteral("himitsu")}, true));
    servers.deliver(kUser, "Subject: pinned\r\n\r\nbody\r\n");
    desktop.answers = {Desktop::Answer::Yes};
    app->mainForm().Command3->click();
    ASSERT_FALSE(desktop.messages.isEmpty());
    EXPECT_EQ(desktop.messages[0].title, QStringLiteral("エラー"));
    EXPECT_EQ(desktop.messages[0].buttons, Desktop::Buttons::YesNo);
    EXPECT_TRUE(
        desktop.messages[0].text.contains(formatFingerprint(fingerprintOf(servers.caFile()))));
    EXPECT_EQ(receivedMailStore(folder.path()).ReadAll().size(), 1);
    EXPECT_TRUE(servers.mailbox(kUser).isEmpty());
    EXPECT_EQ(pinnedCertificate(pinnedCertificatesPath(folder.path()), servers.pop3Host()),
              fingerprintOf(servers.caFile()));
}

}  // namespace
