#include "text_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "cp932.h"

std::optional<QString> readTextFile(const QString& path, QString* error) {
    if (QFileInfo(path).isDir()) {
        *error = QStringLiteral("フォルダは開けません。");
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = file.errorString();
        return std::nullopt;
    }
    return decodeCp932(bytes);
}

bool writeTextFile(const QString& path, const QString& text, QString* error) {
    QString crlf = text;
    crlf.replace(u'\n', QStringLiteral("\r\n"));
    QSaveFile file(path);
    // A folder that refuses new files may still hold a writable file of that name.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly) || file.write(encodeCp932(crlf)) < 0 || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}
