#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPageRanges>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextCursor>

#include "editor_fixture.h"
#include "fixed_wrap_edit.h"
#include "text_printing.h"

namespace {

using NotepaneEdit = EditorTest;

QString clipboardText() {
    return QGuiApplication::clipboard()->text();
}

TEST_F(NotepaneEdit, CopyLeavesTheCaretAfterTheCopiedTextOrEmptiesTheClipboard) {
    setText(QStringLiteral("一行目\n二行目"));
    select(2, 3);
    window().mnuCopy_Click();
    EXPECT_EQ(clipboardText(), QStringLiteral("目\n二"));
    EXPECT_FALSE(window().rtfEd->textCursor().hasSelection());
    EXPECT_EQ(window().rtfEd->textCursor().position(), 5);

    select(1, 0);
    window().tbToolBar_ButtonClick(QStringLiteral("Copy"));
    EXPECT_EQ(clipboardText(), QString());
    EXPECT_EQ(window().rtfEd->textCursor().position(), 1);
    EXPECT_EQ(window().rtfEd->toPlainText(), QStringLiteral("一行目\n二行目"));
}

TEST_F(NotepaneEdit, CutMovesTheSelectionToTheClipboardAndUndoBringsItBack) {
    setText(QStringLiteral("abcdef"));
    select(1, 3);
    window().mnuCut_Click();
    EXPECT_EQ(clipboardText(), QStringLiteral("bcd"));
    EXPECT_EQ(window().rtfEd->toPlainText(), QStringLiteral("aef"));
    window().mnuUndo_Click();
    EXPECT_EQ(window().rtfEd->toPlainText(), QStringLiteral("abcdef"));
}

TEST_F(NotepaneEdit, PasteTrimsSpacesAtBothEndsOnlyAndReplacesTheSelection) {
    QGuiApplication::clipboard()->setText(QStringLiteral("  word  "));
    window().tbToolBar_ButtonClick(QStringLiteral("Paste"));
    EXPECT_EQ(window().rtfEd->toPlainText(), QStringLiteral("word"));

    QGuiApplication::clipboard()->setText(QStringLiteral("\r\n  件名\t本文 \r\n  "));
    select(1, 2);
    window().mnuPaste_Click();
    EXPECT_EQ(window().rtfEd->toPlainText(), QStringLiteral("w\n  件名\t本文 \nd"));
    EXPECT_TRUE(window().modified);
}

class NotepaneSearch : public EditorTest {
  protected:
    QPair<int, int> selection() {
        const QTextCursor cursor = window().rtfEd->textCursor();
        return {cursor.selectionStart(), cursor.selectionEnd()};
    }
};

TEST_F(NotepaneSearch, FindNextWalksTheMatchesThenRestartsAfterTheWordsLength) {
    setText(QStringLiteral("猫と犬\nと猫"));
    window().Text1->setText(QStringLiteral("猫"));
    window().mnukensaku_Click();
    EXPECT_EQ(window().lastMatchPosition, 1);
    EXPECT_EQ(selection(), qMakePair(0, 1));
    window().mnutugiken_Click();
    EXPECT_EQ(window().lastMatchPosition, 6);
    EXPECT_EQ(selection(), qMakePair(5, 6));
    window().mnutugiken_Click();
    EXPECT_EQ(window().lastMatchPosition, 0);
    EXPECT_EQ(selection(), qMakePair(5, 6));
    window().mnutugiken_Click();
    EXPECT_EQ(window().lastMatchPosition, 1);

    // A two-character word skips the first match after a failure.
    setText(QStringLiteral("abab ab"));
    window().Text1->setText(QStringLiteral("ab"));
    window().lastMatchPosition = 0;
    window().mnutugiken_Click();
    EXPECT_EQ(window().lastMatchPosition, 3);
    window().mnutugiken_Click();
    EXPECT_EQ(window().lastMatchPosition, 6);
}

TEST_F(NotepaneSearch, IsExactAndAnEmptyBoxFindsNothing) {
    setText(QStringLiteral("ABC ａｂｃ abc"));
    window().Text1->setText(QStringLiteral("abc"));
    window().mnukensaku_Click();
    EXPECT_EQ(window().lastMatchPosition, 9);
    window().Text1->setText(QStringLiteral("Abc"));
    window().mnukensaku_Click();
    EXPECT_EQ(window().lastMatchPosition, 0);
    window().Text1->clear();
    window().mnukensaku_Click();
    EXPECT_EQ(window().lastMatchPosition, 0);
    window().mnutugiken_Click();
    EXPECT_EQ(window().lastMatchPosition, 0);
}

TEST_F(NotepaneSearch, FindsMatchesBeyondPosition32767) {
    setText(QString(40000, u'x') + QStringLiteral("終わり") + QString(10, u'x') +
            QStringLiteral("終わり"));
    window().Text1->setText(QStringLiteral("終わり"));
    window().mnukensaku_Click();
    EXPECT_EQ(window().lastMatchPosition, 40001);
    EXPECT_EQ(selection(), qMakePair(40000, 40003));
    window().mnutugiken_Click();
    EXPECT_EQ(window().lastMatchPosition, 40014);
}

TEST_F(NotepaneSearch, AMatchNearTheEndOfALongTextIsScrolledIntoView) {
    setText(QStringLiteral("長いメールの本文の行です。\n").repeated(20000) +
            QStringLiteral("目標"));
    window().Text1->setText(QStringLiteral("目標"));
    window().mnukensaku_Click();
    QCoreApplication::processEvents();
    EXPECT_GT(window().rtfEd->verticalScrollBar()->value(), 0);
    EXPECT_TRUE(window().rtfEd->viewport()->rect().contains(window().rtfEd->cursorRect()));
}

TEST_F(NotepaneEdit, StyleButtonsAlternateOnTheWholeFontEachWithItsOwnCounter) {
    setText(QStringLiteral("本文"));
    window().modified = false;
    window().tbToolBar_ButtonClick(QStringLiteral("Bold"));
    EXPECT_TRUE(window().rtfEd->font().bold());
    EXPECT_TRUE(window().rtfEd->document()->defaultFont().bold());
    window().tbToolBar_ButtonClick(QStringLiteral("Italic"));
    window().tbToolBar_ButtonClick(QStringLiteral("Bold"));
    EXPECT_FALSE(window().rtfEd->font().bold());
    EXPECT_TRUE(window().rtfEd->font().italic());
    window().tbToolBar_ButtonClick(QStringLiteral("Bold"));
    window().tbToolBar_ButtonClick(QStringLiteral("Underline"));
    EXPECT_TRUE(window().rtfEd->font().bold());
    EXPECT_TRUE(window().rtfEd->font().underline());
    EXPECT_EQ(window().boldCount, 1);
    EXPECT_EQ(window().italicCount, 1);
    EXPECT_FALSE(window().modified);
}

class NotepanePrinting : public EditorTest {
  protected:
    static int pages(const QString& pdf) {
        QFile file(pdf);
        if (!file.open(QIODevice::ReadOnly)) {
            return -1;
        }
        return static_cast<int>(
            QString::fromLatin1(file.readAll())
                .count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))));
    }
    QString pdf(int copy) const {
        return copyFileName(folder.file(QStringLiteral("print.pdf")), copy);
    }
};

