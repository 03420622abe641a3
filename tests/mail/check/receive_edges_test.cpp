// The edges of a mail check beside its normal path: a full history, a split mail whose last
// piece cannot be stored, a kept mail after a history delete, a mail that cannot be
// fetched, clicks and deletes during the check, a program closed during a wait, refusals
// at the close and a list of received mails that cannot be read.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>

#include "history/tyaku_form.h"
#include "mail_servers.h"
#include "main_window/main_form.h"
#include "receive_test.h"
#include "record_file.h"
#include "scripted_pop3.h"
#include "settings/settings_files.h"
#include "store/mail_records.h"
#include "transport/nmail.h"
#include "transport/socket_wait.h"

namespace {

const QString kUser = QStringLiteral("taro");

// Makes the received history hold `count` records, as many stored mails would: the file
// grows sparse, and each added record gets its line end and its live flag.
void fillHistoryTo(const QString& path, int count) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const qint64 from = file.size() / ReceivedMailRecord::Length;
    ASSERT_TRUE(file.resize(qint64(count) * ReceivedMailRecord::Length));
    for (qint64 n = from; n < count; ++n) {
        ASSERT_TRUE(file.seek(n * ReceivedMailRecord::Length + ReceivedMailRecord::LineEndOffset));
        ASSERT_EQ(file.write("\r\n\x01\x00", 4), 4);
    }
}

QByteArray piece(int number, const QByteArray& part) {
    return "From: hanako@example.jp\r\nSubject: split " + QByteArray::number(number) +
           "\r\nMIME-Version: 1.0\r\nContent-Type: message/partial; id=\"edge@example.jp\"; "
           "number=" +
           QByteArray::number(number) + "; total=2\r\n\r\n" + part;
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

class ReceiveEdges : public ReceiveTest {
  protected:
    QString recordFile() const { return folder.file(QStringLiteral("★MailData/qsmdata2.data")); }
    QByteArray ledger() const { return folder.read(QStringLiteral("★MailData/received-ids.txt")); }
};

// The mail that finds no room stays on the server, takes no note, and is neither deleted
// by the next check nor lost; once the user makes room it comes.
TEST_F(ReceiveEdges, AFullHistoryKeepsTheMailOnTheServerAndSaysWhatToDo) {
    ScriptedPop3 server({{}, true, 0, true});
    ASSERT_TRUE(server.started());
    server.addMail(plainTestMail("waiting", "x"));
    useServer(server.host());
    fillHistoryTo(recordFile(), RecordFile::kMaxRecords);
    for (int attempt = 0; attempt < 2; ++attempt) {
        desktop.messages.clear();
        check();
        ASSERT_EQ(desktop.messages.size(), 1) << attempt;
        const QString first = desktop.messages[0].text.section(u'\n', 0, 0);
        EXPECT_TRUE(first.contains(QStringLiteral("受信履歴が満杯")) &&
                    first.contains(QStringLiteral("削除してから")))
            << first.toStdString();
        EXPECT_EQ(server.mails().size(), 1) << attempt;
        EXPECT_EQ(receivedMailStore(folder.path()).RecordCount(), RecordFile::kMaxRecords);
        EXPECT_TRUE(ledger().isEmpty()) << ledger().toStdString();
    }
    app->HistoryMode = 1;
    desktop.answers = {Desktop::Answer::Yes};
    app->tyakuForm().Image9_Click();
    check();
    EXPECT_EQ(storedSubjects(), QStringList{QStringLiteral("waiting")});
    EXPECT_TRUE(server.mails().isEmpty());
}

// The pieces stay until the rebuilt mail is stored: a last piece that cannot be stored
// now is rebuilt with them at the next check, instead of being filed alone.
TEST_F(ReceiveEdges, ASplitMailWhoseLastPieceCannotBeStoredKeepsItsPieces) {
    ScriptedPop3 server({{}, true, 0, true});
    ASSERT_TRUE(server.started());
    const QByteArray whole = testMailWithAttachment("split whole", "report.bin");
    const qsizetype half = whole.size() / 2;
    server.addMail(piece(1, whole.left(half)));
    useServer(server.host());
    check();
    ASSERT_EQ(storedSubjects(), QStringList{QStringLiteral("split 1")});

    server.addMail(piece(2, whole.mid(half)));
    // Every record write fails: something that is no file stands where the history is.
    const QString aside = recordFile() + QStringLiteral(".aside");
    ASSERT_TRUE(QFile::rename(recordFile(), aside));
    ASSERT_TRUE(QDir().mkdir(recordFile()));
    desktop.messages.clear();
    check();
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_TRUE(
        desktop.messages[0].text.startsWith(QStringLiteral("受信したメールを保存できません")))
        << desktop.messages[0].text.toStdString();
    EXPECT_EQ(server.mails().size(), 1);
    const QDir pieces(folder.file(QStringLiteral("添付フォルダ/.partial-mail")));
    EXPECT_EQ(pieces.entryList(QDir::Files).size(), 3) << "two pieces and their count";

    ASSERT_TRUE(QDir().rmdir(recordFile()));
    ASSERT_TRUE(QFile::rename(aside, recordFile()));
    check();
    EXPECT_EQ(storedSubjects(),
              (QStringList{QStringLiteral("split 1"), QStringLiteral("split whole")}));
    EXPECT_TRUE(server.mails().isEmpty());
    EXPECT_FALSE(pieces.exists());
    EXPECT_EQ(folder.read(QStringLiteral("添付フォルダ/report.bin")), QByteArray(5000, 'D'));
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("添付フォルダ/report(2).bin"))));
}

