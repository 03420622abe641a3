#include "link_target.h"

#include <QFileInfo>

QString linkTarget(const QString& path) {
    // Followed one link at a time, so that a target that does not exist yet is found too.
    constexpr int kMostLinks = 128;
    QFileInfo file(path);
    for (int links = 0; file.isSymLink(); ++links) {
        if (links == kMostLinks) {
            return path;
        }
        file.setFile(file.symLinkTarget());
    }
    return file.filePath();
}
