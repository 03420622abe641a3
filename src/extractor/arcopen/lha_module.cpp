#include "lha_module.h"

#include <QFileInfo>
#include <QWidget>

#include "app_folder.h"

bool LhaModule::load(const QString& folder) {
    const QString fileName = QStringLiteral(LHA_MODULE_FILE_NAME);
    const QString beside = appPath(folder, QString(u'\\' + fileName));
    // A bare file name makes the loader search the library path itself.
    library_.setFileName(QFileInfo(beside).isFile() ? beside : fileName);
    if (!library_.load()) {
        return false;
    }
    unlha_ = reinterpret_cast<UnlhaFunction>(library_.resolve("Unlha"));
    return unlha_ != nullptr;
}

qint32 LhaModule::Unlha(QWidget* owner, const QByteArray& commandLine) {
    // The handle only if the window already has one: asking for it would create it.
    void* handle = owner != nullptr ? reinterpret_cast<void*>(owner->internalWinId()) : nullptr;
    return unlha_(handle, commandLine.constData(), nullptr, 0);
}
