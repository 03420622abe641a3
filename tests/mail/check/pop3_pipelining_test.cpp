#include <gtest/gtest.h>

#include <QFile>
#include <QTest>

#include <unistd.h>

#include "mail_servers.h"
#include "main_window/main_form.h"
#include "quillpost_test.h"
#include "scripted_pop3.h"
#include "settings/settings_files.h"
#include "store/mail_records.h"
#include "transport/nmail.h"
#include "transport_message.h"

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

    // Connected and logged in; -1 on failure.
    int logIn(const ScriptedPop3& server, int expectedCount) {
        const int handle = transport.NMailPop3Connect(server.host());
        if (handle == -1 ||
            transport.NMailPop3Authenticate(handle, QStringLiteral("taro"),
                                            QStringLiteral("himitsu"), false) != expectedCount) {
            return -1;
        }
        return handle;
    }

    QString subjectOf(int handle, int mailNo) {
        QString subject, date, from, header;
        transport.NMailPop3GetMailStatus(handle, mailNo, subject, date, from, header);
        return subject;
    }

    NMail transport;
};

TEST_F(Pop3Transport, PipeliningAsksAheadAndCollectsEveryDeleReplyBeforeQuit) {
    ScriptedPop3 server({QStringLiteral("dele-err:2"), true, 0, true});
    ASSERT_TRUE(server.started());
    addThree(server);
    const int handle = logIn(server, 3);
    ASSERT_NE(handle, -1) << messageOf(transport).toStdString();
    const QStringList subjects{QStringLiteral("first"), QStringLiteral("second"),
                               QStringLiteral("third")};
    for (int n = 1; n <= 3; ++n) {
        // Each reply read in order belongs to the command it answers.
        EXPECT_EQ(subjectOf(handle, n), subjects[n - 1]);
        EXPECT_GE(transport.NMailPop3DeleteMail(handle, n), 0);
    }
    // The refused DELE is told, and the other deletions still take effect.
    EXPECT_LT(transport.NMailPop3Close(handle), 0);
    EXPECT_TRUE(messageOf(transport).contains(QStringLiteral("2 番目のメール")))
        << messageOf(transport).toStdString();
    ASSERT_EQ(server.mails().size(), 1);
    EXPECT_TRUE(server.mails()[0].contains("Subject: second"));
    EXPECT_EQ(retrDeleQuit(server), (QList<QByteArray>{"RETR 1", "RETR 2", "DELE 1", "RETR 3",
                                                       "DELE 2", "DELE 3", "QUIT"}));
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
    const int handle = logIn(server, 3);
    ASSERT_NE(handle, -1) << messageOf(transport).toStdString();
    EXPECT_EQ(subjectOf(handle, 1), QStringLiteral("first"));
    const qint64 before = residentBytes();
    QTest::qWait(1000);
    EXPECT_LT(residentBytes() - before, 32 << 20);
    transport.NMailPop3Close(handle);
}

TEST_F(Pop3Transport, WithoutPipeliningEachCommandWaitsForItsReply) {
    ScriptedPop3 server({});
    ASSERT_TRUE(server.started());
    addThree(server);
    const int handle = logIn(server, 3);
    ASSERT_NE(handle, -1) << messageOf(transport).toStdString();
    for (int n = 1; n <= 3; ++n) {
        subjectOf(handle, n);
        transport.NMailPop3DeleteMail(handle, n);
    }
    EXPECT_GE(transport.NMailPop3Close(handle), 0);
    EXPECT_TRUE(server.mails().isEmpty());
    EXPECT_EQ(retrDeleQuit(server), (QList<QByteArray>{"RETR 1", "DELE 1", "RETR 2", "DELE 2",
                                                       "RETR 3", "DELE 3", "QUIT"}));
}

TEST_F(Pop3Transport, AMailAskedForAheadButNotWantedIsReadPast) {
    ScriptedPop3 server({{}, true, 0, true});
    ASSERT_TRUE(server.started());
    addThree(server);
    const int handle = logIn(server, 3);
    ASSERT_NE(handle, -1);
    EXPECT_EQ(subjectOf(handle, 1), QStringLiteral("first"));
    transport.NMailPop3DeleteMail(handle, 1);
    // Mail 2 was asked for ahead; the caller skips it.
    EXPECT_EQ(subjectOf(handle, 3), QStringLiteral("third"));
    transport.NMailPop3DeleteMail(handle, 3);
    EXPECT_GE(transport.NMailPop3Close(handle), 0) << messageOf(transport).toStdString();
    ASSERT_EQ(server.mails().size(), 1);
    EXPECT_TRUE(server.mails()[0].contains("Subject: second"));
}

