#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSettings>
#include <QTest>

#include "editor_fixture.h"
#include "fixed_wrap_edit.h"

namespace {

const QString kNewFile = QStringLiteral("新規作成.TXT");
const QString kSixSpaces = QStringLiteral("      ");

using NotepaneFiles = EditorTest;

TEST_F(NotepaneFiles, NewAfterStartUpWithPastedTextLosesItAndCreatesAnEmptyNewFileHere) {
    QGuiApplication::clipboard()->setText(QStringLiteral("  受信メール本文  "));
    window().Command2_Click();
    EXPECT_EQ(window().rtfEd->toPlainText(), QStringLiteral("受信メール本文"));
    EXPECT_EQ(window().windowTitle(), QStringLiteral("Notepane"));

    window().tbToolBar_ButtonClick(QStringLiteral("New"));
    EXPECT_TRUE(desktop.messages.isEmpty());
    EXPECT_TRUE(window().rtfEd->toPlainText().isEmpty());
    EXPECT_EQ(window().currentFile, kNewFile);
    EXPECT_EQ(window().windowTitle(), kNewFile + kSixSpaces + kNewFile);
    EXPECT_FALSE(window().modified);
    ASSERT_TRUE(QFile::exists(folder.file(kNewFile)));
    EXPECT_EQ(folder.read(kNewFile), QByteArray());

    // A "新規作成.TXT" document is never replaced by New, even when changed.
    setText(QStringLiteral("書きかけ"));
    window().tbToolBar_ButtonClick(QStringLiteral("New"));
    EXPECT_EQ(window().rtfEd->toPlainText(), QStringLiteral("書きかけ"));
    EXPECT_EQ(folder.read(kNewFile), QByteArray());
}

TEST_F(NotepaneFiles, NewWithNothingTypedCreatesNoFileButSetsTheCaption) {
    window().tbToolBar_ButtonClick(QStringLiteral("New"));
    EXPECT_FALSE(QFile::exists(folder.file(kNewFile)));
    EXPECT_EQ(window().windowTitle(), kNewFile + kSixSpaces + kNewFile);
}

TEST_F(NotepaneFiles, NewEmptiesANewFileThatHoldsTextOnlyOnTheUsersYes) {
    const QByteArray draft("\x89\xba\x8f\x91\x82\xab");  // "下書き"
    folder.write(kNewFile, draft);
    folder.write(QStringLiteral("empty.txt"), QByteArray());
    folder.write(QStringLiteral("a.txt"), "abc");

    // An empty document writes nothing into it, so there is nothing to ask.
    desktop.fileNames = {folder.file(QStringLiteral("empty.txt"))};
    window().mnuOPen_Click();
    window().tbToolBar_ButtonClick(QStringLiteral("New"));
    EXPECT_TRUE(desktop.messages.isEmpty());
    EXPECT_EQ(folder.read(kNewFile), draft);
    EXPECT_EQ(window().currentFile, folder.file(kNewFile));

    desktop.fileNames = {folder.file(QStringLiteral("a.txt"))};
    window().mnuOPen_Click();
    setText(QStringLiteral("abcd"));
    desktop.answers = {Desktop::Answer::No, Desktop::Answer::Yes};
    window().tbToolBar_ButtonClick(QStringLiteral("New"));
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0].title, QStringLiteral("確認"));
    EXPECT_EQ(desktop.messages[0].buttons, Desktop::Buttons::YesNo);
    EXPECT_EQ(desktop.messages[0].icon, Desktop::Icon::Question);
    EXPECT_TRUE(desktop.messages[0].text.split(u'\n').value(1).startsWith(folder.file(kNewFile)));
    EXPECT_EQ(folder.read(kNewFile), draft);
    EXPECT_EQ(folder.read(QStringLiteral("a.txt")), QByteArray("abcd"));
    EXPECT_EQ(window().rtfEd->toPlainText(), QStringLiteral("abcd"));
    EXPECT_EQ(window().currentFile, folder.file(QStringLiteral("a.txt")));

    window().tbToolBar_ButtonClick(QStringLiteral("New"));
    EXPECT_EQ(desktop.messages.size(), 2);
    EXPECT_EQ(folder.read(kNewFile), QByteArray());
    EXPECT_TRUE(window().rtfEd->toPlainText().isEmpty());
    EXPECT_EQ(window().windowTitle(), kNewFile + kSixSpaces + folder.file(kNewFile));
}

