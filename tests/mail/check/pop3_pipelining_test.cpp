#include <gtest/gtest.h>

#include <QFile>
#include <QTest>

#include <unistd.h>

#include "mail_check/receive_texts.h"
#include "mail_servers.h"
#include "pop3_login.h"
#include "scripted_pop3.h"
#include "transport/nmail.h"

namespace {

QByteArray mail(const QByteArray& subject) {
    return "From: hanako@example.jp\r\nSubject: " + subject +
           "\r\nMIME-Version: 1.0\r\nContent-Type: text/plain; charset=us-ascii\r\n\r\n"
           "body of " +
           subject + "\r\n";
}

void addThree(ScriptedPop3& server) {
    for (const char* subject : {"first", "second", "third"}) {
        server.addMail(mail(subject));
    }
}

// The fetching and deleting commands the server saw, in order.
QList<QByteArray> retrDeleQuit(const ScriptedPop3& server) {
    QList<QByteArray> seen;
    for (const QByteArray& line : server.commands()) {
        if (line.startsWith("RETR") || line.startsWith("DELE") || line.startsWith("QUIT")) {
            seen.append(line);
        }
    }
    return seen;
}

class Pop3Transport : public ::testing::Test {
  protected:
    void SetUp() override {
        transport.NMailInitializeWinSock();
        transport.setTimeoutMs(1500);
    }

    Pop3Login loggedIn(const ScriptedPop3& server) {
        return logIn(transport, server.host(), QStringLiteral("taro"), QStringLiteral("himitsu"));
    }

    static QString subjectOf(const QByteArray& mail) {
        const qsizetype at = mail.indexOf("Subject: ") + 9;
        return QString::fromLatin1(mail.mid(at, mail.indexOf('\r', at) - at));
    }

    NMail transport;
};

// The whole login and listing go in one round trip, every planned RETR goes out at once,
// and the DELEs follow without waiting; the replies still answer their own commands.
TEST_F(Pop3Transport, PipeliningSendsAheadAndCollectsEveryDeleReplyBeforeQuit) {
    ScriptedPop3 server({QStringLiteral("dele-err:2"), true, 0, true});
    ASSERT_TRUE(server.started());
    addThree(server);
    Pop3Login login = loggedIn(server);
    ASSERT_FALSE(login.failure);
    ASSERT_EQ(login.mailbox.size(), 3);
    EXPECT_TRUE(login.session->pipelining());
    login.session->planFetches(login.mailbox);
    const QStringList subjects{QStringLiteral("first"), QStringLiteral("second"),
                               QStringLiteral("third")};
    for (int n = 1; n <= 3; ++n) {
        QByteArray mail;
        ASSERT_FALSE(login.session->fetch(n, mail));
        EXPECT_EQ(subjectOf(mail), subjects[n - 1]);
        EXPECT_FALSE(login.session->markDeleted(n));
    }
    // The refused DELE is told, and the other deletions still take effect.
    QList<MailFailure> refused;
    EXPECT_FALSE(login.session->quit(refused));
    ASSERT_EQ(refused.size(), 1);
    EXPECT_EQ(refused[0].what, MailFailure::What::DeleteRefused);
    EXPECT_EQ(refused[0].mailNo, 2);
    ASSERT_EQ(server.mails().size(), 1);
    EXPECT_TRUE(server.mails()[0].contains("Subject: second"));
    EXPECT_EQ(retrDeleQuit(server), (QList<QByteArray>{"RETR 1", "RETR 2", "RETR 3", "DELE 1",
                                                       "DELE 2", "DELE 3", "QUIT"}));
    const QList<QByteArray> commands = server.commands();
    EXPECT_EQ(commands.mid(commands.indexOf("USER taro"), 5),
              (QList<QByteArray>{"USER taro", "PASS himitsu", "STAT", "LIST", "UIDL"}));
}

// What the program holds now, in bytes.
qint64 residentBytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) {
        return 0;
    }
    return statm.readAll().split(' ').value(1).toLongLong() * sysconf(_SC_PAGESIZE);
}

// While nobody reads (a message box is open), a mail asked for ahead that never ends
// fills the kernel's socket buffers, not the program's memory.
TEST_F(Pop3Transport, AnEndlessMailAskedForAheadCannotFillMemoryWhileNobodyReads) {
    ScriptedPop3 server({QStringLiteral("endless:2"), true, 0, true});
    ASSERT_TRUE(server.started());
    addThree(server);
    Pop3Login login = loggedIn(server);
    ASSERT_FALSE(login.failure);
    login.session->planFetches(login.mailbox);
    QByteArray mail;
    ASSERT_FALSE(login.session->fetch(1, mail));
    EXPECT_EQ(subjectOf(mail), QStringLiteral("first"));
    const qint64 before = residentBytes();
    QTest::qWait(1000);
    EXPECT_LT(residentBytes() - before, 32 << 20);
    login.session->abort();
}

