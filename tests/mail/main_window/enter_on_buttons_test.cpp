#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QSignalSpy>
#include <QTest>

#include <functional>

#include "address_book/friend_form.h"
#include "app/quillpost_app.h"
#include "compose/write_form.h"
#include "history/tuika_form.h"
#include "history/tyaku_form.h"
#include "main_window/main_form.h"
#include "quillpost_test.h"
#include "reply/back_form.h"
#include "settings/settings_files.h"

namespace {

// A window of Quillpost and one of its harmless buttons.
struct FocusedButton {
    const char* window;
    std::function<QAbstractButton*(QuillpostApp&)> button;
};

class EnterOnButtonsTest : public QuillpostTest,
                           public ::testing::WithParamInterface<FocusedButton> {};

TEST_P(EnterOnButtonsTest, EnterAndKeypadEnterPressTheFocusedButton) {
    // With a server set, no options dialog opens over the main window at the start.
    ASSERT_TRUE(writeServerSettings(
        folder.path(), {QStringLiteral("smtp.example.jp"), QStringLiteral("pop.example.jp"),
                        QStringLiteral("taro@example.jp"), 1}));
    startApp().mainForm();
    QAbstractButton* button = GetParam().button(*app);
    QWidget* window = button->window();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    button->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), button);

    QSignalSpy clicks(button, &QAbstractButton::clicked);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(clicks.size(), 1);
    QTest::keyClick(button, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(clicks.size(), 2);
    // Enter with a modifier is some other command, never this button.
    QTest::keyClick(button, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(clicks.size(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, EnterOnButtonsTest,
    ::testing::Values(
        FocusedButton{"Main", [](QuillpostApp& app) { return app.mainForm().Command2; }},
        FocusedButton{"History",
                      [](QuillpostApp& app) {
                          app.HistoryMode = 1;
                          return app.tyakuForm().Command15;
                      }},
        FocusedButton{"AddressBook", [](QuillpostApp& app) { return app.friendForm().Command3; }},
        FocusedButton{"Compose", [](QuillpostApp& app) { return app.writeForm().Command6; }},
        FocusedButton{"Reply", [](QuillpostApp& app) { return app.backForm().Command1; }},
        FocusedButton{"Zoom", [](QuillpostApp& app) { return app.tuikaForm().UpDown1->UpButton; }}),
    [](const ::testing::TestParamInfo<FocusedButton>& info) { return info.param.window; });

}  // namespace
