#include "user_app_folder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "durable_file.h"

namespace {

bool isProgram(const QFileInfo& file) {
    return (file.permissions() & (QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther)) != 0 ||
           file.suffix() == u"so";
}

// A dangling link counts as present: it is the user's, and no file may replace it.
bool isPresent(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

bool addEntry(const QFileInfo& source, const QString& target) {
    if (isPresent(target)) {
        return true;
    }
    if (source.isDir()) {
        return QDir().mkpath(target);
    }
    if (!QDir().mkpath(QFileInfo(target).path())) {
        return false;
    }
    if (isProgram(source)) {
        return QFile::link(source.absoluteFilePath(), target);
    }
    // Whole or not at all: a cut copy would count as present and never be copied again.
    QByteArray bytes;
    QString error;
    return readWholeFile(source.absoluteFilePath(), bytes, error) &&
           writeFileDurably(target, bytes, error, FolderSync::Later);
}

}  // namespace

bool isInstalledFolder(const QString& suiteFolder) {
    const QDir folder(suiteFolder);
    return folder.exists(QString::fromLatin1(kInstalledMarker)) ||
           !QFileInfo(suiteFolder).isWritable();
}

QString userSuiteFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/quillpost");
}

bool fillUserFolder(const QString& installed, const QString& user) {
    // It holds the user's password and mail: no one else may even look inside, also where
    // an earlier version made it open to all.
    bool ok = QDir().mkpath(user) &&
              QFile::setPermissions(user, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QDir source(installed);
    // Folders come before what they hold; links found in the installed folder are not
    // followed, so nothing outside it is copied.
    QDirIterator entries(installed, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QFileInfo entry(entries.next());
        if (entry.isSymLink() || entry.fileName() == QString::fromLatin1(kInstalledMarker)) {
            continue;
        }
        ok = addEntry(entry, user + u'/' + source.relativeFilePath(entry.filePath())) && ok;
    }
    return ok;
}

bool makeUserFolder(const QString& installed, const QString& user, const QString& home) {
    const bool firstStart = !isPresent(user);
    const bool filled = fillUserFolder(installed, user);
    const QString link = home + u'/' + QString::fromUtf16(kAttachmentLinkName);
    if (firstStart && !isPresent(link)) {
        // Only a convenience: without it the folder is still found through the programs.
        QFile::link(user + QStringLiteral("/添付フォルダ"), link);
    }
    return filled;
}
