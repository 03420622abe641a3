#include <gtest/gtest.h>

#include <QFile>
#include <QHostAddress>

#include "receive_test.h"
#include "reply/back_form.h"
#include "scripted_pop3.h"
#include "scripted_smtp.h"
#include "settings/settings_files.h"
#include "transport/nmail.h"

// Run by in_private_network.sh: this address is on the namespace's own lo, yet not
// loopback, so every rule for a server across a network applies to it.
namespace {

const QString kAddress = QStringLiteral("198.18.0.1");
const QString kSecurityFile = QStringLiteral("★MailData/server-security.txt");

// Whether any line a server received carries the account.
bool accountSent(const QList<QByteArray>& lines) {
    for (const QByteArray& line : lines) {
        const QByteArray verb = line.split(' ').first().toUpper();
        if (verb == "USER" || verb == "PASS" || verb == "APOP" || verb == "AUTH") {
            return true;
        }
    }
    return false;
}

bool received(const QList<QByteArray>& lines, const QByteArray& verb) {
    for (const QByteArray& line : lines) {
        if (line.toUpper().startsWith(verb)) {
            return true;
        }
    }
    return false;
}

class PrivateNetwork : public ReceiveTest {
  protected:
    void SetUp() override {
        ASSERT_FALSE(QHostAddress(kAddress).isLoopback());
        ReceiveTest::SetUp();
    }

