#include "app_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "user_app_folder.h"

QString programFolder() {
    return QCoreApplication::applicationDirPath();
}

QString applicationFolder(QStringView subfolder) {
    const QString program = programFolder();
    const bool inSubfolder = !subfolder.isEmpty() && QFileInfo(program).fileName() == subfolder;
    const QString suite = inSubfolder ? QFileInfo(program).path() : program;
    if (!isInstalledFolder(suite)) {
        return program;
    }
    const QString user = userSuiteFolder();
    makeUserFolder(suite, user, QDir::homePath());
    return inSubfolder ? user + u'/' + subfolder.toString() : user;
}

namespace {

QString matchComponent(const QString& parent, const QString& name) {
    if (name == u"." || name == u"..") {
        return name;
    }
    if (QFileInfo::exists(parent + u'/' + name)) {
        return name;
    }
    const QStringList entries = QDir(parent).entryList(QDir::AllEntries | QDir::Hidden |
                                                       QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0) {
            return entry;
        }
    }
    return name;
}

}  // namespace

QString appPath(const QString& folder, QStringView literal) {
    QString path = folder;
    while (path.size() > 1 && path.endsWith(u'/')) {
        path.chop(1);
    }
    const auto parts = literal.split(u'\\', Qt::SkipEmptyParts);
    for (const auto& part : parts) {
        const QString component = matchComponent(path, part.toString());
        path += u'/' + component;
    }
    if (literal.endsWith(u'\\')) {
        path += u'/';
    }
    return QDir::toNativeSeparators(path);
}

QString programPath(const QString& folder, QStringView literal) {
#ifdef Q_OS_WIN
    return appPath(folder, literal);
#else
    QStringView name = literal;
    if (name.endsWith(u".exe", Qt::CaseInsensitive)) {
        name.chop(4);
    }
    return appPath(folder, name);
#endif
}
