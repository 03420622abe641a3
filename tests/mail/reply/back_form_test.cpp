#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <QTimer>

#include <memory>

#include "app/quillpost_app.h"
#include "dialogs/option_form.h"
#include "fake_clock.h"
#include "mail_servers.h"
#include "main_window/main_form.h"
#include "quillpost_test.h"
#include "reply/back_form.h"
#include "scripted_desktop.h"
#include "store/mail_records.h"
#include "temp_app_folder.h"

namespace {

class BackFormTest : public QuillpostTest {
  protected:
    void SetUp() override {
        QuillpostTest::SetUp();
        app->mainForm();
        app->transport().setTimeoutMs(10000);
        app->MailAddress = QStringLiteral("hanako@example.jp");
    }

    BackForm& form() { return app->backForm(); }

    // What the history window's reply action leaves behind.
    void answer(const QString& to) {
        form().ToText->setText(to);
        form().SubjectText->setText(QStringLiteral("Re:  ご相談"));
        form().BodyText->SetText(QStringLiteral("お返事です。"));
    }
};

TEST_F(BackFormTest, PastingRebuildsTheBodyFromClipboardAndTheAnsweredMail) {
    ReceivedMailStore store = receivedMailStore(folder.path());
    ASSERT_TRUE(
        store.Append({QStringLiteral("ご相談"), QStringLiteral("日付"),
                      QStringLiteral("taro@example.jp"), QStringLiteral("元の本文\r\n二行目"), 1}));
    app->ReceivedBuffer = *store.ReadAt(1);
    ASSERT_EQ(app->ReceivedBuffer.Body.size(), 32000 - 16 + 9)
        << "the buffer holds the field with its padding";
    // The padding is no text of the mail: a line of spaces would also break the mail's limit.
    const QString stored = QStringLiteral("元の本文\r\n二行目");

    // The box keeps line ends as CR LF, so the lone CR shows as one more line end.
    const QString separator = QStringLiteral("\r\n\r\n\r\n\r\n");
    QGuiApplication::clipboard()->clear();
    form().Command1_Click();
    EXPECT_EQ(form().BodyText->Text(), separator + stored);

    QGuiApplication::clipboard()->setText(QStringLiteral("了解しました。"));
    form().Command1_Click();
    form().Command1_Click();
    EXPECT_EQ(form().BodyText->Text(), QStringLiteral("了解しました。") + separator + stored)
        << "pressed twice, nothing accumulates";
}

TEST_F(BackFormTest, CtrlReturnSends) {
    BackForm& w = form();
    EXPECT_TRUE(w.SendCommand->toolTip().contains(QStringLiteral("Ctrl+Return")));
    answer(QStringLiteral("taro@localhost"));
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.SubjectText->setFocus();
    QTest::keyClick(w.SubjectText, Qt::Key_Return, Qt::ControlModifier);
    settle();
    // No server is set: the attempt itself is what tells that it was sent.
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0].title, QStringLiteral("送信エラー"));
}

TEST_F(BackFormTest, OneAttachmentHomeAndCancel) {
    BackForm* w = &form();
    desktop.fileNames = {folder.file(QStringLiteral("一.txt")),
                         folder.file(QStringLiteral("二.txt")), QString()};
    w->AttachCommand_Click();
    w->AttachCommand_Click();
    EXPECT_EQ(w->AttachText->text(), folder.file(QStringLiteral("二.txt")));
    w->AttachCommand_Click();
    EXPECT_EQ(w->AttachText->text(), folder.file(QStringLiteral("二.txt")))
        << "a cancelled dialog keeps the attachment";

    answer(QStringLiteral("taro@localhost"));
    w->show();
    w->move(70, 80);
    app->mainForm().hide();
    w->Command5_Click();
    EXPECT_TRUE(app->mainForm().isVisible());
    EXPECT_EQ(app->mainForm().pos(), QPoint(70, 80));
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(w->BodyText->Text(), QStringLiteral("お返事です。"));

    w->CancelCommand_Click();
    settle();
    EXPECT_FALSE(app->isLoaded(w));
    EXPECT_TRUE(desktop.messages.isEmpty());
}

