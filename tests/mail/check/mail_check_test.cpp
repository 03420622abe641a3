#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTest>

#include <memory>

#include "app/quillpost_app.h"
#include "cp932.h"
#include "dialogs/id_pass_form.h"
#include "dialogs/option_form.h"
#include "fake_clock.h"
#include "history/tyaku_form.h"
#include "japanese_mail.h"
#include "mail_check/mail_check.h"
#include "mail_servers.h"
#include "main_window/main_form.h"
#include "quillpost_test.h"
#include "scripted_desktop.h"
#include "settings/settings_files.h"
#include "store/mail_records.h"
#include "temp_app_folder.h"

namespace {

const QString kUser = QStringLiteral("taro");

QByteArray plainMail(const QByteArray& subject, const QByteArray& body) {
    return "From: Hanako <hanako@example.jp>\r\nTo: taro@example.jp\r\nSubject: " + subject +
           "\r\nDate: Tue, 08 Dec 2026 09:00:00 +0900\r\nMessage-ID: <" + subject.toHex() +
           "@example.jp>\r\nMIME-Version: 1.0\r\nContent-Type: text/plain; "
           "charset=us-ascii\r\n\r\n" +
           body + "\r\n";
}

QByteArray mailWithAttachment(const QByteArray& fileNameParameter, const QByteArray& content) {
    return "From: hanako@example.jp\r\nTo: taro@example.jp\r\nSubject: files\r\n"
           "Date: Tue, 08 Dec 2026 09:00:00 +0900\r\nMIME-Version: 1.0\r\n"
           "Content-Type: multipart/mixed; boundary=\"BOUND\"\r\n\r\n"
           "--BOUND\r\nContent-Type: text/plain; charset=ISO-2022-JP\r\n"
           "Content-Transfer-Encoding: 7bit\r\n\r\n" +
           toIso2022Jp(QStringLiteral("添付します。")) +
           "\r\n--BOUND\r\nContent-Type: application/octet-stream\r\n"
           "Content-Disposition: attachment; " +
           fileNameParameter + "\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
           content.toBase64() + "\r\n--BOUND--\r\n";
}

// The state of the main window's result display at one moment.
struct Shown {
    QString status;
    QString picture;
    bool image3 = false;
    bool image4 = false;
    bool image5 = false;
};

class MailCheckTest : public QuillpostTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(servers.started()) << servers.error().toStdString();
        QDir(folder.path()).mkpath(QStringLiteral("メール種別画像"));
        for (int i = 1; i <= 4; ++i) {
            QImage picture(8, 8, QImage::Format_RGB32);
            picture.fill(Qt::green);
            picture.save(folder.file(QStringLiteral("メール種別画像/%1.jpg").arg(i)), "PNG");
        }
        QuillpostTest::SetUp();
        // Loading the main window reads qsmail.ini: the test's settings come after it.
        app->mainForm();
        app->transport().setTimeoutMs(10000);
        app->Pop3Server = servers.pop3Host();
        ASSERT_TRUE(writeAccountSettings(folder.path(), {kUser, QStringLiteral("himitsu")}, true));
    }

    // Captures the result display 3 s into each of its first two 6-second parts.
    QList<Shown> checkWatchingResults() {
        QList<Shown> shown;
        const qint64 start = clock.nowMs();
        for (qint64 at : {start + 3000, start + 9000}) {
            clock.at(at, [this, &shown] {
                MainForm& main = app->mainForm();
                shown.append({main.Label2->text(), QFileInfo(main.Image1->picturePath()).fileName(),
                              main.Image3->isVisible(), main.Image4->isVisible(),
                              main.Image5->isVisible()});
            });
        }
        app->mainForm().show();
        app->mainForm().Command3_Click();
        return shown;
    }

    QList<ReceivedMailRecord> records() const { return receivedMailStore(folder.path()).ReadAll(); }

    MailServers servers;
};

