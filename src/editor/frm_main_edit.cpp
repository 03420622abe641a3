// The editing commands: clipboard, undo, selection, jumps, search, print and type style.
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPrinter>
#include <QTextCursor>
#include <QTextDocumentFragment>

#include "desktop.h"
#include "fixed_wrap_edit.h"
#include "frm_main.h"
#include "routines.h"
#include "text_printing.h"
#include "text_search.h"

namespace {

// What failed and what to do, then where the copy was to go and how far the printing got.
QString printFailure(const QPrinter& printer, int failedCopy, int copies) {
    const QString fileName = printer.outputFileName();
    const QString target = fileName.isEmpty()
                               ? printer.printerName()
                               : QDir::toNativeSeparators(copyFileName(fileName, failedCopy));
    return QStringLiteral(
               "印刷できませんでした。プリンターの電源と用紙、または保存先のフォルダに書き込めるか"
               "を確かめて、もう一度印刷してください。\n%1 (%2 部のうち %3 部目を印刷できません"
               "でした)")
        .arg(target)
        .arg(copies)
        .arg(failedCopy);
}

}  // namespace

void frmMain::beginTextChange() {
    rtfEd->setUpdatesEnabled(false);
}

void frmMain::endTextChange() {
    rtfEd->setUpdatesEnabled(true);
    rtfEd->setFocus();
}

QString frmMain::selectedPlainText() const {
    return rtfEd->textCursor().selection().toPlainText();
}

void frmMain::Command2_Click() {
    mnuPaste_Click();
}

QTextCursor frmMain::selectionToClipboard() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    QTextCursor cursor = rtfEd->textCursor();
    if (cursor.hasSelection()) {
        clipboard->setText(selectedPlainText());
    }
    return cursor;
}

void frmMain::mnuCut_Click() {
    beginTextChange();
    QTextCursor cursor = selectionToClipboard();
    if (cursor.hasSelection()) {
        cursor.removeSelectedText();
        rtfEd->setTextCursor(cursor);
    }
    endTextChange();
}

// After a copy nothing stays selected and the caret stands after the copied text.
void frmMain::mnuCopy_Click() {
    beginTextChange();
    QTextCursor cursor = selectionToClipboard();
    if (cursor.hasSelection()) {
        cursor.setPosition(cursor.selectionEnd());
        rtfEd->setTextCursor(cursor);
    }
    endTextChange();
}

// Pasted text takes the editor's own type, whatever formatting the caret carried.
void frmMain::mnuPaste_Click() {
    rtfEd->setFocus();
    beginTextChange();
    QTextCursor cursor = rtfEd->textCursor();
    cursor.insertText(TrimSpaces(QGuiApplication::clipboard()->text()), QTextCharFormat());
    rtfEd->setTextCursor(cursor);
    endTextChange();
}

void frmMain::mnuUndo_Click() {
    rtfEd->undo();
}

void frmMain::mnuSelectAll_Click() {
    QTextCursor cursor = rtfEd->textCursor();
    cursor.setPosition(0);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    rtfEd->setTextCursor(cursor);
}

void frmMain::mnuJumpTop_Click() {
    rtfEd->moveCursor(QTextCursor::Start);
    rtfEd->setFocus();
}

void frmMain::mnuJumpTail_Click() {
    rtfEd->moveCursor(QTextCursor::End);
    rtfEd->setFocus();
}

void frmMain::selectMatch(int position, int length) {
    rtfEd->setFocus();
    QTextCursor cursor = rtfEd->textCursor();
    cursor.setPosition(position - 1);
    cursor.setPosition(position - 1 + length, QTextCursor::KeepAnchor);
    rtfEd->setTextCursor(cursor);
}

void frmMain::mnukensaku_Click() {
    const QString what = Text1->text();
    lastMatchPosition = findInDocument(*rtfEd->document(), what, 0) + 1;
    if (lastMatchPosition > 0) {
        selectMatch(lastMatchPosition, static_cast<int>(what.size()));
    }
}

// Searches on after the last match (or from the search text's length after a failure), so
// a match overlapping the previous one is skipped.
void frmMain::mnutugiken_Click() {
    const QString what = Text1->text();
    const int start = static_cast<int>(what.size()) + lastMatchPosition;
    lastMatchPosition = findInDocument(*rtfEd->document(), what, start - 1) + 1;
    if (lastMatchPosition > 0) {
        selectMatch(lastMatchPosition, static_cast<int>(what.size()));
    }
}

// With a selection, the dialog offers to print just that, and it is what the user gets
// unless they choose the whole text instead.
void frmMain::mnuPrint_Click() {
    QPrinter printer(QPrinter::HighResolution);
    const bool hasSelection = rtfEd->textCursor().hasSelection();
    const Desktop::PrintChoice choice = desktop_.print(this, printer, hasSelection);
    if (!choice.accepted) {
        return;
    }
    const QString text =
        hasSelection && choice.selectionOnly ? selectedPlainText() : rtfEd->toPlainText();
    const PrintOutcome outcome = printCopies(printer, text, rtfEd->font(), choice.copies);
    if (outcome.pages == 0) {
        desktop_.message(this,
                         QStringLiteral("選んだページはこの文書にありません。何も印刷していません。"
                                        "印刷するページの範囲を選び直してください。"),
                         QString(), Desktop::Buttons::Ok, Desktop::Icon::Exclamation);
    } else if (outcome.failedCopy > 0) {
        desktop_.message(this, printFailure(printer, outcome.failedCopy, choice.copies), QString(),
                         Desktop::Buttons::Ok, Desktop::Icon::Exclamation);
    }
}

// The styles apply to the editor's whole type; clicks alternate on, off, on, …
void frmMain::toggleStyle(qint16& counter, void (QFont::*setStyle)(bool)) {
    QFont font = rtfEd->font();
    if (counter % 2 == 0) {
        (font.*setStyle)(true);
        counter = 0;
    } else {
        (font.*setStyle)(false);
        counter = 1;
    }
    ++counter;
    rtfEd->setFont(font);
}
