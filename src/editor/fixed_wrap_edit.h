#pragma once

#include "file_text_edit.h"

// A plain-text editor whose lines break at a fixed width in pixels, whatever its own width.
// It lays out only the paragraphs it shows, so a long text opens, scrolls and shows a match
// near its end without laying out all the text before it. The text area is kept exactly as
// wide as the wrap width: in a wider editor the rest stays blank, in a narrower one the ends
// of the lines lie beyond its right edge.
class FixedWrapEdit : public FileTextEdit {
    Q_OBJECT

  public:
    explicit FixedWrapEdit(QWidget* parent = nullptr);

    int lineWrapColumnOrWidth() const { return wrapWidth_; }
    void setLineWrapColumnOrWidth(int pixels);

  protected:
    // Receives the resizes of the editor and of its text area alike.
    void resizeEvent(QResizeEvent* event) override;

  private:
    void fitTextAreaToWrapWidth();

    int wrapWidth_ = 0;
};