TEST_F(NotepaneFiles, OpenLoadsCodePage932KeepsTheCaptionAndNewWritesTheTextBack) {
    // ①㈱髙, then half-width katakana ｱｲｳ on a second line.
    const QByteArray bytes("\x87\x40\x87\x8a\xfb\xfc\r\n\xb1\xb2\xb3 kana");
    folder.write(QStringLiteral("mail.txt"), bytes);
    desktop.fileNames = {folder.file(QStringLiteral("mail.txt"))};
    window().tbToolBar_ButtonClick(QStringLiteral("Open"));

    ASSERT_EQ(desktop.fileDialogs.size(), 1);
    EXPECT_EQ(desktop.fileDialogs[0].title, QStringLiteral("ファイルを開く←\\.."));
    EXPECT_EQ(desktop.fileDialogs[0].filter,
              QStringLiteral("テキストファイル(*.txt);;テキストファイル(*.txt);;"
                             "JAVAソース(*.java);;スクリプト(*.pl);;"
                             "全てのファイル(*.*)"));
    EXPECT_EQ(window().rtfEd->toPlainText(), QStringLiteral("①㈱髙\nｱｲｳ kana"));
    EXPECT_EQ(window().windowTitle(), QStringLiteral("Notepane"));
    EXPECT_TRUE(window().modified);

    window().mnuUPdate_Click();
    EXPECT_EQ(folder.read(QStringLiteral("mail.txt")), bytes);

    window().rtfEd->appendPlainText(QStringLiteral("追記"));
    window().tbToolBar_ButtonClick(QStringLiteral("New"));
    EXPECT_EQ(folder.read(QStringLiteral("mail.txt")), bytes + "\r\n\x92\xc7\x8b\x4c");
    EXPECT_EQ(window().currentFile, folder.file(kNewFile));
    EXPECT_TRUE(QFile::exists(folder.file(kNewFile)));
    EXPECT_EQ(window().windowTitle(), kNewFile + kSixSpaces + folder.file(kNewFile));

    // The next dialog starts in the folder of the current file.
    window().mnuOPen_Click();
    EXPECT_EQ(desktop.fileDialogs[1].folder, folder.path() + u'/');
    EXPECT_EQ(desktop.fileDialogs[1].title,
              QStringLiteral("ファイルを開く←") + folder.path() + QStringLiteral("/\\.."));
}

TEST_F(NotepaneFiles, ALongFileLoadsAndSavesLineForLine) {
    QByteArray bytes;
    QString expected;
    for (int i = 1; i <= 6000; ++i) {
        bytes += "\x8d\x73 " + QByteArray::number(i) + "\r\n";  // "行 <n>"
        expected += QStringLiteral("行 ") + QString::number(i) + u'\n';
    }
    folder.write(QStringLiteral("long.txt"), bytes);
    desktop.fileNames = {folder.file(QStringLiteral("long.txt"))};
    window().mnuOPen_Click();
    EXPECT_EQ(window().rtfEd->toPlainText(), expected);
    window().mnuUPdate_Click();
    EXPECT_EQ(folder.read(QStringLiteral("long.txt")), bytes);
}

TEST_F(NotepaneFiles, CancelledOrUnreadableOpenChangesNothing) {
    setText(QStringLiteral("そのまま"));
    window().currentFile = folder.file(QStringLiteral("keep.txt"));
    desktop.fileNames = {QString(), folder.file(QStringLiteral("missing.txt")), folder.path()};
    for (int i = 0; i < 3; ++i) {
        window().mnuOPen_Click();
        EXPECT_EQ(window().rtfEd->toPlainText(), QStringLiteral("そのまま"));
        EXPECT_EQ(window().currentFile, folder.file(QStringLiteral("keep.txt")));
    }
    ASSERT_EQ(desktop.messages.size(), 2);
    EXPECT_TRUE(desktop.messages[0].text.contains(QStringLiteral("missing.txt")));
    EXPECT_EQ(desktop.messages[1].icon, Desktop::Icon::Exclamation);
}

