#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "cp932.h"
#include "keyword_record.h"
#include "temp_app_folder.h"

namespace {

QByteArray keywordBytes(const QString& keyword, qint16 flag) {
    return fitCp932Field(keyword, 50) + "\r\n" + QByteArray(1, char(flag & 0xFF)) +
           QByteArray(1, char((flag >> 8) & 0xFF));
}

class RecordFileTest : public ::testing::Test {
  protected:
    TempAppFolder app;
    KeywordStore store = keywordStore(app.path());
    QString data = app.file(QStringLiteral("qsmdata9.data"));
    QString temp = app.file(QStringLiteral("QSMDATA9.TMP"));

    void fill(const QStringList& keywords) {
        for (const QString& k : keywords) {
            ASSERT_TRUE(store.Append({k, 1}));
        }
    }
    QStringList keywords() const {
        QStringList out;
        for (const KeywordRecord& r : store.ReadAll()) {
            out.append(r.Keyword.trimmed());
        }
        return out;
    }
    QByteArray bytes() const { return app.read(QStringLiteral("qsmdata9.data")); }
};

TEST_F(RecordFileTest, AMissingFileIsEmptyAndReadingDoesNotCreateIt) {
    EXPECT_EQ(store.RecordCount(), 0);
    EXPECT_EQ(store.NextRecordNo(), 1);
    EXPECT_TRUE(store.ReadAll().isEmpty());
    EXPECT_FALSE(store.ReadAt(1));
    EXPECT_TRUE(store.Compact());
    EXPECT_FALSE(QFile::exists(data));
}

// A new record file is its owner's alone, and a compaction, which writes the file anew,
// keeps whatever mode it has.
TEST_F(RecordFileTest, ANewFileIsTheOwnersAndACompactionKeepsItsMode) {
    fill({QStringLiteral("a"), QStringLiteral("b")});
    EXPECT_EQ(QFile::permissions(data),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    const QFile::Permissions shared = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                                      QFile::WriteUser | QFile::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(data, shared));
    KeywordRecord buffer;
    ASSERT_TRUE(store.Delete(1, buffer));
    EXPECT_EQ(QFile::permissions(data), shared);
}

TEST_F(RecordFileTest, AppendWritesExactBytesAtTheNextNumber) {
    EXPECT_EQ(store.Append({QStringLiteral("virus.exe"), 1}), 1);
    EXPECT_EQ(store.Append({QStringLiteral("請求書.pif"), 258}), 2);
    EXPECT_EQ(bytes(), keywordBytes("virus.exe", 1) + keywordBytes("請求書.pif", 258));
    EXPECT_EQ(bytes().mid(54 + 52, 2), QByteArray::fromHex("0201"));
    EXPECT_EQ(store.RecordCount(), 2);
    EXPECT_EQ(store.NextRecordNo(), 3);
    EXPECT_EQ(store.ReadAt(2)->Keyword.trimmed(), QStringLiteral("請求書.pif"));
    EXPECT_EQ(store.ReadAt(2)->LiveFlag, 258);
    EXPECT_FALSE(store.ReadAt(3));
    EXPECT_FALSE(store.ReadAt(0));
}

TEST_F(RecordFileTest, CountRoundsToNearestAndReadAllIgnoresATrailingPartialRecord) {
    fill({"a", "b"});
    const QByteArray two = bytes();
    struct Case {
        int extra;
        qint16 count;
    };
    // 26/54 rounds down, 27/54 is a half (2.5 → 2, even), 28/54 rounds up.
    for (Case c : {Case{0, 2}, Case{26, 2}, Case{27, 2}, Case{28, 3}}) {
        app.write(QStringLiteral("qsmdata9.data"), two + QByteArray(c.extra, 'z'));
        EXPECT_EQ(store.RecordCount(), c.count) << c.extra;
        EXPECT_EQ(store.ReadAll().size(), 2) << c.extra;
    }
    app.write(QStringLiteral("qsmdata9.data"), two.left(54) + QByteArray(27, 'z'));
    EXPECT_EQ(store.RecordCount(), 2);  // 1.5 → 2, even
}

TEST_F(RecordFileTest, AppendReplacesATrailingPartialRecordInsteadOfLeavingAGap) {
    fill({"a", "b"});
    app.write(QStringLiteral("qsmdata9.data"), bytes() + QByteArray(40, 'z'));
    EXPECT_EQ(store.NextRecordNo(), 3);
    EXPECT_EQ(store.Append({"c", 1}), 3);
    EXPECT_EQ(bytes().size(), 3 * 54);
    EXPECT_EQ(keywords(), (QStringList{"a", "b", "c"}));
}

TEST_F(RecordFileTest, DeletingTheMiddleRecordKeepsOrderAndLeavesNoTempFile) {
    fill({"a", "b", "c"});
    KeywordRecord buffer = *store.ReadAt(2);
    ASSERT_TRUE(store.MarkDeleted(2, buffer));
    EXPECT_EQ(buffer.LiveFlag, 0);
    EXPECT_EQ(bytes().mid(54, 54), keywordBytes("b", 0));
    ASSERT_TRUE(store.Compact());
    EXPECT_EQ(bytes(), keywordBytes("a", 1) + keywordBytes("c", 1));
    EXPECT_FALSE(QFile::exists(temp));
}

TEST_F(RecordFileTest, MarkDeletedWritesOnlyAnExistingRecord) {
    fill({"a", "b"});
    const QByteArray before = bytes();
    KeywordRecord buffer{"x", 1};
    for (qint16 n : {qint16(0), qint16(-1), qint16(3), qint16(-32768)}) {
        EXPECT_FALSE(store.MarkDeleted(n, buffer)) << n;
    }
    EXPECT_EQ(bytes(), before);
}

TEST_F(RecordFileTest, DeleteAllLeavesAnEmptyFile) {
    fill({"a", "b", "c"});
    ASSERT_TRUE(store.DeleteAll());
    EXPECT_TRUE(QFile::exists(data));
    EXPECT_EQ(QFileInfo(data).size(), 0);
    EXPECT_FALSE(QFile::exists(temp));
}

TEST_F(RecordFileTest, ATempFileLeftByACrashCostsNoRecord) {
    fill({"a", "b", "c"});
    app.write(QStringLiteral("QSMDATA9.TMP"), QByteArray(1000, 'G'));
    KeywordRecord buffer = *store.ReadAt(1);
    ASSERT_TRUE(store.MarkDeleted(1, buffer));
    ASSERT_TRUE(store.Compact());
    EXPECT_EQ(keywords(), (QStringList{"b", "c"}));
    EXPECT_FALSE(QFile::exists(temp));
}

TEST_F(RecordFileTest, ACompactionThatCannotCreateItsTempFileLeavesEveryRecord) {
    fill({"a", "b", "c"});
    KeywordRecord buffer = *store.ReadAt(2);
    ASSERT_TRUE(store.MarkDeleted(2, buffer));
    const QByteArray before = bytes();
    ASSERT_TRUE(QDir(app.path()).mkpath(QStringLiteral("QSMDATA9.TMP/blocker")));
    EXPECT_FALSE(store.Compact());
    EXPECT_FALSE(store.errorString().isEmpty());
    EXPECT_EQ(bytes(), before);
}

TEST_F(RecordFileTest, AWriteErrorInTheMiddleOfACompactionLeavesEveryRecord) {
    for (int i = 0; i < 500; ++i) {  // more than one write buffer
        ASSERT_TRUE(store.Append({QString::number(i), 1}));
    }
    KeywordRecord buffer = *store.ReadAt(7);
    ASSERT_TRUE(store.MarkDeleted(7, buffer));
    const QByteArray before = bytes();
    // Every write to /dev/full fails with "no space left on device".
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), temp));
    EXPECT_FALSE(store.Compact());
    EXPECT_EQ(bytes(), before);
    EXPECT_FALSE(QFileInfo(temp).isSymLink());
}

