#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

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
    EXPECT_EQ(QFile::permissions(path),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser)
        << "it names the account, the server and the mails kept there";
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

// A note a crash left unconfirmed stands exactly when its record is at its number: not
// when the record was never written, even with a record of the same bytes before it (the
// same mail delivered twice). Deletes settle the notes first, so their numbers still tell.
TEST_F(LedgerTest, AnUnconfirmedNoteStandsOnlyIfItsRecordIsWhereItSays) {
    {
        ReceivedLedger taro = ledger();
        storeNoted(taro, QStringLiteral("uidl:twin-a"), QStringLiteral("twin"));
        ASSERT_TRUE(taro.confirm({QStringLiteral("uidl:twin-a")}, std::nullopt));
        storeNoted(taro, QStringLiteral("uidl:kept"), QStringLiteral("kept"));
        // The same mail again under another id, noted and killed before its record.
        const ReceivedMailRecord twin{QStringLiteral("twin"), QString(), QString(),
                                      QStringLiteral("body"), 1};
        ASSERT_TRUE(taro.note(QStringLiteral("uidl:twin-b"), store.NextRecordNo(), 1700000000,
                              ReceivedLedger::recordDigest(twin.toBytes())));
    }
    // The user deletes the first mail, moving the kept one down, before the next check.
    QString error;
    ASSERT_TRUE(ReceivedLedger::settleBeforeDelete(app.path(), error)) << error.toStdString();
    ReceivedMailRecord buffer;
    ASSERT_TRUE(store.Delete(1, buffer));
    ReceivedLedger taro = ledger();
    ASSERT_TRUE(taro.settle(store.file()));
    EXPECT_TRUE(taro.contains(QStringLiteral("uidl:kept")));
    EXPECT_TRUE(taro.contains(QStringLiteral("uidl:twin-a")));
    EXPECT_FALSE(taro.contains(QStringLiteral("uidl:twin-b")))
        << "the record of the same bytes before it is another mail's";
}

TEST_F(LedgerTest, AFileThatCannotBeReadIsNotTakenForAnEmptyOne) {
    // What stands where the file should be cannot be read, even by root.
    ASSERT_TRUE(QDir().mkpath(path));
    EXPECT_FALSE(ledger().readable());
    EXPECT_FALSE(ledger().errorString().isEmpty());
}

}  // namespace
