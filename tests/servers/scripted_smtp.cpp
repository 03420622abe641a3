#include "scripted_smtp.h"

#include <QFile>

ScriptedSmtp::ScriptedSmtp(const QString& address)
    : address_(address),
      process_(QStringLiteral(SCRIPTED_SMTP_SCRIPT),
               {QStringLiteral("--dir"), dir_.path(), QStringLiteral("--address"), address,
                QStringLiteral("--starttls-file"), dir_.filePath(QStringLiteral("offer-starttls")),
                QStringLiteral("--fault-file"), dir_.filePath(QStringLiteral("fault"))},
               dir_.filePath(QStringLiteral("server.log"))) {}

void ScriptedSmtp::offerStartTls(bool offer) {
    setFlagFile(dir_.filePath(QStringLiteral("offer-starttls")), offer);
}

void ScriptedSmtp::makeFault(const QString& name) {
    QFile file(dir_.filePath(QStringLiteral("fault")));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(name.toUtf8());
    }
}

QList<QByteArray> ScriptedSmtp::mails() const {
    return mailFilesIn(dir_.filePath(QStringLiteral("mail")));
}

QList<QByteArray> ScriptedSmtp::commands() const {
    return loggedLines(dir_.filePath(QStringLiteral("log")));
}
