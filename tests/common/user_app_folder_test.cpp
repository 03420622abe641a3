#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "folder_snapshot.h"
#include "temp_app_folder.h"
#include "user_app_folder.h"

namespace {

void put(const QString& path, const QByteArray& bytes, QFile::Permissions permissions) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    QFile::setPermissions(path, permissions);
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

constexpr QFile::Permissions kReadOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
constexpr QFile::Permissions kProgram = kReadOnly | QFile::ExeOwner | QFile::ExeOther;

class UserAppFolder : public testing::Test {
  protected:
    void SetUp() override {
        put(installed.file(QStringLiteral("Quillpost")), "program", kProgram);
        put(installed.file(QStringLiteral("data/unlha32.so")), "module", kReadOnly);
        put(installed.file(QStringLiteral("★MailData/ini.ini")), "default", kReadOnly);
        put(installed.file(QStringLiteral("背景画像/1.jpg")), "picture 1", kReadOnly);
        put(installed.file(QStringLiteral("背景画像/2.jpg")), "picture 2", kReadOnly);
        put(installed.file(QString::fromLatin1(kInstalledMarker)), "installed", kReadOnly);
    }

    TempAppFolder installed;
    QTemporaryDir home;
    QString user = home.path() + QStringLiteral("/quillpost");
};

TEST_F(UserAppFolder, FirstStartCopiesTheDataAndLinksThePrograms) {
    const QStringList before = folderSnapshot(installed.path());
    ASSERT_TRUE(fillUserFolder(installed.path(), user));

    EXPECT_EQ(contents(user + QStringLiteral("/★MailData/ini.ini")), "default");
    EXPECT_EQ(contents(user + QStringLiteral("/背景画像/2.jpg")), "picture 2");
    EXPECT_TRUE(QDir(user + QStringLiteral("/添付フォルダ")).exists());
    EXPECT_TRUE(QFileInfo(user + QStringLiteral("/★MailData/ini.ini")).isWritable())
        << "the user's copy must be theirs to change";
    for (const char* program : {"Quillpost", "data/unlha32.so"}) {
        const QFileInfo link(user + u'/' + QString::fromUtf8(program));
        EXPECT_TRUE(link.isSymLink()) << program;
        EXPECT_EQ(link.symLinkTarget(), installed.file(QString::fromUtf8(program))) << program;
    }
    EXPECT_FALSE(QFileInfo::exists(user + u'/' + QString::fromLatin1(kInstalledMarker)));
    EXPECT_EQ(folderSnapshot(installed.path()), before);
}

// It holds the password and the mail: no one else may look inside, also where an earlier
// start made it open to all.
TEST_F(UserAppFolder, OnlyTheUserMayEnterTheirFolder) {
    const QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                         QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;
    ASSERT_TRUE(fillUserFolder(installed.path(), user));
    EXPECT_EQ(QFile::permissions(user), ownerOnly);
    ASSERT_TRUE(QFile::setPermissions(user, ownerOnly | QFile::ReadOther | QFile::ExeOther));
    ASSERT_TRUE(fillUserFolder(installed.path(), user));
    EXPECT_EQ(QFile::permissions(user), ownerOnly);
}

// An upgrade of the package brings new files; what the user changed or stored stays.
TEST_F(UserAppFolder, LaterStartsAddOnlyWhatIsMissing) {
    put(user + QStringLiteral("/★MailData/ini.ini"), "mine", QFile::ReadOwner | QFile::WriteOwner);
    put(user + QStringLiteral("/背景画像/1.jpg"), "my photo", QFile::ReadOwner | QFile::WriteOwner);
    put(user + QStringLiteral("/★MailData/qsmdata2.data"), "mail", QFile::ReadOwner);
    ASSERT_TRUE(fillUserFolder(installed.path(), user));
    put(installed.file(QStringLiteral("背景画像/3.jpg")), "picture 3", kReadOnly);
    ASSERT_TRUE(fillUserFolder(installed.path(), user));

    EXPECT_EQ(contents(user + QStringLiteral("/★MailData/ini.ini")), "mine");
    EXPECT_EQ(contents(user + QStringLiteral("/背景画像/1.jpg")), "my photo");
    EXPECT_EQ(contents(user + QStringLiteral("/★MailData/qsmdata2.data")), "mail");
    EXPECT_EQ(contents(user + QStringLiteral("/背景画像/3.jpg")), "picture 3");
}

TEST_F(UserAppFolder, AMarkedFolderIsInstalledAndABuiltOneIsNot) {
    EXPECT_TRUE(isInstalledFolder(installed.path()));
    TempAppFolder built;
    EXPECT_FALSE(isInstalledFolder(built.path()));
}

}  // namespace

TEST_F(UserAppFolder, OnlyTheFirstStartLinksTheAttachmentFolderIntoTheHome) {
    const QString link = home.path() + u'/' + QString::fromUtf16(kAttachmentLinkName);
    ASSERT_TRUE(makeUserFolder(installed.path(), user, home.path()));
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), user + QStringLiteral("/添付フォルダ"));
    ASSERT_TRUE(QFile::remove(link));
    ASSERT_TRUE(makeUserFolder(installed.path(), user, home.path()));
    EXPECT_FALSE(QFileInfo(link).isSymLink()) << "a link the user removed stays removed";

    // A home that already holds that name keeps what it holds.
    const QString otherUser = home.path() + QStringLiteral("/other");
    put(link, "mine", kReadOnly);
    ASSERT_TRUE(makeUserFolder(installed.path(), otherUser, home.path()));
    EXPECT_EQ(contents(link), "mine");
}
