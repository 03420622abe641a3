#include "scripted_smtp.h"

ScriptedSmtp::ScriptedSmtp(const QString& address)
    : address_(address),
      process_(QStringLiteral(SCRIPTED_SMTP_SCRIPT),
               {QStringLiteral("--dir"), dir_.path(), QStringLiteral("--address"), address,
                QStringLiteral("--starttls-file"), dir_.filePath(QStringLiteral("offer-starttls"))},
               dir_.filePath(QStringLiteral("server.log"))) {}

void ScriptedSmtp::offerStartTls(bool offer) {
    setFlagFile(dir_.filePath(QStringLiteral("offer-starttls")), offer);
}

QList<QByteArray> ScriptedSmtp::mails() const {
    return mailFilesIn(dir_.filePath(QStringLiteral("mail")));
}

QList<QByteArray> ScriptedSmtp::commands() const {
    return loggedLines(dir_.filePath(QStringLiteral("log")));
}