TEST_F(MailCheckTest, ThreeMailsAreStoredInOrderDeletedAndReported) {
    servers.deliver(kUser, plainMail("first", "one"));
    servers.deliver(kUser, plainMail("second", "two"));
    servers.deliver(kUser, plainMail("third", "see the attachment"));
    const QList<Shown> shown = checkWatchingResults();

    const QList<ReceivedMailRecord> stored = records();
    ASSERT_EQ(stored.size(), 3);
    EXPECT_EQ(stored[0].Subject.trimmed(), QStringLiteral("first"));
    EXPECT_EQ(stored[2].Subject.trimmed(), QStringLiteral("third"));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(stored[i].LiveFlag, i + 1);
    }
    EXPECT_TRUE(stored[2].Body.trimmed().endsWith(QString::fromUtf16(kAttachmentNotice)));
    EXPECT_FALSE(stored[1].Body.contains(QString::fromUtf16(kAttachmentNotice)));
    EXPECT_TRUE(servers.mailbox(kUser).isEmpty());
    EXPECT_EQ(app->CurrentRecordNo, 3);

    TyakuForm& tyaku = app->tyakuForm();
    EXPECT_EQ(tyaku.MailListView->topLevelItemCount(), 3);
    EXPECT_EQ(tyaku.MailListView->topLevelItem(1)->text(0), QStringLiteral("second"));
    EXPECT_EQ(tyaku.Text7->text(), QStringLiteral("3"));
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("添付フォルダ/0.txt"))));

    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0].status, QStringLiteral("添付ファイル付きのメールです。ウイルス注意。"));
    EXPECT_EQ(shown[0].picture, QStringLiteral("4.jpg"));
    EXPECT_TRUE(shown[0].image4);
    EXPECT_EQ(shown[1].status,
              QStringLiteral("3通の新着メールが届いています。POP3を切断しました。"));
    EXPECT_EQ(shown[1].picture, QStringLiteral("1.jpg"));
    EXPECT_TRUE(shown[1].image3);
    EXPECT_FALSE(shown[1].image4);
    EXPECT_TRUE(app->mainForm().Label2->text().isEmpty());
    EXPECT_FALSE(app->mainForm().Image3->isVisible());
}

TEST_F(MailCheckTest, AnOpenHistoryStillShowsRecordKInRowKAfterACheck) {
    ReceivedMailStore store = receivedMailStore(folder.path());
    ASSERT_TRUE(store.Append({"old one", "", "", "", 1}));
    ASSERT_TRUE(store.Append({"old two", "", "", "", 2}));
    app->HistoryMode = 1;
    TyakuForm& tyaku = app->tyakuForm();
    ASSERT_EQ(tyaku.MailListView->topLevelItemCount(), 2);
    servers.deliver(kUser, plainMail("new", "x"));
    checkWatchingResults();
    // The stored flag counts the rows of this check only.
    ASSERT_EQ(records().size(), 3);
    EXPECT_EQ(records()[2].LiveFlag, 1);
    ASSERT_EQ(tyaku.MailListView->topLevelItemCount(), 3);
    EXPECT_EQ(tyaku.MailListView->topLevelItem(0)->text(0), QStringLiteral("old one"));
    EXPECT_EQ(tyaku.MailListView->topLevelItem(2)->text(0), QStringLiteral("new"));
}

TEST_F(MailCheckTest, ApopLoginAndACapitalAttachmentIsNoAttachment) {
    app->ApopFlag = 1;
    servers.deliver(kUser, plainMail("apop", "An Attachment? No."));
    const QList<Shown> shown = checkWatchingResults();
    ASSERT_EQ(records().size(), 1);
    EXPECT_FALSE(records()[0].Body.contains(QString::fromUtf16(kAttachmentNotice)));
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown[0].status,
              QStringLiteral("1通の新着メールが届いています。POP3を切断しました。"));
    EXPECT_TRUE(desktop.messages.isEmpty());
}

TEST_F(MailCheckTest, EmptyMailboxShowsNoNewMail) {
    const QList<Shown> shown = checkWatchingResults();
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown[0].status, QStringLiteral("新着のメールはありませんでした。"));
    EXPECT_EQ(shown[0].picture, QStringLiteral("2.jpg"));
    EXPECT_TRUE(shown[0].image5);
    EXPECT_TRUE(records().isEmpty());
}

