#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "app/quillpost_app.h"
#include "compose/write_form.h"
#include "main_window/main_form.h"
#include "quillpost_test.h"
#include "reply/back_form.h"

namespace {

class ComposeKeysTest : public QuillpostTest {
  protected:
    void SetUp() override {
        QuillpostTest::SetUp();
        app->mainForm();
    }
    static void showActive(QWidget& window) {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    static QWidget* focus() { return QApplication::focusWidget(); }
    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
};

TEST_F(ComposeKeysTest, TheFocusStartsOnTheRecipientAndTabVisitsEveryControlInOrder) {
    WriteForm& w = app->writeForm();
    w.Command3_Click();  // the address panel, with its list
    w.Command9->setEnabled(true);
    w.Command10->setEnabled(true);
    w.List2->show();
    showActive(w);
    EXPECT_EQ(focus(), w.ToText);
    QTest::keyClicks(w.ToText, QStringLiteral("a@example.jp"));

    const std::initializer_list<QWidget*> order{
        w.SubjectText, w.BodyText, w.Combo1,  w.AttachCommand, w.Command9, w.Command10,
        w.AttachText,  w.List2,    w.Check1,  w.Command3,      w.Command5, w.Command1,
        w.Command11,   w.Command6, w.Option2, w.List1,         w.Text1,    w.ToText};
    for (QWidget* next : order) {
        press(Qt::Key_Tab);
        EXPECT_EQ(focus(), next) << next->metaObject()->className();
    }
    for (auto back = std::rbegin(order) + 1; back != std::rend(order); ++back) {
        press(Qt::Key_Tab, Qt::ShiftModifier);
        EXPECT_EQ(focus(), *back) << (*back)->metaObject()->className();
    }
    // Passing through the boxes typed nothing into them.
    EXPECT_EQ(w.ToText->Text(), QStringLiteral("a@example.jp"));
    EXPECT_TRUE(w.BodyText->Text().isEmpty());
    EXPECT_TRUE(w.Text14->isHidden() || w.Text14->focusPolicy() == Qt::NoFocus);
}

// The body boxes of the compose and reply windows: Tab moves on, Ctrl+Tab types a tab, and
// a tab counts against the reply body's limit.
TEST_F(ComposeKeysTest, CtrlTabTypesATabInTheBodiesAndTabMovesOn) {
    WriteForm& w = app->writeForm();
    showActive(w);
    w.BodyText->setFocus();
    QTest::keyClicks(w.BodyText, QStringLiteral("body"));
    press(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(w.BodyText->Text(), QStringLiteral("body\t"));
    press(Qt::Key_Tab);
    EXPECT_EQ(focus(), w.Combo1);
    w.ToText->setFocus();
    press(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_TRUE(w.ToText->Text().isEmpty());

    BackForm& back = app->backForm();
    showActive(back);
    back.BodyText->setFocus();
    back.BodyText->SetText(QString(back.BodyText->maxLength() - 1, u'x'));
    back.BodyText->moveCursor(QTextCursor::End);
    press(Qt::Key_Tab, Qt::ControlModifier);
    press(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(back.BodyText->Text(), QString(back.BodyText->maxLength() - 1, u'x') + u'\t');
    press(Qt::Key_Tab);
    EXPECT_EQ(focus(), back.AttachText);
}

}  // namespace
