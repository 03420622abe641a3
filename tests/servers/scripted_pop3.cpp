#include "scripted_pop3.h"

#include <QDir>
#include <QFile>

ScriptedPop3::ScriptedPop3(const Options& options) {
    QDir(dir_.path()).mkpath(QStringLiteral("mail"));
    QStringList arguments{QStringLiteral(SCRIPTED_POP3_SCRIPT), QStringLiteral("--dir"),
                          dir_.path()};
    if (!options.fault.isEmpty()) {
        arguments << QStringLiteral("--fault") << options.fault;
    }
    if (!options.uidl) {
        arguments << QStringLiteral("--no-uidl");
    }
    if (options.pipelining) {
        arguments << QStringLiteral("--pipelining");
    }
    if (options.stallQuitSeconds > 0) {
        arguments << QStringLiteral("--stall-quit") << QString::number(options.stallQuitSeconds);
    }
    process_.setStandardErrorFile(dir_.filePath(QStringLiteral("server.log")));
    process_.start(QStringLiteral("/usr/bin/python3"), arguments);
    if (process_.waitForStarted(10000) && process_.waitForReadyRead(10000)) {
        port_ = process_.readLine().trimmed().toInt();
    }
}

ScriptedPop3::~ScriptedPop3() {
    process_.closeWriteChannel();
    if (!process_.waitForFinished(3000)) {
        process_.kill();
        process_.waitForFinished(3000);
    }
}

void ScriptedPop3::addMail(const QByteArray& mail) {
    addMail(mail, ++added_);
}

void ScriptedPop3::addMail(const QByteArray& mail, int number) {
    QFile file(dir_.filePath(QStringLiteral("mail/%1.eml").arg(number, 6, 10, QChar(u'0'))));
    file.open(QIODevice::WriteOnly);
    file.write(mail);
}

QList<QByteArray> ScriptedPop3::mails() const {
    QList<QByteArray> held;
    const QDir box(dir_.filePath(QStringLiteral("mail")));
    for (const QString& name : box.entryList({QStringLiteral("*.eml")}, QDir::Files, QDir::Name)) {
        QFile file(box.filePath(name));
        file.open(QIODevice::ReadOnly);
        held.append(file.readAll());
    }
    return held;
}

QList<QByteArray> ScriptedPop3::commands() const {
    QFile file(dir_.filePath(QStringLiteral("log")));
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
