#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>

#include <unistd.h>

#include "cp932.h"
#include "settings/settings_files.h"
#include "temp_app_folder.h"

namespace {

constexpr QFile::Permissions kOwnerOnly =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
constexpr QFile::Permissions kOpenToAll = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                          QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                          QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;

TEST(AccountSettingsFile, ThePasswordIsForItsOwnersEyesAlone) {
    TempAppFolder app;
    const QString path = app.file(QStringLiteral("★MailData/iniIdPass.ini"));
    ASSERT_TRUE(
        writeAccountSettings(app.path(), {QStringLiteral("taro"), QStringLiteral("pw")}, true));
    EXPECT_EQ(QFile::permissions(path), kOwnerOnly);
    // Also a file an earlier version left open to others.
    ASSERT_TRUE(QFile::setPermissions(path, kOwnerOnly | QFile::ReadOther));
    ASSERT_TRUE(
        writeAccountSettings(app.path(), {QStringLiteral("taro"), QStringLiteral("pw")}, false));
    EXPECT_EQ(QFile::permissions(path), kOwnerOnly);
}

// A file its user may write but not read is neither taken for an empty one nor replaced:
// the stored ID and password stay. Root reads every file, so run as root the case goes
// on as nobody, in a process of its own.
TEST(AccountSettingsFile, AFileThatCannotBeReadIsNotReplaced) {
    const QString prepared = qEnvironmentVariable("QUILLPOST_UNREADABLE_ACCOUNT");
    if (!prepared.isEmpty()) {
        for (const bool save : {false, true}) {
            EXPECT_FALSE(writeAccountSettings(
                prepared, {QStringLiteral("hanako"), QStringLiteral("other")}, save));
        }
        return;
    }
    TempAppFolder app;
    const QByteArray stored = "[EXEINI]\r\nNAME=taro\r\nNAME2=himitsu\r\nNAME3=1\r\n";
    const QString path = app.file(QStringLiteral("★MailData/iniIdPass.ini"));
    app.write(QStringLiteral("★MailData/iniIdPass.ini"), stored);
    ASSERT_TRUE(QFile::setPermissions(path, QFile::WriteOwner | QFile::WriteOther));
    if (::geteuid() != 0) {
        for (const bool save : {false, true}) {
            EXPECT_FALSE(writeAccountSettings(
                app.path(), {QStringLiteral("hanako"), QStringLiteral("other")}, save));
        }
    } else {
        for (const QString& folder : {app.path(), app.dataFolder()}) {
            ASSERT_TRUE(QFile::setPermissions(folder, kOpenToAll));
        }
        QProcess nobody;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QUILLPOST_UNREADABLE_ACCOUNT"), app.path());
        nobody.setProcessEnvironment(environment);
        nobody.start(QStringLiteral("setpriv"),
                     {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                      QStringLiteral("--clear-groups"), QCoreApplication::applicationFilePath(),
                      QStringLiteral("--gtest_filter=AccountSettingsFile.AFileThatCannotBeRead*")});
        ASSERT_TRUE(nobody.waitForFinished(60000));
        EXPECT_EQ(nobody.exitCode(), 0) << nobody.readAllStandardOutput().toStdString();
    }
    EXPECT_EQ(app.read(QStringLiteral("★MailData/iniIdPass.ini")), stored);
}

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
