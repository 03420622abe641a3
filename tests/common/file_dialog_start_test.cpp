#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "file_dialog_start.h"

namespace {

constexpr FileDialogAsk kFolder = FileDialogAsk::Folder;
constexpr FileDialogAsk kFile = FileDialogAsk::FolderOrProposedFile;

class FileDialogStart : public ::testing::Test {
  protected:
    QString folder(const QString& name) {
        QDir(dir_.path()).mkpath(name);
        return dir_.filePath(name);
    }

    QTemporaryDir dir_;
    FileDialogMemory memory_;
};

TEST_F(FileDialogStart, AnExistingFolderElseHomeNeverTheWorkingFolderOrAMissingOne) {
    const QString attachments = folder(QStringLiteral("添付フォルダ"));
    const QString home = QDir::homePath();
    EXPECT_EQ(fileDialogStart(memory_, attachments + u'/', kFolder), attachments);
    EXPECT_EQ(fileDialogStart(memory_, QString(), kFolder), home);
    EXPECT_EQ(fileDialogStart(memory_, dir_.filePath(QStringLiteral("gone")), kFolder), home);
    EXPECT_EQ(fileDialogStart(memory_, QStringLiteral("添付フォルダ"), kFolder), home);
    // A proposed name stays, in the folder the dialog starts in.
    EXPECT_EQ(fileDialogStart(memory_, attachments + QStringLiteral("/b.txt"), kFile),
              attachments + QStringLiteral("/b.txt"));
    EXPECT_EQ(fileDialogStart(memory_, dir_.filePath(QStringLiteral("gone/a.txt")), kFile),
              QDir(home).filePath(QStringLiteral("a.txt")));
    EXPECT_EQ(fileDialogStart(memory_, QStringLiteral("notes/a.txt"), kFile),
              QDir(home).filePath(QStringLiteral("a.txt")));
}

TEST_F(FileDialogStart, TheLastFolderChosenReplacesTheUsualPlaceButNotAnotherFolderAsked) {
    const QString attachments = folder(QStringLiteral("添付フォルダ"));
    const QString pictures = folder(QStringLiteral("pictures"));
    const QString documents = folder(QStringLiteral("documents"));
    EXPECT_EQ(fileDialogStart(memory_, attachments, kFolder), attachments);
    rememberFileDialogChoice(memory_, pictures + QStringLiteral("/cat.jpg"));
    EXPECT_EQ(fileDialogStart(memory_, attachments + u'/', kFolder), pictures);
    EXPECT_EQ(fileDialogStart(memory_, attachments + QStringLiteral("/x.txt"), kFile),
              pictures + QStringLiteral("/x.txt"));
    EXPECT_EQ(fileDialogStart(memory_, documents, kFolder), documents);

    rememberFileDialogChoice(memory_, QString());
    EXPECT_EQ(fileDialogStart(memory_, attachments, kFolder), pictures);
    // A last folder removed since is passed over.
    ASSERT_TRUE(QDir(pictures).removeRecursively());
    EXPECT_EQ(fileDialogStart(memory_, attachments, kFolder), attachments);
}

TEST_F(FileDialogStart, WithNoUsualFolderTheLastChosenIsWhereADialogWithoutOneStarts) {
    const QString documents = folder(QStringLiteral("documents"));
    EXPECT_EQ(fileDialogStart(memory_, QString(), kFolder), QDir::homePath());
    rememberFileDialogChoice(memory_, documents + QStringLiteral("/memo.txt"));
    EXPECT_EQ(fileDialogStart(memory_, QString(), kFile), documents);
}

}  // namespace
