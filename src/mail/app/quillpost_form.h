#pragma once

#include <QMargins>
#include <QPointer>
#include <QSize>
#include <QWidget>

#include <functional>

class QPushButton;
class QuillpostApp;

// What the window system's frame adds around a window's client area on each side; none
// while the window has no frame (not yet shown, or a platform without decorations).
QMargins frameMargins(const QWidget& window);
// The client size that makes a window `outer` in size, frame included.
QSize clientSizeForOuter(QSize outer, QMargins frame);

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
    // Sizes the window so that it is `outer` in size with its frame, as Windows' Width and
    // Height measure a window.
    void resizeOuter(QSize outer);
    // Ctrl+Return (or Ctrl+Enter on the keypad) anywhere in the window sends, as in most
    // mail programs; `sendControl`'s tooltip names the keys.
    void sendOnCtrlReturn(QWidget* sendControl, const QString& help,
                          const std::function<void()>& send);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    QuillpostApp& app_;

  private:
    QPointer<QPushButton> defaultButton_;
};
