#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "limited_line_box.h"
#include "limited_text_box.h"

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

QString lineText(QWidget& box) {
    return static_cast<QLineEdit&>(box).text();
}
QString plainText(QWidget& box) {
    return static_cast<LimitedTextBox&>(box).Text();
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

}  // namespace
