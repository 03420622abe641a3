#include <QDir>

#include "cp932.h"
#include "guard_fixture.h"
#include "guard_texts.h"

using namespace guard_text;

namespace {

using HoldfastKeywords = GuardTest;

TEST_F(HoldfastKeywords, StartsEmptyAndTheSweepFindsNothing) {
    EXPECT_EQ(form.Text6->text(), QStringLiteral("0"));
    EXPECT_EQ(form.Text1->text(), QStringLiteral("0"));
    EXPECT_TRUE(QFile::exists(app.file(QStringLiteral("qsmdata9.data"))));
    form.Command4_Click();
    EXPECT_EQ(desktop.messageTexts(), QStringList{kNothingSwept.toString()});
}

TEST_F(HoldfastKeywords, StartupCountsTheStoredKeywordsAndTheFileCountStaysTheFiles) {
    ASSERT_TRUE(store().Append({QStringLiteral("a.exe"), 1}));
    ASSERT_TRUE(store().Append({QStringLiteral("b.exe"), 1}));
    Form1 window(app.path(), desktop);
    EXPECT_EQ(window.Text6->text(), QStringLiteral("2"));
    EXPECT_EQ(window.Text1->text(), QStringLiteral("0"));
    EXPECT_EQ(window.List1->item(0)->text(), QStringLiteral("a.exe").leftJustified(50));
}

TEST_F(HoldfastKeywords, TheFiftiethIsAcceptedAndTheFiftyFirstRefused) {
    for (int i = 1; i <= 49; ++i) {
        ASSERT_TRUE(store().Append({QStringLiteral("v%1.exe").arg(i), 1}));
    }
    form.Command5_Click();
    registerKeyword(QStringLiteral("fiftieth.exe"));
    EXPECT_EQ(form.Text6->text(), QStringLiteral("50"));
    EXPECT_EQ(form.Label2->text(), kRegistered);
    EXPECT_TRUE(form.Text5->text().isEmpty());
    EXPECT_EQ(storedKeywords().last(), QStringLiteral("fiftieth.exe"));

    const QByteArray before = listBytes();
    registerKeyword(QStringLiteral("one-too-many.exe"));
    EXPECT_EQ(lastMessage(), kLimitReached);
    EXPECT_EQ(listBytes(), before);
    EXPECT_EQ(form.List1->count(), 50);
}

TEST_F(HoldfastKeywords, TheLimitHoldsForTheStoredListWhateverTheCountBoxSays) {
    for (int i = 1; i <= 50; ++i) {
        ASSERT_TRUE(store().Append({QStringLiteral("v%1.exe").arg(i), 1}));
    }
    form.Text6->setText(QStringLiteral("3"));
    const QByteArray before = listBytes();
    registerKeyword(QStringLiteral("one-too-many.exe"));
    EXPECT_EQ(lastMessage(), kLimitReached);
    EXPECT_EQ(listBytes(), before);
}

TEST_F(HoldfastKeywords, LongKeywordsAreCutAtACharacterBoundary) {
    const QString fifty = QString(46, u'x') + QStringLiteral(".exe");
    registerKeyword(fifty);
    registerKeyword(u'a' + QString(25, u'あ'));  // 51 bytes in code page 932
    EXPECT_EQ(storedKeywords().first(), fifty);
    EXPECT_EQ(listBytes().mid(54, 50), encodeCp932(u'a' + QString(24, u'あ')) + ' ');
    EXPECT_EQ(listBytes().size(), 108);
}

TEST_F(HoldfastKeywords, AKeywordOutsideTheCodePageIsRefused) {
    registerKeyword(QStringLiteral("\U0001F600.exe"));
    EXPECT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0].text, kNotInCodePage);
    EXPECT_TRUE(listBytes().isEmpty());
}

TEST_F(HoldfastKeywords, DeletingTheFirstOfThreeKeepsTheOthersInOrder) {
    for (const char* k : {"a.exe", "b.exe", "c.exe"}) {
        registerKeyword(QString::fromLatin1(k));
    }
    form.List1->setCurrentRow(0);
    desktop.answers = {Desktop::Answer::Yes};
    form.Command2_Click();

    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0].text, kDeleteQuestion);
    EXPECT_EQ(desktop.messages[0].title, kConfirmTitle);
    EXPECT_EQ(desktop.messages[0].buttons, Desktop::Buttons::YesNo);
    EXPECT_EQ(desktop.messages[0].icon, Desktop::Icon::Question);
    EXPECT_EQ(form.Label2->text(), QStringLiteral(" "));
    EXPECT_EQ(storedKeywords(), (QStringList{"b.exe", "c.exe"}));
    EXPECT_EQ(store().ReadAt(1)->Keyword.trimmed(), QStringLiteral("b.exe"));
    EXPECT_EQ(store().ReadAt(2)->Keyword.trimmed(), QStringLiteral("c.exe"));
    EXPECT_EQ(listBytes().size(), 108);
    EXPECT_FALSE(QFile::exists(app.file(QStringLiteral("QSMDATA9.TMP"))));
    EXPECT_EQ(form.Text6->text(), QStringLiteral("2"));
}

TEST_F(HoldfastKeywords, AnsweringNoKeepsEveryEntryButStillCompacts) {
    ASSERT_TRUE(store().Append({QStringLiteral("first.exe"), 1}));
    ASSERT_TRUE(store().Append({QStringLiteral("interrupted.exe"), 0}));
    ASSERT_TRUE(store().Append({QStringLiteral("third.exe"), 1}));
    form.Command5_Click();
    EXPECT_EQ(form.List1->count(), 3);

    form.List1->setCurrentRow(2);
    desktop.answers = {Desktop::Answer::No};
    form.Command2_Click();
    EXPECT_EQ(storedKeywords(), (QStringList{"first.exe", "third.exe"}));
    EXPECT_EQ(form.List1->count(), 2);
}

TEST_F(HoldfastKeywords, DeleteWithoutASelectionAsksNothingAndWritesNothing) {
    registerKeyword(QStringLiteral("a.exe"));
    registerKeyword(QStringLiteral("b.exe"));
    form.List1->clearSelection();
    const QByteArray before = listBytes();
    form.Command2_Click();
    EXPECT_EQ(desktop.messageTexts(), QStringList{kNothingSelected.toString()});
    EXPECT_EQ(listBytes(), before);
}

// A list that cannot be read would read as an empty one: the sweep would report that it found
// nothing while harmful files stay.
TEST_F(HoldfastKeywords, AListThatCannotBeReadIsToldAndTheSweepSaysNothingElse) {
    attach(QStringLiteral("virus.exe"));
    ASSERT_TRUE(QFile::remove(app.file(QStringLiteral("qsmdata9.data"))));
    ASSERT_TRUE(QDir(app.path()).mkdir(QStringLiteral("qsmdata9.data")));
    form.Command5_Click();
    form.Command4_Click();
    const QStringList texts = desktop.messageTexts();
    ASSERT_EQ(texts.size(), 2);
    for (const QString& text : texts) {
        EXPECT_TRUE(text.startsWith(kListUnreadable.toString()));
        EXPECT_TRUE(
            text.split(u'\n').value(1).startsWith(app.file(QStringLiteral("qsmdata9.data"))));
    }
    EXPECT_TRUE(QFile::exists(attachment(QStringLiteral("virus.exe"))));
}

}  // namespace