// [#1, #2] kept on the server, #1 deleted in the history, a check: still [#2].
TEST_F(ReceiveEdges, AKeptMailIsNotStoredAgainAfterAHistoryDelete) {
    MailServers servers;
    ASSERT_TRUE(servers.started()) << servers.error().toStdString();
    ASSERT_TRUE(writeServerCopySettings(folder.path(), {true, 0}));
    servers.deliver(kUser, plainTestMail("one", "x"));
    servers.deliver(kUser, plainTestMail("two", "y"));
    useServer(servers.pop3Host());
    check();
    ASSERT_EQ(storedSubjects(), (QStringList{QStringLiteral("one"), QStringLiteral("two")}));

    app->mainForm().Command6_Click();
    TyakuForm& tyaku = app->tyakuForm();
    tyaku.MailListView->setCurrentItem(tyaku.MailListView->topLevelItem(0));
    tyaku.MailListView_Click();
    desktop.answers = {Desktop::Answer::Yes};
    tyaku.Image1_Click();
    ASSERT_EQ(storedSubjects(), QStringList{QStringLiteral("two")});
    check();
    EXPECT_EQ(storedSubjects(), QStringList{QStringLiteral("two")});
    EXPECT_EQ(servers.mailbox(kUser).size(), 2);
}

// A mail listed over the size limit is never fetched; the mails after it still come, and
// the user is told which mail stayed.
TEST_F(ReceiveEdges, AMailTooLargeToFetchLeavesTheOthersToCome) {
    ScriptedPop3 server({QStringLiteral("huge:2"), true, 0, true});
    ASSERT_TRUE(server.started());
    for (const char* subject : {"first", "large", "third"}) {
        server.addMail(plainTestMail(subject, "x"));
    }
    useServer(server.host());
    check();
    EXPECT_EQ(storedSubjects(), (QStringList{QStringLiteral("first"), QStringLiteral("third")}));
    ASSERT_EQ(server.mails().size(), 1);
    EXPECT_TRUE(server.mails()[0].contains("Subject: large"));
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_TRUE(
        desktop.messages[0].text.startsWith(QStringLiteral("2 通目のメールを受信できません")))
        << desktop.messages[0].text.toStdString();
    EXPECT_FALSE(server.commands().contains("RETR 2"));
}

// Rows the check adds name their record: a real click on one during the check shows that
// mail, and 削除 then removes that mail, not the one stored at the row's position.
TEST_F(ReceiveEdges, AClickAndADeleteDuringACheckActOnTheRowsOwnMail) {
    ReceivedMailStore store = receivedMailStore(folder.path());
    ASSERT_TRUE(store.Append({"old one", "", "", "", 1}));
    ASSERT_TRUE(store.Append({"old two", "", "", "", 2}));
    ScriptedPop3 server({QStringLiteral("slow:3"), true, 0, true});
    ASSERT_TRUE(server.started());
    for (const char* subject : {"new one", "new two", "new three"}) {
        server.addMail(plainTestMail(subject, "x"));
    }
    useServer(server.host());
    app->mainForm().Command6_Click();
    TyakuForm& tyaku = app->tyakuForm();
    QString shown;
    QTimer watch;
    // While the third mail is slow to come, the list shows the check's first two only.
    QObject::connect(&watch, &QTimer::timeout, &tyaku, [&] {
        if (tyaku.MailListView->topLevelItemCount() != 2 ||
            tyaku.MailListView->topLevelItem(1)->text(0) != QStringLiteral("new two") ||
            !shown.isNull()) {
            return;
        }
        QTreeWidgetItem* row = tyaku.MailListView->topLevelItem(0);
        QTest::mouseClick(tyaku.MailListView->viewport(), Qt::LeftButton, {},
                          tyaku.MailListView->visualItemRect(row).center());
        shown = tyaku.Text8->text();
        desktop.answers = {Desktop::Answer::Yes};
        QTest::mouseClick(tyaku.Image1, Qt::LeftButton);
    });
    watch.start(5);
    check();
    EXPECT_EQ(shown, QStringLiteral("new one"));
    EXPECT_EQ(storedSubjects(),
              (QStringList{QStringLiteral("old one"), QStringLiteral("old two"),
                           QStringLiteral("new two"), QStringLiteral("new three")}));
    EXPECT_TRUE(server.mails().isEmpty());
}

