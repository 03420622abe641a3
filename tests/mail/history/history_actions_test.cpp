#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include "address_book/friend_form.h"
#include "app_folder.h"
#include "history/tuika_form.h"
#include "history_fixture.h"
#include "main_window/main_form.h"
#include "reply/back_form.h"

namespace {

const QString kNoSelection = QStringLiteral("データが選択されていません");

TEST_F(HistoryTest, DeleteOfTheMiddleMailCompactsAndRebuilds) {
    storeReceived({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    TyakuForm& form = open(1);
    click(form, 2);
    desktop.answers = {Desktop::Answer::Yes};
    form.Image1_Click();

    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0].text,
              QStringLiteral("選択された（行、青色）データを削除します。よろしいですか?"));
    EXPECT_EQ(desktop.messages[0].title, QStringLiteral("確認"));
    EXPECT_EQ(desktop.messages[0].icon, Desktop::Icon::Question);
    EXPECT_EQ(app->CurrentRecordNo, 2);
    const QList<ReceivedMailRecord> left = receivedMailStore(folder.path()).ReadAll();
    ASSERT_EQ(left.size(), 2);
    EXPECT_EQ(left[0].Subject.trimmed(), QStringLiteral("件名A"));
    EXPECT_EQ(left[1].Subject.trimmed(), QStringLiteral("件名C"));
    EXPECT_EQ(rowTexts(form, 0), QStringList({QStringLiteral("件名A"), QStringLiteral("件名C")}));
    EXPECT_EQ(rowTexts(form, 1)[1], QStringLiteral("C <c@example.jp>"));
    EXPECT_EQ(form.Text7->text(), QStringLiteral("2"));
    EXPECT_EQ(form.Text8->text(), QStringLiteral("件名C"));
    EXPECT_TRUE(form.Text5->text().isEmpty());
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("★MailData/QSMDATA2.TMP"))));
    EXPECT_EQ(QFileInfo(form.Image1->picturePath()).fileName(), QStringLiteral("10.gif"));
}

TEST_F(HistoryTest, DeletingTheOnlyMailLeavesAnEmptyHistory) {
    storeSent({QStringLiteral("1")});
    TyakuForm& form = open(2);
    click(form, 1);
    desktop.answers = {Desktop::Answer::Yes};
    form.Image1_Click();
    EXPECT_EQ(QFileInfo(folder.file(QStringLiteral("★MailData/qsmdata6.data"))).size(), 0);
    EXPECT_EQ(form.MailListView->topLevelItemCount(), 0);
    EXPECT_EQ(form.Text7->text(), QStringLiteral("0"));
    for (const QString& text : {form.Text8->text(), form.Text9->text(), form.Text10->text(),
                                form.Text15->Text(), form.Text5->text()}) {
        EXPECT_TRUE(text.isEmpty()) << text.toStdString();
    }
}

TEST_F(HistoryTest, DeleteAnsweredNoOrWithoutASelectedRowWritesNothing) {
    storeReceived({QStringLiteral("A"), QStringLiteral("B")});
    const QByteArray before = receivedFile();
    TyakuForm& form = open(1);
    click(form, 1);
    desktop.answers = {Desktop::Answer::No};
    form.Image1_Click();
    EXPECT_TRUE(form.Text5->text().isEmpty());
    form.Image1_Click();
    EXPECT_EQ(desktop.messages.last().text, kNoSelection);

    // A mail shown, then its row deselected: there is no record number to delete at.
    click(form, 2);
    form.MailListView->clearSelection();
    form.Image1_Click();
    EXPECT_EQ(desktop.messages.last().text, kNoSelection);
    EXPECT_EQ(desktop.messages.size(), 3);
    EXPECT_EQ(receivedFile(), before);
    EXPECT_EQ(form.MailListView->topLevelItemCount(), 2);
}

