#pragma once

#include <QLineEdit>

// A line box in which the user can have at most a given number of characters. Like a
// Windows edit control's limit, it cuts typing, pasting and input-method text to fit and
// stops typing at the limit, also when the program has set a longer text; setText itself
// is never cut (QLineEdit::setMaxLength would cut it).
class LimitedLineBox : public QLineEdit {
    Q_OBJECT

  public:
    LimitedLineBox(int maxLength, QWidget* parent = nullptr);

    int limit() const { return limit_; }
    // Pastes as much of the clipboard's text as fits.
    void pasteFitted();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    // Characters the user may still add in place of the selection.
    qsizetype room() const;
    // Characters an input method's commit replaces besides the selection (reconversion).
    qsizetype replacedLength(const QInputMethodEvent& event) const;

    int limit_;
};
