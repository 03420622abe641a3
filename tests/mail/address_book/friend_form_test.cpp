#include <gtest/gtest.h>

#include <QDir>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QInputMethodEvent>
#include <QTest>

#include <memory>

#include "address_book/friend_form.h"
#include "app/quillpost_app.h"
#include "cp932.h"
#include "fake_clock.h"
#include "main_window/main_form.h"
#include "quillpost_test.h"
#include "routines.h"
#include "scripted_desktop.h"
#include "store/mail_records.h"
#include "temp_app_folder.h"

namespace {

const QString kIdeographicSpace(QChar(0x3000));

class AddressBookTest : public QuillpostTest {
  protected:
    void store(const QStringList& names) {
        AddressStore book = addressStore(folder.path());
        for (const QString& name : names) {
            ASSERT_TRUE(book.Append({name, 1, name.toLower() + QStringLiteral("@example.jp")}));
        }
    }
    void registerEntry(FriendForm& form, const QString& name, const QString& address) {
        form.Text2->setText(name);
        form.Text4->setText(address);
        form.Command1_Click();
    }
    QByteArray bookFile() const { return folder.read(QStringLiteral("★MailData/qsmdata.data")); }
};

TEST_F(AddressBookTest, RegisterPadsTheNameAndCountsFromOne) {
    FriendForm& form = app->friendForm();
    EXPECT_EQ(form.Text3->text(), QStringLiteral("0"));
    registerEntry(form, QStringLiteral("花子"), QStringLiteral("hanako@example.jp"));

    const QByteArray bytes = bookFile();
    ASSERT_EQ(bytes.size(), AddressRecord::Length);
    const QByteArray name = encodeCp932(QStringLiteral("花子") + kIdeographicSpace.repeated(13));
    EXPECT_EQ(bytes.left(90), name + QByteArray(90 - name.size(), ' '));
    EXPECT_EQ(readLiveFlag(bytes, AddressRecord::LiveFlagOffset), 1);
    EXPECT_EQ(form.List1->count(), 1);
    EXPECT_EQ(form.Text3->text(), QStringLiteral("1"));
    EXPECT_EQ(form.Label2->text(), QStringLiteral("　登録が完了しました。"));
    EXPECT_EQ(app->CurrentRecordNo, 1);

    // The row: address and name, each as 90 characters, two spaces between.
    const QString row = form.List1->item(0)->text();
    EXPECT_EQ(row.size(), 182);
    EXPECT_EQ(row.left(92), QStringLiteral("hanako@example.jp").leftJustified(90) + "  ");
    EXPECT_TRUE(row.mid(92).startsWith(QStringLiteral("花子") + kIdeographicSpace));
}

TEST_F(AddressBookTest, LiveFlagIsTheCountBeforeAndLongNamesAreNotPadded) {
    store({QStringLiteral("A"), QStringLiteral("B")});
    FriendForm& form = app->friendForm();
    const QString longName = QStringLiteral("とても長い名前の人がここにいます");
    registerEntry(form, longName, QStringLiteral("c@example.jp"));
    const QList<AddressRecord> entries = addressStore(folder.path()).ReadAll();
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[2].LiveFlag, 2);
    EXPECT_EQ(entries[2].Name.trimmed(), longName);
    EXPECT_EQ(app->CurrentRecordNo, 3);
    EXPECT_EQ(form.Text3->text(), QStringLiteral("3"));
}

TEST_F(AddressBookTest, SelectFillsTheBoxesFromTheRecord) {
    store({QStringLiteral("A")});
    addressStore(folder.path())
        .Append({QStringLiteral("  山田") + kIdeographicSpace.repeated(13), 1,
                 QStringLiteral("  yamada@example.jp")});
    FriendForm& form = app->friendForm();
    form.List1_MouseDown();
    EXPECT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0].text, QStringLiteral("データが選択されていません"));
    EXPECT_EQ(desktop.messages[0].icon, Desktop::Icon::Exclamation);

    form.List1->setCurrentRow(1);
    form.List1_MouseDown();
    EXPECT_EQ(form.Text2->text(), QStringLiteral("山田") + kIdeographicSpace.repeated(13));
    EXPECT_EQ(form.Text4->text(), QStringLiteral("yamada@example.jp"));
    EXPECT_EQ(form.Label2->text(), QStringLiteral("　選択しました。"));

    // The padded name is 15 characters already: registering it again adds nothing.
    form.Command1_Click();
    EXPECT_EQ(TrimSpaces(addressStore(folder.path()).ReadAt(3)->Name),
              QStringLiteral("山田") + kIdeographicSpace.repeated(13));
}

