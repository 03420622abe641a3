#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTimer>

#include "history/tyaku_form.h"
#include "mail_check/mail_check.h"
#include "mail_servers.h"
#include "main_window/main_form.h"
#include "receive_test.h"
#include "scripted_pop3.h"
#include "settings/settings_files.h"
#include "store/mail_records.h"

namespace {

QByteArray mail(const QByteArray& subject, const QByteArray& body) {
    return plainTestMail(subject, body);
}

QByteArray mailWithAttachment(const QByteArray& subject) {
    return testMailWithAttachment(subject);
}

// Every way a server can fail a RETR, with and without pipelining. A refusal leaves that
// mail on the server and the check goes on with the rest; a connection that is lost ends
// the check without QUIT, so the server keeps every mail. Nothing is blanked, and the user
// is told once which mail it was.
class ScriptedFaultTest : public ReceiveTest,
                          public ::testing::WithParamInterface<std::tuple<const char*, bool>> {};

TEST_P(ScriptedFaultTest, AFailedFetchIsNeitherStoredNorDeleted) {
    const auto [fault, pipelining] = GetParam();
    const QString kind = QString::fromLatin1(fault);
    ScriptedPop3 server({kind + QStringLiteral(":2"), true, 0, pipelining});
    ASSERT_TRUE(server.started());
    for (const char* subject : {"first", "second", "third"}) {
        server.addMail(mail(subject, QByteArray("body of ") + subject));
    }
    useServer(server.host());
    check();

    const bool refused = kind == u"err";
    EXPECT_EQ(storedSubjects(),
              refused ? (QStringList{QStringLiteral("first"), QStringLiteral("third")})
                      : QStringList{QStringLiteral("first")});
    EXPECT_EQ(receivedMailStore(folder.path()).ReadAll().value(0).Body.trimmed(),
              QStringLiteral("body of first"));
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0].title, QStringLiteral("エラー"));
    EXPECT_TRUE(
        desktop.messages[0].text.startsWith(QStringLiteral("2 通目のメールを受信できません")))
        << desktop.messages[0].text.toStdString();
    const QList<QByteArray> left = server.mails();
    ASSERT_EQ(left.size(), refused ? 1 : 3);
    EXPECT_TRUE(left[refused ? 0 : 1].contains("Subject: second"));
    EXPECT_TRUE(app->mainForm().Label2->text().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Faults, ScriptedFaultTest,
                         ::testing::Combine(::testing::Values("err", "drop", "stall", "garbage",
                                                              "longline", "endless"),
                                            ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param)) +
                                    (std::get<1>(info.param) ? "Pipelined" : "OneByOne");
                         });

TEST_F(ReceiveTest, AServerWithoutUidlIsNotStoredTwiceAfterADroppedCheck) {
    ScriptedPop3 server({QStringLiteral("drop:3"), false});
    ASSERT_TRUE(server.started());
    for (const char* subject : {"first", "second", "third"}) {
        server.addMail(mail(subject, "x"));
    }
    useServer(server.host());
    check();
    check();
    // The server rolled back both checks' deletions; the digests told the second check.
    EXPECT_EQ(storedSubjects(), (QStringList{QStringLiteral("first"), QStringLiteral("second")}));
    EXPECT_EQ(server.mails().size(), 3);
}

TEST_F(ReceiveTest, WithoutAnAttachmentFolderNoMailIsBlankedOrLost) {
    MailServers servers;
    ASSERT_TRUE(servers.started()) << servers.error().toStdString();
    ASSERT_TRUE(QDir(folder.file(QStringLiteral("添付フォルダ"))).removeRecursively());
    servers.deliver(QStringLiteral("taro"), mail("plain", "plain body"));
    servers.deliver(QStringLiteral("taro"), mailWithAttachment("with file"));
    useServer(servers.pop3Host());
    check();
    const QList<ReceivedMailRecord> stored = receivedMailStore(folder.path()).ReadAll();
    ASSERT_EQ(stored.size(), 1);
    EXPECT_EQ(stored[0].Body.trimmed(), QStringLiteral("plain body"));
    ASSERT_EQ(desktop.messages.size(), 1) << desktop.messageTexts().join(u'|').toStdString();
    EXPECT_TRUE(
        desktop.messages[0].text.startsWith(QStringLiteral("添付ファイルをオープンできません")));
    const QList<QByteArray> left = servers.mailbox(QStringLiteral("taro"));
    ASSERT_EQ(left.size(), 1);
    EXPECT_TRUE(left[0].contains("Subject: with file"));
}

