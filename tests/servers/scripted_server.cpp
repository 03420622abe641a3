#include "scripted_server.h"

#include <QDir>
#include <QFile>

ScriptedServerProcess::ScriptedServerProcess(const QString& script, const QStringList& arguments,
                                             const QString& errorLog) {
    process_.setStandardErrorFile(errorLog);
    // -B: no bytecode cache is left in the source folder.
    process_.start(QStringLiteral("/usr/bin/python3"),
                   QStringList{QStringLiteral("-B"), script} + arguments);
    if (process_.waitForStarted(10000) && process_.waitForReadyRead(10000)) {
        port_ = process_.readLine().trimmed().toInt();
    }
}

ScriptedServerProcess::~ScriptedServerProcess() {
    process_.closeWriteChannel();
    if (!process_.waitForFinished(3000)) {
        process_.kill();
        process_.waitForFinished(3000);
    }
}

void setFlagFile(const QString& path, bool on) {
    if (on) {
        QFile(path).open(QIODevice::WriteOnly);
    } else {
        QFile::remove(path);
    }
}

QList<QByteArray> loggedLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QList<QByteArray> lines = file.readAll().split('\n');
    lines.removeAll(QByteArray());
    for (QByteArray& line : lines) {
        line = line.trimmed();
    }
    return lines;
}

QList<QByteArray> mailFilesIn(const QString& folder) {
    QList<QByteArray> held;
    const QDir box(folder);
    for (const QString& name : box.entryList({QStringLiteral("*.eml")}, QDir::Files, QDir::Name)) {
        QFile file(box.filePath(name));
        file.open(QIODevice::ReadOnly);
        held.append(file.readAll());
    }
    return held;
}
