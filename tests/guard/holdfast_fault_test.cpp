// Holdfast's keyword registration with a disk that fails one call: the list stays whole,
// the window shows what the file holds, and a failure is told.
#include <gtest/gtest.h>

#include <QDir>
#include <QListWidget>
#include <QTest>

#include <iostream>

#include "fault_injection.h"
#include "form1.h"
#include "guard_texts.h"
#include "keyword_record.h"
#include "scripted_desktop.h"
#include "temp_app_folder.h"

namespace {

using faultInjection::Call;
using faultInjection::Plan;

const QString kList = QStringLiteral("qsmdata9.data");

// Holdfast over a fresh folder whose list already holds one keyword.
struct Window {
    TempAppFolder app;
    ScriptedDesktop desktop;
    std::unique_ptr<Form1> form;

    Window() {
        keywordStore(app.path()).Append({QStringLiteral("old.exe"), 1});
        form = std::make_unique<Form1>(app.path(), desktop);
        form->show();
    }

    void registerKeyword(const QString& keyword) {
        form->Text5->setFocus();
        QTest::keyClicks(form->Text5, keyword);
        QTest::mouseClick(form->Command3, Qt::LeftButton);
    }

    QStringList files() const {
        return QDir(app.path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }
};

TEST(HoldfastFaults, EveryFailingCallOfARegistrationKeepsTheListWholeAndIsTold) {
    QByteArray before;
    QByteArray after;
    QStringList files;
    {
        Window clean;
        before = clean.app.read(kList);
        files = clean.files();
        clean.registerKeyword(QStringLiteral("virus.exe"));
        ASSERT_TRUE(clean.desktop.messages.isEmpty());
        after = clean.app.read(kList);
    }
    ASSERT_EQ(after.size(), 2 * KeywordRecord::Length);

    const int faults = faultInjection::eachFault(
        {Call::Open, Call::Write, Call::Sync, Call::Rename, Call::Close}, [&](const Plan& plan) {
            const std::string what = faultInjection::describe(plan).toStdString();
            Window window;
            faultInjection::arm(plan, window.app.path());
            window.registerKeyword(QStringLiteral("virus.exe"));
            const bool fired = faultInjection::disarm();
            const QByteArray now = window.app.read(kList);
            EXPECT_TRUE(now == before || now == after) << what;
            EXPECT_EQ(window.files(), files) << what;
            // The list box shows what the file holds.
            EXPECT_EQ(window.form->List1->count(), now.size() / KeywordRecord::Length) << what;
            if (!fired) {
                EXPECT_EQ(now, after) << what;
                EXPECT_TRUE(window.desktop.messages.isEmpty()) << what;
                return false;
            }
            EXPECT_EQ(now, before) << what;
            EXPECT_EQ(window.desktop.messages.size(), 1) << what;
            EXPECT_TRUE(window.desktop.messageTexts().value(0).startsWith(
                guard_text::kRegisterFailed.toString()))
                << what;
            EXPECT_NE(window.form->Label2->text(), guard_text::kRegistered.toString()) << what;
            return true;
        });
    std::cout << "Holdfast keyword add: " << faults << " runs with a fault\n";
    EXPECT_GE(faults, 2);
}

// A keyword deleted as the user deletes it: a click on its row, the delete button, Yes.
TEST(HoldfastFaults, EveryFailingCallOfADeletionKeepsTheListWholeAndIsTold) {
    QByteArray before;
    QByteArray after;
    {
        Window clean;
        clean.registerKeyword(QStringLiteral("virus.exe"));
        before = clean.app.read(kList);
    }
    after = before.left(KeywordRecord::Length);
    const int faults = faultInjection::eachFault(
        {Call::Open, Call::Write, Call::Sync, Call::Rename, Call::Close}, [&](const Plan& plan) {
            const std::string what = faultInjection::describe(plan).toStdString();
            Window window;
            window.registerKeyword(QStringLiteral("virus.exe"));
            window.desktop.messages.clear();
            QListWidgetItem* row = window.form->List1->item(1);
            QTest::mouseClick(window.form->List1->viewport(), Qt::LeftButton, {},
                              window.form->List1->visualItemRect(row).center());
            window.desktop.answers = {Desktop::Answer::Yes};
            faultInjection::arm(plan, window.app.path());
            QTest::mouseClick(window.form->Command2, Qt::LeftButton);
            const bool fired = faultInjection::disarm();
            const QByteArray now = window.app.read(kList);
            EXPECT_TRUE(now == before || now == after) << what;
            EXPECT_EQ(window.form->List1->count(), now.size() / KeywordRecord::Length) << what;
            // The question, then a box for a failure alone.
            EXPECT_EQ(window.desktop.messages.size(), fired ? 2 : 1) << what;
            if (!fired) {
                EXPECT_EQ(now, after) << what;
            }
            return fired;
        });
    std::cout << "Holdfast keyword delete: " << faults << " runs with a fault\n";
    EXPECT_GE(faults, 4);
}

// The list that Holdfast creates empty at its start: there or not, and told when not.
TEST(HoldfastFaults, EveryFailingCallOfTheListsCreationIsTold) {
    const int faults = faultInjection::eachFault(
        {Call::Open, Call::Write, Call::Sync, Call::Rename, Call::Close}, [&](const Plan& plan) {
            const std::string what = faultInjection::describe(plan).toStdString();
            TempAppFolder app;
            ScriptedDesktop desktop;
            const QStringList files =
                QDir(app.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
            faultInjection::arm(plan, app.path());
            Form1 form(app.path(), desktop);
            const bool fired = faultInjection::disarm();
            QStringList now = QDir(app.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
            const bool created = now.removeAll(kList) == 1;
            EXPECT_EQ(now, files) << what;
            EXPECT_EQ(app.read(kList), QByteArray()) << what;
            if (!fired) {
                EXPECT_TRUE(created) << what;
                EXPECT_TRUE(desktop.messages.isEmpty()) << what;
                return false;
            }
            // A failing close of a read of the list loses nothing; a list not made is told.
            if (!created || !desktop.messages.isEmpty()) {
                EXPECT_EQ(desktop.messages.size(), 1) << what;
                EXPECT_TRUE(desktop.messageTexts().value(0).startsWith(
                    guard_text::kListNotCreated.toString()))
                    << what;
            }
            return true;
        });
    std::cout << "Holdfast keyword list creation: " << faults << " runs with a fault\n";
    EXPECT_GE(faults, 4);
}

// "Save a copy" of an attachment over an older copy: the older copy or the new one, whole.
TEST(HoldfastFaults, EveryFailingCallOfSavingACopyLeavesAWholeCopyAndIsTold) {
    QByteArray attachment(150000, Qt::Uninitialized);
    for (qsizetype i = 0; i < attachment.size(); ++i) {
        attachment[i] = char(i * 7 % 251);
    }
    const QByteArray older("an older copy");
    const int faults = faultInjection::eachFault(
        {Call::Open, Call::Write, Call::Sync, Call::Rename, Call::Close}, [&](const Plan& plan) {
            const std::string what = faultInjection::describe(plan).toStdString();
            Window window;
            window.app.write(QStringLiteral("添付フォルダ/tool.bin"), attachment);
            QDir(window.app.path()).mkdir(QStringLiteral("saved"));
            window.app.write(QStringLiteral("saved/tool.bin"), older);
            const QString saved = window.app.file(QStringLiteral("saved"));
            window.desktop.choiceAnswers = {1};
            window.desktop.fileNames = {saved + QStringLiteral("/tool.bin")};
            window.form->File1->setPath(window.app.attachmentFolder());
            const auto items =
                window.form->File1->findItems(QStringLiteral("tool.bin"), Qt::MatchExactly);
            EXPECT_EQ(items.size(), 1);
            faultInjection::arm(plan, saved);
            QTest::mouseClick(window.form->File1->viewport(), Qt::LeftButton, {},
                              window.form->File1->visualItemRect(items.value(0)).center());
            const bool fired = faultInjection::disarm();
            const QByteArray now = window.app.read(QStringLiteral("saved/tool.bin"));
            EXPECT_TRUE(now == older || now == attachment) << what;
            EXPECT_EQ(QDir(saved).entryList(QDir::Files | QDir::Hidden | QDir::System),
                      QStringList{QStringLiteral("tool.bin")})
                << what;
            EXPECT_EQ(window.desktop.choiceTexts.size(), 1) << what;
            if (!fired) {
                EXPECT_EQ(now, attachment) << what;
                EXPECT_TRUE(window.desktop.messages.isEmpty()) << what;
                return false;
            }
            EXPECT_EQ(window.desktop.messages.size(), 1) << what;
            EXPECT_TRUE(window.desktop.messageTexts().value(0).startsWith(
                guard_text::kSaveFailed.toString()))
                << what;
            return true;
        });
    std::cout << "Holdfast save a copy: " << faults << " runs with a fault\n";
    EXPECT_GE(faults, 6);
}

}  // namespace