TEST_F(RecordFileTest, AFullFileRefusesTheAppendButStillDeletesARecord) {
    QByteArray full = keywordBytes("k", 1).repeated(RecordFile::kMaxRecords - 1);
    app.write(QStringLiteral("qsmdata9.data"), full);
    EXPECT_EQ(store.Append({"last", 1}), RecordFile::kMaxRecords);
    EXPECT_EQ(store.RecordCount(), RecordFile::kMaxRecords);
    const qint64 length = QFileInfo(data).size();
    EXPECT_FALSE(store.Append({"one too many", 1}));
    EXPECT_FALSE(store.errorString().isEmpty());
    EXPECT_EQ(QFileInfo(data).size(), length);
    EXPECT_EQ(store.ReadAll().size(), RecordFile::kMaxRecords);

    KeywordRecord buffer{QStringLiteral("k"), 1};
    ASSERT_TRUE(store.MarkDeleted(RecordFile::kMaxRecords, buffer));
    ASSERT_TRUE(store.Compact());
    EXPECT_EQ(store.RecordCount(), RecordFile::kMaxRecords - 1);
}

TEST_F(RecordFileTest, ADeleteCompletesOrChangesNothing) {
    fill({"a", "b", "c"});
    KeywordRecord buffer{QStringLiteral("b"), 1};
    ASSERT_TRUE(QDir().mkpath(temp));
    const QByteArray before = bytes();
    EXPECT_FALSE(store.Delete(2, buffer));
    EXPECT_EQ(bytes(), before);
    ASSERT_TRUE(QDir().rmdir(temp));
    // A mark left by a crash is finished by the next reader.
    ASSERT_TRUE(store.MarkDeleted(2, buffer));
    EXPECT_TRUE(store.FinishInterruptedDeletes());
    EXPECT_EQ(keywords(), QStringList({QStringLiteral("a"), QStringLiteral("c")}));
}

}  // namespace
