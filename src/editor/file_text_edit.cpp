#include "file_text_edit.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>

// Qt's own Enter hands the whole format before the caret to the new paragraph; the cursor's
// insertBlock() leaves the mark behind, as typing does.
void FileTextEdit::keyPressEvent(QKeyEvent* event) {
    if (event != QKeySequence::InsertParagraphSeparator || isReadOnly()) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    QTextCursor cursor = textCursor();
    cursor.insertBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
    event->accept();
}

void FileTextEdit::insertFromMimeData(const QMimeData* source) {
    if (source->hasText()) {
        insertPlainText(source->text());
    }
    ensureCursorVisible();
}
