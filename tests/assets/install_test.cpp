#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>

#include "app/quillpost_app.h"
#include "dialogs/option_form.h"
#include "fake_clock.h"
#include "folder_snapshot.h"
#include "main_window/main_form.h"
#include "scripted_desktop.h"
#include "user_app_folder.h"

namespace {

const QString kAppFolder = QStringLiteral(APP_FOLDER_DIR);
const QString kPackagePrefix = QStringLiteral("/opt/quillpost");
const QByteArray kDefaultColours = "[EXEINI]\r\nNUMBER=255\r\nNUMBER2=236\r\nNUMBER3=210\r\n";

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs `cmake --install` of the build; `destDir` non-empty installs below it as a package
// does, with the package's prefix.
QString install(const QStringList& arguments, const QString& destDir = {}) {
    QProcess install;
    if (!destDir.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DESTDIR"), destDir);
        install.setProcessEnvironment(environment);
    }
    install.start(QStringLiteral(CMAKE_COMMAND),
                  QStringList{QStringLiteral("--install"), QStringLiteral(BUILD_DIR)} + arguments);
    if (!install.waitForFinished(120000) || install.exitCode() != 0) {
        return QString::fromLocal8Bit(install.readAllStandardError()) +
               QStringLiteral("cmake --install failed");
    }
    return {};
}

QString installApplicationFolder(const QString& target) {
    return install({QStringLiteral("--prefix"), target, QStringLiteral("--component"),
                    QStringLiteral("application")});
}

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
        ASSERT_EQ(installApplicationFolder(target.path()), QString());
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
    EXPECT_EQ(contents(installed.filePath(QStringLiteral("★MailData/ini.ini"))), kDefaultColours)
        << "the build's own colour file must not be installed; the default must";
    EXPECT_TRUE(isInstalledFolder(target.path()));
}

// The colour file is missing on a first start, and a missing file reads as black.
TEST(AssetsInstall, AFirstStartFromAnInstalledFolderIsWarmAndAsksForTheServers) {
    QTemporaryDir target;
    ASSERT_EQ(installApplicationFolder(target.path() + QStringLiteral("/installed")), QString());
    const QString user = target.path() + QStringLiteral("/user");
    ASSERT_TRUE(fillUserFolder(target.path() + QStringLiteral("/installed"), user));

    ScriptedDesktop desktop;
    FakeClock clock;
    QuillpostApp app(user, desktop, clock);
    app.mainForm().show();
    EXPECT_EQ(app.mainForm().backColor(), QColor(255, 236, 210));
    bool asked = false;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        asked = asked || (qobject_cast<OptionForm*>(window) != nullptr && window->isVisible());
    }
    EXPECT_TRUE(asked) << "no servers set: the server dialog opens";
}

// The keys of a desktop entry file; read by hand, as QSettings takes ";" for a comment.
QMap<QString, QString> desktopEntry(const QString& path) {
    QMap<QString, QString> keys;
    for (const QByteArray& line : contents(path).split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals > 0) {
            keys.insert(QString::fromUtf8(line.left(equals)),
                        QString::fromUtf8(line.mid(equals + 1)));
        }
    }
    return keys;
}

// The whole suite installed once below a root of its own, as the package lays it out, and
// a home folder for the user who starts it.
class InstalledSuite : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        root_ = new QTemporaryDir;
        installError_ = new QString(install({QStringLiteral("--prefix"), kPackagePrefix},
                                            root_->path() + QStringLiteral("/root")));
    }
    static void TearDownTestSuite() {
        delete root_;
        delete installError_;
    }

    void SetUp() override { ASSERT_EQ(*installError_, QString()); }

    static QString root() { return root_->path() + QStringLiteral("/root"); }
    static QString installed(const QString& relative) {
        return root() + kPackagePrefix + u'/' + relative;
    }
    QString userFolder() const { return home.path() + QStringLiteral("/.local/share/quillpost"); }

    QProcessEnvironment environment() const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("XDG_DATA_HOME"),
                           home.path() + QStringLiteral("/.local/share"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           home.path() + QStringLiteral("/.config"));
        return environment;
    }

    QTemporaryDir home;

  private:
    static inline QTemporaryDir* root_ = nullptr;
    static inline QString* installError_ = nullptr;
};