TEST_F(MailCheckTest, WrongPasswordShowsTheServersReplyAndNoResult) {
    ASSERT_TRUE(writeAccountSettings(folder.path(), {kUser, QStringLiteral("wrong")}, true));
    servers.deliver(kUser, plainMail("kept", "x"));
    const qint64 before = clock.nowMs();
    checkWatchingResults();
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0].title, QStringLiteral("エラー"));
    const QString first = desktop.messages[0].text.section(u'\n', 0, 0);
    EXPECT_TRUE(first.contains(QStringLiteral("パスワード")) &&
                first.contains(QStringLiteral("確かめてください。")))
        << desktop.messages[0].text.toStdString();
    EXPECT_EQ(clock.nowMs(), before) << "a result was displayed after a failed login";
    EXPECT_EQ(servers.mailbox(kUser).size(), 1);
}

TEST_F(MailCheckTest, AnUnreachableServerIsAnErrorNotNoNewMail) {
    app->Pop3Server = QStringLiteral("127.0.0.1:1");
    const QList<Shown> shown = checkWatchingResults();
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0].title, QStringLiteral("エラー"));
    // What went wrong and what to do, then the transport's detail.
    const QStringList lines = desktop.messages[0].text.split(u'\n');
    ASSERT_EQ(lines.size(), 2) << desktop.messages[0].text.toStdString();
    EXPECT_TRUE(lines[0].contains(QStringLiteral("接続できませんでした。")));
    EXPECT_TRUE(lines[0].contains(QStringLiteral("ネットワーク")));
    // Said once, whether the transport or the check gives the advice.
    EXPECT_EQ(lines[0].count(QStringLiteral("確かめてください。")), 1);
    EXPECT_FALSE(lines[1].isEmpty());
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(MailCheckTest, NoServerSetSaysSoAndOpensTheServerDialog) {
    app->Pop3Server.clear();
    servers.deliver(kUser, plainMail("waiting", "x"));
    const QList<Shown> shown = checkWatchingResults();
    EXPECT_TRUE(shown.isEmpty()) << "a result was shown without a server";
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_TRUE(desktop.messages[0].text.startsWith(
        QStringLiteral("受信するPOP3サーバーが設定されていません")));
    EXPECT_TRUE(app->optionForm().isVisible());
    EXPECT_EQ(servers.mailbox(kUser).size(), 1);
}

TEST_F(MailCheckTest, AMissingAccountIsNamedAndItsDialogOpensOverTheWindow) {
    const struct {
        AccountSettings saved;
        QString missing;
    } cases[] = {
        {{}, QStringLiteral("IDとパスワード")},
        {{kUser, {}}, QStringLiteral("パスワード")},
    };
    servers.deliver(kUser, plainMail("waiting", "x"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.missing.toStdString());
        ASSERT_TRUE(writeAccountSettings(folder.path(), c.saved, true));
        desktop.messages.clear();
        const QList<Shown> shown = checkWatchingResults();
        EXPECT_TRUE(shown.isEmpty()) << "a result was shown without an account";
        ASSERT_EQ(desktop.messages.size(), 1);
        EXPECT_TRUE(desktop.messages[0].text.startsWith(
            QStringLiteral("受信するための%1が設定されていません。").arg(c.missing)));
        IdPassForm& idPass = app->idPassForm();
        EXPECT_TRUE(idPass.isVisible());
        const QPoint offset =
            idPass.frameGeometry().center() - app->mainForm().frameGeometry().center();
        EXPECT_LE(offset.manhattanLength(), 8) << "opened away from the main window";
        EXPECT_TRUE(app->mainForm().Label2->text().isEmpty());
        idPass.Unload();
        settle();
    }
    EXPECT_EQ(servers.mailbox(kUser).size(), 1);
}

