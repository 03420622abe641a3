#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLibrary>

#include "cp932.h"
#include "extractor_fixtures.h"
#include "lha_module.h"
#include "temp_app_folder.h"

// The built module, called through its exported entry point as Arcopen calls it.
TEST(UnlhaModule, WritesItsResultIntoTheOutputBufferWhenAsked) {
    QLibrary library(QStringLiteral(LHA_MODULE_PATH));
    auto unlha = reinterpret_cast<LhaModule::UnlhaFunction>(library.resolve("Unlha"));
    ASSERT_NE(unlha, nullptr);
    char output[64];
    EXPECT_EQ(
        unlha(nullptr, "x \"/nonexistent/a.lzh\" \"/nonexistent/a\"\\", output, sizeof output), 2);
    EXPECT_STREQ(output, "Error 2: /nonexistent/a.lzh");
    char small[8] = "xxxxxxx";
    EXPECT_EQ(unlha(nullptr, "x \"/nonexistent/a.lzh\" \"/nonexistent/a\"\\", small, 4), 2);
    EXPECT_STREQ(small, "Err");
    EXPECT_EQ(unlha(nullptr, nullptr, nullptr, 0), 1);
    // A cut never splits a double-byte character.
    const QByteArray line = encodeCp932(u"x \"/無い/a.lzh\" \"/無い/a\"\\");
    char twelve[12];
    EXPECT_EQ(unlha(nullptr, line.constData(), twelve, sizeof twelve), 2);
    EXPECT_EQ(QByteArray(twelve), encodeCp932(u"Error 2: /"));
}

TEST(UnlhaModule, RefusesATargetAboveTheArchivesFolderWhoeverCallsIt) {
    QLibrary library(QStringLiteral(LHA_MODULE_PATH));
    auto unlha = reinterpret_cast<LhaModule::UnlhaFunction>(library.resolve("Unlha"));
    ASSERT_NE(unlha, nullptr);
    TempAppFolder folder;
    QDir().mkpath(folder.file(QStringLiteral("dl")));
    const QString archive = placeArchive(folder, testArchive(QStringLiteral("stored_level0.lzh")),
                                         QStringLiteral("dl/...lzh"));
    const QByteArray line = extractCommand(archive, folder.file(QStringLiteral("dl/..")));
    EXPECT_EQ(unlha(nullptr, line.constData(), nullptr, 0), 8);
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("readme.txt"))));
}