TEST_F(Pop3Transport, WithoutPipeliningEachCommandWaitsForItsReply) {
    ScriptedPop3 server({});
    ASSERT_TRUE(server.started());
    addThree(server);
    Pop3Login login = loggedIn(server);
    ASSERT_FALSE(login.failure);
    EXPECT_FALSE(login.session->pipelining());
    login.session->planFetches(login.mailbox);
    for (int n = 1; n <= 3; ++n) {
        QByteArray mail;
        ASSERT_FALSE(login.session->fetch(n, mail));
        ASSERT_FALSE(login.session->markDeleted(n));
    }
    QList<MailFailure> refused;
    EXPECT_FALSE(login.session->quit(refused));
    EXPECT_TRUE(server.mails().isEmpty());
    EXPECT_EQ(retrDeleQuit(server), (QList<QByteArray>{"RETR 1", "DELE 1", "RETR 2", "DELE 2",
                                                       "RETR 3", "DELE 3", "QUIT"}));
}

// A planned mail the caller passes over is read past; a refused one leaves the session
// alive for the next.
TEST_F(Pop3Transport, ASkippedOrRefusedMailLeavesTheRestToCome) {
    ScriptedPop3 server({QStringLiteral("err:1"), true, 0, true});
    ASSERT_TRUE(server.started());
    addThree(server);
    server.addMail(mail("fourth"));
    Pop3Login login = loggedIn(server);
    ASSERT_FALSE(login.failure);
    login.session->planFetches(login.mailbox);
    QByteArray taken;
    const std::optional<MailFailure> refused = login.session->fetch(1, taken);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->what, MailFailure::What::MailRefused);
    EXPECT_TRUE(login.session->alive());
    // Mail 2 was asked for ahead; the caller skips it.
    ASSERT_FALSE(login.session->fetch(3, taken));
    EXPECT_EQ(subjectOf(taken), QStringLiteral("third"));
    login.session->markDeleted(3);
    QList<MailFailure> deletes;
    EXPECT_FALSE(login.session->quit(deletes));
    ASSERT_EQ(server.mails().size(), 3);
    EXPECT_TRUE(server.mails()[1].contains("Subject: second"));
}

// Counts and listings no mailbox can have end the check before anything is fetched.
TEST_F(Pop3Transport, AnImpossibleMailCountIsRefused) {
    for (const char* count : {"-1", "99999999999", "many"}) {
        ScriptedPop3 server({QStringLiteral("stat:") + QLatin1String(count)});
        ASSERT_TRUE(server.started());
        addThree(server);
        const Pop3Login login = loggedIn(server);
        ASSERT_TRUE(login.failure) << count;
        EXPECT_EQ(login.failure->what, MailFailure::What::BadListing) << count;
    }
}

// A refused login, an APOP the server lacks and an unreachable server: a first line that
// says what to do, then the technical detail.
TEST_F(Pop3Transport, FailuresSayWhatToDoAboveTheDetail) {
    const auto firstFailure = [](const Pop3Login& login) {
        return login.failure ? receiveFailureText({*login.failure}) : QString();
    };
    MailServers servers;
    ASSERT_TRUE(servers.started()) << servers.error().toStdString();
    QStringList lines = firstFailure(logIn(transport, servers.pop3Host(), QStringLiteral("taro"),
                                           QStringLiteral("wrong")))
                            .split(u'\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0],
              QStringLiteral("ユーザー名かパスワードが違うため、ログインできませんでした。"
                             "アカウントの設定を確かめてください。"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("(サーバーの応答: -ERR")))
        << lines[1].toStdString();

    ScriptedPop3 withoutApop({});
    ASSERT_TRUE(withoutApop.started());
    EXPECT_TRUE(firstFailure(logIn(transport, withoutApop.host(), QStringLiteral("taro"),
                                   QStringLiteral("himitsu"), true))
                    .contains(QStringLiteral("「APOP を使用する」を外して")));

    // A locked or resting mailbox is no wrong password: the user must wait, not retype.
    for (const char* code : {"in-use", "login-delay", "sys-temp"}) {
        ScriptedPop3 refusing({.fault = QString::fromLatin1(code)});
        ASSERT_TRUE(refusing.started());
        lines = firstFailure(loggedIn(refusing)).split(u'\n');
        EXPECT_TRUE(lines[0].contains(QStringLiteral("受信し直してください。")) &&
                    !lines[0].contains(QStringLiteral("パスワード")))
            << code << ": " << lines[0].toStdString();
    }

    lines = firstFailure(logIn(transport, QStringLiteral("127.0.0.1:1"), QStringLiteral("taro"),
                               QStringLiteral("himitsu")))
                .split(u'\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].contains(QStringLiteral("ネットワークの接続を確かめてください。")));
}

}  // namespace
