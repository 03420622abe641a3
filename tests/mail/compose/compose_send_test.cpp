#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QTimer>

#include <memory>

#include "app/quillpost_app.h"
#include "compose/write_form.h"
#include "dialogs/option_form.h"
#include "fake_clock.h"
#include "history/tyaku_form.h"
#include "mail_servers.h"
#include "main_window/main_form.h"
#include "quillpost_test.h"
#include "scripted_desktop.h"
#include "send/fortune.h"
#include "settings/settings_files.h"
#include "store/mail_records.h"
#include "temp_app_folder.h"

namespace {

const QString kSubject = QStringLiteral("お見積り①の件");
const QString kBody = QStringLiteral("髙橋様\r\nいつもお世話になっております。ｶﾀｶﾅ");
const QString kDone = QStringLiteral("送信完了です。");
const QString kNoneSent = QStringLiteral("メールを送信できませんでした。");

MailServers::Options threeUsers(bool smtpAuth, int sizeLimit = 0) {
    MailServers::Options options;
    options.users << QStringLiteral("jiro:niban") << QStringLiteral("saburo:sanban");
    options.smtpAuth = smtpAuth;
    options.smtpSizeLimit = sizeLimit;
    return options;
}

class ComposeSendTest : public QuillpostTest {
  protected:
    explicit ComposeSendTest(bool smtpAuth = false, int sizeLimit = 0)
        : servers(threeUsers(smtpAuth, sizeLimit)) {}

    void SetUp() override {
        ASSERT_TRUE(servers.started()) << servers.error().toStdString();
        QuillpostTest::SetUp();
        // The main window's start-up reads the (absent) server settings: set them after.
        useSmtpServer(servers.smtpHost());
    }

    WriteForm& form() { return app->writeForm(); }

    void fill(const QString& to) {
        form().ToText->SetText(to);
        form().SubjectText->setText(kSubject);
        form().BodyText->SetText(kBody);
    }

    // The compose window's bulk mode over a book of these addresses.
    void bulkTo(const QStringList& addresses) {
        for (const QString& address : addresses) {
            ASSERT_TRUE(addressStore(folder.path()).Append({QStringLiteral("友人"), 1, address}));
        }
        form().Command3_Click();
        form().Option2->click();
    }

    // Fetches taro's mail through the mail check and returns the stored records.
    QList<ReceivedMailRecord> fetchTaro() {
        app->Pop3Server = servers.pop3Host();
        EXPECT_TRUE(writeAccountSettings(
            folder.path(), {QStringLiteral("taro"), QStringLiteral("himitsu")}, true));
        app->mainForm().Command3_Click();
        return receivedMailStore(folder.path()).ReadAll();
    }

    QList<SentMailRecord> sentHistory() const { return sentMailStore(folder.path()).ReadAll(); }

    // Presses the send picture as the user does.
    void pressSend() {
        QTest::mousePress(form().Image1, Qt::LeftButton);
        QTest::mouseRelease(form().Image1, Qt::LeftButton);
    }

    // The first line of each box, where it says what happened.
    QStringList firstLines() const {
        QStringList lines;
        for (const auto& message : desktop.messages) {
            lines.append(message.text.section(u'\n', 0, 0));
        }
        return lines;
    }

    // One good send to taro, whose record the failure must leave alone, then a press of
    // the send picture with the recipient and attachment of the failing mail.
    void failAfterAGoodSend(const QString& to, const QString& attachment = QString()) {
        fill(QStringLiteral("taro@localhost"));
        form().Image1_Click();
        ASSERT_TRUE(desktop.messages.isEmpty()) << firstLines().join(u'\n').toStdString();
        earlier = sentMailStore(folder.path()).file().ReadAll();
        ASSERT_EQ(earlier.size(), 1);
        form().show();
        form().ToText->SetText(to);
        form().AttachText->setText(attachment);
        pressSend();
    }