TEST_F(NotepanePrinting, TheSelectionOnlyAsManyJobsAsCopies) {
    setText(QStringLiteral("選んだ行\n") + QStringLiteral("長い本文の行\n").repeated(300));
    select(0, 4);
    desktop.printToPdf = pdf(1);
    desktop.printAnswer = {true, true, 2};
    window().tbToolBar_ButtonClick(QStringLiteral("Print"));
    EXPECT_EQ(desktop.printSelectionAvailable, QList<bool>{true});
    EXPECT_EQ(pages(pdf(1)), 1);
    EXPECT_EQ(pages(pdf(2)), 1);
    EXPECT_FALSE(QFile::exists(pdf(3)));

    // Without a selection (or with "all" chosen) the whole text is printed.
    select(0, 0);
    desktop.printAnswer = {true, false, 1};
    window().mnuPrint_Click();
    EXPECT_EQ(desktop.printSelectionAvailable.last(), false);
    EXPECT_GT(pages(pdf(1)), 3);
}

TEST_F(NotepanePrinting, OnlyThePagesChosenArePrinted) {
    setText(QStringLiteral("長い本文の行\n").repeated(300));
    desktop.printToPdf = pdf(1);
    desktop.printAnswer = {true, false, 1};
    desktop.printPages.addRange(2, 3);
    window().mnuPrint_Click();
    EXPECT_EQ(pages(pdf(1)), 2);

    // Pages 1 and 3 leave page 2 out.
    desktop.printPages.clear();
    desktop.printPages.addPage(1);
    desktop.printPages.addPage(3);
    window().mnuPrint_Click();
    EXPECT_EQ(pages(pdf(1)), 2);

    // Pages beyond the text print nothing (not even a blank sheet), and the user is told.
    QFile::remove(pdf(1));
    desktop.printPages.clear();
    desktop.printPages.addRange(90, 99);
    window().mnuPrint_Click();
    EXPECT_FALSE(QFile::exists(pdf(1)));
    EXPECT_EQ(desktop.messages.size(), 1);
}

