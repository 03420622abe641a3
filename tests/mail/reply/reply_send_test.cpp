#include <gtest/gtest.h>

#include <QPointer>
#include <QTest>
#include <QTimer>

#include "../history/history_fixture.h"
#include "main_window/main_form.h"
#include "reply/back_form.h"
#include "scripted_smtp.h"

namespace {

const QString kTyped = QStringLiteral("お返事です。");

// A reply to a stored mail, on its way to the scripted server, which answers DATA only
// after 2 s: the time for a click mid-send.
class ReplySendTest : public HistoryTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server.started());
        HistoryTest::SetUp();
        useSmtpServer(server.host());
        app->AccountId = QStringLiteral("hanako");
        app->AccountPassword = QStringLiteral("himitsu");
        server.makeFault(QStringLiteral("slow-data"));
        storeReceived({QStringLiteral("A"), QStringLiteral("B")});
        history = &open(1);
        click(*history, 1);
        QTest::mouseClick(history->Image11, Qt::LeftButton);
        reply = openWindow<BackForm>();
        ASSERT_NE(reply, nullptr);
        reply->BodyText->SetText(kTyped);
    }

    ScriptedSmtp server;
    TyakuForm* history = nullptr;
    QPointer<BackForm> reply;
};

TEST_F(ReplySendTest, ReplyPressedMidSendLeavesTheReplyOnItsWay) {
    QString bodyAfterPress;
    QTimer::singleShot(500, reply.data(), [&] {
        click(*history, 2);
        QTest::mouseClick(history->Image11, Qt::LeftButton);
        bodyAfterPress = reply->BodyText->Text();
    });
    QTest::mouseClick(reply->SendCommand, Qt::LeftButton);

    EXPECT_EQ(bodyAfterPress, kTyped);
    EXPECT_EQ(
        desktop.messageTexts(),
        QStringList{QStringLiteral(
            "返事を送信中です。送信が終わってから、もう一度「返事を出す」を押してください。")});
    EXPECT_EQ(server.mails().size(), 1);
}

TEST_F(ReplySendTest, StopMidSendSendsNothing) {
    QTimer::singleShot(500, reply.data(),
                       [this] { QTest::mouseClick(reply->CancelCommand, Qt::LeftButton); });
    QTest::mouseClick(reply->SendCommand, Qt::LeftButton);
    settle();
    QTest::qWait(2500);  // past the server's late answer to DATA

    EXPECT_TRUE(reply.isNull());
    EXPECT_TRUE(server.mails().isEmpty());
    EXPECT_TRUE(desktop.messages.isEmpty());
}

}  // namespace
