#include "created_folders.h"

#include <QDir>
#include <QFileInfo>

bool CreatedFolders::make(const QString& path) {
    QStringList missing;
    for (QString folder = QDir::cleanPath(path); !QFileInfo::exists(folder);
         folder = QFileInfo(folder).path()) {
        missing.prepend(folder);
        if (QFileInfo(folder).path() == folder) {
            break;
        }
    }
    for (const QString& folder : missing) {
        if (!QDir().mkdir(folder)) {
            return false;
        }
        made_.append(folder);
    }
    return QFileInfo(path).isDir();
}

void CreatedFolders::removeEmpty() const {
    for (auto it = made_.crbegin(); it != made_.crend(); ++it) {
        QDir().rmdir(*it);
    }
}
