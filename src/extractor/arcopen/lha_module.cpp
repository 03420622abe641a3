#include "lha_module.h"

#include <QFileInfo>
#include <QWidget>

#include "app_folder.h"
#include "cp932.h"

namespace {

// Room for a long path and its reason.
constexpr quint32 kOutputSize = 4096;

}  // namespace

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

qint32 LhaModule::Unlha(QWidget* owner, const QByteArray& commandLine, QString* detail) {
    // The handle only if the window already has one: asking for it would create it.
    void* handle = owner != nullptr ? reinterpret_cast<void*>(owner->internalWinId()) : nullptr;
    QByteArray output(kOutputSize, '\0');
    const qint32 result = unlha_(handle, commandLine.constData(), output.data(), kOutputSize);
    // The module writes "Error <code>: <detail>" after a failure.
    const QString words = decodeCp932(output.left(output.indexOf('\0')));
    const qsizetype colon = words.indexOf(QStringLiteral(": "));
    detail->clear();
    if (result != 0 && colon >= 0) {
        *detail = words.mid(colon + 2);
    }
    return result;
}
