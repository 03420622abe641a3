#include "volumes.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

QStringList mountedVolumeRoots() {
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && !roots.contains(volume.rootPath())) {
            roots.append(volume.rootPath());
        }
    }
    const QString root = QStorageInfo::root().rootPath();
    roots.removeAll(root);
    roots.sort(Qt::CaseInsensitive);
    roots.prepend(root);
    return roots;
}

bool isFolderReady(const QString& path) {
    const QFileInfo info(path);
    return QStorageInfo(path).isReady() && info.isDir() && info.isReadable() && info.isExecutable();
}
