#include <gtest/gtest.h>

#include "cp932.h"
#include "private_profile.h"
#include "temp_app_folder.h"

namespace {

class PrivateProfile : public ::testing::Test {
  protected:
    TempAppFolder app;
    QString path = app.file(QStringLiteral("★MailData/ini.ini"));
};

TEST_F(PrivateProfile, MissingFileSectionOrKeyGivesTheDefault) {
    EXPECT_EQ(GetPrivateProfileString("EXEINI", "NAME", "dflt", path), QStringLiteral("dflt"));
    EXPECT_EQ(GetPrivateProfileInt("EXEINI", "NUMBER", 7, path), 7);
    app.write(QStringLiteral("★MailData/ini.ini"), "[OTHER]\r\nNAME=x\r\n");
    EXPECT_EQ(GetPrivateProfileString("EXEINI", "NAME", "", path), QString());
    EXPECT_EQ(GetPrivateProfileInt("OTHER", "NUMBER", 3, path), 3);
}

TEST_F(PrivateProfile, NamesAreCaseInsensitiveAndValuesAreCp932) {
    app.write(QStringLiteral("★MailData/ini.ini"),
              "; comment\r\n[exeini]\r\nname=" + encodeCp932(u"髙橋①") + "\r\nNumber = 42\r\n");
    EXPECT_EQ(GetPrivateProfileString("EXEINI", "NAME", "", path), QStringLiteral("髙橋①"));
    EXPECT_EQ(GetPrivateProfileInt("EXEINI", "NUMBER", 0, path), 42);
}

TEST_F(PrivateProfile, ReadsIntegersAsWindowsDoes) {
    app.write(QStringLiteral("★MailData/ini.ini"),
              "[S]\r\na= 12abc\r\nb=abc\r\nc=-5\r\nd=0x1F\r\ne=\r\n");
    EXPECT_EQ(GetPrivateProfileInt("S", "a", 9, path), 12);
    EXPECT_EQ(GetPrivateProfileInt("S", "b", 9, path), 0);
    EXPECT_EQ(GetPrivateProfileInt("S", "c", 9, path), -5);
    EXPECT_EQ(GetPrivateProfileInt("S", "d", 9, path), 31);
    EXPECT_EQ(GetPrivateProfileInt("S", "e", 9, path), 9);
}

TEST_F(PrivateProfile, ValuesAreCutTo255BytesAtACharacterBoundary) {
    app.write(QStringLiteral("★MailData/ini.ini"),
              "[S]\r\nlong=" + QByteArray(300, 'x') +
                  "\r\nwide=" + encodeCp932(QString(200, u'あ')) + "\r\nquoted=\"a b\"\r\n");
    EXPECT_EQ(GetPrivateProfileString("S", "long", "", path), QString(255, u'x'));
    EXPECT_EQ(GetPrivateProfileString("S", "wide", "", path), QString(127, u'あ'));
    EXPECT_EQ(GetPrivateProfileString("S", "quoted", "", path), QStringLiteral("a b"));
}

TEST_F(PrivateProfile, WritingOneKeyKeepsTheRestOfTheFile) {
    app.write(QStringLiteral("★MailData/ini.ini"),
              "; keep me\r\n[EXEINI]\r\nNAME=id\r\nNAME2=pw\r\n[Other]\r\nx=1\r\n");
    ASSERT_TRUE(WritePrivateProfileString("exeini", "name2", "新しい", path));
    ASSERT_TRUE(WritePrivateProfileString("EXEINI", "NAME3", "1", path));
    const QByteArray text = app.read(QStringLiteral("★MailData/ini.ini"));
    EXPECT_TRUE(text.contains("; keep me\r\n"));
    EXPECT_TRUE(text.contains("NAME=id\r\n"));
    EXPECT_TRUE(text.contains("=" + encodeCp932(u"新しい") + "\r\n"));
    EXPECT_TRUE(text.contains("NAME3=1\r\n"));
    EXPECT_TRUE(text.contains("[Other]\r\nx=1\r\n"));
    EXPECT_FALSE(text.contains("\n\n"));
    EXPECT_EQ(GetPrivateProfileString("EXEINI", "NAME2", "", path), QStringLiteral("新しい"));
}

TEST_F(PrivateProfile, WritingCreatesAMissingFileButFailsWithoutItsFolder) {
    ASSERT_TRUE(WritePrivateProfileString("EXEINI", "NUMBER", "10", path));
    EXPECT_EQ(app.read(QStringLiteral("★MailData/ini.ini")),
              QByteArray("[EXEINI]\r\nNUMBER=10\r\n"));
    EXPECT_FALSE(WritePrivateProfileString("EXEINI", "NUMBER", "10", app.file("missing/ini.ini")));
}

TEST_F(PrivateProfile, DuplicatesReadTheFirstAndWritingKeepsThemAll) {
    const QByteArray edited =
        "[EXEINI]\r\nNAME=first\r\nNAME=second\r\n\r\n[Other]\r\ny=2\r\n[exeini]\r\n"
        "NAME2=hidden\r\nNAME=third";
    app.write(QStringLiteral("★MailData/ini.ini"), edited);
    EXPECT_EQ(GetPrivateProfileString("EXEINI", "NAME", "", path), QStringLiteral("first"));
    EXPECT_EQ(GetPrivateProfileString("EXEINI", "NAME2", "none", path), QStringLiteral("none"));

    ASSERT_TRUE(WritePrivateProfileString("EXEINI", "NAME", "new", path));
    ASSERT_TRUE(WritePrivateProfileString("EXEINI", "NAME3", "1", path));
    EXPECT_EQ(app.read(QStringLiteral("★MailData/ini.ini")),
              QByteArray("[EXEINI]\r\nNAME=new\r\nNAME=second\r\nNAME3=1\r\n\r\n[Other]\r\ny=2\r\n"
                         "[exeini]\r\nNAME2=hidden\r\nNAME=third"));
}

}  // namespace
