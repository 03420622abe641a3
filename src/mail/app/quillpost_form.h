#pragma once

#include <QWidget>

class QuillpostApp;

// A window of Quillpost. The application object creates it on first use; closing it
// unloads it: the application object forgets it and it is deleted.
class QuillpostForm : public QWidget {
    Q_OBJECT

  public:
    explicit QuillpostForm(QuillpostApp& app);

    // Closes and deletes the window, as the close box does.
    void Unload() { close(); }

  protected:
    void closeEvent(QCloseEvent* event) override;

    QuillpostApp& app_;
};
