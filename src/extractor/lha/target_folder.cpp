#include "target_folder.h"

#include <QFileInfo>
#include <QStringList>

#include <unistd.h>

#include "entry_path.h"

namespace {

bool isSeparator(QChar c) {
    return c == u'/' || c == u'\\';
}

}  // namespace

bool isSafeTarget(QStringView archive, QStringView target) {
    qsizetype nameStart = archive.size();
    while (nameStart > 0 && !isSeparator(archive.at(nameStart - 1))) {
        --nameStart;
    }
    const QStringView folder = archive.first(nameStart);
    if (!target.startsWith(folder)) {
        return false;
    }
    const std::optional<QStringList> below = safeEntryPath(target.sliced(folder.size()));
    if (!below || below->isEmpty()) {
        return false;
    }
    // Every folder on the way, as the target names it, is a real one.
    for (qsizetype i = folder.size() + 1; i <= target.size(); ++i) {
        if ((i == target.size() || isSeparator(target.at(i))) &&
            QFileInfo(target.first(i).toString()).isSymLink()) {
            return false;
        }
    }
    const QFileInfo existing(target.toString());
    return !existing.isDir() || existing.ownerId() == ::geteuid();
}
