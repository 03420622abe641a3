#include <gtest/gtest.h>

#include "archive_drop.h"
#include "cp932.h"

TEST(ArcopenDrop, SplitsAtTheLastSeparatorAndTheLastDotOfTheName) {
    struct Case {
        const char16_t* path;
        const char16_t* folder;
        const char16_t* base;
    };
    const Case cases[] = {
        {u"C:\\dl\\file.lzh", u"C:\\dl\\", u"file"},
        {u"C:\\dl\\a.b.lzh", u"C:\\dl\\", u"a.b"},
        {u"C:\\dl\\file", u"C:\\dl\\", u"file"},
        {u"C:\\my.dir\\file", u"C:\\my.dir\\", u"file"},
        {u"/home/u/アーカイブ.LZH", u"/home/u/", u"アーカイブ"},
        {u"file.lzh", u"", u"file"},
    };
    for (const Case& c : cases) {
        const DroppedArchive parts = splitDroppedPath(QString::fromUtf16(c.path));
        EXPECT_EQ(parts.folder, QString::fromUtf16(c.folder));
        EXPECT_EQ(parts.baseName, QString::fromUtf16(c.base));
    }
}

TEST(ArcopenDrop, BuildsTheCommandLineStatusAndUpperCaseFailureCodes) {
    EXPECT_EQ(unlhaCommandLine(QStringLiteral("C:\\dl\\file.lzh")),
              uR"(x -d1 -y1 "C:\dl\file.lzh" "C:\dl\file"\ *.*)");
    EXPECT_EQ(unlhaCommandLine(QStringLiteral("C:\\dl\\file")),
              uR"(x -d1 -y1 "C:\dl\file" "C:\dl\file"\ *.*)");
    EXPECT_EQ(extractingStatus(1, 2, QStringLiteral("C:\\dl\\file.lzh")),
              u"Extracting(1/2):C:\\dl\\file.lzh");
    // The failure texts themselves are checked through the window; a code the module does
    // not give still gets advice before it.
    EXPECT_EQ(failureMessage({{QStringLiteral("a.lzh"), 0xABC, {}}}, 1),
              u"解凍できませんでした。書庫が正しいか、解凍先のフォルダに書き込めるかを"
              u"確かめてください。\n解凍に失敗しました。Error Code:0xABC");
}

TEST(ArcopenDrop, PassesCodePage932WhenThePathFitsAndMarkedUtf8Otherwise) {
    const QString japanese = unlhaCommandLine(QStringLiteral("C:\\表\\ソフト①.lzh"));
    EXPECT_EQ(unlhaCommandBytes(japanese), encodeCp932(japanese));
    const QString foreign = unlhaCommandLine(QStringLiteral("/home/u/测试\U0001F600.lzh"));
    EXPECT_EQ(unlhaCommandBytes(foreign), QByteArray("\xEF\xBB\xBF") + foreign.toUtf8());
}
