#include "attachment_saving.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "safe_file_name.h"

namespace {

// Gives up numbering after this many names, which only a hostile flood of equal names or
// a folder we cannot write reaches.
constexpr int kMaxNumber = 10000;

}  // namespace

QString saveAttachment(const QString& folder, const QString& suggestedName,
                       const QByteArray& content, QString& error) {
    const QDir dir(folder);
    const QString name = safeFileName(suggestedName);
    for (int n = 1; n <= kMaxNumber; ++n) {
        const QString path = dir.filePath(n == 1 ? name : numberedFileName(name, n));
        QFile file(path);
        // NewOnly fails on any existing entry, links included, instead of replacing it.
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (file.write(content) != content.size() || !file.flush()) {
                error = file.errorString();
                file.close();
                QFile::remove(path);
                return {};
            }
            return path;
        }
        if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink()) {
            error = file.errorString();
            return {};
        }
    }
    error = QStringLiteral("too many files named %1").arg(name);
    return {};
}
