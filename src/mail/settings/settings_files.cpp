#include "settings/settings_files.h"

#include <QFile>
#include <QRegularExpression>

#include "app_folder.h"
#include "cp932.h"
#include "durable_file.h"
#include "private_profile.h"
#include "routines.h"

namespace {

constexpr char16_t kServerFile[] = u"\\qsmail.ini";
constexpr char16_t kAccountFile[] = u"\\★MailData\\iniIdPass.ini";
constexpr char16_t kColourFile[] = u"\\★MailData\\ini.ini";
constexpr char16_t kServerCopyFile[] = u"\\★MailData\\server-copies.ini";
const QString kServerCopySection = QStringLiteral("SERVER");
const QString kSection = QStringLiteral("EXEINI");

QString valueOf(const QString& line) {
    return line.mid(5, 100);
}

// One setting from a 256-character buffer read: at most 255 characters, empty by default.
QString readIniValue(const QString& path, const QString& key) {
    return GetPrivateProfileString(kSection, key, QString(), path);
}

}  // namespace

ServerSettings readServerSettings(const QString& folder) {
    ServerSettings settings;
    QFile file(appPath(folder, kServerFile));
    if (!file.open(QIODevice::ReadOnly)) {
        return settings;
    }
    const QString text = decodeCp932(file.readAll());
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    for (const QString& line : text.split(lineBreak)) {
        const QStringView key = QStringView(line).left(5);
        if (key == u"SMTP=") {
            settings.SmtpServer = valueOf(line);
        } else if (key == u"POP3=") {
            settings.Pop3Server = valueOf(line);
        } else if (key == u"MAIL=") {
            settings.MailAddress = valueOf(line);
        } else if (key == u"APOP=") {
            settings.ApopFlag = numericValue16(valueOf(line));
        }
    }
    return settings;
}

bool writeServerSettings(const QString& folder, const ServerSettings& settings, QString* reason) {
    const QString text =
        QStringLiteral("SMTP=%1\r\nPOP3=%2\r\nMAIL=%3\r\nAPOP= %4\r\n")
            .arg(settings.SmtpServer, settings.Pop3Server, settings.MailAddress,
                 settings.ApopFlag != 0 ? QStringLiteral("1") : QStringLiteral("0"));
    QString error;
    if (!writeFileDurably(appPath(folder, kServerFile), encodeCp932(text), error)) {
        if (reason != nullptr) {
            *reason = error;
        }
        return false;
    }
    return true;
}

AccountSettings readAccountSettings(const QString& folder) {
    const QString path = appPath(folder, kAccountFile);
    return {readIniValue(path, QStringLiteral("NAME")),
            readIniValue(path, QStringLiteral("NAME2"))};
}

bool writeAccountSettings(const QString& folder, const AccountSettings& account, bool save,
                          QString* reason) {
    const QString path = appPath(folder, kAccountFile);
    // The password is for its owner's eyes alone.
    constexpr FileAccess access = FileAccess::OwnerOnly;
    if (save) {
        return WritePrivateProfileStrings(kSection,
                                          {{QStringLiteral("NAME"), account.AccountId},
                                           {QStringLiteral("NAME2"), account.AccountPassword},
                                           {QStringLiteral("NAME3"), QStringLiteral("1")}},
                                          path, access, reason);
    }
    return WritePrivateProfileString(kSection, QStringLiteral("NAME3"), QStringLiteral("0"), path,
                                     access, reason);
}

ColourSettings readColourSettings(const QString& folder) {
    const QString path = appPath(folder, kColourFile);
    return {GetPrivateProfileInt(kSection, QStringLiteral("NUMBER"), 0, path),
            GetPrivateProfileInt(kSection, QStringLiteral("NUMBER2"), 0, path),
            GetPrivateProfileInt(kSection, QStringLiteral("NUMBER3"), 0, path)};
}

bool writeColourSettings(const QString& folder, const ColourSettings& colour, QString* reason) {
    return WritePrivateProfileStrings(kSection,
                                      {{QStringLiteral("NUMBER"), QString::number(colour.red)},
                                       {QStringLiteral("NUMBER2"), QString::number(colour.green)},
                                       {QStringLiteral("NUMBER3"), QString::number(colour.blue)}},
                                      appPath(folder, kColourFile), FileAccess::AsUsual, reason);
}

ServerCopySettings readServerCopySettings(const QString& folder) {
    const QString path = appPath(folder, kServerCopyFile);
    return {GetPrivateProfileInt(kServerCopySection, QStringLiteral("KEEP"), 0, path) != 0,
            qMax(0, GetPrivateProfileInt(kServerCopySection, QStringLiteral("DAYS"), 0, path))};
}

bool writeServerCopySettings(const QString& folder, const ServerCopySettings& settings,
                             QString* reason) {
    return WritePrivateProfileStrings(
        kServerCopySection,
        {{QStringLiteral("KEEP"), settings.keep ? QStringLiteral("1") : QStringLiteral("0")},
         {QStringLiteral("DAYS"), QString::number(settings.removeAfterDays)}},
        appPath(folder, kServerCopyFile), FileAccess::AsUsual, reason);
}
