#include "file_list.h"

#include <QDir>
#include <QKeyEvent>

void FileList::setPath(const QString& path) {
    path_ = QDir::cleanPath(QDir(path).absolutePath());
    clear();
    addItems(QDir(path_).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase));
}

void FileList::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        currentItem() != nullptr) {
        emit chosenByKey();
        return;
    }
    const QListWidgetItem* before = currentItem();
    QListWidget::keyPressEvent(event);
    if (currentItem() != before && currentItem() != nullptr) {
        emit movedByKey();
    }
}
