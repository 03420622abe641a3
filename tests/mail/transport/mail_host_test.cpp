#include <gtest/gtest.h>

#include "transport/mail_host.h"
#include "transport/smtp_security.h"

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

TEST(TransportHost, EhloOffersAreReadFromAnswerLines) {
    SmtpOffer offer;
    noteSmtpAnswer(offer, "220 mail.example.jp ESMTP\r\n");
    noteSmtpAnswer(offer, "250-mail.example.jp\r\n250-STARTTLSX\r\n250-SIZE 1000\r\n");
    EXPECT_FALSE(offer.startTls);
    EXPECT_FALSE(offer.auth);
    noteSmtpAnswer(offer, "250-starttls\r\n250 AUTH PLAIN LOGIN\r\n");
    EXPECT_TRUE(offer.startTls);
    EXPECT_TRUE(offer.auth);
}

TEST(TransportHost, OnlyLoopbackAddressesAreThisComputer) {
    for (const char16_t* remote :
         {u"mail.example.jp", u"192.168.1.10", u"2001:db8::1", u"localhost.example.jp"}) {
        EXPECT_FALSE(isLoopbackHost(remote)) << QString::fromUtf16(remote).toStdString();
    }
    for (const char16_t* local : {u"127.0.0.1", u"127.0.0.2", u"::1", u"LocalHost"}) {
        EXPECT_TRUE(isLoopbackHost(local)) << QString::fromUtf16(local).toStdString();
    }
}

}  // namespace
