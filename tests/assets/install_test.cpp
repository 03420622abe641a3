#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

namespace {

const QString kAppFolder = QStringLiteral(APP_FOLDER_DIR);

// A record file left in the build's folder by running the programs from there.
class LeftoverMail {
  public:
    LeftoverMail() : path_(kAppFolder + QStringLiteral("/★MailData/assets_install_probe.data")) {
        QFile file(path_);
        if (file.open(QIODevice::WriteOnly)) {
            file.write("mail");
        }
    }
    ~LeftoverMail() { QFile::remove(path_); }

  private:
    QString path_;
};

TEST(AssetsInstall, LaysOutTheApplicationFolderWithoutLeftoverMail) {
    QTemporaryDir target;
    ASSERT_TRUE(target.isValid());
    {
        const LeftoverMail leftover;
        QProcess install;
        install.start(
            QStringLiteral(CMAKE_COMMAND),
            {QStringLiteral("--install"), QStringLiteral(BUILD_DIR), QStringLiteral("--prefix"),
             target.path(), QStringLiteral("--component"), QStringLiteral("application")});
        ASSERT_TRUE(install.waitForFinished(60000));
        ASSERT_EQ(install.exitCode(), 0) << install.readAllStandardError().toStdString();
    }
    const QDir installed(target.path());
    for (const char* folder : {"★MailData", "添付フォルダ", "ico", "ico2"}) {
        EXPECT_TRUE(installed.exists(QString::fromUtf8(folder))) << folder;
    }
    for (const char* picture :
         {"背景画像/10.jpg", "メール種別画像/4.jpg", "ico/7.ico", "ico2/2.gif", "data/10.gif",
          "back.gif", "mask.gif", "animation.gif"}) {
        EXPECT_FALSE(QImage(installed.filePath(QString::fromUtf8(picture))).isNull()) << picture;
    }
    EXPECT_FALSE(installed.exists(QStringLiteral("★MailData/assets_install_probe.data")));
}

}  // namespace