TEST_F(HistoryTest, DeleteAllEmptiesTheHistoryOnlyOnYes) {
    storeReceived({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                   QStringLiteral("D"), QStringLiteral("E")});
    TyakuForm& form = open(1);
    desktop.answers = {Desktop::Answer::No};
    form.Image9_Click();
    EXPECT_EQ(receivedMailStore(folder.path()).RecordCount(), 5);

    desktop.answers = {Desktop::Answer::Yes};
    form.Image9_Click();
    EXPECT_EQ(desktop.messages.last().text, QStringLiteral("すべてのデータを削除して良いですか？"));
    EXPECT_EQ(QFileInfo(folder.file(QStringLiteral("★MailData/qsmdata2.data"))).size(), 0);
    EXPECT_EQ(form.MailListView->topLevelItemCount(), 0);
    EXPECT_EQ(form.Text7->text(), QStringLiteral("0"));
    EXPECT_TRUE(form.Text8->text().isEmpty());
    EXPECT_TRUE(form.Text15->Text().isEmpty());
}

TEST_F(HistoryTest, ReplyPrefixesTheSubjectEvenWhenItHasOne) {
    ReceivedMailRecord record = received(QStringLiteral("A"));
    record.Subject = QStringLiteral("Re: お元気ですか");
    record.Body = QStringLiteral("  本文です。\r\n> 引用  ");
    receivedMailStore(folder.path()).Append(record);
    TyakuForm& form = open(1);
    form.Image11_Click();
    EXPECT_EQ(desktop.messageTexts(), QStringList{kNoSelection});
    EXPECT_EQ(openWindow<BackForm>(), nullptr);

    click(form, 1);
    form.Image11_Click();
    BackForm* back = openWindow<BackForm>();
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->SubjectText->text(), QStringLiteral("Re:  Re: お元気ですか"));
    EXPECT_EQ(back->ToText->text(), QStringLiteral("A <a@example.jp>"));
    EXPECT_EQ(back->BodyText->Text(), QStringLiteral("本文です。\r\n> 引用"));
    EXPECT_TRUE(back->isVisible());
    EXPECT_TRUE(form.Text5->text().isEmpty());
}

TEST_F(HistoryTest, ASenderWithACommaStaysOneRecipientOfTheReplyAndTheBook) {
    // Records stored before senders kept their quotes hold the name bare.
    ReceivedMailRecord record = received(QStringLiteral("A"));
    record.From = QStringLiteral("Yamada, Taro <taro@example.jp>");
    receivedMailStore(folder.path()).Append(record);
    TyakuForm& form = open(1);
    const QString quoted = QStringLiteral("\"Yamada, Taro\" <taro@example.jp>");
    click(form, 1);
    form.Image11_Click();
    ASSERT_NE(openWindow<BackForm>(), nullptr);
    EXPECT_EQ(openWindow<BackForm>()->ToText->text(), quoted);
    click(form, 1);
    form.Image10_Click();
    EXPECT_EQ(app->friendForm().Text4->text(), quoted);
}

TEST_F(HistoryTest, ReplyAndAddressBookInSentModeAreToMyself) {
    storeSent({QStringLiteral("1")});
    TyakuForm& form = open(2);
    click(form, 1);
    form.Image11_Click();
    form.Image10_Click();
    EXPECT_EQ(desktop.messageTexts(),
              QStringList({QStringLiteral("自分宛です。"), QStringLiteral("自分宛です。")}));
    EXPECT_EQ(openWindow<BackForm>(), nullptr);
    EXPECT_EQ(openWindow<FriendForm>(), nullptr);
}

TEST_F(HistoryTest, AddressBookOpensWithTheSender) {
    storeReceived({QStringLiteral("A")});
    TyakuForm& form = open(1);
    click(form, 1);
    form.Image10_Click();
    FriendForm& book = app->friendForm();
    EXPECT_EQ(book.Text4->text(), QStringLiteral("A <a@example.jp>"));
    EXPECT_TRUE(book.Text2->text().isEmpty());
    EXPECT_TRUE(book.isVisible());
    EXPECT_TRUE(form.Text5->text().isEmpty());
}

TEST_F(HistoryTest, CopyPutsTheSelectedPartOfTheBody) {
    storeReceived({QStringLiteral("A")});
    TyakuForm& form = open(1);
    QTextCursor cursor = form.Text15->textCursor();
    cursor.setPosition(2);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    form.Text15->setTextCursor(cursor);
    form.Command15_Click();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("A\r\n二行目"));

    cursor.clearSelection();
    form.Text15->setTextCursor(cursor);
    form.Command15_Click();
    EXPECT_TRUE(QApplication::clipboard()->text().isEmpty());
}

