#include "file_list.h"

#include <QDir>

void FileList::setPath(const QString& path) {
    path_ = QDir::cleanPath(QDir(path).absolutePath());
    clear();
    addItems(QDir(path_).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase));
}
