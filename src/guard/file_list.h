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

  private:
    QString path_;
};
