#include "transport/server_security.h"

#include <QByteArray>
#include <QList>

#include "app_folder.h"
#include "durable_file.h"

namespace {

constexpr char kTls[] = "tls";
constexpr char kClear[] = "clear";

struct Line {
    QByteArray service;
    QByteArray authority;
    QByteArray state;
};

Line readLine(const QByteArray& text) {
    const QList<QByteArray> fields = text.simplified().split(' ');
    return fields.size() == 3 ? Line{fields[0], fields[1], fields[2]} : Line{};
}

bool sameServer(const Line& line, const QString& service, const QString& authority) {
    return QString::fromUtf8(line.service).compare(service, Qt::CaseInsensitive) == 0 &&
           QString::fromUtf8(line.authority).compare(authority, Qt::CaseInsensitive) == 0;
}

// Sets the server's state, keeping every other line; a server known to offer encryption
// keeps that.
bool setState(const QString& path, const QString& service, const QString& authority,
              const char* state, QString& error) {
    QByteArray bytes;
    // Written back from a file read in part, what is known of other servers would be lost.
    if (!readWholeFile(path, bytes, error)) {
        return false;
    }
    QByteArray kept;
    for (const QByteArray& text : bytes.split('\n')) {
        const Line line = readLine(text);
        if (sameServer(line, service, authority)) {
            if (line.state == kTls) {
                return true;
            }
            continue;
        }
        if (!text.trimmed().isEmpty()) {
            kept += text.trimmed() + "\r\n";
        }
    }
    kept += service.toUtf8() + ' ' + authority.toLower().toUtf8() + ' ' + state + "\r\n";
    return writeFileDurably(path, kept, error, FolderSync::Now, FileAccess::OwnerOnly);
}

}  // namespace

QString serverSecurityPath(const QString& folder) {
    return appPath(folder, u"\\★MailData\\server-security.txt");
}

ServerSecurity knownSecurity(const QString& path, const QString& service,
                             const QString& authority) {
    QByteArray bytes;
    QString error;
    if (!readWholeFile(path, bytes, error)) {
        return ServerSecurity::Unknown;
    }
    for (const QByteArray& text : bytes.split('\n')) {
        const Line line = readLine(text);
        if (sameServer(line, service, authority)) {
            return line.state == kTls     ? ServerSecurity::OffersTls
                   : line.state == kClear ? ServerSecurity::ClearAgreed
                                          : ServerSecurity::Unknown;
        }
    }
    return ServerSecurity::Unknown;
}

bool rememberTls(const QString& path, const QString& service, const QString& authority,
                 QString& error) {
    return knownSecurity(path, service, authority) == ServerSecurity::OffersTls ||
           setState(path, service, authority, kTls, error);
}

bool agreeToClearLogin(const QString& path, const QString& service, const QString& authority,
                       QString& error) {
    return setState(path, service, authority, kClear, error);
}
