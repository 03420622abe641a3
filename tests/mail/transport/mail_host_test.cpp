#include <gtest/gtest.h>

#include "mail_host.h"

namespace {

TEST(TransportHost, PortsAndTlsFromTheSetting) {
    const auto bare = parseMailHost(u"pop.example.jp", kPop3Protocol);
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->authority(), QStringLiteral("pop.example.jp:110"));
    EXPECT_FALSE(bare->tls);
    EXPECT_EQ(parseMailHost(u" mail.example.jp:2525 ", kSmtpProtocol)->authority(),
              QStringLiteral("mail.example.jp:2525"));
    const auto secure = parseMailHost(u"POP3S://pop.example.jp", kPop3Protocol);
    ASSERT_TRUE(secure);
    EXPECT_TRUE(secure->tls);
    EXPECT_EQ(secure->port, 995);
    EXPECT_EQ(parseMailHost(u"smtps://127.0.0.1:4650/", kSmtpProtocol)->authority(),
              QStringLiteral("127.0.0.1:4650"));
    EXPECT_EQ(parseMailHost(u"[::1]:110", kPop3Protocol)->authority(), QStringLiteral("[::1]:110"));
}

TEST(TransportHost, UnusableSettingsAreRejected) {
    for (const char16_t* value : {u"", u"   ", u"host:0", u"host:99999", u"host:abc",
                                  u"smtps://host", u"http://host", u"[::1", u"a b"}) {
        EXPECT_FALSE(parseMailHost(value, kPop3Protocol))
            << QString::fromUtf16(value).toStdString();
    }
}

}  // namespace