    // What a failed send must leave: the earlier record alone, untouched and current, and
    // the window in view with the mail, saying it was not sent.
    void expectNothingLeftOfTheFailure() {
        EXPECT_EQ(sentMailStore(folder.path()).file().ReadAll(), earlier);
        EXPECT_EQ(app->CurrentRecordNo, 1);
        EXPECT_EQ(form().Label7->text(), kNoneSent);
        EXPECT_TRUE(form().isVisible());
        EXPECT_EQ(form().BodyText->Text(), kBody);
        EXPECT_EQ(servers.mailbox(QStringLiteral("taro")).size(), 1);
    }

    QList<QByteArray> earlier;

    QStringList sendErrors() const {
        QStringList texts;
        for (const auto& message : desktop.messages) {
            if (message.title == QStringLiteral("送信エラー")) {
                texts.append(message.text);
            }
        }
        return texts;
    }

    MailServers servers;
};

TEST_F(ComposeSendTest, AMailWithThreeAttachmentsIsFetchedBackAndRecorded) {
    const QString outgoing = folder.file(QStringLiteral("送る"));
    QDir().mkpath(outgoing);
    const QStringList files{outgoing + QStringLiteral("/見積書①.txt"),
                            outgoing + QStringLiteral("/photo.jpg"),
                            outgoing + QStringLiteral("/data file.bin")};
    const QList<QByteArray> contents{"見積", QByteArray(3000, '\xff'), QByteArray(10, '\0')};
    for (int i = 0; i < files.size(); ++i) {
        QFile file(files[i]);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents[i]);
    }
    ASSERT_FALSE(QFileInfo::exists(folder.file(QStringLiteral("★MailData/qsmdata6.data"))));

    WriteForm& w = form();
    w.show();
    w.move(30, 40);
    fill(QStringLiteral("taro@localhost"));
    desktop.fileNames = files;
    w.AttachCommand_Click();
    w.Command9_Click();
    w.Command9_Click();
    app->mainForm().hide();
    w.Image1_Click();

    EXPECT_TRUE(sendErrors().isEmpty()) << sendErrors().join(u'\n').toStdString();
    EXPECT_EQ(w.Label7->text(), kDone);
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(app->mainForm().isVisible());
    EXPECT_EQ(app->mainForm().pos(), QPoint(30, 40));
    EXPECT_FALSE(app->mainForm().Timer1->isActive());
    EXPECT_TRUE(w.List2->isHidden());
    EXPECT_FALSE(w.Command9->isEnabled());
    EXPECT_TRUE(w.AttachCommand->isEnabled());
    EXPECT_EQ(w.SubjectText->text(), kSubject) << "the window keeps the mail";

    const QList<SentMailRecord> sent = sentHistory();
    ASSERT_EQ(sent.size(), 1) << "the first send creates the sent history";
    EXPECT_EQ(app->CurrentRecordNo, 1);
    EXPECT_EQ(sent[0].Subject.trimmed(), kSubject);
    EXPECT_EQ(sent[0].To.trimmed(), QStringLiteral("taro@localhost"));
    EXPECT_EQ(sent[0].Body.trimmed(), kBody);
    EXPECT_EQ(sent[0].SentAt.trimmed(), app->mainForm().Text1->text());
    EXPECT_EQ(sent[0].LiveFlag, 1);

    const QList<ReceivedMailRecord> received = fetchTaro();
    ASSERT_EQ(received.size(), 1);
    EXPECT_EQ(received[0].Subject.trimmed(), kSubject);
    EXPECT_TRUE(received[0].Body.trimmed().startsWith(kBody)) << received[0].Body.toStdString();
    EXPECT_TRUE(received[0].From.contains(QStringLiteral("hanako@example.jp")));
    for (int i = 0; i < files.size(); ++i) {
        EXPECT_EQ(folder.read(QStringLiteral("添付フォルダ/") + QFileInfo(files[i]).fileName()),
                  contents[i])
            << i;
    }
}

