#pragma once

#include <QPointer>
#include <QWidget>

class QPushButton;
class QuillpostApp;

// A window of Quillpost. The application object creates it on first use; closing it
// unloads it: the application object forgets it and it is deleted.
class QuillpostForm : public QWidget {
    Q_OBJECT

  public:
    explicit QuillpostForm(QuillpostApp& app);

    // Closes and deletes the window, as the close box does.
    void Unload() { close(); }

    // Enter presses the button that has the focus, as in a Windows dialog; with the focus
    // elsewhere it presses `defaultButton` (none when null). Call once the buttons exist.
    void answerEnterWith(QPushButton* defaultButton);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    QuillpostApp& app_;

  private:
    QPointer<QPushButton> defaultButton_;
};
