#include <gtest/gtest.h>

#include <QTest>

#include "scripted_smtp.h"
#include "transport/nmail.h"
#include "transport/transport_results.h"

namespace {

struct BrokenTransfer {
    const char* fault;
    int result;
    int mailsKept;  // what the server holds, whatever it answered
};

class SmtpOutcomeTest : public ::testing::TestWithParam<BrokenTransfer> {};

// Only a definite refusal, or a break before the data, says the mail did not go; a break
// after the whole mail went says it may have.
TEST_P(SmtpOutcomeTest, ABreakAfterTheWholeMailIsNoRefusal) {
    ScriptedSmtp server;
    ASSERT_TRUE(server.started());
    server.makeFault(QString::fromLatin1(GetParam().fault));
    NMail transport;
    transport.setTimeoutMs(2000);
    transport.setSmtpAccount(QStringLiteral("taro"), QStringLiteral("himitsu"));
    const int result = transport.NMailSmtpSendMail(
        server.host(), QStringLiteral("jiro@example.jp"), QStringLiteral("hanako@example.jp"),
        QStringLiteral("件名"), QStringLiteral("本文"), QString());
    QString message;
    transport.NMailGetMessage(message);
    EXPECT_EQ(result, GetParam().result) << message.toStdString();
    EXPECT_EQ(server.mails().size(), GetParam().mailsKept);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SmtpOutcomeTest,
    ::testing::Values(BrokenTransfer{"drop-before-data", TransportResult::NetworkFailure, 0},
                      BrokenTransfer{"refuse-data", TransportResult::Refused, 0},
                      BrokenTransfer{"drop-after-data", TransportResult::MayHaveGone, 1},
                      BrokenTransfer{"stall-after-data", TransportResult::MayHaveGone, 1}),
    [](const auto& info) {
        return QString::fromLatin1(info.param.fault).remove(u'-').toStdString();
    });

}  // namespace