TEST_F(ComposeSendTest, BulkSendingGoesToEveryEntryInOrder) {
    // All three reach taro's mailbox, so their order of arrival shows.
    bulkTo({QStringLiteral("taro@localhost"), QStringLiteral("taro@first.example"),
            QStringLiteral("taro@second.example")});
    fill(QStringLiteral("表示用の宛先"));
    form().Image1_Click();

    EXPECT_TRUE(sendErrors().isEmpty()) << sendErrors().join(u'\n').toStdString();
    const QList<QByteArray> mails = servers.mailbox(QStringLiteral("taro"));
    ASSERT_EQ(mails.size(), 3);
    EXPECT_TRUE(mails[0].contains("To: taro@localhost"));
    EXPECT_TRUE(mails[1].contains("To: taro@first.example"));
    EXPECT_TRUE(mails[2].contains("To: taro@second.example"));
    const QList<SentMailRecord> sent = sentHistory();
    ASSERT_EQ(sent.size(), 3);
    for (const SentMailRecord& record : sent) {
        EXPECT_EQ(record.To.trimmed(), QStringLiteral("表示用の宛先"));
    }
    EXPECT_EQ(app->CurrentRecordNo, 3);
}

TEST_F(ComposeSendTest, BulkSendingWithAnEmptyBookSendsNothingAndSaysSo) {
    bulkTo({});
    fill(QStringLiteral("taro@localhost"));
    form().show();
    form().Image1_Click();
    EXPECT_TRUE(servers.mailbox(QStringLiteral("taro")).isEmpty());
    EXPECT_TRUE(sentHistory().isEmpty());
    ASSERT_EQ(firstLines().size(), 1);
    EXPECT_TRUE(firstLines()[0].startsWith(QStringLiteral("アドレス帳に宛先が登録されていない")));
    EXPECT_EQ(form().Label7->text(), kNoneSent);
    EXPECT_TRUE(form().isVisible());
}

TEST_F(ComposeSendTest, AnEmptyBookEntryIsSkippedWithOneBox) {
    bulkTo({QStringLiteral("   "), QStringLiteral("jiro@localhost")});
    fill(QString());
    form().Image1_Click();
    ASSERT_EQ(firstLines().size(), 1);
    EXPECT_TRUE(
        firstLines()[0].startsWith(QStringLiteral("アドレス帳の1番目の宛先にアドレスがない")));
    EXPECT_EQ(servers.mailbox(QStringLiteral("jiro")).size(), 1);
    EXPECT_EQ(sentHistory().size(), 1);
    EXPECT_EQ(form().Label7->text(), QStringLiteral("送信できなかったメールがあります。"));
}

TEST_F(ComposeSendTest, NoServerSetSaysSoAndOpensTheServerDialog) {
    fill(QStringLiteral("taro@localhost"));
    app->SmtpServer = QStringLiteral("  ");
    app->optionForm().hide();
    form().show();
    pressSend();
    ASSERT_EQ(firstLines().size(), 1);
    EXPECT_EQ(firstLines()[0],
              QStringLiteral("送信に使うSMTPサーバーが設定されていないため、送信できません。"
                             "サーバーの設定画面でSMTPサーバーを設定してください。"));
    EXPECT_TRUE(app->optionForm().isVisible());
    EXPECT_TRUE(sentHistory().isEmpty());
    EXPECT_EQ(form().Label7->text(), kNoneSent);
    EXPECT_TRUE(form().isVisible());
}

TEST_F(ComposeSendTest, AnEmptyRecipientIsNeitherSentNorRecorded) {
    fill(QStringLiteral(" , "));
    form().show();
    pressSend();
    ASSERT_EQ(firstLines().size(), 1);
    EXPECT_TRUE(firstLines()[0].startsWith(QStringLiteral("宛先が入力されていません。")));
    EXPECT_TRUE(sentHistory().isEmpty());
    EXPECT_EQ(form().Label7->text(), kNoneSent);
    EXPECT_FALSE(app->mainForm().Timer1->isActive());
}

TEST_F(ComposeSendTest, ARefusedRecipientLeavesNoRecord) {
    failAfterAGoodSend(QStringLiteral("nobody@localhost"));
    ASSERT_EQ(sendErrors().size(), 1);
    EXPECT_TRUE(firstLines()[0].startsWith(
        QStringLiteral("宛先のアドレスをサーバーが受け付けませんでした。")))
        << firstLines()[0].toStdString();
    expectNothingLeftOfTheFailure();
}

