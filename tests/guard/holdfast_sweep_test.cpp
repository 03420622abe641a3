#include <QDir>

#include "attachment_sweep.h"
#include "guard_fixture.h"
#include "guard_texts.h"
#include "transport/safe_file_name.h"

using namespace guard_text;

namespace {

using HoldfastSweep = GuardTest;

QString deletedMessage(int count) {
    return QString::number(count) + kSweptSuffix.toString();
}

TEST(GuardMatch, WildcardsAsPatternsAndCaseFoldingBeyondAscii) {
    // Plain names, prefixes and suffixes are checked by sweeping.
    EXPECT_TRUE(matchesFileName(u"請求書.PIF", u"請求書.pif"));
    EXPECT_TRUE(matchesFileName(u"a*b*c", u"aXbYbZc"));
    EXPECT_FALSE(matchesFileName(u"a*b*c", u"aXbYcZ"));
    EXPECT_TRUE(matchesFileName(u"*", u"anything"));
    EXPECT_FALSE(matchesFileName(u"doc?.scr", u"doc12.scr"));
}

TEST(GuardMatch, DotsInPatternsActAsWindowsLooksNamesUp) {
    EXPECT_TRUE(matchesFileName(u"*.*", u"README"));
    EXPECT_TRUE(matchesFileName(u"*.*", u"a.b.c"));
    EXPECT_TRUE(matchesFileName(u"abc.*", u"abc"));
    EXPECT_TRUE(matchesFileName(u"abc.*", u"ABC.tar.gz"));
    EXPECT_FALSE(matchesFileName(u"abc.*", u"abcd"));
    EXPECT_TRUE(matchesFileName(u"*.", u"noext"));
    EXPECT_FALSE(matchesFileName(u"*.", u"has.ext"));
    EXPECT_TRUE(matchesFileName(u"abc.", u"ABC"));
    EXPECT_TRUE(matchesFileName(u"*.exe", u"invoice.pdf..exe"));
    EXPECT_FALSE(matchesFileName(u"*.exe", u"invoice.exe.txt"));
    // "?" before a dot or at the end may stand for nothing.
    EXPECT_TRUE(matchesFileName(u"doc?.scr", u"doc.scr"));
    EXPECT_TRUE(matchesFileName(u"virus.ex?", u"virus.ex"));
    EXPECT_FALSE(matchesFileName(u"virus.ex?", u"virus.exe.x"));
}

TEST(GuardMatch, PathLikeKeywordsAreNotFileNames) {
    EXPECT_TRUE(isPlainFileName(u"virus.exe"));
    EXPECT_TRUE(isPlainFileName(u".hidden"));
    EXPECT_TRUE(isPlainFileName(u"invoice.pdf..exe"));
    EXPECT_TRUE(isPlainFileName(u"..."));
    for (const char16_t* k : {u"../qsmail.ini", u"..\\qsmail.ini", u"..", u"sub/x.exe",
                              u"/etc/passwd", u"C:\\x.exe", u".", u""}) {
        EXPECT_FALSE(isPlainFileName(k)) << QString::fromUtf16(k).toStdString();
    }
    EXPECT_FALSE(isPlainFileName(QStringLiteral("a") + QChar(u'\0') + QStringLiteral("b")));
}

TEST_F(HoldfastSweep, MatchesWholeNamesInAnyCaseOnly) {
    registerKeyword(QStringLiteral("Virus.EXE"));
    attach(QStringLiteral("virus.exe"));
    attach(QStringLiteral("virus.exe.txt"));
    attach(QStringLiteral("xvirus.exe"));
    form.Command4_Click();
    EXPECT_EQ(lastMessage(), deletedMessage(1));
    EXPECT_FALSE(QFile::exists(attachment(QStringLiteral("virus.exe"))));
    EXPECT_TRUE(QFile::exists(attachment(QStringLiteral("virus.exe.txt"))));
    EXPECT_TRUE(QFile::exists(attachment(QStringLiteral("xvirus.exe"))));
    EXPECT_EQ(form.Text4[0], QStringLiteral("Virus.EXE"));
}

TEST_F(HoldfastSweep, APatternDeletesEveryMatchAndCountsOnce) {
    registerKeyword(QStringLiteral("*.pif"));
    registerKeyword(QStringLiteral("doc?.scr"));
    for (const char* name : {"a.pif", "b.PIF", ".c.pif", "doc1.scr", "doc12.scr", "keep.txt"}) {
        attach(QString::fromLatin1(name));
    }
    QDir(app.attachmentFolder()).mkdir(QStringLiteral("folder.pif"));
    form.Command4_Click();
    EXPECT_EQ(lastMessage(), deletedMessage(2));
    EXPECT_EQ(QDir(app.attachmentFolder())
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
              (QStringList{"doc12.scr", "folder.pif", "keep.txt"}));
}

TEST_F(HoldfastSweep, AFileTakenByOneKeywordIsGoneForTheNext) {
    registerKeyword(QStringLiteral("a.exe"));
    registerKeyword(QStringLiteral("*.exe"));
    registerKeyword(QStringLiteral("A.EXE"));
    attach(QStringLiteral("a.exe"));
    attach(QStringLiteral("b.exe"));
    form.Command4_Click();
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(lastMessage(), deletedMessage(2));
    EXPECT_TRUE(QDir(app.attachmentFolder()).isEmpty());
}

TEST_F(HoldfastSweep, ABlankKeywordEndsTheSweep) {
    registerKeyword(QStringLiteral("a.exe"));
    registerKeyword(QString());
    registerKeyword(QStringLiteral("b.exe"));
    attach(QStringLiteral("a.exe"));
    attach(QStringLiteral("b.exe"));
    form.Command4_Click();
    EXPECT_EQ(lastMessage(), deletedMessage(1));
    EXPECT_TRUE(QFile::exists(attachment(QStringLiteral("b.exe"))));
    EXPECT_EQ(form.Text4[2], QStringLiteral("b.exe"));
}

TEST_F(HoldfastSweep, NothingOutsideTheAttachmentFolderIsTouched) {
    app.write(QStringLiteral("qsmail.ini"), "SMTP=smtp.example.jp\r\n");
    app.write(QStringLiteral("outside.dat"), "keep me");
    ASSERT_TRUE(QFile::link(app.file(QStringLiteral("outside.dat")), attachment("link.exe")));
    ASSERT_TRUE(QFile::link(app.dataFolder(), attachment("folder.exe")));
    registerKeyword(QStringLiteral("../qsmail.ini"));
    registerKeyword(QStringLiteral("../outside.dat"));
    registerKeyword(QStringLiteral("*.exe"));
    form.Command4_Click();

    EXPECT_EQ(lastMessage(), deletedMessage(1));
    EXPECT_EQ(app.read(QStringLiteral("qsmail.ini")), "SMTP=smtp.example.jp\r\n");
    EXPECT_EQ(app.read(QStringLiteral("outside.dat")), "keep me");
    EXPECT_FALSE(QFileInfo(attachment("link.exe")).isSymLink());
    EXPECT_TRUE(QFileInfo(attachment("folder.exe")).isSymLink());
    EXPECT_TRUE(QFileInfo::exists(app.dataFolder()));
}

TEST_F(HoldfastSweep, ADeletedKeywordIsNoLongerSought) {
    registerKeyword(QStringLiteral("first.exe"));
    registerKeyword(QStringLiteral("last.exe"));
    form.Command4_Click();
    form.List1->setCurrentRow(1);
    desktop.answers = {Desktop::Answer::Yes};
    form.Command2_Click();
    attach(QStringLiteral("last.exe"));
    attach(QStringLiteral("first.exe"));
    form.Command4_Click();
    EXPECT_EQ(lastMessage(), deletedMessage(1));
    EXPECT_TRUE(QFile::exists(attachment(QStringLiteral("last.exe"))));
    EXPECT_TRUE(form.Text4[1].isEmpty());
}

TEST_F(HoldfastSweep, AMissingAttachmentFolderFindsNothing) {
    registerKeyword(QStringLiteral("a.exe"));
    ASSERT_TRUE(QDir(app.attachmentFolder()).removeRecursively());
    form.Command4_Click();
    EXPECT_EQ(lastMessage(), kNothingSwept);
}

TEST_F(HoldfastSweep, AKeywordWithDoubledDotsIsSwept) {
    registerKeyword(QStringLiteral("invoice.pdf..exe"));
    attach(QStringLiteral("invoice.pdf..exe"));
    form.Command4_Click();
    EXPECT_EQ(lastMessage(), deletedMessage(1));
    EXPECT_FALSE(QFile::exists(attachment(QStringLiteral("invoice.pdf..exe"))));
}

TEST_F(HoldfastSweep, NumberedCopiesOfTheMailCheckGoWithTheirName) {
    registerKeyword(QStringLiteral("Invoice.exe"));
    registerKeyword(QStringLiteral("readme"));
    registerKeyword(QStringLiteral("a.b.c"));
    const QStringList copies = {
        QStringLiteral("invoice.exe"),       numberedFileName(u"invoice.exe", 2),
        numberedFileName(u"invoice.exe", 3), numberedFileName(u"invoice.exe", 10000),
        numberedFileName(u"readme", 2),      numberedFileName(u"a.b.c", 2),
    };
    const QStringList others = {"invoice(x).exe", "invoice(2)(2).exe", "invoice(02).exe",
                                "invoice(1).exe", "invoice().exe",     "invoice.exe(2)",
                                "a.b(2).c.x",     "readme(2).txt"};
    for (const QString& name : copies + others) {
        attach(name);
    }
    form.Command4_Click();
    EXPECT_EQ(lastMessage(), deletedMessage(3));
    QStringList left = others;
    left.sort();
    EXPECT_EQ(QDir(app.attachmentFolder()).entryList(QDir::Files, QDir::Name), left);
}

TEST_F(HoldfastSweep, AFileThatRefusesDeletionIsReportedNotCounted) {
    // Files under /proc refuse deletion to everyone, root included.
    ASSERT_TRUE(QDir(app.attachmentFolder()).removeRecursively());
    ASSERT_TRUE(QFile::link(QStringLiteral("/proc/self"), app.attachmentFolder()));
    registerKeyword(QStringLiteral("STATUS"));
    registerKeyword(QStringLiteral("no-such.exe"));
    form.Command4_Click();
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_TRUE(desktop.messages[0].text.startsWith(kSweepRefused));
    EXPECT_TRUE(desktop.messages[0].text.contains(QStringLiteral("status")));
    EXPECT_TRUE(QFile::exists(QStringLiteral("/proc/self/status")));
}

}  // namespace