TEST_F(InstalledSuite, EveryProgramStartsFromItAndWritesOnlyIntoTheUsersFolder) {
    const QStringList before = folderSnapshot(root());
    for (const char* program : {"Quillpost", "Notepane", "Holdfast", "data/Arcopen"}) {
        SCOPED_TRACE(program);
        QProcess running;
        running.setProcessEnvironment(environment());
        running.start(installed(QString::fromUtf8(program)), {});
        ASSERT_TRUE(running.waitForStarted());
        EXPECT_FALSE(running.waitForFinished(1000))
            << "ended at start: " << running.readAllStandardError().toStdString();
        running.terminate();
        if (!running.waitForFinished(5000)) {
            running.kill();
            running.waitForFinished();
        }
    }
    EXPECT_EQ(folderSnapshot(root()), before);
    EXPECT_EQ(contents(userFolder() + QStringLiteral("/★MailData/ini.ini")), kDefaultColours);
    EXPECT_TRUE(QFileInfo::exists(userFolder() + QStringLiteral("/qsmdata9.data")))
        << "Holdfast keeps its list in the shared folder";
    EXPECT_EQ(QFileInfo(userFolder() + QStringLiteral("/data/Arcopen")).symLinkTarget(),
              installed(QStringLiteral("data/Arcopen")))
        << "Quillpost starts its companions from the user's folder";
}

TEST_F(InstalledSuite, DesktopEntriesStartTheInstalledProgramsUnderTheirOwnIcons) {
    const QString entries = root() + QStringLiteral("/usr/share/applications");
    const QStringList names = {QStringLiteral("quillpost"), QStringLiteral("quillpost-notepane"),
                               QStringLiteral("quillpost-holdfast"),
                               QStringLiteral("quillpost-arcopen")};
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const auto entry = desktopEntry(entries + u'/' + name + QStringLiteral(".desktop"));
        EXPECT_FALSE(entry.value(QStringLiteral("Name[ja]")).isEmpty());
        const QString exec = entry.value(QStringLiteral("Exec")).section(u' ', 0, 0);
        EXPECT_TRUE(exec.startsWith(kPackagePrefix + u'/'));
        EXPECT_TRUE(QFileInfo(root() + exec).isExecutable()) << exec.toStdString();
        const QString icon = entry.value(QStringLiteral("Icon"));
        for (int side : {48, 128, 256}) {
            const QImage picture(root() +
                                 QStringLiteral("/usr/share/icons/hicolor/%1x%1/apps/").arg(side) +
                                 icon + QStringLiteral(".png"));
            EXPECT_EQ(picture.size(), QSize(side, side)) << icon.toStdString();
        }
    }
    const auto arcopen = desktopEntry(entries + QStringLiteral("/quillpost-arcopen.desktop"));
    EXPECT_TRUE(arcopen.value(QStringLiteral("Exec")).endsWith(QStringLiteral(" %F")));
    EXPECT_EQ(arcopen.value(QStringLiteral("MimeType")),
              QStringLiteral("application/x-lzh-compressed;"));
}

// The desktop hands the archives over on the command line ("Open with", a drop on the
// launcher): they are extracted as dropped ones are, and Arcopen ends.
TEST_F(InstalledSuite, ArcopenOpenedWithAnArchiveExtractsItAndEnds) {
    const QString archive = home.path() + QStringLiteral("/届いたファイル.lzh");
    ASSERT_TRUE(QFile::copy(QStringLiteral(SOURCE_DIR "/tests/extractor/archives/lh5_level1.lzh"),
                            archive));
    QProcess arcopen;
    arcopen.setProcessEnvironment(environment());
    arcopen.start(installed(QStringLiteral("data/Arcopen")), {archive});
    ASSERT_TRUE(arcopen.waitForFinished(60000)) << "still open after the extraction";
    EXPECT_EQ(arcopen.exitCode(), 0);
    EXPECT_TRUE(
        QFileInfo::exists(home.path() + QStringLiteral("/届いたファイル/docs/notes/todo.txt")));
}

}  // namespace
