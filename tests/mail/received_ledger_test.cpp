#include <gtest/gtest.h>

#include "store/received_ledger.h"
#include "temp_app_folder.h"

namespace {

TEST(ReceivedLedger, RemembersPerMailboxAndForgetsWhatTheServerNoLongerHolds) {
    TempAppFolder app;
    const QString path = app.file(QStringLiteral("★MailData/received-ids.txt"));
    {
        ReceivedLedger taro(path, QStringLiteral("taro"), QStringLiteral("pop.example.jp"));
        ASSERT_TRUE(taro.add(QStringLiteral("uidl:1"), 0, 1700000000));
        ASSERT_TRUE(taro.add(QStringLiteral("uidl:2"), 0, 1700000000));
        ReceivedLedger hanako(path, QStringLiteral("hanako"), QStringLiteral("pop.example.jp"));
        ASSERT_TRUE(hanako.add(QStringLiteral("uidl:1"), 0, 1700000000));
    }
    ReceivedLedger taro(path, QStringLiteral("taro"), QStringLiteral("pop.example.jp"));
    EXPECT_TRUE(taro.contains(QStringLiteral("uidl:2")));
    ASSERT_TRUE(taro.keepOnly({QStringLiteral("uidl:2"), QStringLiteral("uidl:9")}));
    EXPECT_FALSE(ReceivedLedger(path, QStringLiteral("taro"), QStringLiteral("pop.example.jp"))
                     .contains(QStringLiteral("uidl:1")));
    EXPECT_TRUE(ReceivedLedger(path, QStringLiteral("taro"), QStringLiteral("pop.example.jp"))
                    .contains(QStringLiteral("uidl:2")));
    EXPECT_TRUE(ReceivedLedger(path, QStringLiteral("hanako"), QStringLiteral("pop.example.jp"))
                    .contains(QStringLiteral("uidl:1")));
}

TEST(ReceivedLedger, ATornOrDamagedLineIsNeverMistakenForAStoredMail) {
    TempAppFolder app;
    const QString path = app.file(QStringLiteral("★MailData/received-ids.txt"));
    {
        ReceivedLedger ledger(path, QStringLiteral("taro"), QStringLiteral("pop"));
        ASSERT_TRUE(ledger.add(QStringLiteral("uidl:abcdef"), 0, 1700000000));
        ASSERT_TRUE(ledger.add(QStringLiteral("uidl:ghijkl"), 0, 1700000000));
    }
    QByteArray bytes = app.read(QStringLiteral("★MailData/received-ids.txt"));
    // A crash in the middle of the second line's write, and a flipped byte in the first.
    bytes.chop(bytes.size() - bytes.indexOf("uidl:ghi") - 8);
    bytes[bytes.indexOf("uidl:abc") + 5] = 'x';
    app.write(QStringLiteral("★MailData/received-ids.txt"), bytes + "garbage\n\tx\t\n");
    const ReceivedLedger ledger(path, QStringLiteral("taro"), QStringLiteral("pop"));
    EXPECT_FALSE(ledger.contains(QStringLiteral("uidl:ghi")));
    EXPECT_FALSE(ledger.contains(QStringLiteral("uidl:xbcdef")));
    EXPECT_FALSE(ledger.contains(QStringLiteral("uidl:abcdef")));
}

TEST(ReceivedLedger, ANoteStandsOnlyIfItsRecordWasWritten) {
    TempAppFolder app;
    const QString path = app.file(QStringLiteral("★MailData/received-ids.txt"));
    {
        ReceivedLedger ledger(path, QStringLiteral("taro"), QStringLiteral("pop"));
        ASSERT_TRUE(ledger.add(QStringLiteral("uidl:stored"), 4, 1700000000));
        ASSERT_TRUE(ledger.add(QStringLiteral("uidl:killed"), 5, 1700000000));
    }
    ReceivedLedger ledger(path, QStringLiteral("taro"), QStringLiteral("pop"));
    ASSERT_TRUE(ledger.settle(4));
    EXPECT_TRUE(ledger.contains(QStringLiteral("uidl:stored")));
    EXPECT_FALSE(ledger.contains(QStringLiteral("uidl:killed")));
    // Confirmed, the note no longer depends on the record file's length.
    ASSERT_TRUE(ledger.settle(0));
    EXPECT_TRUE(ReceivedLedger(path, QStringLiteral("taro"), QStringLiteral("pop"))
                    .contains(QStringLiteral("uidl:stored")));
}

}  // namespace