// Closing the main window during a network wait ends the check at once, without spinning
// until the timeout.
TEST_F(ReceiveEdges, ClosingTheMainWindowDuringANetworkWaitEndsAtOnce) {
    ScriptedPop3 server({QStringLiteral("stall:1"), true, 0, true});
    ASSERT_TRUE(server.started());
    server.addMail(plainTestMail("stalled", "x"));
    useServer(server.host());
    app->transport().setTimeoutMs(30000);
    app->mainForm().show();
    QTimer::singleShot(300, &app->mainForm(), [this] { app->mainForm().close(); });
    QElapsedTimer wall;
    wall.start();
    const double cpuBefore = cpuSeconds();
    check();
    EXPECT_LT(wall.elapsed(), 10000);
    EXPECT_LT(cpuSeconds() - cpuBefore, 2.0);
    EXPECT_TRUE(app->ending());
    EXPECT_TRUE(storedSubjects().isEmpty());
    EXPECT_EQ(server.mails().size(), 1);
}

// Once the application is told to quit, every event loop returns at once: a wait then
// gives up instead of calling it again and again.
TEST(SocketWait, AWaitEndsWhenTheApplicationQuits) {
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, silent.serverPort());
    ASSERT_TRUE(socket.waitForConnected(5000));
    QTimer::singleShot(100, [] { QCoreApplication::exit(); });
    QElapsedTimer wall;
    wall.start();
    const double cpuBefore = cpuSeconds();
    EXPECT_EQ(waitOnSocket(
                  socket, [&socket] { return socket.bytesAvailable() > 0; }, QDeadlineTimer(20000)),
              SocketWait::Cancelled);
    EXPECT_LT(wall.elapsed(), 5000);
    EXPECT_LT(cpuSeconds() - cpuBefore, 1.0);
    // The application's own loop clears the quit for the tests after this one.
    QTimer::singleShot(0, [] { QCoreApplication::quit(); });
    QCoreApplication::exec();
}

// A DELE or QUIT the server refuses is told; the mail is stored once and stays known.
class RefusedClose : public ReceiveEdges, public ::testing::WithParamInterface<const char*> {};

TEST_P(RefusedClose, IsToldAndTheMailIsNotStoredTwice) {
    ScriptedPop3 server({QString::fromLatin1(GetParam()), true, 0, true});
    ASSERT_TRUE(server.started());
    server.addMail(plainTestMail("first", "x"));
    server.addMail(plainTestMail("second", "y"));
    useServer(server.host());
    check();
    const bool quit = QLatin1String(GetParam()) == QLatin1String("quit-err");
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_TRUE(desktop.messages[0].text.contains(quit ? QStringLiteral("QUIT")
                                                       : QStringLiteral("削除を受け付けません")))
        << desktop.messages[0].text.toStdString();
    EXPECT_EQ(server.mails().size(), quit ? 2 : 1);
    check();
    EXPECT_EQ(storedSubjects(), (QStringList{QStringLiteral("first"), QStringLiteral("second")}));
}

INSTANTIATE_TEST_SUITE_P(Refusals, RefusedClose, ::testing::Values("dele-err:1", "quit-err"),
                         [](const auto& info) {
                             return std::string(info.param).substr(0, 4) == "dele"
                                        ? std::string("Dele")
                                        : std::string("Quit");
                         });

// Once QUIT removed a mail, its id is free: a later mail the server gives the same id is
// a new mail, stored, not deleted as one stored before.
TEST_F(ReceiveEdges, AnIdTheServerGivesAgainAfterQuitIsANewMail) {
    ScriptedPop3 server({{}, true, 0, true});
    ASSERT_TRUE(server.started());
    server.addMail(plainTestMail("first", "x"), 7);
    useServer(server.host());
    check();
    ASSERT_TRUE(server.mails().isEmpty());
    server.addMail(plainTestMail("second", "y"), 7);
    check();
    EXPECT_EQ(storedSubjects(), (QStringList{QStringLiteral("first"), QStringLiteral("second")}));
    EXPECT_TRUE(server.mails().isEmpty());
}

// Without its list of received mails the check cannot tell new mail from old: it stops
// before it stores or deletes anything.
TEST_F(ReceiveEdges, AnUnreadableListOfReceivedMailsStopsTheCheck) {
    ScriptedPop3 server({{}, true, 0, true});
    ASSERT_TRUE(server.started());
    server.addMail(plainTestMail("waiting", "x"));
    useServer(server.host());
    ASSERT_TRUE(QDir().mkpath(folder.file(QStringLiteral("★MailData/received-ids.txt"))));
    check();
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_TRUE(
        desktop.messages[0].text.startsWith(QStringLiteral("受信済みメールの記録を読めない")))
        << desktop.messages[0].text.toStdString();
    EXPECT_TRUE(storedSubjects().isEmpty());
    EXPECT_EQ(server.mails().size(), 1);
    EXPECT_TRUE(app->mainForm().Label2->text().isEmpty());
}

}  // namespace