    // The security file's line for a server, empty when there is none.
    QByteArray securityLine(const QString& service, const QString& host) const {
        const QByteArray start = (service + u' ' + host + u' ').toUtf8();
        for (const QByteArray& line : folder.read(kSecurityFile).split('\n')) {
            if (line.startsWith(start)) {
                return line.trimmed();
            }
        }
        return {};
    }
};

struct PlainPop3 {
    const char* name;
    const char* fault;  // how the server hides what it offers
};

class PlainPop3Login : public PrivateNetwork, public ::testing::WithParamInterface<PlainPop3> {};

TEST_P(PlainPop3Login, TheAccountCrossesOnlyAfterTheUsersYesAndIsAskedOnce) {
    ScriptedPop3::Options options;
    options.address = kAddress;
    options.fault = QString::fromLatin1(GetParam().fault);
    ScriptedPop3 pop3(options);
    ASSERT_TRUE(pop3.started()) << "no server at " << kAddress.toStdString()
                                << ": not in a network of our own?";
    pop3.addMail(plainTestMail("first", "one"));
    useServer(pop3.host());

    desktop.answers = {Desktop::Answer::No};
    check();
    ASSERT_EQ(desktop.messages.size(), 1);
    const auto& question = desktop.messages[0];
    EXPECT_EQ(question.title, QStringLiteral("確認"));
    EXPECT_EQ(question.buttons, Desktop::Buttons::YesNo);
    EXPECT_EQ(question.icon, Desktop::Icon::Question);
    EXPECT_TRUE(question.text.contains(pop3.host())) << question.text.toStdString();
    EXPECT_TRUE(question.text.contains(QStringLiteral("STLS")));
    EXPECT_FALSE(accountSent(pop3.commands()));
    EXPECT_TRUE(storedSubjects().isEmpty());
    EXPECT_EQ(pop3.mails().size(), 1);
    EXPECT_TRUE(securityLine(QStringLiteral("POP3"), pop3.host()).isEmpty());

    desktop.answers = {Desktop::Answer::Yes};
    check();
    EXPECT_EQ(desktop.messages.size(), 2);
    EXPECT_TRUE(received(pop3.commands(), "PASS"));
    EXPECT_EQ(storedSubjects(), QStringList{QStringLiteral("first")});
    EXPECT_TRUE(pop3.mails().isEmpty());
    EXPECT_EQ(securityLine(QStringLiteral("POP3"), pop3.host()),
              pop3.host().prepend(u"POP3 ").append(u" clear").toUtf8());
    EXPECT_EQ(QFile::permissions(folder.file(kSecurityFile)),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);

    pop3.addMail(plainTestMail("second", "two"));
    check();
    EXPECT_EQ(desktop.messages.size(), 2) << "agreed once for this server";
    EXPECT_EQ(storedSubjects().size(), 2);
}

INSTANTIATE_TEST_SUITE_P(, PlainPop3Login,
                         ::testing::Values(PlainPop3{"NoStlsInCapa", ""},
                                           PlainPop3{"CapaRefused", "capa-err"}),
                         [](const auto& info) { return std::string(info.param.name); });

class HiddenStls : public PrivateNetwork, public ::testing::WithParamInterface<bool> {};

TEST_P(HiddenStls, AServerThatOfferedStlsAndNowHidesItGetsNothing) {
    ScriptedPop3::Options options;
    options.address = kAddress;
    options.apop = GetParam();
    ScriptedPop3 pop3(options);
    ASSERT_TRUE(pop3.started());
    pop3.addMail(plainTestMail("kept", "on the server"));
    useServer(pop3.host());
    app->ApopFlag = GetParam() ? 1 : 0;

    // Seen offering encryption once (this server cannot finish the upgrade).
    pop3.offerStls(true);
    check();
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(securityLine(QStringLiteral("POP3"), pop3.host()),
              pop3.host().prepend(u"POP3 ").append(u" tls").toUtf8());

    pop3.offerStls(false);
    check();
    ASSERT_EQ(desktop.messages.size(), 2);
    const auto& box = desktop.messages[1];
    EXPECT_EQ(box.buttons, Desktop::Buttons::Ok) << "no question: the user cannot tell";
    EXPECT_TRUE(box.text.contains(QStringLiteral("以前は暗号化 (STLS) を申し出ていました")))
        << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(pop3.host()));
    EXPECT_FALSE(accountSent(pop3.commands()));
    EXPECT_EQ(pop3.mails().size(), 1);
    EXPECT_TRUE(storedSubjects().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(, HiddenStls, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Apop" : "UserPass"; });

TEST_F(PrivateNetwork, OnThisComputerTheAccountGoesAsBefore) {
    ScriptedPop3 pop3({});
    ASSERT_TRUE(pop3.started());
    pop3.addMail(plainTestMail("local", "no question"));
    useServer(pop3.host());
    check();
    EXPECT_TRUE(desktop.messages.isEmpty());
    EXPECT_EQ(storedSubjects(), QStringList{QStringLiteral("local")});
    EXPECT_FALSE(QFile::exists(folder.file(kSecurityFile)));
}

// Sends from the reply window, with the POP3 account as the SMTP login.
class PrivateNetworkSubmission : public PrivateNetwork {
  protected:
    void SetUp() override {
        PrivateNetwork::SetUp();
        ASSERT_TRUE(smtp.started());
        useServer(QStringLiteral("pop.example.jp"));
        app->SmtpServer = smtp.host();
        app->MailAddress = QStringLiteral("hanako@example.jp");
    }

    void reply() {
        BackForm& form = app->backForm();
        form.ToText->setText(QStringLiteral("taro@example.jp"));
        form.SubjectText->setText(QStringLiteral("Re: 暗号化"));
        form.SendCommand->click();
        settle();
    }

    ScriptedSmtp smtp{kAddress};
};

TEST_F(PrivateNetworkSubmission, TheAccountCrossesOnlyAfterTheUsersYesAndIsAskedOnce) {
    desktop.answers = {Desktop::Answer::No};
    reply();
    ASSERT_EQ(desktop.messages.size(), 1);
    const auto& question = desktop.messages[0];
    EXPECT_EQ(question.buttons, Desktop::Buttons::YesNo);
    EXPECT_TRUE(question.text.contains(smtp.host())) << question.text.toStdString();
    EXPECT_TRUE(question.text.contains(QStringLiteral("STARTTLS")));
    EXPECT_FALSE(accountSent(smtp.commands()));
    EXPECT_TRUE(smtp.mails().isEmpty());

    desktop.answers = {Desktop::Answer::Yes};
    reply();
    EXPECT_EQ(desktop.messages.size(), 2);
    EXPECT_TRUE(received(smtp.commands(), "AUTH"));
    ASSERT_EQ(smtp.mails().size(), 1);
    EXPECT_EQ(securityLine(QStringLiteral("SMTP"), smtp.host()),
              smtp.host().prepend(u"SMTP ").append(u" clear").toUtf8());

    reply();
    EXPECT_EQ(desktop.messages.size(), 2) << "agreed once for this server";
    EXPECT_EQ(smtp.mails().size(), 2);
}

TEST_F(PrivateNetworkSubmission, AServerThatOfferedStartTlsAndNowHidesItGetsNothing) {
    smtp.offerStartTls(true);
    reply();
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(securityLine(QStringLiteral("SMTP"), smtp.host()),
              smtp.host().prepend(u"SMTP ").append(u" tls").toUtf8());

    smtp.offerStartTls(false);
    reply();
    ASSERT_EQ(desktop.messages.size(), 2);
    const auto& box = desktop.messages[1];
    EXPECT_EQ(box.buttons, Desktop::Buttons::Ok);
    EXPECT_TRUE(box.text.contains(QStringLiteral("以前は暗号化 (STARTTLS) を申し出ていました")))
        << box.text.toStdString();
    EXPECT_FALSE(accountSent(smtp.commands()));
    EXPECT_FALSE(received(smtp.commands(), "MAIL"));
    EXPECT_TRUE(smtp.mails().isEmpty());
}

}  // namespace