// What the user types in the account dialog without saving is what this run logs in with;
// the file stays as it was.
TEST_F(MailCheckTest, AnAccountTypedWithoutSavingIsUsedForThisRun) {
    const struct {
        QString saved;
        QString typed;
        qsizetype stored;
    } cases[] = {
        {QStringLiteral("wrong"), QStringLiteral("himitsu"), 1},
        {QStringLiteral("himitsu"), QStringLiteral("wrong"), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        ASSERT_TRUE(writeAccountSettings(folder.path(), {kUser, c.saved}, true));
        const qsizetype before = records().size();
        servers.deliver(kUser, plainMail("typed", "x"));
        startApp();
        app->mainForm();
        app->transport().setTimeoutMs(10000);
        app->Pop3Server = servers.pop3Host();
        IdPassForm& idPass = app->idPassForm();
        idPass.show();
        QTest::keyClick(idPass.PassText, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(idPass.PassText, c.typed);
        QTest::mouseClick(idPass.OKCommand, Qt::LeftButton);
        desktop.messages.clear();
        checkWatchingResults();
        EXPECT_EQ(records().size() - before, c.stored);
        EXPECT_EQ(desktop.messages.size(), 1 - c.stored) << "a failed login is told";
        EXPECT_EQ(readAccountSettings(folder.path()).AccountPassword, c.saved);
    }
}

TEST_F(MailCheckTest, AFailedLoginLeavesNeitherTheLastResultNorTheCheckingStatus) {
    QImage background(8, 8, QImage::Format_RGB32);
    background.fill(Qt::gray);
    QDir(folder.path()).mkpath(QStringLiteral("背景画像"));
    ASSERT_TRUE(background.save(folder.file(QStringLiteral("背景画像/3.jpg")), "PNG"));
    MainForm& main = app->mainForm();
    main.mnuImage_Click(3);
    servers.deliver(kUser, plainMail("first", "x"));
    checkWatchingResults();
    ASSERT_TRUE(main.Image1->picturePath().endsWith(QStringLiteral("メール種別画像/1.jpg")));

    ASSERT_TRUE(writeAccountSettings(folder.path(), {kUser, QStringLiteral("wrong")}, true));
    servers.deliver(kUser, plainMail("second", "x"));
    checkWatchingResults();
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_TRUE(main.Label2->text().isEmpty());
    EXPECT_TRUE(main.Image1->picturePath().endsWith(QStringLiteral("背景画像/3.jpg")))
        << main.Image1->picturePath().toStdString();
}

TEST_F(MailCheckTest, JapaneseMailInEveryCharsetIsStoredDecoded) {
    const QString text = QStringLiteral("髙橋です①㈱ｶﾀｶﾅ");
    const QString jisText = QStringLiteral("山田です①㈱ｶﾀｶﾅ");
    servers.deliver(
        kUser,
        "From: =?ISO-2022-JP?B?" + toIso2022Jp(QStringLiteral("山田")).toBase64() +
            "?= <y@example.jp>\r\nSubject: " + encodedWordIso2022Jp(QStringLiteral("会議①")) +
            "\r\nMIME-Version: 1.0\r\nContent-Type: text/plain; "
            "charset=ISO-2022-JP\r\n\r\n" +
            toIso2022Jp(jisText) + "\r\n");
    servers.deliver(kUser, "From: x@example.jp\r\nSubject: " + encodeCp932(u"生の題名髙") +
                               "\r\nMIME-Version: 1.0\r\nContent-Type: text/plain; "
                               "charset=Shift_JIS\r\nContent-Transfer-Encoding: 8bit\r\n\r\n" +
                               encodeCp932(text) + "\r\n");
    servers.deliver(kUser, "From: x@example.jp\r\nSubject: =?UTF-8?B?" + text.toUtf8().toBase64() +
                               "?=\r\nMIME-Version: 1.0\r\nContent-Type: text/plain; "
                               "charset=UTF-8\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
                               text.toUtf8().toBase64() + "\r\n");
    checkWatchingResults();
    const QList<ReceivedMailRecord> stored = records();
    ASSERT_EQ(stored.size(), 3);
    EXPECT_EQ(stored[0].Subject.trimmed(), QStringLiteral("会議①"));
    EXPECT_TRUE(stored[0].From.contains(QStringLiteral("山田"))) << stored[0].From.toStdString();
    EXPECT_EQ(stored[0].Body.trimmed(), jisText);
    EXPECT_EQ(stored[1].Subject.trimmed(), QStringLiteral("生の題名髙"));
    EXPECT_EQ(stored[1].Body.trimmed(), text);
    EXPECT_EQ(stored[2].Subject.trimmed(), text);
    EXPECT_EQ(stored[2].Body.trimmed(), text);
}

TEST_F(MailCheckTest, AttachmentsAreSavedSafelyAndNeverOverwrite) {
    folder.write(QStringLiteral("添付フォルダ/請求書.txt"), "already here");
    servers.deliver(kUser, mailWithAttachment("filename*=UTF-8''%E8%AB%8B%E6%B1%82%E6%9B%B8.txt",
                                              "new content"));
    servers.deliver(kUser, mailWithAttachment("filename=\"../../qsmail.ini\"", "hostile"));
    checkWatchingResults();
    EXPECT_EQ(folder.read(QStringLiteral("添付フォルダ/請求書.txt")), QByteArray("already here"));
    EXPECT_EQ(folder.read(QStringLiteral("添付フォルダ/請求書(2).txt")), QByteArray("new content"));
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("qsmail.ini"))));
    EXPECT_EQ(folder.read(QStringLiteral("添付フォルダ/qsmail.ini")), QByteArray("hostile"));
    const QList<ReceivedMailRecord> stored = records();
    ASSERT_EQ(stored.size(), 2);
    EXPECT_TRUE(stored[0].Body.trimmed().startsWith(QStringLiteral("添付します。")));
    EXPECT_TRUE(stored[0].Body.trimmed().endsWith(QString::fromUtf16(kAttachmentNotice)));
}

