#include <gtest/gtest.h>

#include <QDir>
#include <QTest>

#include <iostream>

#include "app/quillpost_app.h"
#include "fake_clock.h"
#include "fault_injection.h"
#include "history/tyaku_form.h"
#include "scripted_desktop.h"
#include "store/mail_records.h"
#include "temp_app_folder.h"

namespace {

using faultInjection::Call;

SentMailRecord sent(const QString& name) {
    return {QStringLiteral("送信") + name, name.toLower() + QStringLiteral("@example.jp"),
            QStringLiteral("本文") + name, QStringLiteral("2026/12/08  10:00"), 1};
}

ReceivedMailRecord received(const QString& name) {
    return {QStringLiteral("受信") + name, QStringLiteral("Tue, 08 Dec 2026 10:00:00 +0900"),
            name.toLower() + QStringLiteral("@example.jp"), QStringLiteral("本文") + name, 1};
}

// The history file of the sent (mode 2) or the received (mode 1) mails.
QByteArray historyBytes(int mode, const QStringList& names) {
    QByteArray bytes;
    for (const QString& name : names) {
        bytes += mode == 2 ? sent(name).toBytes() : received(name).toBytes();
    }
    return bytes;
}

// A delete from a history as the user makes it: a click on the row, a click on a picture
// button, Yes to the question.
struct HistoryDelete {
    const char* name;
    int mode;
    const char* file;
    bool pickRow;
    ImageBox* TyakuForm::*button;
    QStringList after;
};

TEST(HistoryDeleteFaultsTest, EveryFailedDeleteIsToldAndLeavesTheHistoryBeforeOrAfter) {
    const QStringList names{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
    const QList<HistoryDelete> deletes{
        {"送信履歴 削除",
         2,
         "qsmdata6.data",
         true,
         &TyakuForm::Image1,
         {QStringLiteral("A"), QStringLiteral("C")}},
        {"送信履歴 一括削除", 2, "qsmdata6.data", false, &TyakuForm::Image9, {}},
        {"受信履歴 削除",
         1,
         "qsmdata2.data",
         true,
         &TyakuForm::Image1,
         {QStringLiteral("A"), QStringLiteral("C")}},
    };
    for (const HistoryDelete& operation : deletes) {
        const int faults = faultInjection::eachFault(
            {Call::Open, Call::Write, Call::Sync, Call::Rename, Call::Close},
            [&](const faultInjection::Plan& plan) -> bool {
                const std::string where = std::string(operation.name) + ": " +
                                          faultInjection::describe(plan).toStdString();
                TempAppFolder folder;
                const QString relative =
                    QStringLiteral("★MailData/") + QString::fromLatin1(operation.file);
                const QString file = folder.file(relative);
                folder.write(relative, historyBytes(operation.mode, names));
                ScriptedDesktop desktop;
                FakeClock clock;
                QuillpostApp app(folder.path(), desktop, clock);
                app.HistoryMode = operation.mode;
                TyakuForm& form = app.tyakuForm();
                form.show();
                if (operation.pickRow) {
                    QTreeWidgetItem* row = form.MailListView->topLevelItem(1);
                    QTest::mouseClick(form.MailListView->viewport(), Qt::LeftButton, {},
                                      form.MailListView->visualItemRect(row).center());
                }
                desktop.answers = {Desktop::Answer::Yes};
                faultInjection::arm(plan, folder.path());
                QTest::mouseClick(form.*operation.button, Qt::LeftButton);
                const bool fired = faultInjection::disarm();

                const QByteArray now = folder.read(relative);
                const bool deleted = now == historyBytes(operation.mode, operation.after);
                EXPECT_TRUE(deleted || now == historyBytes(operation.mode, names)) << where;
                EXPECT_EQ(QDir(folder.dataFolder()).entryList(QDir::Files),
                          QStringList{QString::fromLatin1(operation.file)})
                    << where;
                // The question, then a box only for a failure.
                EXPECT_GE(desktop.messages.size(), 1) << where;
                const bool told = desktop.messages.size() == 2;
                EXPECT_LE(desktop.messages.size(), 2) << where;
                // A fault after the replacement (the folder's sync) is told as unconfirmed.
                EXPECT_EQ(told, fired) << where;
                if (told) {
                    const QString text = desktop.messages.last().text;
                    EXPECT_TRUE(text.startsWith(deleted ? QStringLiteral("メールを削除しましたが")
                                                        : QStringLiteral("メールを削除できません")))
                        << where << ' ' << text.toStdString();
                    EXPECT_TRUE(text.contains(QDir::toNativeSeparators(file))) << where;
                }
                // The list shows what the file holds.
                EXPECT_EQ(form.MailListView->topLevelItemCount(),
                          (deleted ? operation.after : names).size())
                    << where;
                return fired;
            });
        std::cout << "history " << operation.name << ": " << faults << " fault runs\n";
        EXPECT_GE(faults, 5) << operation.name;
    }
}

}  // namespace
