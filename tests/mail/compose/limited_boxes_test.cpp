#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>

#include "compose/limited_line_box.h"
#include "compose/limited_text_box.h"

namespace {

// Drops `text` at the end of `target`, as dragging it there from another program does.
void dropAtEnd(QWidget* target, const QString& text) {
    QMimeData data;
    data.setText(text);
    const QPoint end(target->width() - 2, target->height() / 2);
    // The drop goes to the control that accepted the drag moving over it.
    QDragEnterEvent enter(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
}

void activate(QWidget& box) {
    box.show();
    box.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
    box.setFocus();
}

TEST(LimitedTextBox, TypingStopsAtTheLimitAlsoAfterALongerTextWasSet) {
    LimitedTextBox box(5);
    activate(box);
    box.SetText(QStringLiteral("abcdefg"));
    box.moveCursor(QTextCursor::End);
    QTest::keyClicks(&box, QStringLiteral("x"));
    EXPECT_EQ(box.Text(), QStringLiteral("abcdefg"));
    QTest::keyClick(&box, Qt::Key_Backspace);
    EXPECT_EQ(box.Text(), QStringLiteral("abcdef"));

    // A line end counts as two.
    box.SetText(QStringLiteral("ab"));
    box.moveCursor(QTextCursor::End);
    QTest::keyClick(&box, Qt::Key_Return);
    QTest::keyClicks(&box, QStringLiteral("cd"));
    EXPECT_EQ(box.Text(), QStringLiteral("ab\r\nc"));
}

TEST(LimitedTextBox, ASelectedLineBreakMakesRoomForTwo) {
    LimitedTextBox box(5);
    activate(box);
    QTest::keyClicks(&box, QStringLiteral("a"));
    QTest::keyClick(&box, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(&box, QStringLiteral("bc"));
    ASSERT_EQ(box.Text(), QStringLiteral("a\r\nbc"));
    QApplication::clipboard()->setText(QStringLiteral("12345"));
    QTest::keyClick(&box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box.Text(), QStringLiteral("12345"));
}

TEST(LimitedBoxes, ADropIsCutToFit) {
    LimitedLineBox line(5);
    line.setText(QStringLiteral("abc"));
    line.show();
    dropAtEnd(&line, QStringLiteral("12345"));
    EXPECT_EQ(line.text(), QStringLiteral("abc12"));
    dropAtEnd(&line, QStringLiteral("6"));
    EXPECT_EQ(line.text(), QStringLiteral("abc12"));

    LimitedTextBox text(5);
    text.SetText(QStringLiteral("abc"));
    text.show();
    dropAtEnd(text.viewport(), QStringLiteral("12345"));
    EXPECT_EQ(text.Text(), QStringLiteral("abc12"));
}

}  // namespace
