#pragma once

#include <QPlainTextEdit>

// A multi-line text box whose text uses CR LF line ends, as the record files and the
// clipboard hand-over expect; Qt's editor itself works with LF.
class TextBox : public QPlainTextEdit {
    Q_OBJECT

  public:
    explicit TextBox(QWidget* parent = nullptr);

    QString Text() const;
    void SetText(const QString& text);

    // Tab and Shift+Tab move the focus on instead of typing; with `ctrlTabTypesTab` an
    // editable box still takes a tab character on Ctrl+Tab.
    void moveFocusOnTab(bool ctrlTabTypesTab);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    bool ctrlTabTypesTab_ = false;
};