TEST_F(NotepaneFiles, SaveAsWritesACopyWithCrLfWhileOverwriteSaveKeepsToTheCurrentFile) {
    folder.write(QStringLiteral("a.txt"), "old");
    desktop.fileNames = {folder.file(QStringLiteral("a.txt")), folder.file(QStringLiteral("b.txt")),
                         QString()};
    window().mnuOPen_Click();
    setText(QStringLiteral("一行目\n二行目"));
    window().mnuSaveAs_Click();
    EXPECT_EQ(desktop.fileDialogs[1].filter,
              QStringLiteral("txtファイル(*.txt,*.ini) (*.txt *.ini)"));
    EXPECT_EQ(folder.read(QStringLiteral("b.txt")),
              QByteArray("\x88\xea\x8d\x73\x96\xda\r\n\x93\xf1\x8d\x73\x96\xda\r\n"));
    EXPECT_EQ(window().windowTitle(), folder.file(QStringLiteral("b.txt")));
    EXPECT_EQ(window().currentFile, folder.file(QStringLiteral("a.txt")));

    window().mnuSaveAs_Click();  // cancelled
    EXPECT_EQ(window().windowTitle(), folder.file(QStringLiteral("b.txt")));

    window().mnuUPdate_Click();
    EXPECT_EQ(folder.read(QStringLiteral("a.txt")),
              QByteArray("\x88\xea\x8d\x73\x96\xda\r\n\x93\xf1\x8d\x73\x96\xda"));
    EXPECT_FALSE(window().modified);
    EXPECT_TRUE(desktop.messages.isEmpty());
}

TEST_F(NotepaneFiles, OverwriteSaveThatCannotWriteTellsTheUserAndStaysModified) {
    setText(QStringLiteral("本文"));
    window().tbToolBar_ButtonClick(QStringLiteral("Save"));
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_TRUE(window().modified);

    window().currentFile = folder.file(QStringLiteral("no such folder/a.txt"));
    window().mnuUPdate_Click();
    ASSERT_EQ(desktop.messages.size(), 2);
    // What went wrong and what to do, then the file and the system's reason.
    const QStringList lines = desktop.messages[1].text.split(u'\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("ファイルに保存できませんでした。")));
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("確かめてください。")));
    EXPECT_TRUE(lines[1].startsWith(window().currentFile + QStringLiteral(" (")));
    EXPECT_TRUE(window().modified);
}

// A file opened through a link is saved into the file it names; the link stays a link.
TEST_F(NotepaneFiles, SavingThroughALinkWritesTheFileItNames) {
    folder.write(QStringLiteral("real.txt"), "old");
    ASSERT_TRUE(QFile::link(QStringLiteral("real.txt"), folder.file(QStringLiteral("link.txt"))));
    desktop.fileNames = {folder.file(QStringLiteral("link.txt"))};
    window().mnuOPen_Click();
    setText(QStringLiteral("new"));
    window().mnuUPdate_Click();
    EXPECT_TRUE(desktop.messages.isEmpty());
    EXPECT_EQ(folder.read(QStringLiteral("real.txt")), QByteArray("new"));
    EXPECT_TRUE(QFileInfo(folder.file(QStringLiteral("link.txt"))).isSymLink());
    EXPECT_FALSE(window().modified);
}

TEST_F(NotepaneFiles, StartUpShowsNoDialogButAFailedLoadOffersRetryAndSkip) {
    EXPECT_TRUE(desktop.messages.isEmpty());
    EXPECT_FALSE(window().modified);

    window().currentFile = folder.file(QStringLiteral("gone.txt"));
    desktop.answers = {Desktop::Answer::Ok, Desktop::Answer::Cancel};
    window().Form_Load();
    ASSERT_EQ(desktop.messages.size(), 2);
    for (const auto& message : desktop.messages) {
        EXPECT_EQ(message.title, QStringLiteral("Notepane  Form_LoadError"));
        EXPECT_TRUE(message.text.isEmpty());
        EXPECT_EQ(message.buttons, Desktop::Buttons::OkCancel);
        EXPECT_EQ(message.icon, Desktop::Icon::Exclamation);
    }
    EXPECT_TRUE(window().rtfEd->isVisible());
}

