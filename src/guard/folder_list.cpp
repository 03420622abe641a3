#include "folder_list.h"

#include <QDir>
#include <QStyle>

namespace {

constexpr int kPathRole = Qt::UserRole;

}  // namespace

FolderList::FolderList(QWidget* parent) : QListWidget(parent) {
    connect(this, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { setPath(item->data(kPathRole).toString()); });
}

void FolderList::addFolderLine(const QString& path, const QString& label, int depth, bool open) {
    auto* item = new QListWidgetItem(
        style()->standardIcon(open ? QStyle::SP_DirOpenIcon : QStyle::SP_DirClosedIcon),
        QString(depth * 2, u' ') + label, this);
    item->setData(kPathRole, path);
}

void FolderList::setPath(const QString& path) {
    const QString folder = QDir::cleanPath(QDir(path).absolutePath());
    const bool changed = folder != path_;
    path_ = folder;
    clear();

    QStringList chain;
    for (QDir dir(folder);;) {
        chain.prepend(dir.absolutePath());
        if (!dir.cdUp()) {
            break;
        }
    }
    int depth = 0;
    for (const QString& ancestor : chain) {
        const QString name = QDir(ancestor).dirName();
        addFolderLine(ancestor, name.isEmpty() ? QDir::toNativeSeparators(ancestor) : name, depth++,
                      true);
    }
    setCurrentRow(count() - 1);
    const QDir current(folder);
    const QStringList subfolders =
        current.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : subfolders) {
        addFolderLine(current.filePath(name), name, depth, false);
    }
    if (changed) {
        emit pathChanged();
    }
}
