#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QTest>

#include "editor_fixture.h"
#include "fixed_wrap_edit.h"

namespace {

using NotepaneLineBreaks = EditorTest;

QByteArray utf16le(const QString& text) {
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

QString manyLines(int count) {
    return QStringLiteral("行\r\n").repeated(count);
}

TEST_F(NotepaneLineBreaks, EachFileKeepsItsLineEndsAndItsOwnSeparatorsAndANewFileTakesCrLf) {
    struct Case {
        const char* name;
        QByteArray bytes;
        // What typing "x", Enter, "y" at the end adds, and the file's line end.
        QByteArray typed;
        QByteArray lineEnd;
    };
    const QString longText = manyLines(3000).replace(u'\r', QString()) +
                             QStringLiteral("a\u2028b\r\n").repeated(40) + manyLines(2000);
    const Case cases[] = {
        {"LF shell script in code page 932", "#!/bin/sh\necho \x82\xa0\n", "x\ny", "\n"},
        {"CR in code page 932", "a\rb\r", "x\ry", "\r"},
        {"UTF-8, LF with a stray CR LF", "a\nb\r\nc\n", "x\ny", "\n"},
        {"as many LF as CR LF: the first wins", "a\r\nb\nc", "x\r\ny", "\r\n"},
        {"one line", "abc", "x\r\ny", "\r\n"},
        {"UTF-8 with the file's own separators",
         QStringLiteral("一\u2028二\u2029三\uFDD0四\uFDD1五\r\n六\r\n").toUtf8(), "x\r\ny", "\r\n"},
        {"UTF-16 with separators and CR", "\xff\xfe" + utf16le(QStringLiteral("a\u2029b\rc\r")),
         utf16le(QStringLiteral("x\ry")), utf16le(QStringLiteral("\r"))},
        {"long UTF-8 with LF, CR LF and U+2028", "\xef\xbb\xbf" + longText.toUtf8(), "x\ny", "\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(folder.file(QStringLiteral("新規作成.TXT")));
        folder.write(QStringLiteral("file.txt"), c.bytes);
        desktop.fileNames = {folder.file(QStringLiteral("file.txt")),
                             folder.file(QStringLiteral("copy.txt"))};
        window().tbToolBar_ButtonClick(QStringLiteral("Open"));
        window().mnuUPdate_Click();
        EXPECT_EQ(folder.read(QStringLiteral("file.txt")), c.bytes);

        QTest::keyClick(window().rtfEd, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(window().rtfEd, QStringLiteral("x"));
        QTest::keyClick(window().rtfEd, Qt::Key_Return);
        QTest::keyClicks(window().rtfEd, QStringLiteral("y"));
        window().mnuUPdate_Click();
        const QByteArray expected = c.bytes + c.typed;
        EXPECT_EQ(folder.read(QStringLiteral("file.txt")), expected);
        window().mnuSaveAs_Click();
        EXPECT_EQ(folder.read(QStringLiteral("copy.txt")), expected + c.lineEnd);

        window().tbToolBar_ButtonClick(QStringLiteral("New"));
        QTest::keyClicks(window().rtfEd, QStringLiteral("n"));
        QTest::keyClick(window().rtfEd, Qt::Key_Return);
        window().mnuUPdate_Click();
        EXPECT_EQ(folder.read(QStringLiteral("新規作成.TXT")), QByteArray("n\r\n"));
        EXPECT_TRUE(desktop.messages.isEmpty());
    }
}

// The editor shows every break alike; typed, entered, pasted and undone text next to a file's
// own separators must neither take them over nor lose them. A long text holds most breaks as
// soft breaks inside a paragraph, a short one as paragraph ends: both are edited alike.
TEST_F(NotepaneLineBreaks, EditsNextToAFilesSeparatorsLeaveThemAsTheyWere) {
    for (const QString& before : {QString(), manyLines(5000)}) {
        SCOPED_TRACE(before.size());
        folder.write(QStringLiteral("file.txt"),
                     (before + QStringLiteral("1\u20282\u2029\u20293")).toUtf8());
        desktop.fileNames = {folder.file(QStringLiteral("file.txt"))};
        window().mnuOPen_Click();
        FixedWrapEdit* editor = window().rtfEd;
        const auto caretAt = [&](int position) {
            QTextCursor cursor = editor->textCursor();
            cursor.setPosition(before.size() - before.count(u'\r') + position);
            editor->setTextCursor(cursor);
        };

        caretAt(2);  // before "2"
        QTest::keyClick(editor, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(editor, QStringLiteral("a"));
        caretAt(7);  // before "3"
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
        caretAt(6);  // on the empty line
        QTest::keyClick(editor, Qt::Key_Return);
        QTest::keyClicks(editor, QStringLiteral("e"));
        caretAt(9);  // before "3"
        QGuiApplication::clipboard()->setText(QStringLiteral("p\u2028q"));
        QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
        window().mnuUPdate_Click();

        EXPECT_EQ(QString::fromUtf8(folder.read(QStringLiteral("file.txt"))),
                  before + QStringLiteral("1\u2028\r\na2\u2029\r\ne\u2029p\r\nq3"));
        EXPECT_TRUE(desktop.messages.isEmpty());
    }
}

}  // namespace