TEST_F(NotepaneFiles, ExitWithNothingTypedAsksNothingAndLeavesOnlyTheEmptyAutoSaveFlag) {
    {
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope,
                           QStringLiteral("VB and VBA Program Settings"),
                           QStringLiteral("sorabook"));
        settings.setValue(QStringLiteral("HIST/1"), QStringLiteral("a.txt"));
        settings.setValue(QStringLiteral("OKINI/2"), QStringLiteral("b.txt"));
    }
    setText(QStringLiteral("保存していない本文"));
    window().mnuEnd_Click();
    EXPECT_FALSE(window().isVisible());
    EXPECT_TRUE(desktop.messages.isEmpty());

    QSettings settings(QSettings::NativeFormat, QSettings::UserScope,
                       QStringLiteral("VB and VBA Program Settings"), QStringLiteral("sorabook"));
    EXPECT_TRUE(settings.fileName().startsWith(settingsFolder.path()));
    EXPECT_EQ(settings.childGroups(), QStringList{QStringLiteral("FLAG")});
    ASSERT_TRUE(settings.contains(QStringLiteral("FLAG/AUTOSAVE")));
    EXPECT_EQ(settings.value(QStringLiteral("FLAG/AUTOSAVE")).toString(), QString());
}

TEST_F(NotepaneFiles, FilesInUtf8OrUtf16AreSavedBackInTheirOwnEncoding) {
    const QByteArray utf8 = QStringLiteral("髙橋①😀\u00a0\r\n二行目").toUtf8();
    const QByteArray utf16 =
        QByteArray("\xff\xfe") +
        QByteArray(reinterpret_cast<const char*>(QStringLiteral("あ\r\nい").utf16()), 8);
    for (const QByteArray& bytes : {utf8, QByteArray("\xef\xbb\xbf") + utf8, utf16}) {
        folder.write(QStringLiteral("mail.txt"), bytes);
        desktop.fileNames = {folder.file(QStringLiteral("mail.txt"))};
        window().tbToolBar_ButtonClick(QStringLiteral("Open"));
        EXPECT_FALSE(window().modified);
        window().mnuUPdate_Click();
        EXPECT_EQ(folder.read(QStringLiteral("mail.txt")), bytes);
        EXPECT_TRUE(desktop.messages.isEmpty());
    }
    EXPECT_EQ(window().rtfEd->toPlainText(), QStringLiteral("あ\nい"));
}

TEST_F(NotepaneFiles, ALossySaveIsWrittenOnlyOnTheUsersYes) {
    // Code page 932 with a byte that is no character; UTF-16 with a lone last byte.
    for (const QByteArray& broken :
         {QByteArray("ok \x81\x20 broken"), QByteArray("\xff\xfe\x42\x30\x41", 5)}) {
        folder.write(QStringLiteral("mail.txt"), broken);
        desktop.fileNames = {folder.file(QStringLiteral("mail.txt"))};
        window().tbToolBar_ButtonClick(QStringLiteral("Open"));
        desktop.messages.clear();
        desktop.answers = {Desktop::Answer::No};
        window().mnuUPdate_Click();
        EXPECT_EQ(folder.read(QStringLiteral("mail.txt")), broken);
        EXPECT_EQ(desktop.messages.size(), 1);
        desktop.answers = {Desktop::Answer::Yes};
        window().mnuUPdate_Click();
        EXPECT_NE(folder.read(QStringLiteral("mail.txt")), broken);
    }
}

