#include "mail_servers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>

#include <algorithm>
#include <chrono>

#include <signal.h>
#include <unistd.h>

MailServers::MailServers() : MailServers(Options{}) {}

MailServers::MailServers(const Options& options) {
    QStringList arguments{QStringLiteral(MAIL_SERVERS_SCRIPT), QStringLiteral("run"),
                          QStringLiteral("--dir"), dir_.path()};
    for (const QString& user : options.users) {
        arguments << QStringLiteral("--user") << user;
    }
    if (options.smtpAuth) {
        arguments << QStringLiteral("--smtp-auth");
    }
    if (!options.certificateName.isEmpty()) {
        arguments << QStringLiteral("--cert-name") << options.certificateName;
    }
    if (options.pop3Stls) {
        arguments << QStringLiteral("--pop3-stls");
    }
    if (options.pop3TlsRequired) {
        arguments << QStringLiteral("--pop3-tls-required");
    }
    if (options.smtpSizeLimit > 0) {
        arguments << QStringLiteral("--smtp-size-limit") << QString::number(options.smtpSizeLimit);
    }
    // Debian's aiosmtpd is importable only by the system interpreter.
    supervisor_.setStandardErrorFile(dir_.filePath(QStringLiteral("supervisor.log")));
    supervisor_.start(QStringLiteral("/usr/bin/python3"), arguments);
    if (!supervisor_.waitForStarted(10000)) {
        error_ = QStringLiteral("cannot start /usr/bin/python3: ") + supervisor_.errorString();
        return;
    }
    QByteArray line;
    while (!line.endsWith('\n') && supervisor_.state() == QProcess::Running &&
           supervisor_.waitForReadyRead(30000)) {
        line += supervisor_.readAllStandardOutput();
    }
    const QJsonObject ports = QJsonDocument::fromJson(line).object();
    if (ports.isEmpty()) {
        QFile log(dir_.filePath(QStringLiteral("supervisor.log")));
        log.open(QIODevice::ReadOnly);
        error_ = QStringLiteral("mail servers did not start: ") + QString::fromUtf8(log.readAll());
        return;
    }
    pop3Address_ = ports.value("pop3_address").toString();
    pop3sAddress_ = ports.value("pop3s_address").toString();
    pop3Port_ = ports.value("pop3").toInt();
    pop3sPort_ = ports.value("pop3s").toInt();
    smtpPort_ = ports.value("smtp").toInt();
    smtpsPort_ = ports.value("smtps").toInt();
    submissionPort_ = ports.value("submission").toInt();
    refusedTlsSmtpPort_ = ports.value("smtp_refused_tls").toInt();
    dovecotPid_ = ports.value("dovecot_pid").toInteger();
    uid_ = static_cast<uint>(ports.value("uid").toInt());
    gid_ = static_cast<uint>(ports.value("gid").toInt());
    caFile_ = ports.value("ca").toString();
    maildirRoot_ = ports.value("maildir_root").toString();
    started_ = true;
}

MailServers::~MailServers() {
    if (supervisor_.state() != QProcess::NotRunning) {
        supervisor_.closeWriteChannel();
        if (!supervisor_.waitForFinished(10000)) {
            supervisor_.kill();
            supervisor_.waitForFinished(2000);
        }
    }
    // A supervisor that could not clean up must not leave Dovecot behind.
    if (dovecotPid_ > 0 && ::kill(static_cast<pid_t>(dovecotPid_), 0) == 0) {
        ::kill(-static_cast<pid_t>(dovecotPid_), SIGKILL);
    }
}

QString MailServers::pop3Host() const {
    return QStringLiteral("%1:%2").arg(pop3Address_).arg(pop3Port_);
}

QString MailServers::pop3sHost() const {
    return QStringLiteral("pop3s://%1:%2").arg(pop3sAddress_).arg(pop3sPort_);
}

QString MailServers::smtpHost() const {
    return QStringLiteral("127.0.0.1:%1").arg(smtpPort_);
}

QString MailServers::smtpsHost() const {
    return QStringLiteral("smtps://127.0.0.1:%1").arg(smtpsPort_);
}

QString MailServers::submissionHost() const {
    return QStringLiteral("127.0.0.1:%1").arg(submissionPort_);
}

QString MailServers::refusedTlsSmtpHost() const {
    return QStringLiteral("127.0.0.1:%1").arg(refusedTlsSmtpPort_);
}

QString MailServers::maildir(const QString& user) const {
    return maildirRoot_ + u'/' + user + QStringLiteral("/Maildir");
}

void MailServers::deliver(const QString& user, const QByteArray& mail) const {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const QString name = QStringLiteral("%1.%2.test")
                             .arg(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count())
                             .arg(QUuid::createUuid().toString(QUuid::Id128));
    const QString temp = maildir(user) + QStringLiteral("/tmp/") + name;
    QFile file(temp);
    if (!file.open(QIODevice::WriteOnly) || file.write(mail) != mail.size()) {
        return;
    }
    file.close();
    // Dovecot reads mail as an unprivileged user.
    if (::chown(QFile::encodeName(temp).constData(), uid_, gid_) != 0) {
        return;
    }
    QFile::rename(temp, maildir(user) + QStringLiteral("/new/") + name);
}

QList<QByteArray> MailServers::mailbox(const QString& user) const {
    QFileInfoList files;
    for (const char* sub : {"/new", "/cur"}) {
        files += QDir(maildir(user) + QLatin1String(sub)).entryInfoList(QDir::Files);
    }
    // Maildir names begin with the delivery time.
    std::sort(files.begin(), files.end(),
              [](const QFileInfo& a, const QFileInfo& b) { return a.fileName() < b.fileName(); });
    QList<QByteArray> mails;
    for (const QFileInfo& info : files) {
        QFile file(info.filePath());
        if (file.open(QIODevice::ReadOnly)) {
            mails.append(file.readAll());
        }
    }
    return mails;
}