TEST_F(ReceiveTest, ClosingTheHistoryDuringAFetchLeavesTheCheckWhole) {
    ScriptedPop3 server({QStringLiteral("slow:2")});
    ASSERT_TRUE(server.started());
    for (const char* subject : {"first", "second", "third"}) {
        server.addMail(mail(subject, "x"));
    }
    useServer(server.host());
    app->mainForm().Command6_Click();
    QTimer::singleShot(250, &app->mainForm(), [this] { app->tyakuForm().close(); });
    check();
    EXPECT_EQ(storedSubjects(), (QStringList{QStringLiteral("first"), QStringLiteral("second"),
                                             QStringLiteral("third")}));
    EXPECT_TRUE(server.mails().isEmpty());
    EXPECT_TRUE(desktop.messages.isEmpty());
}

TEST_F(ReceiveTest, ClosingTheMainWindowDuringQuitEndsWithoutANewWindow) {
    ScriptedPop3 server({{}, true, 1.0});
    ASSERT_TRUE(server.started());
    server.addMail(mail("only", "x"));
    useServer(server.host());
    app->mainForm().show();
    QTimer::singleShot(400, &app->mainForm(), [this] { app->mainForm().close(); });
    check();
    settle();
    EXPECT_TRUE(app->ending());
    EXPECT_EQ(storedSubjects(), QStringList{QStringLiteral("only")});
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        EXPECT_EQ(qobject_cast<MainForm*>(widget), nullptr) << "a main window was made again";
    }
}

TEST_F(ReceiveTest, TheLampTimerStopsForTheResultDisplay) {
    ScriptedPop3 server({});
    ASSERT_TRUE(server.started());
    server.addMail(mail("only", "x"));
    useServer(server.host());
    bool activeDuringResult = true;
    clock.at(clock.nowMs() + 3000,
             [&] { activeDuringResult = app->mainForm().Timer1->isActive(); });
    check();
    EXPECT_FALSE(activeDuringResult);
}

TEST_F(ReceiveTest, MailKeptOnTheServerIsFetchedOnceAndRemovedWhenDue) {
    MailServers servers;
    ASSERT_TRUE(servers.started()) << servers.error().toStdString();
    ASSERT_TRUE(writeServerCopySettings(folder.path(), {true, 3}));
    servers.deliver(QStringLiteral("taro"), mail("kept", "x"));
    useServer(servers.pop3Host());
    check();
    check();
    EXPECT_EQ(storedSubjects(), QStringList{QStringLiteral("kept")});
    EXPECT_EQ(servers.mailbox(QStringLiteral("taro")).size(), 1);
    clock.passDays(3);
    check();
    EXPECT_EQ(storedSubjects(), QStringList{QStringLiteral("kept")});
    EXPECT_TRUE(servers.mailbox(QStringLiteral("taro")).isEmpty());
}

TEST_F(ReceiveTest, AFailedLoginOrConnectionLeavesTheHistoryListedAndNoStatus) {
    MailServers servers;
    ASSERT_TRUE(servers.started()) << servers.error().toStdString();
    ReceivedMailStore store = receivedMailStore(folder.path());
    ASSERT_TRUE(store.Append({"stored", "", "", "", 1}));
    useServer(servers.pop3Host());
    ASSERT_TRUE(writeAccountSettings(folder.path(),
                                     {QStringLiteral("taro"), QStringLiteral("wrong")}, true));
    app->mainForm().Command6_Click();
    check();
    ASSERT_EQ(app->tyakuForm().MailListView->topLevelItemCount(), 1);
    EXPECT_EQ(app->tyakuForm().MailListView->topLevelItem(0)->text(0), QStringLiteral("stored"));
    EXPECT_TRUE(app->mainForm().Label2->text().isEmpty()) << "the check still seems to run";
    EXPECT_FALSE(app->mainForm().Timer1->isActive());

    app->Pop3Server = QStringLiteral("127.0.0.1:1");
    check();
    EXPECT_EQ(desktop.messages.size(), 2);
    EXPECT_TRUE(app->mainForm().Label2->text().isEmpty());
}

}  // namespace