TEST_F(NotepaneFiles, AnOpenedUtf8FileIsNotWrittenByNewAndARefusedLossySaveKeepsTheText) {
    const QByteArray utf8 = QStringLiteral("髙橋😀").toUtf8();
    folder.write(QStringLiteral("mail.txt"), utf8);
    desktop.fileNames = {folder.file(QStringLiteral("mail.txt"))};
    window().tbToolBar_ButtonClick(QStringLiteral("Open"));
    window().tbToolBar_ButtonClick(QStringLiteral("New"));
    EXPECT_EQ(folder.read(QStringLiteral("mail.txt")), utf8);
    EXPECT_TRUE(desktop.messages.isEmpty());

    // Code page 932 cannot hold the emoji: No keeps both the file and the text on screen.
    folder.write(QStringLiteral("plain.txt"), "abc");
    desktop.fileNames = {folder.file(QStringLiteral("plain.txt"))};
    window().mnuOPen_Click();
    setText(QStringLiteral("絵文字😀"));
    desktop.answers = {Desktop::Answer::No};
    window().tbToolBar_ButtonClick(QStringLiteral("New"));
    EXPECT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(window().rtfEd->toPlainText(), QStringLiteral("絵文字😀"));
    EXPECT_EQ(folder.read(QStringLiteral("plain.txt")), QByteArray("abc"));
    EXPECT_EQ(window().currentFile, folder.file(QStringLiteral("plain.txt")));
}

}  // namespace

// Closing with typed text asks; each answer either writes the text where it belongs or
// leaves it on screen, unless the user drops it.
TEST_F(NotepaneFiles, ClosingWithTypedTextSavesDropsOrKeepsItAsAnswered) {
    const QString named = folder.file(QStringLiteral("named.txt"));
    const QString copy = folder.file(QStringLiteral("copy.txt"));
    const QString unwritable = folder.file(QStringLiteral("no such folder/a.txt"));
    const struct {
        const char* what;
        QString file;  // the current file; empty for text that never had one
        int answer;
        QStringList saveDialog;
        bool closes;
        QString written;  // the file that ends holding the typed text, if any
        int boxes;        // failure boxes shown
    } cases[] = {
        {"cancel", named, 2, {}, false, {}, 0},
        {"closed box", named, -1, {}, false, {}, 0},
        {"discard", named, 1, {}, true, {}, 0},
        {"save", named, 0, {}, true, named, 0},
        {"save fails", unwritable, 0, {}, false, {}, 1},
        {"save unnamed", {}, 0, {copy}, true, copy, 0},
        {"save unnamed, dialog cancelled", {}, 0, {QString()}, false, {}, 0},
    };
    for (const auto& c : cases) {
        QFile::remove(named);
        QFile::remove(copy);
        openWindow();
        window().currentFile = c.file;
        desktop.messages.clear();
        desktop.choiceAnswers = {c.answer};
        desktop.fileNames = c.saveDialog;
        QTest::keyClicks(window().rtfEd, QStringLiteral("typed"));
        window().close();
        EXPECT_EQ(window().isVisible(), !c.closes) << c.what;
        EXPECT_EQ(desktop.safeChoices.last(), 2) << c.what;
        EXPECT_EQ(desktop.messages.size(), c.boxes) << c.what;
        for (const QString& file : {named, copy}) {
            EXPECT_EQ(QFileInfo(file).size() > 0, file == c.written) << c.what;
        }
        if (!c.closes) {
            EXPECT_EQ(window().rtfEd->toPlainText(), QStringLiteral("typed")) << c.what;
        }
    }
}

TEST_F(NotepaneFiles, AFileOnlyOpenedOrJustSavedClosesWithoutAQuestion) {
    folder.write(QStringLiteral("a.txt"), "text");
    desktop.fileNames = {folder.file(QStringLiteral("a.txt"))};
    window().mnuOPen_Click();
    window().close();
    EXPECT_FALSE(window().isVisible());

    openWindow();
    desktop.fileNames = {folder.file(QStringLiteral("a.txt"))};
    window().mnuOPen_Click();
    QTest::keyClicks(window().rtfEd, QStringLiteral("more "));
    window().mnuUPdate_Click();
    window().close();
    EXPECT_FALSE(window().isVisible());
    EXPECT_TRUE(desktop.choiceTexts.isEmpty());
    EXPECT_EQ(folder.read(QStringLiteral("a.txt")), QByteArray("more text"));
}