TEST_F(HistoryTest, NotepaneGetsSubjectDateAndBodyOnTheClipboard) {
    ReceivedMailRecord record = received(QStringLiteral("A"));
    record.Body = QStringLiteral("一行の本文");
    receivedMailStore(folder.path()).Append(record);
    TyakuForm& form = open(1);
    form.Command6_Click();
    EXPECT_EQ(desktop.messageTexts(), QStringList{kNoSelection + u'。'});
    EXPECT_TRUE(desktop.startedPrograms.isEmpty());

    click(form, 1);
    form.Command6_Click();
    EXPECT_EQ(QApplication::clipboard()->text(),
              QStringLiteral("件名A\r\n\r\n2026/12/08 A\r\n\r\n一行の本文"));
    EXPECT_EQ(desktop.startedPrograms, QStringList{programPath(folder.path(), u"\\Notepane.exe")});
    EXPECT_TRUE(form.Text5->text().isEmpty());

    desktop.programsStart = false;
    click(form, 1);
    form.Command6_Click();
    EXPECT_TRUE(desktop.messages.last().text.startsWith(QStringLiteral("Notepane")));
}

TEST_F(HistoryTest, ZoomCopiesTheShownMail) {
    storeReceived({QStringLiteral("A")});
    TyakuForm& form = open(1);
    form.Command2_Click();
    EXPECT_EQ(desktop.messageTexts(), QStringList{kNoSelection + u'。'});
    EXPECT_EQ(openWindow<TuikaForm>(), nullptr);

    click(form, 1);
    form.Command2_Click();
    TuikaForm& zoom = app->tuikaForm();
    EXPECT_TRUE(zoom.isVisible());
    EXPECT_EQ(zoom.Text8->text(), QStringLiteral("件名A"));
    EXPECT_EQ(zoom.Text9->text(), QStringLiteral("A <a@example.jp>"));
    EXPECT_EQ(zoom.Text10->text(), QStringLiteral("2026/12/08 A"));
    EXPECT_EQ(zoom.Text15->Text(), QStringLiteral("本文A\r\n二行目"));
    EXPECT_EQ(zoom.Text1->text(), QStringLiteral("12"));
    EXPECT_TRUE(form.Text5->text().isEmpty());
}

}  // namespace

namespace {

// A real click on row `row` (from 1) of the shown list.
void clickRow(TyakuForm& form, int row) {
    QTreeWidget& list = *form.MailListView;
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      list.visualItemRect(list.topLevelItem(row - 1)).center());
}

}  // namespace

TEST_F(HistoryTest, EachActionActsOnTheRowStillHighlightedAfterTheLast) {
    storeReceived({QStringLiteral("A"), QStringLiteral("B")});
    TyakuForm& form = open(1);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    clickRow(form, 1);
    QTest::mouseClick(form.Image11, Qt::LeftButton);
    ASSERT_NE(openWindow<BackForm>(), nullptr);
    EXPECT_EQ(openWindow<BackForm>()->ToText->text(), QStringLiteral("A <a@example.jp>"));
    QTest::mouseClick(form.Image10, Qt::LeftButton);
    EXPECT_EQ(app->friendForm().Text4->text(), QStringLiteral("A <a@example.jp>"));
    QTest::mouseClick(form.Command2, Qt::LeftButton);
    EXPECT_EQ(app->tuikaForm().Text8->text(), QStringLiteral("件名A"));
    QTest::mouseClick(form.Command6, Qt::LeftButton);
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith(QStringLiteral("件名A")));
    desktop.answers = {Desktop::Answer::Yes};
    QTest::mouseClick(form.Image1, Qt::LeftButton);
    EXPECT_EQ(rowTexts(form, 0), QStringList{QStringLiteral("件名B")});
    EXPECT_EQ(
        desktop.messageTexts(),
        QStringList{QStringLiteral("選択された（行、青色）データを削除します。よろしいですか?")});
}
