#pragma once

#include <QListWidget>
#include <QString>

// The folder list: the folders from the root down to the current one, then the current
// folder's subfolders. Activating a line (double click or Enter) makes it current.
class FolderList : public QListWidget {
    Q_OBJECT
  public:
    explicit FolderList(QWidget* parent = nullptr);

    const QString& path() const { return path_; }
    // Lists `path`; emits pathChanged when it differs from the current folder.
    void setPath(const QString& path);

  signals:
    void pathChanged();

  private:
    void addFolderLine(const QString& path, const QString& label, int depth, bool open);

    QString path_;
};