class BackFormSendTest : public BackFormTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(servers.started()) << servers.error().toStdString();
        BackFormTest::SetUp();
        app->SmtpServer = servers.smtpHost();
    }

    MailServers servers;
};

TEST_F(BackFormSendTest, ARejectedReplyKeepsTheWindowAndTheSentOneLeavesNoHistory) {
    BackForm* w = &form();
    answer(QStringLiteral("nobody@localhost"));
    w->show();
    app->mainForm().hide();
    w->SendCommand_Click();
    settle();
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0].title, QStringLiteral("送信エラー"));
    EXPECT_TRUE(desktop.messages[0].text.startsWith(
        QStringLiteral("宛先のアドレスをサーバーが受け付けませんでした。")))
        << desktop.messages[0].text.toStdString();
    EXPECT_TRUE(desktop.messages[0].text.section(u'\n', 1).contains(QStringLiteral("550")));
    ASSERT_TRUE(app->isLoaded(w));
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->BodyText->Text(), QStringLiteral("お返事です。"));
    EXPECT_EQ(w->ToText->text(), QStringLiteral("nobody@localhost"));
    EXPECT_FALSE(app->mainForm().Timer1->isActive());

    // Corrected, the same window sends, closes and hands back.
    w->ToText->setText(QStringLiteral("taro@localhost"));
    w->SendCommand_Click();
    settle();
    EXPECT_EQ(desktop.messages.size(), 1);
    EXPECT_FALSE(app->isLoaded(w));
    EXPECT_TRUE(app->mainForm().isVisible());
    EXPECT_FALSE(app->mainForm().Timer1->isActive());
    const QList<QByteArray> mails = servers.mailbox(QStringLiteral("taro"));
    ASSERT_EQ(mails.size(), 1);
    EXPECT_TRUE(mails[0].contains("To: taro@localhost"));
    EXPECT_EQ(sentMailStore(folder.path()).RecordCount(), 0);
}

TEST_F(BackFormSendTest, NoServerOrNoRecipientKeepsTheReplyAndSendsNothing) {
    BackForm* w = &form();
    answer(QStringLiteral("taro@localhost"));
    w->show();
    app->SmtpServer.clear();
    app->optionForm().hide();
    QTest::mouseClick(w->SendCommand, Qt::LeftButton);
    settle();
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_TRUE(desktop.messages[0].text.startsWith(
        QStringLiteral("送信に使うSMTPサーバーが設定されていないため")));
    EXPECT_TRUE(app->optionForm().isVisible());

    app->SmtpServer = servers.smtpHost();
    w->ToText->setText(QStringLiteral("  "));
    QTest::mouseClick(w->SendCommand, Qt::LeftButton);
    settle();
    ASSERT_EQ(desktop.messages.size(), 2);
    EXPECT_TRUE(desktop.messages[1].text.startsWith(QStringLiteral("宛先が入力されていません。")));
    ASSERT_TRUE(app->isLoaded(w));
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->sending());
    EXPECT_EQ(w->BodyText->Text(), QStringLiteral("お返事です。"));
    EXPECT_TRUE(servers.mailbox(QStringLiteral("taro")).isEmpty());
}

TEST_F(BackFormSendTest, ASecondPressWhileSendingIsIgnored) {
    answer(QStringLiteral("taro@localhost"));
    bool pressedDuringSend = false;
    BackForm* w = &form();
    QTimer::singleShot(0, w, [&] {
        pressedDuringSend = w->sending();
        w->SendCommand_Click();
    });
    w->SendCommand_Click();
    settle();
    ASSERT_TRUE(pressedDuringSend);
    EXPECT_TRUE(desktop.messages.isEmpty()) << desktop.messageTexts().join(u'|').toStdString();
    EXPECT_EQ(servers.mailbox(QStringLiteral("taro")).size(), 1);
}

}  // namespace
