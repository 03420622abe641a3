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

QByteArray sentBytes(const QStringList& names) {
    QByteArray bytes;
    for (const QString& name : names) {
        bytes += sent(name).toBytes();
    }
    return bytes;
}

// A delete from the sent history as the user makes it: a click on the row, a click on a
// picture button, Yes to the question.
struct HistoryDelete {
    const char* name;
    bool pickRow;
    ImageBox* TyakuForm::*button;
    QStringList after;
};

TEST(HistoryDeleteFaultsTest, EveryFailedDeleteIsToldAndLeavesTheHistoryBeforeOrAfter) {
    const QStringList names{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
    const QList<HistoryDelete> deletes{
        {"削除", true, &TyakuForm::Image1, {QStringLiteral("A"), QStringLiteral("C")}},
        {"一括削除", false, &TyakuForm::Image9, {}},
    };
    for (const HistoryDelete& operation : deletes) {
        const int faults = faultInjection::eachFault(
            {Call::Open, Call::Write, Call::Sync, Call::Rename, Call::Close},
            [&](const faultInjection::Plan& plan) -> bool {
                const std::string where = std::string(operation.name) + ": " +
                                          faultInjection::describe(plan).toStdString();
                TempAppFolder folder;
                const QString file = folder.file(QStringLiteral("★MailData/qsmdata6.data"));
                folder.write(QStringLiteral("★MailData/qsmdata6.data"), sentBytes(names));
                ScriptedDesktop desktop;
                FakeClock clock;
                QuillpostApp app(folder.path(), desktop, clock);
                app.HistoryMode = 2;
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

                const QByteArray now = folder.read(QStringLiteral("★MailData/qsmdata6.data"));
                const bool deleted = now == sentBytes(operation.after);
                EXPECT_TRUE(deleted || now == sentBytes(names)) << where;
                EXPECT_EQ(QDir(folder.dataFolder()).entryList(QDir::Files),
                          QStringList{QStringLiteral("qsmdata6.data")})
                    << where;
                // The question, then a box only for a failure.
                EXPECT_GE(desktop.messages.size(), 1) << where;
                const bool told = desktop.messages.size() == 2;
                EXPECT_LE(desktop.messages.size(), 2) << where;
                // A failed close of a file only read costs nothing; one that fails the
                // folder's sync after the replacement is told as unconfirmed.
                if (!deleted || (fired && plan.call != Call::Close)) {
                    EXPECT_TRUE(told) << where;
                }
                EXPECT_TRUE(fired || !told) << where;
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
