// Notepane's overwrite-save on a disk that is full for real: a small tmpfs of its own
// (on_small_disk.sh), filled up before the save.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "fixed_wrap_edit.h"
#include "frm_main.h"
#include "scripted_desktop.h"
#include "small_disk.h"
#include "temp_app_folder.h"

namespace {

TEST(NotepaneFullDisk, OverwriteSaveKeepsTheOldFileByteForByteAndTellsTheUser) {
    const QString disk = smallDisk();
    ASSERT_FALSE(disk.isEmpty()) << "run by on_small_disk.sh";
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());

    // "お知らせ" and a line of ASCII, in code page 932 with CR LF: about 9.8 kB.
    const QByteArray old =
        QByteArray("\x82\xa8\x92\x6d\x82\xe7\x82\xb9 line of the letter\r\n").repeated(340);
    const QString letter = disk + QStringLiteral("/letter.txt");
    {
        QFile file(letter);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(old), old.size());
    }
    ASSERT_GT(fillDisk(disk + QStringLiteral("/filler")), 0);
    const QStringList files = QDir(disk).entryList(QDir::Files | QDir::Hidden);

    TempAppFolder app;
    ScriptedDesktop desktop;
    frmMain window(app.path(), desktop);
    window.show();
    desktop.fileNames = {letter};
    window.mnuOPen->trigger();
    QTest::keyClick(window.rtfEd, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(window.rtfEd, QStringLiteral(" and a longer ending"));
    const QString typed = window.rtfEd->toPlainText();

    window.mnuUPdate->trigger();

    QFile file(letter);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), old);
    EXPECT_EQ(QDir(disk).entryList(QDir::Files | QDir::Hidden), files);
    ASSERT_EQ(desktop.messages.size(), 1);
    const QStringList box = desktop.messages[0].text.split(u'\n');
    ASSERT_EQ(box.size(), 2);
    EXPECT_TRUE(box[0].contains(QStringLiteral("ディスクに空きがありません")))
        << box[0].toStdString();
    EXPECT_TRUE(box[1].startsWith(letter + QStringLiteral(" ("))) << box[1].toStdString();
    EXPECT_EQ(desktop.messages[0].icon, Desktop::Icon::Exclamation);
    EXPECT_EQ(window.rtfEd->toPlainText(), typed);
    EXPECT_TRUE(window.modified);
}

}  // namespace
