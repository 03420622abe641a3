#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "temp_app_folder.h"
#include "transport/attachment_saving.h"
#include "transport/safe_file_name.h"

namespace {

TEST(MimeSafeFileName, HostileNamesStayInsideTheFolder) {
    EXPECT_EQ(safeFileName(u"../../etc/passwd"), QStringLiteral("passwd"));
    EXPECT_EQ(safeFileName(u"..\\..\\Windows\\win.ini"), QStringLiteral("win.ini"));
    EXPECT_EQ(safeFileName(u"C:\\autoexec.bat"), QStringLiteral("autoexec.bat"));
    EXPECT_EQ(safeFileName(u"C:evil.exe"), QStringLiteral("evil.exe"));
    EXPECT_EQ(safeFileName(u"/absolute/name.txt"), QStringLiteral("name.txt"));
    EXPECT_EQ(safeFileName(u".."), QStringLiteral("attachment"));
    EXPECT_EQ(safeFileName(u"dir/"), QStringLiteral("attachment"));
    EXPECT_EQ(safeFileName(u""), QStringLiteral("attachment"));
    EXPECT_EQ(safeFileName(u".bashrc"), QStringLiteral("bashrc"));
    EXPECT_EQ(safeFileName(u"a\r\nb\x01\tc.txt"), QStringLiteral("abc.txt"));
    EXPECT_EQ(safeFileName(u"what?<is>|this*.txt"), QStringLiteral("what__is__this_.txt"));
    EXPECT_EQ(safeFileName(u"report.txt. . "), QStringLiteral("report.txt"));
    EXPECT_EQ(safeFileName(u"CON.txt"), QStringLiteral("_CON.txt"));
    EXPECT_EQ(safeFileName(u"①㈱髙ｱ.doc"), QStringLiteral("①㈱髙ｱ.doc"));
}

TEST(MimeSafeFileName, LongNamesKeepTheirExtensionWithinTheLimit) {
    const QString name = safeFileName(QString(300, QChar(u'漢')) + QStringLiteral(".pdf"));
    EXPECT_LE(name.toUtf8().size(), 240);
    EXPECT_TRUE(name.endsWith(u".pdf"));
    EXPECT_EQ(numberedFileName(u"name.tar", 2), QStringLiteral("name(2).tar"));
    EXPECT_EQ(numberedFileName(u"README", 3), QStringLiteral("README(3)"));
}

TEST(MimeAttachmentSaving, NeverOverwritesAndNumbersNewFiles) {
    TempAppFolder app;
    const QString folder = app.attachmentFolder();
    app.write(QStringLiteral("添付フォルダ/資料.txt"), "old");
    QString error;
    const QString second = saveAttachment(folder, QStringLiteral("資料.txt"), "new", error);
    const QString third = saveAttachment(folder, QStringLiteral("../資料.txt"), "newer", error);
    EXPECT_EQ(second, QDir(folder).filePath(QStringLiteral("資料(2).txt")));
    EXPECT_EQ(third, QDir(folder).filePath(QStringLiteral("資料(3).txt")));
    EXPECT_EQ(app.read(QStringLiteral("添付フォルダ/資料.txt")), QByteArray("old"));
    EXPECT_EQ(app.read(QStringLiteral("添付フォルダ/資料(3).txt")), QByteArray("newer"));
    EXPECT_FALSE(QFile::exists(app.file(QStringLiteral("資料.txt"))));
}

TEST(MimeAttachmentSaving, ALinkInTheWayIsNotFollowed) {
    TempAppFolder app;
    const QString outside = app.file(QStringLiteral("outside.txt"));
    app.write(QStringLiteral("outside.txt"), "keep");
    ASSERT_TRUE(QFile::link(outside, app.attachmentFolder() + QStringLiteral("/trap.txt")));
    QString error;
    EXPECT_FALSE(
        saveAttachment(app.attachmentFolder(), QStringLiteral("trap.txt"), "x", error).isEmpty());
    EXPECT_EQ(app.read(QStringLiteral("outside.txt")), QByteArray("keep"));
}

TEST(MimeAttachmentSaving, MissingFolderIsReported) {
    TempAppFolder app;
    QString error;
    EXPECT_TRUE(saveAttachment(app.file(QStringLiteral("no-such-folder")), QStringLiteral("a.txt"),
                               "x", error)
                    .isEmpty());
    EXPECT_FALSE(error.isEmpty());
}

TEST(MimeAttachmentSaving, ABatchIsAllOrNothingAndAFileAlreadyThereIsTakenAgain) {
    TempAppFolder app;
    const QString folder = app.attachmentFolder();
    {
        AttachmentBatch unpublished(folder);
        ASSERT_TRUE(unpublished.add(QStringLiteral("a.txt"), "first"));
    }
    app.write(QStringLiteral("添付フォルダ/.quillpost-leftover.part"), "torn");
    removeLeftoverAttachmentParts(folder);
    EXPECT_TRUE(QDir(folder).entryList(QDir::Files | QDir::Hidden).isEmpty());

    AttachmentBatch batch(folder);
    ASSERT_TRUE(batch.add(QStringLiteral("a.txt"), "first"));
    ASSERT_TRUE(batch.add(QStringLiteral("a.txt"), "second"));
    ASSERT_TRUE(batch.publish());
    EXPECT_EQ(app.read(QStringLiteral("添付フォルダ/a(2).txt")), QByteArray("second"));
    // The same mail fetched again after a crash brings no copies.
    QString error;
    EXPECT_EQ(saveAttachment(folder, QStringLiteral("a.txt"), "second", error),
              QDir(folder).filePath(QStringLiteral("a(2).txt")));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

}  // namespace
