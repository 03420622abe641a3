#include <QDir>
#include <QImage>
#include <QTest>

#include "cp932.h"
#include "file_viewing.h"
#include "guard_fixture.h"
#include "guard_texts.h"
#include "units.h"

using namespace guard_text;

namespace {

class HoldfastBrowse : public GuardTest {
  protected:
    // Lists the attachment folder and clicks `name` in the file list.
    void clickFile(const QString& name) {
        form.Dir1->setPath(app.attachmentFolder());
        form.Dir1_Change();
        const auto items = form.File1->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << name.toStdString();
        form.File1->setCurrentItem(items.first());
        form.File1_Click();
    }
};

TEST(GuardPaths, AFileInARootGetsASingleSeparator) {
    EXPECT_EQ(joinFolderAndName(u"/", u"a.txt"), QStringLiteral("/a.txt"));
    EXPECT_EQ(joinFolderAndName(u"C:\\", u"a.txt"), QStringLiteral("C:/a.txt"));
    EXPECT_EQ(joinFolderAndName(u"/home/user", u"a.txt"), QStringLiteral("/home/user/a.txt"));
    EXPECT_EQ(joinFolderAndName(u"/home/user/", u"a.txt"), QStringLiteral("/home/user/a.txt"));
}

TEST_F(HoldfastBrowse, FoldersListTheirFilesAndCountThem) {
    attach(QStringLiteral("b.txt"));
    attach(QStringLiteral("a.jpg"));
    attach(QStringLiteral(".hidden"));
    QDir(app.attachmentFolder()).mkdir(QStringLiteral("sub"));
    form.Dir1->setPath(app.path());
    const auto line = form.Dir1->findItems(QStringLiteral("添付フォルダ"), Qt::MatchEndsWith);
    ASSERT_EQ(line.size(), 1);
    emit form.Dir1->itemActivated(line.first());
    EXPECT_EQ(form.File1->path(), QDir::cleanPath(app.attachmentFolder()));
    EXPECT_EQ(form.File1->count(), 2);
    EXPECT_EQ(form.File1->item(0)->text(), QStringLiteral("a.jpg"));
    EXPECT_EQ(form.Text1->text(), QStringLiteral("2"));
}

TEST_F(HoldfastBrowse, OpensOnTheAttachmentFolderAndNamesItWhereItReallyIs) {
    attach(QStringLiteral("a.txt"));
    attach(QStringLiteral("b.jpg"));
    Form1 window(app.path(), desktop);
    EXPECT_EQ(window.File1->path(), QDir::cleanPath(app.attachmentFolder()));
    EXPECT_EQ(window.File1->count(), 2);
    EXPECT_EQ(window.Text1->text(), QStringLiteral("2"));
    EXPECT_TRUE(window.Label2->text().contains(app.attachmentFolder()));
    EXPECT_FALSE(window.Label2->text().contains(u'\\'));
}

// The arrow keys show what a click shows; a file the viewer cannot show asks its question
// only on Enter, whose safe answer is the default.
TEST_F(HoldfastBrowse, ArrowKeysShowEachFileAndEnterAsksAboutAProgram) {
    QImage(40, 30, QImage::Format_RGB32).save(attachment(QStringLiteral("a.bmp")));
    attach(QStringLiteral("b.txt"), "text");
    attach(QStringLiteral("c.exe"), QByteArray::fromHex("4d5a9000"));
    Form1 window(app.path(), desktop);
    window.show();
    window.File1->setFocus();
    window.File1->setCurrentRow(0);
    QTest::keyClick(window.File1, Qt::Key_Down);
    QTest::keyClick(window.File1, Qt::Key_Up);
    EXPECT_FALSE(window.Image1->pixmap().isNull());
    EXPECT_TRUE(window.Label2->isHidden());
    QTest::keyClick(window.File1, Qt::Key_Down);
    EXPECT_EQ(window.WebBrowser1->toPlainText(), QStringLiteral("text"));
    QTest::keyClick(window.File1, Qt::Key_End);
    EXPECT_EQ(window.WebBrowser1->toPlainText(), kChooseWithEnter);
    EXPECT_TRUE(desktop.choiceTexts.isEmpty());

    desktop.choiceAnswers = {2};
    QTest::keyClick(window.File1, Qt::Key_Return);
    ASSERT_EQ(desktop.choiceTexts.size(), 1);
    EXPECT_EQ(desktop.choiceButtons.last().at(desktop.safeChoices.last()), kCancelChoice);
    EXPECT_TRUE(desktop.openedUrls.isEmpty());
}

TEST_F(HoldfastBrowse, ADriveThatIsNotReadyLeavesTheListsWithAMessage) {
    const QString before = form.Dir1->path();
    const int drive = form.Drive1->currentIndex();
    form.Drive1->addItem(QStringLiteral("gone"), app.file(QStringLiteral("gone")));
    form.Drive1->setCurrentIndex(form.Drive1->count() - 1);
    EXPECT_EQ(lastMessage(), kDriveNotReady.toString().arg(app.file(QStringLiteral("gone"))));
    EXPECT_EQ(form.Drive1->currentIndex(), drive);
    EXPECT_EQ(form.Dir1->path(), before);

    ASSERT_TRUE(QDir().mkpath(app.file(QStringLiteral("ready"))));
    app.write(QStringLiteral("ready/x.txt"), "x");
    form.Drive1->addItem(QStringLiteral("ready"), app.file(QStringLiteral("ready")));
    form.Drive1->setCurrentIndex(form.Drive1->count() - 1);
    EXPECT_EQ(form.Dir1->path(), QDir::cleanPath(app.file(QStringLiteral("ready"))));
    EXPECT_EQ(form.Text1->text(), QStringLiteral("1"));
}

TEST_F(HoldfastBrowse, APictureShowsInThePictureView) {
    QImage(40, 30, QImage::Format_RGB32).save(attachment(QStringLiteral("写真.bmp")));
    clickFile(QStringLiteral("写真.bmp"));
    EXPECT_FALSE(form.Image1->pixmap().isNull());
    EXPECT_TRUE(form.Label2->isHidden());
    EXPECT_TRUE(form.Text2->text().isEmpty());
    EXPECT_TRUE(desktop.choiceTexts.isEmpty());
}

TEST_F(HoldfastBrowse, HtmlAndTextShowInTheViewer) {
    attach(QStringLiteral("page.html"), "<html><body><p>こんにちは <b>世界</b></p></body></html>");
    clickFile(QStringLiteral("page.html"));
    EXPECT_EQ(form.WebBrowser1->toPlainText(), QStringLiteral("こんにちは 世界"));
    EXPECT_EQ(form.Text2->text(), attachment(QStringLiteral("page.html")));

    attach(QStringLiteral("sjis.txt"), encodeCp932(u"添付 <b>太字</b>"));
    clickFile(QStringLiteral("sjis.txt"));
    EXPECT_EQ(form.WebBrowser1->toPlainText(), QStringLiteral("添付 <b>太字</b>"));

    attach(QStringLiteral("utf8.txt"), QStringLiteral("①㈱").toUtf8());
    clickFile(QStringLiteral("utf8.txt"));
    EXPECT_EQ(form.WebBrowser1->toPlainText(), QStringLiteral("①㈱"));
    EXPECT_TRUE(desktop.choiceTexts.isEmpty());
}

TEST_F(HoldfastBrowse, AProgramRunsOnlyWhenTheUserChoosesTo) {
    const QByteArray program = QByteArray::fromHex("4d5a9000") + "program";
    attach(QStringLiteral("setup.exe"), program);
    attach(QStringLiteral("photo.jpg"), program);
    desktop.choiceAnswers = {2, -1};
    clickFile(QStringLiteral("setup.exe"));
    clickFile(QStringLiteral("photo.jpg"));
    EXPECT_EQ(desktop.choiceTexts.size(), 2);
    EXPECT_TRUE(desktop.openedUrls.isEmpty());
    EXPECT_TRUE(desktop.startedPrograms.isEmpty());

    desktop.choiceAnswers = {0};
    clickFile(QStringLiteral("setup.exe"));
    EXPECT_EQ(desktop.openedUrls,
              QList<QUrl>{QUrl::fromLocalFile(attachment(QStringLiteral("setup.exe")))});

    const QString copy = app.file(QStringLiteral("copy.exe"));
    desktop.choiceAnswers = {1};
    desktop.fileNames = {copy};
    clickFile(QStringLiteral("setup.exe"));
    EXPECT_EQ(app.read(QStringLiteral("copy.exe")), program);
    EXPECT_EQ(desktop.openedUrls.size(), 1);
}

TEST_F(HoldfastBrowse, AFailedCopySaysWhatToDoThenThePathAndTheReason) {
    attach(QStringLiteral("setup.exe"), QByteArray::fromHex("4d5a9000"));
    const QString target = app.file(QStringLiteral("no-such-folder/copy.exe"));
    desktop.choiceAnswers = {1};
    desktop.fileNames = {target};
    clickFile(QStringLiteral("setup.exe"));
    const QStringList lines = lastMessage().split(u'\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], kSaveFailed);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("確かめてください。")));
    EXPECT_TRUE(lines[1].startsWith(target + QStringLiteral(" (")));
    EXPECT_EQ(desktop.messages.last().icon, Desktop::Icon::Critical);
}

TEST_F(HoldfastBrowse, HelpButtonAlternatesTheHelpText) {
    form.show();
    form.Command1_Click();
    EXPECT_TRUE(form.Text3->isVisible());
    EXPECT_FALSE(form.Image1->isVisible());
    EXPECT_EQ(form.Text3->toPlainText(),
              kHelp.toString().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    form.Command1_Click();
    EXPECT_FALSE(form.Text3->isVisible());
    EXPECT_FALSE(form.Image1->isVisible());
    form.Command1_Click();
    EXPECT_TRUE(form.Text3->isVisible());
}

TEST_F(HoldfastBrowse, TheCaptionClimbsTenTwipsEvery200MsFrom1920To120AndStartsAgain) {
    EXPECT_EQ(form.Timer1->interval(), 200);
    EXPECT_TRUE(form.Timer1->isActive());
    for (int step = 0; step < 180; ++step) {
        form.Timer1_Timer();
    }
    EXPECT_EQ(form.label2Top(), 120);
    EXPECT_EQ(form.Label2->y(), twipsToPixels(120));
    form.Timer1_Timer();
    EXPECT_EQ(form.Label2->y(), twipsToPixels(1920));
}

}  // namespace