TEST_F(MailCheckTest, ASplitMailIsRebuiltWhenItsLastPartArrives) {
    const QByteArray whole = mailWithAttachment("filename=\"report.bin\"", QByteArray(3000, 'R'));
    const qsizetype half = whole.size() / 2;
    const auto part = [&](int n, const QByteArray& piece) {
        return "From: hanako@example.jp\r\nSubject: split\r\nMIME-Version: 1.0\r\n"
               "Content-Type: message/partial; id=\"split-1@example.jp\"; number=" +
               QByteArray::number(n) + "; total=2\r\n\r\n" + piece;
    };
    servers.deliver(kUser, part(1, whole.left(half)));
    checkWatchingResults();
    EXPECT_TRUE(
        desktop.messageTexts().contains(QStringLiteral("分割されたメールが全て揃っていません")));
    EXPECT_EQ(records().size(), 1);
    EXPECT_TRUE(servers.mailbox(kUser).isEmpty());

    desktop.messages.clear();
    servers.deliver(kUser, part(2, whole.mid(half)));
    checkWatchingResults();
    EXPECT_FALSE(
        desktop.messageTexts().contains(QStringLiteral("分割されたメールが全て揃っていません")));
    EXPECT_EQ(folder.read(QStringLiteral("添付フォルダ/report.bin")), QByteArray(3000, 'R'));
}

TEST_F(MailCheckTest, ALongBodyIsCutToTheFieldAndANulLosesNoText) {
    servers.deliver(kUser, plainMail("long", QByteArray(40000, 'x')));
    servers.deliver(kUser, plainMail("nul", QByteArray("before") + '\0' + "after"));
    checkWatchingResults();
    const QList<ReceivedMailRecord> stored = records();
    ASSERT_EQ(stored.size(), 2);
    EXPECT_EQ(stored[0].Body, QString(32000, u'x'));
    // The decoder drops the NUL itself rather than everything after it.
    EXPECT_EQ(stored[1].Body.trimmed(), QStringLiteral("beforeafter"));
}

TEST_F(MailCheckTest, AMailThatCannotBeStoredStaysOnTheServer) {
    // A folder where the record file should be: every write to it fails.
    ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("★MailData/qsmdata2.data")));
    servers.deliver(kUser, plainMail("one", "x"));
    servers.deliver(kUser, plainMail("two", "y"));
    const QList<Shown> shown = checkWatchingResults();
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0].title, QStringLiteral("エラー"));
    EXPECT_EQ(servers.mailbox(kUser).size(), 2);
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(MailCheckTest, ASecondPressDuringACheckIsIgnored) {
    servers.deliver(kUser, plainMail("first", "x"));
    clock.at(clock.nowMs() + 2000, [this] {
        servers.deliver(kUser, plainMail("late", "y"));
        app->mainForm().Command3_Click();
    });
    app->mainForm().Command3_Click();
    EXPECT_EQ(records().size(), 1);
    EXPECT_EQ(servers.mailbox(kUser).size(), 1);
    EXPECT_FALSE(app->mainForm().mailCheckRunning());
}

TEST_F(MailCheckTest, ClosingTheMainWindowDuringTheResultEndsCleanly) {
    servers.deliver(kUser, plainMail("first", "x"));
    app->mainForm().show();
    clock.at(clock.nowMs() + 2000, [this] { app->mainForm().close(); });
    app->mainForm().Command3_Click();
    EXPECT_TRUE(app->ending());
    EXPECT_EQ(records().size(), 1);
}

}  // namespace