TEST_F(AddressBookTest, DeleteOnYesRemovesTheEntryAndCompacts) {
    store({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    FriendForm& form = app->friendForm();
    form.List1->setCurrentRow(1);
    form.List1_MouseDown();
    desktop.answers = {Desktop::Answer::Yes};
    form.Command4_Click();
    EXPECT_EQ(desktop.messages.last().text,
              QStringLiteral("選択された（行、青色）データを削除します。よろしいですか"));
    EXPECT_EQ(desktop.messages.last().title, QStringLiteral("確認"));
    const QList<AddressRecord> entries = addressStore(folder.path()).ReadAll();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].Address.trimmed(), QStringLiteral("a@example.jp"));
    EXPECT_EQ(entries[1].Address.trimmed(), QStringLiteral("c@example.jp"));
    EXPECT_EQ(form.List1->count(), 2);
    EXPECT_EQ(form.Text3->text(), QStringLiteral("2"));
    EXPECT_EQ(form.Label2->text(), QStringLiteral("削除が完了しました"));
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("★MailData/QSMDATA.TMP"))));
}

TEST_F(AddressBookTest, DeleteOnNoOrWithoutSelectionKeepsEveryEntry) {
    store({QStringLiteral("A"), QStringLiteral("B")});
    const QByteArray before = bookFile();
    FriendForm& form = app->friendForm();
    form.Command4_Click();
    EXPECT_EQ(desktop.messages.last().icon, Desktop::Icon::Exclamation);

    form.List1->setCurrentRow(0);
    desktop.answers = {Desktop::Answer::No};
    form.Command4_Click();
    EXPECT_EQ(bookFile(), before);
    EXPECT_EQ(form.List1->count(), 2);
    EXPECT_EQ(form.Label2->text(), QStringLiteral(" "));
}

TEST_F(AddressBookTest, PasteKeepsALongAddressWholeAndHomeHidesTheBook) {
    FriendForm& form = app->friendForm();
    const QString address = QStringLiteral("x").repeated(70) + QStringLiteral("@example.jp");
    QApplication::clipboard()->setText(address);
    form.Command3_Click();
    EXPECT_EQ(form.Text4->text(), address);

    form.move(40, 50);
    form.show();
    form.Command5_Click();
    EXPECT_TRUE(form.isHidden());
    EXPECT_TRUE(app->mainForm().isVisible());
    EXPECT_EQ(app->mainForm().pos(), QPoint(40, 50));
    EXPECT_EQ(&app->friendForm(), &form);
}

TEST_F(AddressBookTest, AFailedDeleteKeepsTheEntryAndNeverSaysItWasDone) {
    store({QStringLiteral("A"), QStringLiteral("B")});
    const QByteArray before = bookFile();
    ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("★MailData/QSMDATA.TMP")));
    FriendForm& form = app->friendForm();
    form.List1->setCurrentRow(0);
    form.List1_MouseDown();
    desktop.answers = {Desktop::Answer::Yes};
    form.Command4_Click();
    EXPECT_EQ(bookFile(), before);
    EXPECT_NE(form.Label2->text(), QStringLiteral("削除が完了しました"));
    EXPECT_EQ(form.List1->count(), 2);
}

TEST_F(AddressBookTest, TypingLimitsCutPastesAndCompositionsAndHoldAfterALongText) {
    FriendForm& form = app->friendForm();
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));

    form.Text2->setFocus();
    QApplication::clipboard()->setText(QString(20, u'名'));
    QTest::keyClick(form.Text2, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(form.Text2->text(), QString(15, u'名'));

    form.Text3->setFocus();
    form.Text3->clear();
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("１２３"));
    QCoreApplication::sendEvent(form.Text3, &composed);
    EXPECT_EQ(form.Text3->text(), QStringLiteral("１２"));

    // A longer text from the program stays whole, but typing stops.
    form.Text4->setText(QString(70, u'a'));
    form.Text4->setFocus();
    form.Text4->end(false);
    QTest::keyClicks(form.Text4, QStringLiteral("bc"));
    EXPECT_EQ(form.Text4->text(), QString(70, u'a'));
    QTest::keyClick(form.Text4, Qt::Key_Backspace);
    EXPECT_EQ(form.Text4->text().size(), 69);
}

}  // namespace
