#pragma once

#include "app/text_box.h"

// A multi-line text box in which the user can type at most a given number of characters
// (a line end counts as CR LF, two). Like a Windows edit control's limit, it restrains
// typing, pasting and input-method text only; SetText from the program is not cut.
class LimitedTextBox : public TextBox {
    Q_OBJECT

  public:
    LimitedTextBox(int maxLength, QWidget* parent = nullptr);

    int maxLength() const { return maxLength_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

  private:
    // Characters the user may still add in place of the selection.
    qsizetype room() const;
    // Characters an input method's commit replaces besides the selection (reconversion),
    // each line end counted as two.
    qsizetype replacedLength(const QInputMethodEvent& event) const;
    // `text` cut so that it fits, counting each line end as two characters.
    QString fitted(const QString& text) const;

    int maxLength_;
};
