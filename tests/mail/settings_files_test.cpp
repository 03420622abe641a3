#include <gtest/gtest.h>

#include "cp932.h"
#include "settings/settings_files.h"
#include "temp_app_folder.h"

namespace {

TEST(ServerSettingsFile, MissingFileLeavesEverythingEmpty) {
    TempAppFolder app;
    const ServerSettings s = readServerSettings(app.path());
    EXPECT_TRUE(s.SmtpServer.isEmpty());
    EXPECT_TRUE(s.Pop3Server.isEmpty());
    EXPECT_TRUE(s.MailAddress.isEmpty());
    EXPECT_EQ(s.ApopFlag, 0);
}

TEST(ServerSettingsFile, WritesExactlyFourCrLfLines) {
    TempAppFolder app;
    ASSERT_TRUE(
        writeServerSettings(app.path(), {"smtp.example.jp", "pop.example.jp", "me@example.jp", 1}));
    EXPECT_EQ(
        app.read("qsmail.ini"),
        QByteArray(
            "SMTP=smtp.example.jp\r\nPOP3=pop.example.jp\r\nMAIL=me@example.jp\r\nAPOP= 1\r\n"));
    ASSERT_TRUE(writeServerSettings(app.path(), {"", "", "", 0}));
    EXPECT_EQ(app.read("qsmail.ini"), QByteArray("SMTP=\r\nPOP3=\r\nMAIL=\r\nAPOP= 0\r\n"));
}

TEST(ServerSettingsFile, ReadsKeysCaseSensitivelyWithTheLastLineWinning) {
    TempAppFolder app;
    app.write("qsmail.ini", "pop3=ignored\r\nPOP3=first\r\n# comment\r\nPOP3=second\r\nSMTP=" +
                                encodeCp932(u"送信.example.jp") +
                                "\r\nMAIL=" + QByteArray(120, 'm') + "\r\nAPOP= 1\r\nPOP3\r\n");
    const ServerSettings s = readServerSettings(app.path());
    EXPECT_EQ(s.Pop3Server, QStringLiteral("second"));
    EXPECT_EQ(s.SmtpServer, QStringLiteral("送信.example.jp"));
    EXPECT_EQ(s.MailAddress, QString(100, u'm'));
    EXPECT_EQ(s.ApopFlag, 1);
}

TEST(ServerSettingsFile, EmptyPop3AndNonNumericApop) {
    TempAppFolder app;
    app.write("qsmail.ini", "POP3=\r\nAPOP=yes\r\n");
    const ServerSettings s = readServerSettings(app.path());
    EXPECT_TRUE(s.Pop3Server.isEmpty());
    EXPECT_EQ(s.ApopFlag, 0);
}

TEST(AccountSettingsFile, SaveWritesAllThreeKeysAndNoSaveOnlyTheFlag) {
    TempAppFolder app;
    EXPECT_TRUE(readAccountSettings(app.path()).AccountId.isEmpty());
    ASSERT_TRUE(writeAccountSettings(app.path(), {"user", "パス"}, true));
    EXPECT_EQ(app.read("★MailData/iniIdPass.ini"),
              "[EXEINI]\r\nNAME=user\r\nNAME2=" + encodeCp932(u"パス") + "\r\nNAME3=1\r\n");
    ASSERT_TRUE(writeAccountSettings(app.path(), {"other", "secret"}, false));
    const AccountSettings back = readAccountSettings(app.path());
    EXPECT_EQ(back.AccountId, QStringLiteral("user"));
    EXPECT_EQ(back.AccountPassword, QStringLiteral("パス"));
    EXPECT_TRUE(app.read("★MailData/iniIdPass.ini").contains("NAME3=0\r\n"));
}

TEST(ColourSettingsFile, RoundTripsAndMissingKeysReadAsZero) {
    TempAppFolder app;
    const ColourSettings none = readColourSettings(app.path());
    EXPECT_EQ(none.red + none.green + none.blue, 0);
    ASSERT_TRUE(writeColourSettings(app.path(), {10, 20, 30}));
    EXPECT_EQ(app.read("★MailData/ini.ini"),
              QByteArray("[EXEINI]\r\nNUMBER=10\r\nNUMBER2=20\r\nNUMBER3=30\r\n"));
    const ColourSettings back = readColourSettings(app.path());
    EXPECT_EQ(back.red, 10);
    EXPECT_EQ(back.green, 20);
    EXPECT_EQ(back.blue, 30);
}

}  // namespace