TEST_F(ComposeSendTest, ARefusedMailTakesItsFortuneBack) {
    form().drawFortune = [] { return 3; };
    fill(QStringLiteral("nobody@localhost"));
    form().Check1->setChecked(true);
    form().Image1_Click();
    ASSERT_EQ(sendErrors().size(), 1);
    EXPECT_EQ(form().BodyText->Text(), kBody);
}

TEST_F(ComposeSendTest, TheFailedRecordIsFoundAfterADeletionMovedIt) {
    for (const QString& subject : {QStringLiteral("消すメール"), QStringLiteral("残るメール")}) {
        ASSERT_TRUE(
            sentMailStore(folder.path()).Append({subject, QString(), QString(), QString(), 1}));
    }
    fill(QStringLiteral("nobody@localhost"));
    // Deleted from the history while the mail is on its way: the attempt moves from 3 to 2.
    QTimer::singleShot(0, &form(), [this] {
        SentMailStore store = sentMailStore(folder.path());
        SentMailRecord first = *store.ReadAt(1);
        store.Delete(1, first);
    });
    form().Image1_Click();
    ASSERT_EQ(sendErrors().size(), 1);
    const QList<SentMailRecord> left = sentHistory();
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left[0].Subject.trimmed(), QStringLiteral("残るメール"));
}

TEST_F(ComposeSendTest, ASentHistoryListedDuringARefusedSendDropsItsRow) {
    fill(QStringLiteral("nobody@localhost"));
    QTimer::singleShot(0, &form(),
                       [this] { QTest::mouseClick(app->mainForm().Command8, Qt::LeftButton); });
    form().Image1_Click();
    ASSERT_EQ(sendErrors().size(), 1);
    EXPECT_EQ(app->tyakuForm().MailListView->topLevelItemCount(), 0);
}

TEST_F(ComposeSendTest, AFailedPassShowsOneErrorAndTheOthersAreSent) {
    bulkTo({QStringLiteral("jiro@localhost"), QStringLiteral("nobody@localhost"),
            QStringLiteral("saburo@localhost")});
    fill(QString());
    form().Image1_Click();

    EXPECT_EQ(sendErrors().size(), 1);
    EXPECT_EQ(desktop.messages.size(), 1);
    EXPECT_TRUE(firstLines().value(0).startsWith(QStringLiteral("宛先のアドレスを")));
    EXPECT_EQ(servers.mailbox(QStringLiteral("jiro")).size(), 1);
    EXPECT_EQ(servers.mailbox(QStringLiteral("saburo")).size(), 1);
    EXPECT_EQ(sentHistory().size(), 2) << "only the mails that went out are recorded";
    EXPECT_EQ(app->CurrentRecordNo, 2) << "the third pass took the place the second gave up";
    EXPECT_EQ(form().Label7->text(), QStringLiteral("送信できなかったメールがあります。"));
}

TEST_F(ComposeSendTest, ABookEntryLeftMarkedByACutShortDeleteIsNeitherListedNorSentTo) {
    for (const QString& address :
         {QStringLiteral("jiro@localhost"), QStringLiteral("taro@localhost"),
          QStringLiteral("saburo@localhost")}) {
        ASSERT_TRUE(addressStore(folder.path()).Append({QStringLiteral("友人"), 1, address}));
    }
    AddressStore book = addressStore(folder.path());
    AddressRecord second = *book.ReadAt(2);
    ASSERT_TRUE(book.MarkDeleted(2, second));
    // The compaction that would finish the delete cannot run.
    ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("★MailData/QSMDATA.TMP")));
    form().Command3_Click();
    EXPECT_EQ(form().List1->count(), 2);
    EXPECT_EQ(form().RowToRecord.value(1), 3);
    form().Option2->click();
    fill(QString());
    form().Image1_Click();

    EXPECT_EQ(servers.mailbox(QStringLiteral("taro")).size(), 0);
    EXPECT_EQ(servers.mailbox(QStringLiteral("jiro")).size(), 1);
    EXPECT_EQ(servers.mailbox(QStringLiteral("saburo")).size(), 1);
}

