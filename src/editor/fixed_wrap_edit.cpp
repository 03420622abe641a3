#include "fixed_wrap_edit.h"

FixedWrapEdit::FixedWrapEdit(QWidget* parent) : FileTextEdit(parent) {
    // The blank beside a narrow text area looks like the text area.
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void FixedWrapEdit::setLineWrapColumnOrWidth(int pixels) {
    wrapWidth_ = pixels;
    fitTextAreaToWrapWidth();
}

void FixedWrapEdit::resizeEvent(QResizeEvent* event) {
    fitTextAreaToWrapWidth();
    FileTextEdit::resizeEvent(event);
}

// The editor wraps at the width of its text area, so the text area's right margin takes up
// the difference (negative when the editor is narrower than the wrap width).
void FixedWrapEdit::fitTextAreaToWrapWidth() {
    if (wrapWidth_ <= 0) {
        return;
    }
    const QMargins margins = viewportMargins();
    const int available = viewport()->width() + margins.right();
    const int right = available - wrapWidth_;
    if (right != margins.right()) {
        setViewportMargins(0, 0, right, 0);
    }
}
