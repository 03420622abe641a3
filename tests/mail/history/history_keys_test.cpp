#include <QMenu>
#include <QTest>

#include "history_fixture.h"
#include "reply/back_form.h"

namespace {

class HistoryKeysTest : public HistoryTest {
  protected:
    // The received history of A, B, C, shown and active, with the focus in the list.
    TyakuForm& openActive() {
        storeReceived({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
        TyakuForm& form = open(1);
        form.show();
        form.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
        form.MailListView->setFocus();
        return form;
    }
    static QWidget* focus() { return QApplication::focusWidget(); }
    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
};

TEST_F(HistoryKeysTest, TabReachesThePictureButtonsAndLeavesTheBody) {
    TyakuForm& form = openActive();
    form.Text7->setFocus();
    for (QWidget* next : std::initializer_list<QWidget*>{
             form.Image9, form.Image1, form.Image11, form.Image10, form.MailListView, form.Text8,
             form.Text9, form.Text10, form.Text15, form.Command15}) {
        press(Qt::Key_Tab);
        EXPECT_EQ(focus(), next) << next->metaObject()->className();
    }
    press(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(focus(), form.Text15);
    EXPECT_EQ(form.Text15->Text(), QStringLiteral("本文C\r\n二行目"));
}

// Each key that presses a button, on the delete picture: the question, then the delete.
class PictureKeyTest : public HistoryKeysTest, public ::testing::WithParamInterface<Qt::Key> {};

TEST_P(PictureKeyTest, AFocusedPictureButtonActsOnItsKey) {
    TyakuForm& form = openActive();
    click(form, 2);
    form.Image1->setFocus();
    ASSERT_EQ(focus(), form.Image1);
    desktop.answers = {Desktop::Answer::Yes};
    press(GetParam(), GetParam() == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    EXPECT_EQ(
        desktop.messageTexts(),
        QStringList{QStringLiteral("選択された（行、青色）データを削除します。よろしいですか?")});
    EXPECT_EQ(rowTexts(form, 0), QStringList({QStringLiteral("件名A"), QStringLiteral("件名C")}));
}

INSTANTIATE_TEST_SUITE_P(Keys, PictureKeyTest,
                         ::testing::Values(Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space));

TEST_F(HistoryKeysTest, DeleteKeyAsksAndDeletesTheHighlightedRowAlsoAfterAnAnswerOfNo) {
    TyakuForm& form = openActive();
    click(form, 2);
    desktop.answers = {Desktop::Answer::No};
    press(Qt::Key_Delete);
    EXPECT_EQ(rowTexts(form, 0).size(), 3);
    // The question hands the focus to the body, as the delete picture always has. "No" left
    // the row highlighted but no longer marked as shown: the key shows it again.
    EXPECT_EQ(focus(), form.Text15);
    form.MailListView->setFocus();
    desktop.answers = {Desktop::Answer::Yes};
    press(Qt::Key_Delete);
    EXPECT_EQ(desktop.messages.size(), 2);
    EXPECT_EQ(rowTexts(form, 0), QStringList({QStringLiteral("件名A"), QStringLiteral("件名C")}));
}

// The list's menu, opened as the user opens it: with Shift+F10, or by a right click on a
// row whose mail is not shown yet.
TEST_F(HistoryKeysTest, TheListMenuActsOnTheRowItOpenedOn) {
    TyakuForm& form = openActive();
    press(Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_TRUE(form.ListMenu->isVisible());
    QStringList entries;
    for (QAction* action : form.ListMenu->actions()) {
        entries.append(action->text());
    }
    EXPECT_EQ(entries, QStringList({QStringLiteral("削除(&D)"), QStringLiteral("返事を出す(&R)"),
                                    QStringLiteral("アドレス帳登録(&A)"), QString(),
                                    QStringLiteral("一括削除(&E)")}));
    form.ListMenu->hide();

    click(form, 2);
    const QRect rowA = form.MailListView->visualItemRect(form.MailListView->topLevelItem(0));
    QTest::mouseClick(form.windowHandle(), Qt::RightButton, {},
                      form.MailListView->viewport()->mapTo(&form, rowA.center()));
    ASSERT_TRUE(form.ListMenu->isVisible());
    form.ListMenu->actions()[1]->trigger();
    ASSERT_TRUE(app->isBackFormLoaded());
    EXPECT_EQ(app->backForm().SubjectText->text(), QStringLiteral("Re:  件名A"));
    EXPECT_EQ(form.Text8->text(), QStringLiteral("件名A"));
}

}  // namespace
