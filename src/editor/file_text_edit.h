#pragma once

#include <QPlainTextEdit>

// A plain-text editor for a file's text (editor_text.h): a line break that is entered, pasted
// or dropped takes over the type of the text before it, as typed text does, but never the mark
// that keeps a file's own line break as it was written.
class FileTextEdit : public QPlainTextEdit {
    Q_OBJECT

  public:
    using QPlainTextEdit::QPlainTextEdit;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
};
