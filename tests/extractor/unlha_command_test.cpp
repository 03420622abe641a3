#include <gtest/gtest.h>

#include "cp932.h"
#include "entry_path.h"
#include "stored_name.h"
#include "unlha_command.h"

// What the switches do is checked by extracting.
TEST(UnlhaCommand, ReadsTheArchiveAndTargetFolder) {
    struct Case {
        QByteArray line;
        const char16_t* archive;
        const char16_t* target;
    };
    const Case cases[] = {
        {R"(x -d1 -y1 "C:\dl\file.lzh" "C:\dl\file"\ *.*)", u"C:\\dl\\file.lzh", u"C:\\dl\\file"},
        {R"(x "/home/u/my docs/a.lzh" "/home/u/my docs/a"\)", u"/home/u/my docs/a.lzh",
         u"/home/u/my docs/a"},
        // 表 is 0x95 0x5C: its second byte is a backslash.
        {encodeCp932(u"x -d1 -y1 \"C:\\表\\ソフト.lzh\" \"C:\\表\\ソフト\"\\ *.*"),
         u"C:\\表\\ソフト.lzh", u"C:\\表\\ソフト"},
        // Behind the UTF-8 mark, names beyond the code page.
        {"\xEF\xBB\xBF" +
             QStringLiteral("x -d1 -y1 \"/测试/\U0001F600.lzh\" \"/测试/\U0001F600\"\\ *.*")
                 .toUtf8(),
         u"/测试/\U0001F600.lzh", u"/测试/\U0001F600"},
    };
    for (const Case& c : cases) {
        const auto command = parseUnlhaCommand(c.line);
        ASSERT_TRUE(command) << c.line.toStdString();
        EXPECT_EQ(command->archive, QString::fromUtf16(c.archive));
        EXPECT_EQ(command->targetFolder, QString::fromUtf16(c.target));
    }
}

TEST(UnlhaCommand, RefusesLinesItDoesNotUnderstand) {
    for (const char* line : {"", "x", R"(a "x.lzh" "dir"\)", R"(x "x.lzh")", R"(x "x.lzh" "dir")",
                             R"(x -q "x.lzh" "dir"\)", R"(x -d2 "x.lzh" "dir"\)"}) {
        EXPECT_FALSE(parseUnlhaCommand(line)) << line;
    }
}

TEST(UnlhaCommand, PatternsSelectByNameOrPath) {
    const auto command = parseUnlhaCommand(R"(x "a.lzh" "out"\ *.txt docs\*.md)");
    ASSERT_TRUE(command);
    EXPECT_TRUE(selectsEntry(*command, QStringLiteral("deep/notes.TXT")));
    EXPECT_TRUE(selectsEntry(*command, QStringLiteral("docs/readme.md")));
    EXPECT_FALSE(selectsEntry(*command, QStringLiteral("readme.md")));
    EXPECT_FALSE(selectsEntry(*command, QStringLiteral("picture.gif")));
}

TEST(LhaEntryPath, KeepsNamesInsideTheTarget) {
    EXPECT_EQ(safeEntryPath(u"a/b\\c.txt"), (QStringList{"a", "b", "c.txt"}));
    EXPECT_EQ(safeEntryPath(u"./a//b/"), (QStringList{"a", "b"}));
    EXPECT_EQ(safeEntryPath(u"a..b/..c"), (QStringList{"a..b", "..c"}));
    EXPECT_EQ(safeEntryPath(u"./"), QStringList{});
}

TEST(LhaEntryPath, RefusesNamesThatLeaveIt) {
    for (const char16_t* name : {u"../x", u"a/../../x", u"a\\..\\x", u"..", u"/etc/passwd", u"\\x",
                                 u"\\\\server\\share\\x", u"C:\\x", u"c:x", u"C:/x"}) {
        EXPECT_FALSE(safeEntryPath(name)) << QString::fromUtf16(name).toStdString();
    }
}

TEST(LhaEntryPath, LinksMustResolveInside) {
    const QStringList link = {QStringLiteral("dir2"), QStringLiteral("symlink1")};
    EXPECT_TRUE(linkStaysInside(link, u"../file1"));
    EXPECT_TRUE(linkStaysInside(link, u"sibling"));
    EXPECT_FALSE(linkStaysInside(link, u"../../file1"));
    EXPECT_FALSE(linkStaysInside(link, u"/tmp"));
    EXPECT_FALSE(linkStaysInside(link, u"C:\\Windows"));
    EXPECT_FALSE(linkStaysInside({QStringLiteral("top")}, u"a/../.."));
}

TEST(LhaStoredName, RestoresSecondBytesTakenForSeparators) {
    // "表/ソ.txt" as libarchive hands it over: 95 2F 2F 83 2F 2E 74 78 74.
    const QString mangled = QString::fromLatin1("\x95//\x83/.txt");
    EXPECT_EQ(decodeStoredName(mangled), u"表/ソ.txt");
    EXPECT_EQ(decodeStoredName(QString::fromLatin1("\x8a\xbf\x8e\x9a.txt")), u"漢字.txt");
    EXPECT_EQ(decodeStoredName(QStringLiteral("テスト/äöü.txt")), u"テスト/äöü.txt");
}
