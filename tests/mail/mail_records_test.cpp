#include <gtest/gtest.h>

#include <QFile>

#include "cp932.h"
#include "store/mail_records.h"
#include "temp_app_folder.h"

namespace {

QByteArray sjis(const QString& s) {
    return encodeCp932(s);
}
QByteArray padded(const QByteArray& b, int w) {
    return b.leftJustified(w, ' ', true);
}
QByteArray flag(qint16 v) {
    return QByteArray(1, char(v & 0xFF)) + QByteArray(1, char((v >> 8) & 0xFF));
}

TEST(MailRecords, ReceivedLayoutIsByteExact) {
    TempAppFolder app;
    ReceivedMailStore store = receivedMailStore(app.path());
    ASSERT_EQ(store.Append({"件名", "Mon, 7 Dec 2026 10:00:00 +0900", "山田 <y@example.jp>",
                            "本文①\r\n2行目", 3}),
              1);
    const QByteArray file = app.read(QStringLiteral("★MailData/qsmdata2.data"));
    const QByteArray expected = padded(sjis("件名"), 100) +
                                padded("Mon, 7 Dec 2026 10:00:00 +0900", 90) +
                                padded(sjis("山田 <y@example.jp>"), 90) +
                                padded(sjis("本文①\r\n2行目"), 32000) + "\r\n" + flag(3);
    ASSERT_EQ(file.size(), 32284);
    EXPECT_EQ(file, expected);
    const ReceivedMailRecord back = *store.ReadAt(1);
    EXPECT_EQ(back.Subject.trimmed(), QStringLiteral("件名"));
    EXPECT_EQ(back.Body.trimmed(), QStringLiteral("本文①\r\n2行目"));
    EXPECT_EQ(back.LiveFlag, 3);
}

TEST(MailRecords, SentLayoutIsByteExactAndLongTextIsCut) {
    TempAppFolder app;
    SentMailStore store = sentMailStore(app.path());
    const QString subject(60, QChar(u'題'));    // 120 bytes: the first 100 are kept
    const QString body = QString(32001, u'b');  // one byte too many
    ASSERT_EQ(store.Append({subject, "to@example.jp", body, "2026/12/08  10:00:00", 1}), 1);
    const QByteArray file = app.read(QStringLiteral("★MailData/qsmdata6.data"));
    const QByteArray expected = sjis(QString(50, QChar(u'題'))) + padded("to@example.jp", 90) +
                                QByteArray(32000, 'b') + "\r\n" +
                                padded("2026/12/08  10:00:00", 90) + flag(1);
    ASSERT_EQ(file.size(), 32284);
    EXPECT_EQ(file, expected);
}

TEST(MailRecords, AddressLayoutIsByteExactAndDeletionBlanksTheName) {
    TempAppFolder app;
    AddressStore store = addressStore(app.path());
    const QString name = QStringLiteral("鈴木").leftJustified(15, QChar(0x3000));
    ASSERT_EQ(store.Append({name, 2, "suzuki@example.jp"}), 1);
    const QByteArray expected =
        padded(sjis(name), 90) + "\r\n" + flag(2) + padded("suzuki@example.jp", 90);
    EXPECT_EQ(app.read(QStringLiteral("★MailData/qsmdata.data")), expected);

    AddressRecord buffer = *store.ReadAt(1);
    ASSERT_TRUE(store.MarkDeleted(1, buffer));
    EXPECT_EQ(app.read(QStringLiteral("★MailData/qsmdata.data")),
              padded(" ", 90) + "\r\n" + flag(0) + padded("suzuki@example.jp", 90));
    ASSERT_TRUE(store.Compact());
    EXPECT_EQ(app.read(QStringLiteral("★MailData/qsmdata.data")), QByteArray());
}

TEST(MailRecords, DataFolderAndFileNamesMatchWithoutRegardToCase) {
    TempAppFolder app;
    app.write(QStringLiteral("★MailData/Qsmdata.data"),
              AddressRecord{"A", 1, "a@example.jp"}.toBytes());
    AddressStore store = addressStore(app.path());
    ASSERT_EQ(store.RecordCount(), 1);
    EXPECT_EQ(store.ReadAll().front().Address.trimmed(), QStringLiteral("a@example.jp"));
    ASSERT_EQ(store.Append({"B", 2, "b@example.jp"}), 2);
    EXPECT_FALSE(QFile::exists(app.file(QStringLiteral("★MailData/qsmdata.data"))));
}

TEST(MailRecords, CompactionAcrossManyRecordsKeepsEverySurvivorInOrder) {
    TempAppFolder app;
    ReceivedMailStore store = receivedMailStore(app.path());
    for (int i = 1; i <= 70; ++i) {
        ASSERT_EQ(store.Append({QString::number(i), "", "", QStringLiteral("本文%1").arg(i), 1}),
                  i);
    }
    for (qint16 n : {5, 32, 33, 64, 70}) {
        ReceivedMailRecord buffer = *store.ReadAt(n);
        ASSERT_TRUE(store.MarkDeleted(n, buffer));
    }
    ASSERT_TRUE(store.Compact());
    QStringList expected;
    for (int i = 1; i <= 70; ++i) {
        if (i != 5 && i != 32 && i != 33 && i != 64 && i != 70) {
            expected.append(QString::number(i));
        }
    }
    QStringList subjects;
    for (const ReceivedMailRecord& r : store.ReadAll()) {
        subjects.append(r.Subject.trimmed());
        EXPECT_EQ(r.Body.trimmed(), QStringLiteral("本文") + r.Subject.trimmed());
    }
    EXPECT_EQ(subjects, expected);
}

TEST(MailRecords, NulInAFieldIsStoredAndReadBack) {
    TempAppFolder app;
    ReceivedMailStore store = receivedMailStore(app.path());
    const QString subject = QStringLiteral("ab") + QChar(u'\0') + QStringLiteral("cd");
    ASSERT_TRUE(store.Append({subject, "", "", "", 1}));
    EXPECT_EQ(store.ReadAll().front().Subject.left(5), subject);
}

}  // namespace
