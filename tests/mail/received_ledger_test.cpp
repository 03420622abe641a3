#include <gtest/gtest.h>

#include <QDir>

#include "store/mail_records.h"
#include "store/received_ledger.h"
#include "temp_app_folder.h"

namespace {

const QString kTaro = QStringLiteral("taro");
const QString kServer = QStringLiteral("pop.example.jp");

class LedgerTest : public ::testing::Test {
  protected:
    ReceivedLedger ledger(const QString& account = kTaro) const {
        return ReceivedLedger(path, account, kServer);
    }

    // Appends a record as a check would and notes it first; its record number.
    qint16 storeNoted(ReceivedLedger& ledger, const QString& identity, const QString& subject) {
        const qint16 recordNo = store.NextRecordNo();
        const ReceivedMailRecord record{subject, QString(), QString(), QStringLiteral("body"), 1};
        EXPECT_TRUE(ledger.note(identity, recordNo, 1700000000,
                                ReceivedLedger::recordDigest(record.toBytes())));
        EXPECT_TRUE(store.Append(record));
        return recordNo;
    }

    TempAppFolder app;
    const QString path = app.file(QStringLiteral("★MailData/received-ids.txt"));
    ReceivedMailStore store = receivedMailStore(app.path());
};

TEST_F(LedgerTest, RemembersPerMailboxConfirmsAndForgets) {
    {
        ReceivedLedger taro = ledger();
        storeNoted(taro, QStringLiteral("uidl:1"), QStringLiteral("one"));
        storeNoted(taro, QStringLiteral("uidl:2"), QStringLiteral("two"));
        ReceivedLedger hanako = ledger(QStringLiteral("hanako"));
        storeNoted(hanako, QStringLiteral("uidl:1"), QStringLiteral("hers"));
        ASSERT_TRUE(hanako.confirm({QStringLiteral("uidl:1")}, std::nullopt));
        // A note whose record was never written goes with the confirmation.
        ASSERT_TRUE(taro.note(QStringLiteral("uidl:3"), 4, 1700000000, "0"));
        ASSERT_TRUE(
            taro.confirm({QStringLiteral("uidl:1"), QStringLiteral("uidl:2")},
                         QSet<QString>{QStringLiteral("uidl:1"), QStringLiteral("uidl:2")}));
    }
    ReceivedLedger taro = ledger();
    EXPECT_TRUE(taro.contains(QStringLiteral("uidl:1")));
    EXPECT_FALSE(taro.contains(QStringLiteral("uidl:3")));
    // The server no longer holds mail 1; QUIT then removed mail 2.
    ASSERT_TRUE(taro.confirm({}, QSet<QString>{QStringLiteral("uidl:2")}));
    ASSERT_TRUE(taro.forget({QStringLiteral("uidl:2")}));
    EXPECT_FALSE(ledger().contains(QStringLiteral("uidl:1")));
    EXPECT_FALSE(ledger().contains(QStringLiteral("uidl:2")));
    EXPECT_TRUE(ledger(QStringLiteral("hanako")).contains(QStringLiteral("uidl:1")));
}

TEST_F(LedgerTest, ATornOrDamagedLineIsNeverMistakenForAStoredMail) {
    {
        ReceivedLedger taro = ledger();
        storeNoted(taro, QStringLiteral("uidl:abcdef"), QStringLiteral("a"));
        storeNoted(taro, QStringLiteral("uidl:ghijkl"), QStringLiteral("b"));
        ASSERT_TRUE(taro.confirm({QStringLiteral("uidl:abcdef"), QStringLiteral("uidl:ghijkl")},
                                 std::nullopt));
    }
    QByteArray bytes = app.read(QStringLiteral("★MailData/received-ids.txt"));
    // A crash in the middle of the second line's write, and a flipped byte in the first.
    bytes.chop(bytes.size() - bytes.indexOf("uidl:ghi") - 8);
    bytes[bytes.indexOf("uidl:abc") + 5] = 'x';
    app.write(QStringLiteral("★MailData/received-ids.txt"), bytes + "garbage\n\tx\t\n");
    const ReceivedLedger taro = ledger();
    EXPECT_FALSE(taro.contains(QStringLiteral("uidl:ghi")));
    EXPECT_FALSE(taro.contains(QStringLiteral("uidl:xbcdef")));
    EXPECT_FALSE(taro.contains(QStringLiteral("uidl:abcdef")));
}

// Notes a crash left unconfirmed stand exactly when their record is in the file, also
// after deletes in the history moved it down; each record stands for one note.
TEST_F(LedgerTest, AnUnconfirmedNoteStandsOnlyIfItsRecordIsFound) {
    {
        ReceivedLedger taro = ledger();
        storeNoted(taro, QStringLiteral("uidl:old"), QStringLiteral("old"));
        storeNoted(taro, QStringLiteral("uidl:kept"), QStringLiteral("kept"));
        storeNoted(taro, QStringLiteral("uidl:twin-a"), QStringLiteral("twin"));
        storeNoted(taro, QStringLiteral("uidl:twin-b"), QStringLiteral("twin"));
        // Noted, killed before its record was written.
        ASSERT_TRUE(taro.note(QStringLiteral("uidl:killed"), store.NextRecordNo(), 1700000000,
                              ReceivedLedger::recordDigest(QByteArray(32284, 'k'))));
    }
    // The user deletes the first mail and one of the twins before the next check.
    ReceivedMailRecord buffer;
    ASSERT_TRUE(store.Delete(1, buffer));
    ASSERT_TRUE(store.Delete(3, buffer));
    ReceivedLedger taro = ledger();
    ASSERT_TRUE(taro.settle(store.file()));
    EXPECT_TRUE(taro.contains(QStringLiteral("uidl:kept")));
    EXPECT_FALSE(taro.contains(QStringLiteral("uidl:old")));
    EXPECT_FALSE(taro.contains(QStringLiteral("uidl:killed")));
    EXPECT_EQ(int(taro.contains(QStringLiteral("uidl:twin-a"))) +
                  int(taro.contains(QStringLiteral("uidl:twin-b"))),
              1);
    // Settled once, the notes no longer depend on the record file.
    ASSERT_TRUE(store.DeleteAll());
    ASSERT_TRUE(ledger().settle(store.file()));
    EXPECT_TRUE(ledger().contains(QStringLiteral("uidl:kept")));
}

TEST_F(LedgerTest, AFileThatCannotBeReadIsNotTakenForAnEmptyOne) {
    // What stands where the file should be cannot be read, even by root.
    ASSERT_TRUE(QDir().mkpath(path));
    EXPECT_FALSE(ledger().readable());
    EXPECT_FALSE(ledger().errorString().isEmpty());
}

}  // namespace
