#pragma once

#include <QMargins>
#include <QPointer>
#include <QSize>
#include <QWidget>

#include <functional>
#include <optional>

#include "show_in_place.h"

class QPushButton;
class QuillpostApp;

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

    // In every window Enter presses the push or tool button that has the focus, as in a
    // Windows dialog. This lets the push buttons take Enter themselves, and with the focus
    // elsewhere has Enter press `defaultButton` (none when null). Call once the buttons exist.
    void answerEnterWith(QPushButton* defaultButton);
    // Sizes the window so that it is `outer` in size with its frame, as Windows' Width and
    // Height measure a window. Before the window system has framed the window the frame is
    // unknown: the size is applied again as soon as the frame is there.
    void resizeOuter(QSize outer);
    // The same for a window whose size the user cannot change.
    void fixOuterSize(QSize outer);
    // Ctrl+Return (or Ctrl+Enter on the keypad) anywhere in the window sends, as in most
    // mail programs; `sendControl`'s tooltip names the keys.
    void sendOnCtrlReturn(QWidget* sendControl, const QString& help,
                          const std::function<void()>& send);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

    QuillpostApp& app_;

  private:
    void applyOuter(QSize outer, bool fixed);

    QPointer<QPushButton> defaultButton_;
    // The outer size asked for while the window had no frame yet.
    std::optional<QSize> outerAwaitingFrame_;
    bool outerFixed_ = false;
};
