#include "extractor_fixtures.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include "cp932.h"
#include "temp_app_folder.h"

QString testArchive(const QString& name) {
    return QStringLiteral(EXTRACTOR_TEST_ARCHIVES "/") + name;
}

QString peerArchive(const QString& name) {
    return QStringLiteral(PEER_LHA_DIR "/") + name;
}

QString placeArchive(const TempAppFolder& folder, const QString& source, const QString& name) {
    const QString path = folder.file(name);
    QFile::remove(path);
    QFile::copy(source, path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

QByteArray extractCommand(const QString& archive, const QString& target, const QString& switches) {
    return encodeCp932(QStringLiteral("x %1 \"%2\" \"%3\"\\ *.*").arg(switches, archive, target));
}

QStringList treeOf(const QString& folder) {
    QStringList tree;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    const QDir base(folder);
    while (it.hasNext()) {
        it.next();
        const QString relative = base.relativeFilePath(it.filePath());
        tree.append(it.fileInfo().isDir() && !it.fileInfo().isSymLink() ? relative + u'/'
                                                                        : relative);
    }
    tree.sort();
    return tree;
}
