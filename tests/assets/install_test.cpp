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

// What a run of the programs from the build's folder leaves there: mail, settings, the
// list of received mails, pinned certificates, an attachment and anything else.
class LeftoversOfARun {
  public:
    LeftoversOfARun() {
        for (const char* name :
             {"★MailData/assets_install_probe.data", "★MailData/received-ids.txt",
              "★MailData/pinned-certificates.txt", "★MailData/iniIdPass.ini", "qsmail.ini",
              "添付フォルダ/photo.jpg", "data/notes.txt", "core"}) {
            const QString path = kAppFolder + u'/' + QString::fromUtf8(name);
            if (QFileInfo::exists(path)) {
                continue;
            }
            QFile file(path);
            if (file.open(QIODevice::WriteOnly)) {
                file.write("left behind");
                made_.append(path);
            }
        }
    }
    ~LeftoversOfARun() {
        for (const QString& path : made_) {
            QFile::remove(path);
        }
    }

  private:
    QStringList made_;
};

// Every file and folder below `folder`, as paths relative to it, sorted.
QStringList everythingBelow(const QString& folder) {
    QStringList found;
    QDirIterator entries(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        found.append(QDir(folder).relativeFilePath(entries.next()));
    }
    found.sort();
    return found;
}

TEST(AssetsInstall, LaysOutExactlyWhatTheSuiteShips) {
    QTemporaryDir target;
    ASSERT_TRUE(target.isValid());
    {
        const LeftoversOfARun leftovers;
        ASSERT_EQ(installApplicationFolder(target.path()), QString());
    }
    QStringList shipped{QStringLiteral(".quillpost-installed"),
                        QStringLiteral("Holdfast"),
                        QStringLiteral("Notepane"),
                        QStringLiteral("Quillpost"),
                        QStringLiteral("data"),
                        QStringLiteral("data/Arcopen"),
                        QStringLiteral("data/unlha32.so"),
                        QStringLiteral("ico"),
                        QStringLiteral("ico2"),
                        QStringLiteral("★MailData"),
                        QStringLiteral("★MailData/ini.ini"),
                        QStringLiteral("メール種別画像"),
                        QStringLiteral("添付フォルダ"),
                        QStringLiteral("背景画像")};
    for (const char* name : {"back.gif", "mask.gif", "animation.gif", "ico2/1.gif", "ico2/2.gif"}) {
        shipped.append(QString::fromUtf8(name));
    }
    for (int n : {1, 3, 4, 5, 10}) {
        shipped.append(QStringLiteral("data/%1.gif").arg(n));
    }
    shipped.append(QStringLiteral("data/arcopen.gif"));
    for (int n : {1, 2, 3, 5, 6, 7}) {
        shipped.append(QStringLiteral("ico/%1.ico").arg(n));
    }
    for (int n = 1; n <= 4; ++n) {
        shipped.append(QStringLiteral("メール種別画像/%1.jpg").arg(n));
    }
    for (int n = 1; n <= 10; ++n) {
        shipped.append(QStringLiteral("背景画像/%1.jpg").arg(n));
    }
    shipped.sort();
    EXPECT_EQ(everythingBelow(target.path()), shipped);
    const QDir installed(target.path());
    for (const char* picture :
         {"背景画像/10.jpg", "メール種別画像/4.jpg", "ico/7.ico", "ico2/2.gif", "data/10.gif",
          "back.gif", "mask.gif", "animation.gif"}) {
        EXPECT_FALSE(QImage(installed.filePath(QString::fromUtf8(picture))).isNull()) << picture;
    }
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
    EXPECT_EQ(
        QFileInfo(home.path() + u'/' + QString::fromUtf16(kAttachmentLinkName)).symLinkTarget(),
        userFolder() + QStringLiteral("/添付フォルダ"));
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
