#include <gtest/gtest.h>

#include "cp932.h"
#include "entry_path.h"
#include "stored_name.h"
#include "unlha_command.h"

TEST(UnlhaCommand, ReadsTheLineArcopenBuilds) {
    const auto command = parseUnlhaCommand(R"(x -d1 -y1 "C:\dl\file.lzh" "C:\dl\file"\ *.*)");
    ASSERT_TRUE(command);
    EXPECT_EQ(command->archive, u"C:\\dl\\file.lzh");
    EXPECT_EQ(command->targetFolder, u"C:\\dl\\file");
    EXPECT_TRUE(command->patterns.isEmpty());
    EXPECT_TRUE(command->createTarget);
    EXPECT_TRUE(command->overwrite);

    const auto plain = parseUnlhaCommand(R"(x "/home/u/my docs/a.lzh" "/home/u/my docs/a"\)");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->archive, u"/home/u/my docs/a.lzh");
    EXPECT_EQ(plain->targetFolder, u"/home/u/my docs/a");
    EXPECT_FALSE(plain->createTarget);
    EXPECT_FALSE(plain->overwrite);
}

TEST(UnlhaCommand, DecodesCodePage932WithoutSplittingAtSecondBytes) {
    // 表 is 0x95 0x5C: its second byte is a backslash.
    const auto command = parseUnlhaCommand(
        encodeCp932(u"x -d1 -y1 \"C:\\表\\ソフト.lzh\" \"C:\\表\\ソフト\"\\ *.*"));
    ASSERT_TRUE(command);
    EXPECT_EQ(command->archive, u"C:\\表\\ソフト.lzh");
    EXPECT_EQ(command->targetFolder, u"C:\\表\\ソフト");
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
