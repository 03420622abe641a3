// Windows as a desktop shows them: framed and placed by a window manager, with the pointer
// really moving. Run by under_window_manager.sh.
#include <gtest/gtest.h>

#include <QScreen>
#include <QTest>
#include <QWindow>

#include <functional>

#include "compose/write_form.h"
#include "dialogs/id_pass_form.h"
#include "history/tyaku_form.h"
#include "main_window/main_form.h"
#include "quillpost_test.h"
#include "settings/settings_files.h"
#include "units.h"

namespace {

class FramedWindowsTest : public QuillpostTest {
  protected:
    void SetUp() override {
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("UNDER_WINDOW_MANAGER"))
            << "run through tests/support/under_window_manager.sh";
        ASSERT_TRUE(writeServerSettings(
            folder.path(), {QStringLiteral("smtp.example.jp"), QStringLiteral("pop.example.jp"),
                            QStringLiteral("taro@example.jp"), 1}));
        QuillpostTest::SetUp();
    }

    // The frame as the window system has it now.
    static QRect outer(const QWidget& window) { return window.windowHandle()->frameGeometry(); }
    // Shows `window` and waits until the window manager has framed it at `outerHeight`.
    static void showFramed(QWidget& window, int outerHeight) {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !frameMargins(window).isNull(); }, 15000));
        EXPECT_TRUE(heightBecomes(window, outerHeight)) << outer(window).height();
    }
    // Moves the pointer onto `control` until `done` holds: the window manager may still be
    // placing the window, and carry the control away from under the pointer.
    static bool hoverUntil(QWidget* control, const std::function<bool()>& done) {
        return QTest::qWaitFor([&] {
            if (done()) {
                return true;
            }
            QTest::mouseMove(control);
            return false;
        });
    }
    // The window manager answers a change of size or place in its own time.
    static bool heightBecomes(const QWidget& window, int outerHeight) {
        return QTest::qWaitFor([&] { return outer(window).height() == outerHeight; });
    }
    static void expectWhole(const QWidget& window, const QWidget& line) {
        const QRect placed(line.mapTo(&window, QPoint()), line.size());
        EXPECT_TRUE(window.rect().contains(placed)) << placed.bottom() << " " << window.height();
    }
    static void expectOnScreen(const QWidget& window) {
        EXPECT_TRUE(window.screen()->availableGeometry().contains(outer(window)))
            << outer(window).bottom();
    }
};

TEST_F(FramedWindowsTest, ResultLinesAreWholeInsideTheFrame) {
    MainForm& main = app->mainForm();
    showFramed(main, twipsToPixels(MainForm::kNormalHeight));
    expectWhole(main, *main.Label2);
    expectOnScreen(main);
    // The height is set again, now with the frame known.
    EXPECT_TRUE(hoverUntil(main.Image1, [&] {
        return outer(main).height() == twipsToPixels(MainForm::kExpandedHeight);
    }));
    expectWhole(main, *main.Label3);
    expectWhole(main, *main.Label2);

    WriteForm& compose = app->writeForm();
    showFramed(compose, twipsToPixels(WriteForm::kHeight));
    expectWhole(compose, *compose.Label7);
    expectWhole(compose, *compose.Label6);
    EXPECT_LT(compose.BodyText->geometry().bottom(), compose.Label6->y());
}

TEST_F(FramedWindowsTest, TheMainWindowGrowsWithinTheScreen) {
    MainForm& main = app->mainForm();
    showFramed(main, twipsToPixels(MainForm::kNormalHeight));
    expectOnScreen(main);
    // Put back where the compose window stood, low on the screen, then uncovering its help.
    const QRect screen = main.screen()->availableGeometry();
    main.move(screen.left(), screen.bottom() - outer(main).height() + 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return outer(main).bottom() == screen.bottom(); }));
    // Uncovered from the handler: moved up under a resting pointer, the window would
    // cover its help line again as the pointer meets the bare window.
    main.Command3_MouseMove();
    EXPECT_TRUE(heightBecomes(main, twipsToPixels(MainForm::kExpandedHeight)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return screen.contains(outer(main)); }))
        << outer(main).bottom();
    expectWhole(main, *main.Label3);
}

TEST_F(FramedWindowsTest, TheHoverHelpGoesWhenThePointerLeavesItsControl) {
    app->HistoryMode = 1;
    TyakuForm& form = app->tyakuForm();
    WriteForm& compose = app->writeForm();
    const struct {
        QWidget* window;
        QWidget* control;
        QWidget* elsewhere;
        QWidget* help;
    } cases[] = {{&form, form.Image1, form.MailListView->viewport(), form.Text14},
                 {&form, form.Command2, form.Text8, form.Text14},
                 {&compose, compose.Image1, compose.SubjectText, compose.Text14},
                 {&compose, compose.Command3, compose.ToText->viewport(), compose.Text14}};
    for (const auto& hover : cases) {
        hover.window->show();
        hover.window->raise();
        hover.window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(hover.window));
        const char* name = hover.control->metaObject()->className();
        EXPECT_TRUE(hoverUntil(hover.control, [&] { return hover.help->isVisible(); })) << name;
        EXPECT_TRUE(hoverUntil(hover.elsewhere, [&] { return !hover.help->isVisible(); })) << name;
    }
}

// A window the user asks for comes in front of the main window: the history already
// open behind it, and the account dialog, over the main window rather than in a corner.
TEST_F(FramedWindowsTest, WindowsAskedForComeForwardOverTheMainWindow) {
    MainForm& main = app->mainForm();
    showFramed(main, twipsToPixels(MainForm::kNormalHeight));
    QTest::mouseClick(main.Command6, Qt::LeftButton);
    TyakuForm& history = app->tyakuForm();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&history));
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));

    QTest::mouseClick(main.Command8, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&history));
    EXPECT_EQ(history.windowTitle(), QStringLiteral("送信履歴"));

    main.mnuID->trigger();
    IdPassForm& account = app->idPassForm();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&account));
    EXPECT_LE((outer(account).center() - outer(main).center()).manhattanLength(), 8);
}

}  // namespace
