#pragma once

#include <QListWidget>
#include <QString>

// The file list: the names of the files (not folders, not hidden ones) of one folder.
class FileList : public QListWidget {
    Q_OBJECT
  public:
    using QListWidget::QListWidget;

    const QString& path() const { return path_; }
    void setPath(const QString& path);

  signals:
    // The current file changed by a key (arrows, Page Up/Down, Home/End, a typed name).
    void movedByKey();
    // Enter or Return on the current file.
    void chosenByKey();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QString path_;
};
