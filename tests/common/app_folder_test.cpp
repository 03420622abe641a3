#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include "app_folder.h"
#include "temp_app_folder.h"

namespace {

TEST(AppPath, MatchesExistingComponentsWithoutRegardToCase) {
    TempAppFolder app;
    app.write(QStringLiteral("★MailData/qsmdata.data"), "x");
    EXPECT_EQ(appPath(app.path(), u"\\★MAilData\\qsmdata2.data"),
              app.path() + QStringLiteral("/★MailData/qsmdata2.data"));
    EXPECT_EQ(appPath(app.path(), u"\\★MAilData\\Qsmdata.data"),
              app.path() + QStringLiteral("/★MailData/qsmdata.data"));
    EXPECT_EQ(appPath(app.path(), u"\\添付フォルダ\\"),
              app.path() + QStringLiteral("/添付フォルダ/"));
    QDir(app.path()).mkpath(QStringLiteral("Data"));
    EXPECT_EQ(appPath(app.path(), u"\\data\\1.gif"), app.path() + QStringLiteral("/Data/1.gif"));
}

TEST(AppPath, KeepsTheLiteralsSpellingForWhatDoesNotExist) {
    TempAppFolder app;
    EXPECT_EQ(appPath(app.path(), u"\\New\\QSMDATA2.TMP"),
              app.path() + QStringLiteral("/New/QSMDATA2.TMP"));
    EXPECT_EQ(appPath(app.path() + u'/', u"\\qsmail.ini"),
              app.path() + QStringLiteral("/qsmail.ini"));
}

TEST(ProgramPath, DropsTheWindowsExtensionAndMatchesCase) {
    TempAppFolder app;
    QDir(app.path()).mkpath(QStringLiteral("data"));
    app.write(QStringLiteral("data/Arcopen"), "");
    EXPECT_EQ(programPath(app.path(), u"\\data\\Arcopen.exe"),
              app.path() + QStringLiteral("/data/Arcopen"));
    app.write(QStringLiteral("Notepane"), "");
    EXPECT_EQ(programPath(app.path(), u"\\notepane.EXE"), app.path() + QStringLiteral("/Notepane"));
}

}  // namespace
