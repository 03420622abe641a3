#include "temp_app_folder.h"

#include <QDir>
#include <QFile>

TempAppFolder::TempAppFolder() : path_(dir_.path()) {
    QDir(path_).mkpath(QStringLiteral("★MailData"));
    QDir(path_).mkpath(QStringLiteral("添付フォルダ"));
}

QByteArray TempAppFolder::read(const QString& relative) const {
    QFile f(file(relative));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void TempAppFolder::write(const QString& relative, const QByteArray& bytes) const {
    QFile f(file(relative));
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        f.write(bytes);
    }
}
