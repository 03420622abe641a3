#include "scripted_pop3.h"

#include <QDir>
#include <QFile>

namespace {

QStringList serverArguments(const QString& folder, const ScriptedPop3::Options& options) {
    QStringList arguments{
        QStringLiteral("--dir"),       folder,
        QStringLiteral("--address"),   options.address,
        QStringLiteral("--stls-file"), QDir(folder).filePath(QStringLiteral("offer-stls"))};
    if (!options.fault.isEmpty()) {
        arguments << QStringLiteral("--fault") << options.fault;
    }
    if (!options.uidl) {
        arguments << QStringLiteral("--no-uidl");
    }
    if (options.apop) {
        arguments << QStringLiteral("--apop");
    }
    if (options.pipelining) {
        arguments << QStringLiteral("--pipelining");
    }
    if (options.stallQuitSeconds > 0) {
        arguments << QStringLiteral("--stall-quit") << QString::number(options.stallQuitSeconds);
    }
    return arguments;
}

QString preparedFolder(const QTemporaryDir& dir) {
    QDir(dir.path()).mkpath(QStringLiteral("mail"));
    return dir.path();
}

}  // namespace

ScriptedPop3::ScriptedPop3(const Options& options)
    : address_(options.address),
      process_(QStringLiteral(SCRIPTED_POP3_SCRIPT), serverArguments(preparedFolder(dir_), options),
               dir_.filePath(QStringLiteral("server.log"))) {}

void ScriptedPop3::offerStls(bool offer) {
    setFlagFile(dir_.filePath(QStringLiteral("offer-stls")), offer);
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
    return mailFilesIn(dir_.filePath(QStringLiteral("mail")));
}

QList<QByteArray> ScriptedPop3::commands() const {
    return loggedLines(dir_.filePath(QStringLiteral("log")));
}
