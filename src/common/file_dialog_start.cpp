#include "file_dialog_start.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool isFolder(const QString& path) {
    const QFileInfo info(path);
    return !path.isEmpty() && info.isAbsolute() && info.isDir();
}

bool namesFile(const QString& asked, FileDialogAsk ask) {
    return ask == FileDialogAsk::FolderOrProposedFile && !isFolder(asked) &&
           !QFileInfo(asked).fileName().isEmpty();
}

// The folder part of a start path, in a form that compares alike however it was written.
QString folderOf(const QString& asked, FileDialogAsk ask) {
    const QFileInfo info(asked);
    if (asked.isEmpty() || !info.isAbsolute()) {
        return {};
    }
    return QDir::cleanPath(namesFile(asked, ask) ? info.path() : asked);
}

}  // namespace

QString fileDialogStart(FileDialogMemory& memory, const QString& asked, FileDialogAsk ask) {
    const QString folder = folderOf(asked, ask);
    if (!memory.usualFolder) {
        memory.usualFolder = folder;
    }
    QString start;
    if (*memory.usualFolder == folder && isFolder(memory.lastFolder)) {
        start = memory.lastFolder;
    } else if (isFolder(folder)) {
        start = folder;
    } else {
        start = QDir::homePath();
    }
    return namesFile(asked, ask) ? QDir(start).filePath(QFileInfo(asked).fileName()) : start;
}

void rememberFileDialogChoice(FileDialogMemory& memory, const QString& chosenFile) {
    if (!chosenFile.isEmpty()) {
        memory.lastFolder = QFileInfo(chosenFile).absolutePath();
    }
}