// A refused login, an APOP the server lacks and an unreachable server: a first line that
// says what to do, then the technical detail.
TEST_F(Pop3Transport, FailuresSayWhatToDoAboveTheDetail) {
    MailServers servers;
    ASSERT_TRUE(servers.started()) << servers.error().toStdString();
    const int dovecot = transport.NMailPop3Connect(servers.pop3Host());
    ASSERT_NE(dovecot, -1);
    EXPECT_LT(transport.NMailPop3Authenticate(dovecot, QStringLiteral("taro"),
                                              QStringLiteral("wrong"), false),
              0);
    QStringList lines = messageOf(transport).split(u'\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0],
              QStringLiteral("ユーザー名かパスワードが違うため、ログインできませんでした。"
                             "アカウントの設定を確かめてください。"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("(サーバーの応答: -ERR")))
        << lines[1].toStdString();

    ScriptedPop3 withoutApop({});
    ASSERT_TRUE(withoutApop.started());
    const int scripted = transport.NMailPop3Connect(withoutApop.host());
    ASSERT_NE(scripted, -1);
    EXPECT_LT(transport.NMailPop3Authenticate(scripted, QStringLiteral("taro"),
                                              QStringLiteral("himitsu"), true),
              0);
    EXPECT_TRUE(messageOf(transport).contains(QStringLiteral("「APOP を使用する」を外して")));

    // A locked or resting mailbox is no wrong password: the user must wait, not retype.
    for (const char* code : {"in-use", "login-delay", "sys-temp"}) {
        ScriptedPop3 refusing({.fault = QString::fromLatin1(code)});
        ASSERT_TRUE(refusing.started());
        const int handle = transport.NMailPop3Connect(refusing.host());
        ASSERT_NE(handle, -1);
        EXPECT_LT(transport.NMailPop3Authenticate(handle, QStringLiteral("taro"),
                                                  QStringLiteral("himitsu"), false),
                  0);
        lines = messageOf(transport).split(u'\n');
        EXPECT_TRUE(lines[0].contains(QStringLiteral("受信し直してください。")) &&
                    !lines[0].contains(QStringLiteral("パスワード")))
            << code << ": " << lines[0].toStdString();
        transport.NMailPop3Close(handle);
    }

    EXPECT_EQ(transport.NMailPop3Connect(QStringLiteral("127.0.0.1:1")), -1);
    lines = messageOf(transport).split(u'\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].contains(QStringLiteral("ネットワークの接続を確かめてください。")));
}

class PipelinedCheck : public QuillpostTest, public ::testing::WithParamInterface<const char*> {
  protected:
    QStringList storedSubjects() const {
        QStringList subjects;
        for (const ReceivedMailRecord& record : receivedMailStore(folder.path()).ReadAll()) {
            subjects.append(record.Subject.trimmed());
        }
        return subjects;
    }
};

// The RETR of mail 2 is sent ahead while mail 1 is stored; whatever becomes of it, mail 1
// is stored once and mail 2 and those after it stay on the server.
TEST_P(PipelinedCheck, AFailedMailAskedForAheadIsNeitherStoredNorDeleted) {
    const QString kind = QString::fromLatin1(GetParam());
    ScriptedPop3 server({kind + QStringLiteral(":2"), true, 0, true});
    ASSERT_TRUE(server.started());
    addThree(server);
    app->mainForm();
    app->transport().setTimeoutMs(1500);
    app->Pop3Server = server.host();
    ASSERT_TRUE(writeAccountSettings(folder.path(),
                                     {QStringLiteral("taro"), QStringLiteral("himitsu")}, true));
    app->mainForm().Command3_Click();

    EXPECT_EQ(storedSubjects(), QStringList{QStringLiteral("first")});
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_TRUE(
        desktop.messages[0].text.startsWith(QStringLiteral("2 通目のメールを受信できません")))
        << desktop.messages[0].text.toStdString();
    EXPECT_EQ(retrDeleQuit(server).mid(0, 2), (QList<QByteArray>{"RETR 1", "RETR 2"}));
    const QList<QByteArray> left = server.mails();
    // A dropped or stalled connection ends without QUIT: the server keeps mail 1 too.
    ASSERT_EQ(left.size(), kind == u"err" ? 2 : 3);
    EXPECT_TRUE(left[left.size() - 2].contains("Subject: second"));
}

INSTANTIATE_TEST_SUITE_P(Faults, PipelinedCheck, ::testing::Values("err", "drop", "stall"));

}  // namespace