TEST_F(ComposeSendTest, TheFortuneGoesWithTheMailButNotIntoTheHistory) {
    QList<int> draws{5, 12};
    form().drawFortune = [&draws] { return draws.takeFirst(); };
    fill(QStringLiteral("taro@localhost"));
    form().Check1->setChecked(true);
    form().Image1_Click();

    const QString once = withFortune(kBody, 5);
    EXPECT_EQ(form().BodyText->Text(), once);
    form().Image1_Click();
    EXPECT_EQ(form().BodyText->Text(), withFortune(once, 12)) << "a second fortune follows";
    EXPECT_TRUE(draws.isEmpty());

    const QList<SentMailRecord> sent = sentHistory();
    ASSERT_EQ(sent.size(), 2);
    EXPECT_EQ(sent[0].Body.trimmed(), kBody);
    EXPECT_EQ(sent[1].Body.trimmed(), once.trimmed());

    const QList<ReceivedMailRecord> received = fetchTaro();
    ASSERT_EQ(received.size(), 2);
    EXPECT_TRUE(received[0].Body.trimmed().endsWith(fortuneText(5).trimmed()))
        << received[0].Body.trimmed().toStdString();
    EXPECT_TRUE(received[1].Body.trimmed().endsWith(fortuneText(12)));
    EXPECT_EQ(received[1].Body.count(fortuneFooter()), 2);
}

TEST_F(ComposeSendTest, ASecondPressWhileSendingIsIgnored) {
    int draws = 0;
    form().drawFortune = [&draws] {
        ++draws;
        return 1;
    };
    fill(QStringLiteral("taro@localhost"));
    form().Check1->setChecked(true);
    bool pressedDuringSend = false;
    QTimer::singleShot(0, &form(), [&] {
        pressedDuringSend = form().sending();
        form().Image1_Click();
    });
    form().Image1_Click();
    QCoreApplication::processEvents();

    ASSERT_TRUE(pressedDuringSend) << "the second press must arrive while the first runs";
    EXPECT_FALSE(form().sending());
    EXPECT_EQ(draws, 1);
    EXPECT_EQ(sentHistory().size(), 1);
    EXPECT_EQ(servers.mailbox(QStringLiteral("taro")).size(), 1);
    EXPECT_EQ(form().BodyText->Text(), withFortune(kBody, 1));
}

class ComposeSendWithALimitTest : public ComposeSendTest {
  protected:
    ComposeSendWithALimitTest() : ComposeSendTest(false, 3000) {}
};

TEST_F(ComposeSendWithALimitTest, AMailTooLargeForTheServerLeavesNoRecord) {
    const QString big = folder.file(QStringLiteral("写真.jpg"));
    QFile file(big);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(5000, '\x7f'));
    file.close();
    failAfterAGoodSend(QStringLiteral("taro@localhost"), big);
    ASSERT_EQ(sendErrors().size(), 1);
    EXPECT_TRUE(firstLines()[0].startsWith(
        QStringLiteral("添付ファイルが大きすぎるため、サーバーが受け付けませんでした。")))
        << firstLines()[0].toStdString();
    expectNothingLeftOfTheFailure();
}

class ComposeSendWithAuthTest : public ComposeSendTest {
  protected:
    ComposeSendWithAuthTest() : ComposeSendTest(true) {}
};

TEST_F(ComposeSendWithAuthTest, TheSavedAccountAuthenticatesAtTheServer) {
    form().ToText->SetText(QStringLiteral("taro@localhost"));
    app->AccountId = QStringLiteral("taro");
    app->AccountPassword = QStringLiteral("wrong");
    form().Image1_Click();
    ASSERT_EQ(sendErrors().size(), 1);

    app->AccountId.clear();
    app->AccountPassword.clear();
    ASSERT_TRUE(writeAccountSettings(folder.path(),
                                     {QStringLiteral("taro"), QStringLiteral("himitsu")}, true));
    form().Image1_Click();
    EXPECT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(servers.mailbox(QStringLiteral("taro")).size(), 1);
}

}  // namespace
