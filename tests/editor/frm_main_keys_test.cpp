#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QTest>

#include "editor_fixture.h"

namespace {

// The menus and file commands through real key presses in the editor, as a user without a
// mouse reaches them.
class NotepaneKeys : public EditorTest {
  protected:
    void SetUp() override {
        window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
        window().rtfEd->setFocus();
    }
    static QWidget* popup() { return QApplication::activePopupWidget(); }
    void closePopups() {
        while (popup() != nullptr) {
            popup()->close();
        }
    }
};

TEST_F(NotepaneKeys, AltLettersAndF10OpenTheMenusWithoutTypingIntoTheText) {
    const struct {
        QKeyCombination keys;
        QMenu* menu;
    } cases[] = {
        {Qt::AltModifier | Qt::Key_F, window().mnuFile},
        {Qt::AltModifier | Qt::Key_E, window().mnuEdit},
        {QKeyCombination(Qt::Key_F10), window().mnuFile},
    };
    for (const auto& c : cases) {
        QTest::keyClick(window().rtfEd, c.keys.key(), c.keys.keyboardModifiers());
        EXPECT_EQ(popup(), c.menu) << QKeySequence(c.keys).toString().toStdString();
        closePopups();
    }
    EXPECT_TRUE(window().rtfEd->toPlainText().isEmpty());
}

TEST_F(NotepaneKeys, AMenuItemsLetterRunsIt) {
    QTest::keyClicks(window().rtfEd, QStringLiteral("abc"));
    QTest::keyClick(window().rtfEd, Qt::Key_E, Qt::AltModifier);
    ASSERT_EQ(popup(), window().mnuEdit);
    QTest::keyClick(popup(), Qt::Key_H);
    EXPECT_EQ(popup(), nullptr);
    EXPECT_EQ(window().rtfEd->textCursor().position(), 0);
}

TEST_F(NotepaneKeys, CtrlOOpensAndCtrlSOverwrites) {
    folder.write(QStringLiteral("a.txt"), "old");
    desktop.fileNames = {folder.file(QStringLiteral("a.txt"))};
    QTest::keyClick(window().rtfEd, Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(window().rtfEd->toPlainText(), QStringLiteral("old"));
    QTest::keyClick(window().rtfEd, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(window().rtfEd, QStringLiteral(" new"));
    QTest::keyClick(window().rtfEd, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(folder.read(QStringLiteral("a.txt")), QByteArray("old new"));
    EXPECT_FALSE(window().rtfEd->document()->isModified());
    EXPECT_TRUE(desktop.messages.isEmpty());
}

}  // namespace
