#include <gtest/gtest.h>

#include <QPointer>
#include <QTest>
#include <QTimer>

#include "app/quillpost_app.h"
#include "compose/write_form.h"
#include "main_window/main_form.h"
#include "quillpost_test.h"
#include "scripted_smtp.h"
#include "send/fortune.h"
#include "store/mail_records.h"

namespace {

// The compose window sending to the scripted server, which takes any account.
class SendOutcomeTest : public QuillpostTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server.started());
        QuillpostTest::SetUp();
        useSmtpServer(server.host(), 2000);
        app->AccountId = QStringLiteral("hanako");
        app->AccountPassword = QStringLiteral("himitsu");
        window = &app->writeForm();
        window->ToText->SetText(QStringLiteral("jiro@example.jp"));
        window->SubjectText->setText(QStringLiteral("お見積りの件"));
        window->BodyText->SetText(QStringLiteral("よろしくお願いします。"));
        window->show();
    }

    void pressSend() { QTest::mouseClick(window->Image1, Qt::LeftButton); }

    QList<SentMailRecord> sentHistory() const { return sentMailStore(folder.path()).ReadAll(); }

    QStringList boxes(const QString& title) const {
        QStringList texts;
        for (const auto& message : desktop.messages) {
            if (message.title == title) {
                texts.append(message.text.section(u'\n', 0, 0));
            }
        }
        return texts;
    }

    ScriptedSmtp server;
    QPointer<WriteForm> window;
};

TEST_F(SendOutcomeTest, AMailThatMayHaveGoneKeepsItsRecordAndFortune) {
    server.makeFault(QStringLiteral("drop-after-data"));
    window->Check1->setChecked(true);
    window->drawFortune = [] { return 3; };
    pressSend();

    EXPECT_EQ(sentHistory().size(), 1);
    EXPECT_TRUE(window->BodyText->Text().contains(fortuneText(3)));
    ASSERT_EQ(boxes(QStringLiteral("確認")).size(), 1);
    EXPECT_TRUE(boxes(QStringLiteral("確認"))[0].contains(u"届いているかもしれません"));
    EXPECT_TRUE(boxes(QStringLiteral("送信エラー")).isEmpty());
}

// 送信中止 pressed while the server holds back its answer to DATA closes the window, and
// the mail stays home with no record and no error box.
TEST_F(SendOutcomeTest, StopMidSendSendsNothing) {
    server.makeFault(QStringLiteral("slow-data"));
    app->transport().setTimeoutMs(10000);
    QTimer::singleShot(500, window.data(),
                       [this] { QTest::mouseClick(window->Image2, Qt::LeftButton); });
    pressSend();
    settle();
    QTest::qWait(2500);  // past the server's late answer to DATA

    EXPECT_TRUE(window.isNull());
    EXPECT_TRUE(server.mails().isEmpty());
    EXPECT_TRUE(sentHistory().isEmpty());
    EXPECT_TRUE(desktop.messages.isEmpty());
}

}  // namespace