TEST_F(NotepanePrinting, ACopyThePrinterDoesNotTakeIsReportedAndEndsThePrint) {
    setText(QStringLiteral("本文"));
    // The second copy's file cannot be written where a folder of its name stands.
    QDir(folder.path()).mkdir(QFileInfo(pdf(2)).fileName());
    const struct {
        QString pdf;
        int copies;
        int failedCopy;
    } cases[] = {{folder.file(QStringLiteral("no such folder/print.pdf")), 1, 1}, {pdf(1), 3, 2}};
    for (const auto& c : cases) {
        desktop.messages.clear();
        desktop.printToPdf = c.pdf;
        desktop.printAnswer = {true, false, c.copies};
        window().mnuPrint_Click();
        ASSERT_EQ(desktop.messages.size(), 1);
        EXPECT_EQ(desktop.messages[0].icon, Desktop::Icon::Exclamation);
        const QStringList lines = desktop.messages[0].text.split(u'\n');
        ASSERT_EQ(lines.size(), 2);
        EXPECT_TRUE(lines[0].startsWith(QStringLiteral("印刷できませんでした。")));
        EXPECT_TRUE(lines[1].startsWith(copyFileName(c.pdf, c.failedCopy) + QStringLiteral(" (")));
        EXPECT_TRUE(lines[1].contains(QString::number(c.failedCopy) + QStringLiteral(" 部目")));
    }
    EXPECT_EQ(pages(pdf(1)), 1);
    EXPECT_FALSE(QFile::exists(pdf(3)));
}

TEST(PagesToPrint, AreTheChosenOnesWithinTheTextOrAll) {
    QPageRanges chosen;
    EXPECT_EQ(pagesToPrint(chosen, 3), QList<int>({1, 2, 3}));
    chosen.addRange(2, 5);
    chosen.addPage(7);
    EXPECT_EQ(pagesToPrint(chosen, 6), QList<int>({2, 3, 4, 5}));
    EXPECT_TRUE(pagesToPrint(chosen, 1).isEmpty());
}

TEST_F(NotepanePrinting, CancelPrintsNothing) {
    setText(QStringLiteral("本文"));
    desktop.printToPdf = pdf(1);
    desktop.printAnswer = {false, false, 1};
    window().mnuPrint_Click();
    EXPECT_FALSE(QFile::exists(pdf(1)));
}

}  // namespace
