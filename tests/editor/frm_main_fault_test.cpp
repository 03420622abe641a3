// Notepane's saves with a disk that fails one call: the user's files are whole, old or new,
// and a failure is told with the text still in the editor.
#include <gtest/gtest.h>

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <functional>
#include <iostream>
#include <memory>
#include <ostream>

#include "fault_injection.h"
#include "fixed_wrap_edit.h"
#include "frm_main.h"
#include "scripted_desktop.h"
#include "temp_app_folder.h"

namespace {

using faultInjection::Call;
using faultInjection::Plan;

const QList<Call> kEveryCall = {Call::Open, Call::Write, Call::Sync, Call::Rename, Call::Close};
const QString kLetter = QStringLiteral("letter.txt");
const QString kCopy = QStringLiteral("copy.txt");
const QString kNewFile = QStringLiteral("新規作成.TXT");
// "お知らせ" and a line of ASCII, in code page 932 with CR LF, about 10 kB.
const QByteArray kOldLetter =
    QByteArray("\x82\xa8\x92\x6d\x82\xe7\x82\xb9 line of the letter\r\n").repeated(350);
const QByteArray kOldCopy("an older copy\r\n");

// One user's session: Notepane opened on the letter in a fresh folder, the letter edited.
struct Session {
    TempAppFolder app;
    ScriptedDesktop desktop;
    std::unique_ptr<frmMain> window;

    Session() {
        app.write(kLetter, kOldLetter);
        app.write(kCopy, kOldCopy);
        window = std::make_unique<frmMain>(app.path(), desktop);
        window->show();
        desktop.fileNames = {app.file(kLetter)};
        window->mnuOPen->trigger();
        QTest::keyClick(window->rtfEd, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(window->rtfEd, QStringLiteral("appended"));
    }

    QAction* toolButton(const QString& key) const {
        for (QAction* action : window->tbToolBar->actions()) {
            if (action->objectName() == key) {
                return action;
            }
        }
        return nullptr;
    }

    QStringList files() const {
        return QDir(app.path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }
};

struct FileOperation {
    const char* name;
    std::function<void(Session&)> run;
};

// Test names show the operation's name.
void PrintTo(const FileOperation& operation, std::ostream* out) {
    *out << operation.name;
}

// What the folder holds: each file's bytes, by name.
using Folder = QMap<QString, QByteArray>;

Folder contents(const Session& session) {
    Folder folder;
    for (const QString& name : session.files()) {
        folder.insert(name, session.app.read(name));
    }
    return folder;
}

class NotepaneFaults : public ::testing::TestWithParam<FileOperation> {
  protected:
    NotepaneFaults() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_.path());
    }

  private:
    QTemporaryDir settings_;
};

// Every failing call leaves each file as it was before or as the clean run leaves it, no
// temporary file, and a box that tells it; the editor keeps the text, still to be saved
// unless the letter already holds it, and stays open.
TEST_P(NotepaneFaults, EveryFailingCallLeavesTheFilesWholeAndIsTold) {
    const FileOperation& operation = GetParam();
    Folder before;
    Folder after;
    QString typed;
    {
        Session clean;
        before = contents(clean);
        typed = clean.window->rtfEd->toPlainText();
        operation.run(clean);
        ASSERT_TRUE(clean.desktop.messages.isEmpty());
        after = contents(clean);
    }
    ASSERT_NE(before, after);

    const int faults = faultInjection::eachFault(kEveryCall, [&](const Plan& plan) {
        const std::string what = faultInjection::describe(plan).toStdString();
        Session session;
        const QString title = session.window->windowTitle();
        faultInjection::arm(plan, session.app.path());
        operation.run(session);
        const bool fired = faultInjection::disarm();

        const Folder now = contents(session);
        const QStringList names = session.files();
        EXPECT_TRUE(names == before.keys() || names == after.keys()) << what;
        for (const QString& name : names) {
            EXPECT_TRUE(now.value(name) == before.value(name) ||
                        now.value(name) == after.value(name))
                << what << " " << name.toStdString();
        }
        if (!fired) {
            EXPECT_EQ(now, after) << what;
            EXPECT_TRUE(session.desktop.messages.isEmpty()) << what;
            return false;
        }
        EXPECT_EQ(session.desktop.messages.size(), 1) << what;
        if (!session.desktop.messages.isEmpty()) {
            const QString box = session.desktop.messages[0].text;
            EXPECT_TRUE(box.startsWith(QStringLiteral("ファイルに保存できませんでした。"))) << what;
            EXPECT_EQ(box.split(u'\n').size(), 2) << what;
            if (plan.call == Call::Write && plan.failure == faultInjection::Failure::DiskFull) {
                EXPECT_TRUE(box.contains(QStringLiteral("ディスクに空きがありません"))) << what;
            }
        }
        EXPECT_EQ(session.window->rtfEd->toPlainText(), typed) << what;
        // Closing stops at a failed save: the text is on no disk but still on screen.
        EXPECT_TRUE(session.window->isVisible()) << what;
        EXPECT_EQ(session.window->windowTitle(), title) << what;
        EXPECT_EQ(session.window->currentFile, session.app.file(kLetter)) << what;
        // Only a letter that holds the text may be marked saved.
        EXPECT_TRUE(session.window->modified || now.value(kLetter) == after.value(kLetter)) << what;
        return true;
    });
    std::cout << "Notepane " << operation.name << ": " << faults << " runs with a fault\n";
    EXPECT_GE(faults, 6);
}

INSTANTIATE_TEST_SUITE_P(
    FileCommands, NotepaneFaults,
    ::testing::Values(FileOperation{"OverwriteSave",
                                    [](Session& session) { session.window->mnuUPdate->trigger(); }},
                      FileOperation{"SaveAsOverAnOlderCopy",
                                    [](Session& session) {
                                        session.desktop.fileNames = {session.app.file(kCopy)};
                                        session.window->mnuSaveAs->trigger();
                                    }},
                      FileOperation{"SaveOnClose",
                                    [](Session& session) {
                                        session.desktop.choiceAnswers = {0};
                                        session.window->close();
                                    }},
                      FileOperation{"NewAfterEdit",
                                    [](Session& session) {
                                        session.toolButton(QStringLiteral("New"))->trigger();
                                    }}),
    [](const ::testing::TestParamInfo<FileOperation>& info) {
        return std::string(info.param.name);
    });

}  // namespace
