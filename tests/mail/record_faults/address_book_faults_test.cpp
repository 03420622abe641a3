#include <gtest/gtest.h>

#include <QDir>
#include <QListWidget>
#include <QTest>

#include <iostream>

#include "address_book/friend_form.h"
#include "app/quillpost_app.h"
#include "fake_clock.h"
#include "fault_injection.h"
#include "scripted_desktop.h"
#include "store/mail_records.h"
#include "temp_app_folder.h"

namespace {

using faultInjection::Call;

// An entry added as the user adds it: typed into the boxes, then the register button.
TEST(AddressBookFaultsTest, EveryFailedAddIsToldAndLeavesTheBookBeforeOrAfter) {
    const QString done = QStringLiteral("　登録が完了しました。");
    const int faults = faultInjection::eachFault(
        {Call::Open, Call::Write, Call::Sync, Call::Rename, Call::Close},
        [&](const faultInjection::Plan& plan) -> bool {
            const std::string where = faultInjection::describe(plan).toStdString();
            TempAppFolder folder;
            const QString file = folder.file(QStringLiteral("★MailData/qsmdata.data"));
            AddressStore book = addressStore(folder.path());
            EXPECT_TRUE(book.Append({QStringLiteral("A"), 1, QStringLiteral("a@example.jp")}));
            const QByteArray before = folder.read(QStringLiteral("★MailData/qsmdata.data"));
            ScriptedDesktop desktop;
            FakeClock clock;
            QuillpostApp app(folder.path(), desktop, clock);
            FriendForm& form = app.friendForm();
            form.show();
            QTest::keyClicks(form.Text2, QStringLiteral("Bob"));
            QTest::keyClicks(form.Text4, QStringLiteral("bob@example.jp"));
            faultInjection::arm(plan, folder.path());
            QTest::mouseClick(form.Command1, Qt::LeftButton);
            const bool fired = faultInjection::disarm();

            const QByteArray now = folder.read(QStringLiteral("★MailData/qsmdata.data"));
            const bool added = now.size() == before.size() + AddressRecord::Length &&
                               now.startsWith(before) &&
                               book.ReadAt(2).value_or(AddressRecord{}).Address.trimmed() ==
                                   QStringLiteral("bob@example.jp");
            EXPECT_TRUE(added || now == before) << where;
            EXPECT_EQ(QDir(folder.dataFolder()).entryList(QDir::Files),
                      QStringList{QStringLiteral("qsmdata.data")})
                << where;
            EXPECT_EQ(form.List1->count(), added ? 2 : 1) << where;
            if (fired) {
                EXPECT_EQ(desktop.messages.size(), 1) << where;
                EXPECT_TRUE(
                    desktop.messages.value(0).text.startsWith(QStringLiteral("登録できません")))
                    << where;
                EXPECT_TRUE(desktop.messages.value(0).text.contains(QDir::toNativeSeparators(file)))
                    << where;
                EXPECT_NE(form.Label2->text(), done) << where;
            } else {
                EXPECT_TRUE(desktop.messages.isEmpty()) << where;
                EXPECT_EQ(form.Label2->text(), done) << where;
            }
            return fired;
        });
    std::cout << "address book add: " << faults << " fault runs\n";
    EXPECT_GE(faults, 4);
}

// An entry deleted as the user deletes it: a click on its row, the delete button, Yes.
TEST(AddressBookFaultsTest, EveryFailedDeleteIsToldAndLeavesTheBookBeforeOrAfter) {
    const QList<AddressRecord> entries = {{QStringLiteral("A"), 1, QStringLiteral("a@example.jp")},
                                          {QStringLiteral("B"), 1, QStringLiteral("b@example.jp")},
                                          {QStringLiteral("C"), 1, QStringLiteral("c@example.jp")}};
    const auto bytesOf = [](const QList<AddressRecord>& records) {
        QByteArray bytes;
        for (const AddressRecord& record : records) {
            bytes += record.toBytes();
        }
        return bytes;
    };
    const QByteArray before = bytesOf(entries);
    const QByteArray after = bytesOf({entries[0], entries[2]});
    const int faults = faultInjection::eachFault(
        {Call::Open, Call::Write, Call::Sync, Call::Rename, Call::Close},
        [&](const faultInjection::Plan& plan) -> bool {
            const std::string where = faultInjection::describe(plan).toStdString();
            TempAppFolder folder;
            folder.write(QStringLiteral("★MailData/qsmdata.data"), before);
            ScriptedDesktop desktop;
            FakeClock clock;
            QuillpostApp app(folder.path(), desktop, clock);
            FriendForm& form = app.friendForm();
            form.show();
            QListWidgetItem* row = form.List1->item(1);
            QTest::mouseClick(form.List1->viewport(), Qt::LeftButton, {},
                              form.List1->visualItemRect(row).center());
            desktop.answers = {Desktop::Answer::Yes};
            faultInjection::arm(plan, folder.path());
            QTest::mouseClick(form.Command4, Qt::LeftButton);
            const bool fired = faultInjection::disarm();

            const QByteArray now = folder.read(QStringLiteral("★MailData/qsmdata.data"));
            EXPECT_TRUE(now == before || now == after) << where;
            EXPECT_EQ(QDir(folder.dataFolder()).entryList(QDir::Files),
                      QStringList{QStringLiteral("qsmdata.data")})
                << where;
            EXPECT_EQ(form.List1->count(), now == after ? 2 : 3) << where;
            // The question, then a box for a failure alone.
            EXPECT_EQ(desktop.messages.size(), fired ? 2 : 1) << where;
            EXPECT_EQ(form.Label2->text() == QStringLiteral("削除が完了しました"), !fired) << where;
            return fired;
        });
    std::cout << "address book delete: " << faults << " fault runs\n";
    EXPECT_GE(faults, 4);
}

}  // namespace
