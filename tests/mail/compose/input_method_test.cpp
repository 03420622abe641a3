#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QTest>

#include "compose/limited_line_box.h"
#include "compose/limited_text_box.h"

namespace {

void activate(QWidget& box) {
    box.resize(240, 60);
    box.show();
    box.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
    box.setFocus();
}

// Sends what an input method sends to the focused box while the user composes.
void preedit(const QString& text) {
    QList<QInputMethodEvent::Attribute> attributes{
        {QInputMethodEvent::Cursor, static_cast<int>(text.size()), 1}};
    QInputMethodEvent event(text, attributes);
    QApplication::sendEvent(QApplication::focusWidget(), &event);
}

void commit(const QString& text, int replacementStart = 0, int replacementLength = 0) {
    QInputMethodEvent event;
    event.setCommitString(text, replacementStart, replacementLength);
    QApplication::sendEvent(QApplication::focusWidget(), &event);
}

TEST(InputMethod, ACommitIsCutToTheRoomLeftWhilePreeditIsNotCounted) {
    LimitedLineBox line(5);
    activate(line);
    line.setText(QStringLiteral("abc"));
    preedit(QStringLiteral("にほんご"));
    commit(QStringLiteral("日本語"));
    EXPECT_EQ(line.text(), QStringLiteral("abc日本"));

    LimitedTextBox text(5);
    activate(text);
    text.SetText(QStringLiteral("a"));
    text.moveCursor(QTextCursor::End);
    preedit(QStringLiteral("にほんごにほんご"));
    commit(QStringLiteral("日本語"));
    EXPECT_EQ(text.Text(), QStringLiteral("a日本語"));
    preedit(QStringLiteral("にほんご"));
    commit(QStringLiteral("日本語"));
    EXPECT_EQ(text.Text(), QStringLiteral("a日本語日"));
}

// Reconversion: the input method replaces text before the cursor with what it commits.
TEST(InputMethod, AReplacingCommitAtTheLimitKeepsTheTextItReplaces) {
    LimitedLineBox line(5);
    activate(line);
    line.setText(QStringLiteral("abにほ"));
    commit(QStringLiteral("日本"), -2, 2);
    EXPECT_EQ(line.text(), QStringLiteral("ab日本"));
    commit(QStringLiteral("日本語"), -2, 2);
    EXPECT_EQ(line.text(), QStringLiteral("ab日本語"));

    LimitedTextBox text(5);
    activate(text);
    text.SetText(QStringLiteral("a\nにほ"));
    text.moveCursor(QTextCursor::End);
    commit(QStringLiteral("日本語"), -2, 2);
    EXPECT_EQ(text.Text(), QStringLiteral("a\r\n日本"));
}

// A multi-line commit (e.g. from the input method's clipboard history) is counted as it
// lands: each line end, CR LF or a lone CR, is one break of two characters.
TEST(InputMethod, ACommittedLineEndCountsAsTheBreakItBecomes) {
    LimitedTextBox crlf(5);
    activate(crlf);
    commit(QStringLiteral("a\r\nbc"));
    EXPECT_EQ(crlf.Text(), QStringLiteral("a\r\nbc"));

    LimitedTextBox cr(4);
    activate(cr);
    commit(QStringLiteral("ab\rcd"));
    EXPECT_EQ(cr.Text(), QStringLiteral("ab\r\n"));
}

// A full box still shows the whole preedit in place: the cursor stands after all of it.
TEST(InputMethod, AFullBoxShowsTheWholePreedit) {
    LimitedLineBox line(3);
    activate(line);
    line.setText(QStringLiteral("abc"));
    preedit(QStringLiteral("に"));
    const int afterOne = line.inputMethodQuery(Qt::ImCursorRectangle).toRect().x();
    preedit(QStringLiteral("にほんご"));
    EXPECT_GT(line.inputMethodQuery(Qt::ImCursorRectangle).toRect().x(), afterOne);

    LimitedTextBox text(3);
    activate(text);
    text.SetText(QStringLiteral("abc"));
    text.moveCursor(QTextCursor::End);
    preedit(QStringLiteral("に"));
    const int textAfterOne = text.inputMethodQuery(Qt::ImCursorRectangle).toRect().x();
    preedit(QStringLiteral("にほんご"));
    EXPECT_GT(text.inputMethodQuery(Qt::ImCursorRectangle).toRect().x(), textAfterOne);
}

}  // namespace
